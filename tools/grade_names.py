#!/usr/bin/env python3
"""Blind grading of the recommended names: make a shuffled sample, then report the grades.

A sample is the first names that `quenvil-cli recommend` gives for boys and for girls for a fixed
set of surnames: ten common single surnames, five of 20 strokes or more and five compound ones.
The names are shuffled and written without surname, sex, rank or score, so that a reader grades
each name as a parent would see it:

  A  a parent could choose it;
  B  acceptable but plain or odd;
  C  unusable: a silly meaning, a bad sound, the wrong sex, a famous person's name.

Commands:
  sample  FOLDER [--cli build/quenvil/quenvil-cli] [--top 10] [--seed N]
          writes FOLDER/sample.tsv (id, name: what the graders see) and FOLDER/key.tsv (id,
          surname, sex, rank, overall, numerology and naming score, given name's characters).
  report  FOLDER
          reads every FOLDER/grades-*.tsv (id, grade; one file per grader) and prints the share
          of A, B and C per grader and for all graders together, by group (top 5, ranks 6-10),
          kind of surname and sex, and the names graded C.

Standard library only.
"""

import argparse
import collections
import glob
import os
import random
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
COMMON = ["王", "李", "张", "刘", "陈", "杨", "黄", "孙", "罗", "赵"]
MANY_STROKES = ["苏", "顾", "龚", "严", "饶"]  # 22, 21, 22, 20, 21 strokes as the program counts
COMPOUND = ["欧阳", "司马", "上官", "诸葛", "慕容"]
KINDS = {**{s: "common" for s in COMMON}, **{s: "20+ strokes" for s in MANY_STROKES},
         **{s: "compound" for s in COMPOUND}}


def recommend(cli, surname, sex, top):
    out = subprocess.run([cli, "recommend", surname, "--gender", sex, "--top", str(top)],
                         capture_output=True, check=True, text=True).stdout
    rows = []
    for line in out.splitlines():
        fields = line.split("\t")
        rows.append(fields)
    return rows


def sample(args):
    os.makedirs(args.folder, exist_ok=True)
    entries = []
    for surname in COMMON + MANY_STROKES + COMPOUND:
        for sex in ("m", "f"):
            for rank, fields in enumerate(recommend(args.cli, surname, sex, args.top), 1):
                entries.append((surname, sex, rank, fields))
    random.Random(args.seed).shuffle(entries)
    with open(os.path.join(args.folder, "sample.tsv"), "w", encoding="utf-8") as s, \
            open(os.path.join(args.folder, "key.tsv"), "w", encoding="utf-8") as k:
        s.write("# id\tname\n")
        k.write("# id\tsurname\tsex\trank\toverall\tnumerology\tnaming\n")
        for i, (surname, sex, rank, fields) in enumerate(entries, 1):
            s.write("%d\t%s\n" % (i, fields[0]))
            numerology = fields[7] if len(fields) > 7 else ""
            naming = fields[8] if len(fields) > 8 else ""
            k.write("%d\t%s\t%s\t%d\t%s\t%s\t%s\n" % (i, surname, sex, rank, fields[1],
                                                      numerology, naming))
    print("%d names for %d surnames written to %s" % (len(entries), len(KINDS), args.folder))


def read_tsv(path):
    with open(path, encoding="utf-8") as f:
        return [line.rstrip("\n").split("\t") for line in f
                if line.strip() and not line.startswith("#")]


def shares(grades):
    count = collections.Counter(grades)
    total = sum(count.values()) or 1
    return "A %5.1f%%  B %5.1f%%  C %5.1f%%  (n=%d)" % (
        100 * count["A"] / total, 100 * count["B"] / total, 100 * count["C"] / total,
        sum(count.values()))


def report(args):
    key = {row[0]: row for row in read_tsv(os.path.join(args.folder, "key.tsv"))}
    names = {row[0]: row[1] for row in read_tsv(os.path.join(args.folder, "sample.tsv"))}
    files = sorted(glob.glob(os.path.join(args.folder, "grades-*.tsv")))
    if not files:
        sys.exit("no grades-*.tsv in %s" % args.folder)
    everyone = []
    for path in files:
        graded = {row[0]: row[1].strip().upper() for row in read_tsv(path)}
        missing = set(key) - set(graded)
        if missing:
            sys.exit("%s: %d names not graded" % (path, len(missing)))
        print("%-24s %s" % (os.path.basename(path), shares(graded.values())))
        everyone.extend((i, g) for i, g in graded.items())
    print("%-24s %s" % ("all graders", shares(g for _, g in everyone)))

    def group_by(label, of):
        groups = collections.defaultdict(list)
        for i, g in everyone:
            groups[of(key[i])].append(g)
        for name in sorted(groups):
            print("  %-10s %-12s %s" % (label, name, shares(groups[name])))

    group_by("rank", lambda k: "top 5" if int(k[3]) <= 5 else "6-10")
    group_by("surname", lambda k: KINDS.get(k[1], "other"))
    group_by("sex", lambda k: k[2])
    print("graded C:")
    for i, g in sorted(everyone, key=lambda e: int(e[0])):
        if g == "C":
            k = key[i]
            print("  %s %s (%s, %s, rank %s)" % (i, names[i], k[1], k[2], k[3]))


def main():
    parser = argparse.ArgumentParser(description="Blind grading of recommended names.")
    sub = parser.add_subparsers(dest="command", required=True)
    s = sub.add_parser("sample")
    s.add_argument("folder")
    s.add_argument("--cli", default=os.path.join(ROOT, "build", "quenvil", "quenvil-cli"))
    s.add_argument("--top", type=int, default=10)
    s.add_argument("--seed", type=int, default=19)
    r = sub.add_parser("report")
    r.add_argument("folder")
    args = parser.parse_args()
    (sample if args.command == "sample" else report)(args)


if __name__ == "__main__":
    main()
