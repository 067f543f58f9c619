#!/usr/bin/env python3
"""Check resources/given_name_chars.txt, the curated given-name characters, and show its reach.

Reads resources/given_name_chars.txt, given_name_exclusions.txt, fantizi.tsv and pinyin.tsv, and
checks, as the header of given_name_chars.txt describes the file:

  * the format of every line: six tab-separated fields (character, gender, tier, place, double,
    meaning), no blanks around a field, the character one CJK ideograph that GBK encodes;
  * the allowed values: gender m, f, n, nm or nf; tier 1 to 4; place any, first or last; double y
    or -; a meaning of 1 to 12 characters (punctuation included), Chinese only: ideographs and
    full-width punctuation, no letters, digits or blanks;
  * no character listed twice, and none that given_name_exclusions.txt lists (the two files stay
    disjoint; that file's own lines are checked too: a character, a tab and a reason);
  * every character has a stroke count (a row of fantizi.tsv) and a reading (pinyin.tsv);
  * the order of the lines: by stroke count, then by gender (m, nm, n, nf, f), then by tier, then
    by reading (the toneless pinyin, then the tone).

Then it prints the counts by tier and by gender, and a table per stroke count (4 to 30) of the
characters of tier 1 and 2 a boy's name can use (m, nm, n, nf) and a girl's name can use (f, nf,
n, nm); counts of 4 to 24 below 12 are marked, since the favourable stroke pairs of a surname
then find few good characters of that count.

Usage: python3 tools/check_name_chars.py [--resources DIR]
Exit status 1 when a check fails.  Standard library only; output is deterministic.
"""

import argparse
import os
import sys
import unicodedata

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

GENDERS = ("m", "nm", "n", "nf", "f")          # in file order
BOYS = {"m", "nm", "n", "nf"}
GIRLS = {"f", "nf", "n", "nm"}
TIERS = ("1", "2", "3", "4")
PLACES = ("any", "first", "last")
DOUBLES = ("y", "-")
MEANING_MAX = 12
PUNCTUATION = set("，、；：。！？“”‘’（）《》·…—")
TABLE_COUNTS = range(4, 31)
WANTED_COUNTS = range(4, 25)
WANTED = 12

TONED = "āáǎàēéěèīíǐìōóǒòūúǔùǖǘǚǜḿńňǹ"
BASE = "aaaaeeeeiiiioooouuuuüüüümnnn"
TONES = "1234" * 6 + "2234"
TONELESS = str.maketrans(TONED, BASE)


class Checker:
    def __init__(self):
        self.failures = []

    def fail(self, message):
        self.failures.append(message)
        print("FAIL " + message)


def content_lines(path):
    """(line number, line) for each line that is neither blank nor a comment."""
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if line.endswith("\r"):
                line = line[:-1]
            if line.strip() and not line.startswith("#"):
                yield number, line


def is_ideograph(ch):
    cp = ord(ch)
    return 0x3400 <= cp <= 0x4DBF or 0x4E00 <= cp <= 0x9FFF or 0xF900 <= cp <= 0xFAFF


def in_gbk(ch):
    try:
        return len(ch.encode("gbk")) == 2
    except UnicodeEncodeError:
        return False


def reading_key(reading):
    """The toneless syllable and the tone (5 for none) of a tone-marked reading: hǎo -> (hao, 3)."""
    tone = 5
    for ch in reading:
        at = TONED.find(ch)
        if at >= 0:
            tone = int(TONES[at])
    return reading.translate(TONELESS), tone


def load_strokes(path):
    strokes = {}
    for _, line in content_lines(path):
        count, characters = line.split("\t")
        for ch in characters:
            strokes[ch] = int(count)
    return strokes


def load_readings(path):
    return dict(line.split("\t")[:2] for _, line in content_lines(path))


def load_exclusions(path, check):
    excluded = {}
    name = os.path.basename(path)
    for number, line in content_lines(path):
        fields = line.split("\t")
        where = "%s:%d" % (name, number)
        if len(fields) != 2 or len(fields[0]) != 1 or not fields[1].strip():
            check.fail("%s: expected a character, a tab and a reason: %r" % (where, line))
            continue
        if fields[0] in excluded:
            check.fail("%s: %s already listed on line %d" % (where, fields[0],
                                                            excluded[fields[0]]))
            continue
        excluded[fields[0]] = number
    return excluded


def meaning_problem(meaning):
    if not meaning:
        return "no meaning"
    if len(meaning) > MEANING_MAX:
        return "meaning of %d characters, at most %d" % (len(meaning), MEANING_MAX)
    odd = [ch for ch in meaning if not is_ideograph(ch) and ch not in PUNCTUATION]
    if odd:
        return "meaning holds %s; only ideographs and full-width punctuation" % (
            " ".join("U+%04X" % ord(ch) for ch in odd))
    if meaning[0] in PUNCTUATION:
        return "meaning starts with punctuation"
    return None


def check_row(where, fields, check):
    """The problems of one line's fields, reported through check; True when the line is sound."""
    if len(fields) != 6:
        check.fail("%s: expected 6 tab-separated fields, found %d" % (where, len(fields)))
        return False
    ok = True
    for field in fields:
        if field != field.strip():
            check.fail("%s: blanks around the field %r" % (where, field))
            ok = False
    character, gender, tier, place, double, meaning = fields
    if len(character) != 1 or not is_ideograph(character):
        check.fail("%s: %r is not one CJK ideograph" % (where, character))
        return False
    if not in_gbk(character):
        check.fail("%s: %s is not in GBK" % (where, character))
        ok = False
    for value, allowed, what in ((gender, GENDERS, "gender"), (tier, TIERS, "tier"),
                                 (place, PLACES, "place"), (double, DOUBLES, "double")):
        if value not in allowed:
            check.fail("%s: %s %s: %r is none of %s" % (where, character, what, value,
                                                        " ".join(allowed)))
            ok = False
    problem = meaning_problem(meaning)
    if problem:
        check.fail("%s: %s %s: %r" % (where, character, problem, meaning))
        ok = False
    return ok


def check_names(resources, check):
    """The sound rows of given_name_chars.txt as (line number, fields, stroke count)."""
    strokes = load_strokes(os.path.join(resources, "fantizi.tsv"))
    readings = load_readings(os.path.join(resources, "pinyin.tsv"))
    excluded = load_exclusions(os.path.join(resources, "given_name_exclusions.txt"), check)
    seen = {}
    rows = []
    previous = None
    for number, line in content_lines(os.path.join(resources, "given_name_chars.txt")):
        where = "given_name_chars.txt:%d" % number
        fields = line.split("\t")
        if not check_row(where, fields, check):
            continue
        character = fields[0]
        if character in seen:
            check.fail("%s: %s already listed on line %d" % (where, character, seen[character]))
            continue
        seen[character] = number
        if character in excluded:
            check.fail("%s: %s is also in given_name_exclusions.txt (line %d)"
                       % (where, character, excluded[character]))
        count = strokes.get(character)
        reading = readings.get(character)
        if count is None:
            check.fail("%s: %s has no stroke count in fantizi.tsv" % (where, character))
        if reading is None:
            check.fail("%s: %s has no reading in pinyin.tsv" % (where, character))
        if count is None or reading is None:
            continue
        key = (count, GENDERS.index(fields[1]), int(fields[2]), reading_key(reading))
        if previous is not None and key < previous[0]:
            check.fail("%s: %s (%d strokes, %s, tier %s, %s) comes after %s; the lines go by "
                       "stroke count, gender, tier and reading" % (
                           where, character, count, fields[1], fields[2], reading, previous[1]))
        previous = (key, character)
        rows.append((number, fields, count))
    return rows


def report(rows):
    total = len(rows)
    print("given_name_chars.txt: %d characters" % total)
    for tier in TIERS:
        print("  tier %s: %4d   %s" % (tier, sum(f[2] == tier for _, f, _ in rows),
                                       "  ".join("%s %d" % (g, sum(f[2] == tier and f[1] == g
                                                                  for _, f, _ in rows))
                                                 for g in GENDERS)))
    print("  all   : %4d   %s" % (total, "  ".join("%s %d" % (g, sum(f[1] == g
                                                                 for _, f, _ in rows))
                                                  for g in GENDERS)))
    print("Characters of tier 1-2 per stroke count (boys: m nm n nf; girls: f nf n nm;"
          " * below %d):" % WANTED)
    print("  strokes  boys  girls  all")
    for count in TABLE_COUNTS:
        good = [f for _, f, c in rows if c == count and f[2] in ("1", "2")]
        boys = sum(f[1] in BOYS for f in good)
        girls = sum(f[1] in GIRLS for f in good)
        every = sum(c == count for _, _, c in rows)

        def mark(n):
            return "*" if count in WANTED_COUNTS and n < WANTED else " "
        print("  %7d  %4d%s %4d%s %4d" % (count, boys, mark(boys), girls, mark(girls), every))


def sort_lines(resources):
    """Rewrites given_name_chars.txt with its lines in the order of the header; the comment lines
    at its top stay where they are."""
    path = os.path.join(resources, "given_name_chars.txt")
    strokes = load_strokes(os.path.join(resources, "fantizi.tsv"))
    readings = load_readings(os.path.join(resources, "pinyin.tsv"))
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    header = []
    while lines and (lines[0].startswith("#") or not lines[0].strip()):
        header.append(lines.pop(0))
    rows = [line for line in lines if line.strip()]

    def key(line):
        fields = line.split("\t")
        return (strokes.get(fields[0], 999), GENDERS.index(fields[1]), int(fields[2]),
                reading_key(readings.get(fields[0], "")))

    rows.sort(key=key)
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(header + rows) + "\n")


def main():
    parser = argparse.ArgumentParser(description="Check the curated given-name characters.")
    parser.add_argument("--resources", default=os.path.join(ROOT, "resources"),
                        help="folder of given_name_chars.txt and the tables it is checked "
                             "against (default: resources/)")
    parser.add_argument("--sort", action="store_true",
                        help="first put the lines in the order the header gives (after the "
                             "stroke counts or readings changed), keeping the header")
    args = parser.parse_args()
    if args.sort:
        sort_lines(args.resources)
    check = Checker()
    rows = check_names(args.resources, check)
    report(rows)
    if check.failures:
        print("%d problem(s)" % len(check.failures))
        return 1
    print("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
