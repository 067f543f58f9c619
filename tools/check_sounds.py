#!/usr/bin/env python3
"""Check the sound data of the recommendation engine against each other and against names.

Reads resources/pinyin.tsv, surname_readings.tsv, compound_surnames.txt, surnames.txt,
given_name_chars.txt and bad_sounds.tsv, and checks:

  * the files' format: tab-separated fields, syllables that are real Mandarin syllables (each one
    a toneless reading of some character of pinyin.tsv), no entry listed twice, no bad-sound
    entry that only repeats a shorter one (a longer sequence containing a listed one could never
    add a hit);
  * every compound surname has its reading, the compound surnames the engine must handle are all
    listed, and every surname reading has one syllable per character;
  * no curated given-name character is read as a single-syllable bad sound;
  * the names that must be caught (杜梓维 ≈ 肚子, 伍桂辰 ≈ 乌龟 ...) hit the entry they should,
    and the ordinary names that must pass (黄思婷, 张伟 ...) hit nothing;
  * how often ordinary names hit: the first 30 surnames of surnames.txt with the most common given
    names; the hits are listed, so that entries which catch ordinary names can be reviewed.

A name is read as the engine reads it: a compound surname of compound_surnames.txt if the name
starts with one, else its first character; the surname's syllables from surname_readings.tsv or
else pinyin.tsv; the given name's from pinyin.tsv.  Matching follows the header of bad_sounds.tsv.

Usage: python3 tools/check_sounds.py [--stats] [NAME ...]
  NAME     print the reading of these names and the entries they hit, and do nothing else.
  --stats  also count, for each entry, the hits among all two-character given names formed from
           given_name_chars.txt with the first 30 surnames (slow: about ten million names).
Exit status 1 when a check fails.  Standard library only.
"""

import argparse
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RES = os.path.join(ROOT, "resources")

TONED = "āáǎàēéěèīíǐìōóǒòūúǔùǖǘǚǜḿńňǹ"
BASE = "aaaaeeeeiiiioooouuuuüüüümnnn"
TONELESS = str.maketrans(TONED, BASE)
CATEGORIES = {"不雅", "骂人", "贬义", "动物", "不吉", "疾病"}

# The compound surnames the engine must handle.
REQUIRED_COMPOUNDS = ("欧阳 司马 诸葛 上官 东方 皇甫 尉迟 公孙 慕容 长孙 夏侯 令狐 宇文 司徒 端木 "
                      "独孤 南宫 呼延 轩辕 万俟").split()

# Names that must hit the given entry: the complaints that started the sound check, and the
# well-known joke names.
MUST_HIT = [("杜梓维", "du zi"), ("伍桂辰", "wu gui"), ("关帆彤", "fan tong"),
            ("何纯竹", "chun zhu"), ("杜子腾", "du zi"), ("史珍香", "shi zhen xiang"),
            ("吴德", "wu de"), ("范统", "fan tong"), ("朱逸群", "zhu yi qun"),
            ("秦寿生", "qin shou"), ("魏生津", "wei sheng jin"), ("沈京兵", "shen jing bing"),
            ("杜琦燕", "du qi yan"), ("梅良心", "mei liang xin"), ("贾正经", "jia zheng jing"),
            ("夏建仁", "xia jian ren"), ("侯梓涵", "hou zi"), ("胡丽", "hu li"),
            ("王八", "wang ba"), ("刘芒", "liu mang"), ("苟史", "gou shi"), ("张狗", "gou"),
            ("李屁", "pi"), ("白驰", "bai chi"), ("吴桂英", "wu gui")]

# Ordinary names that must hit nothing.
MUST_PASS = ["黄思婷", "张伟", "王芳", "李娜", "刘洋", "陈静", "曾国藩", "单田芳", "欧阳修",
             "司马光", "诸葛亮", "上官婉儿", "尉迟恭", "万俟卨", "令狐冲", "长孙无忌", "仇英",
             "朴树", "解缙", "查良镛", "区志坚", "翟天临"]

# The most common given names, for the ordinary-name hit count.
COMMON_GIVEN = ("伟 芳 娜 敏 静 丽 强 磊 军 洋 勇 艳 杰 娟 涛 明 超 秀英 华 平 刚 桂英 思婷 子涵 "
                "梓轩 浩然 雨欣 秀兰 玉兰 建华 建国 志强 海燕 婷婷 欣怡 一诺 宇轩 子轩 诗涵 梓涵 "
                "佳怡 俊杰 文博 晨曦").split()


def read_rows(name, columns):
    rows = []
    with open(os.path.join(RES, name), encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            fields = line.split("\t")
            low, high = columns if isinstance(columns, tuple) else (columns, columns)
            if columns and not low <= len(fields) <= high:
                fail("%s:%d: expected %s tab-separated fields: %r" % (
                    name, number, low if low == high else "%d to %d" % (low, high), line))
                continue
            rows.append((number, fields))
    return rows


FAILURES = []


def fail(message):
    FAILURES.append(message)
    print("FAIL " + message)


class Reader:
    def __init__(self):
        # pinyin.tsv: character, reading, and for a character with several readings a third
        # field listing them all.
        self.pinyin = {f[0]: f[1] for _, f in read_rows("pinyin.tsv", (2, 3))}
        self.syllables = {p.translate(TONELESS) for p in self.pinyin.values()}
        self.surname_readings = {}
        for number, (surname, reading) in read_rows("surname_readings.tsv", 2):
            if surname in self.surname_readings:
                fail("surname_readings.tsv:%d: %s listed twice" % (number, surname))
            syllables = reading.split(" ")
            if len(syllables) != len(surname):
                fail("surname_readings.tsv:%d: %s needs %d syllables" % (number, surname,
                                                                        len(surname)))
            for s in syllables:
                if s.translate(TONELESS) not in self.syllables:
                    fail("surname_readings.tsv:%d: %r is not a syllable" % (number, s))
            self.surname_readings[surname] = syllables
        self.compounds = [f[0] for _, f in read_rows("compound_surnames.txt", 1)]
        for c in self.compounds:
            if len(c) != 2:
                fail("compound_surnames.txt: %r is not two characters" % c)
            if c not in self.surname_readings:
                fail("compound surname %s has no line in surname_readings.tsv" % c)
        for c in REQUIRED_COMPOUNDS:
            if c not in self.compounds:
                fail("compound surname %s missing from compound_surnames.txt" % c)
        if len(set(self.compounds)) != len(self.compounds):
            fail("compound_surnames.txt lists a surname twice")

    def split(self, name):
        """(surname, given name) as the engine reads a full name."""
        if name[:2] in self.compounds and len(name) > 2:
            return name[:2], name[2:]
        return name[:1], name[1:]

    def read(self, name):
        """(surname syllables, given-name syllables), tone-marked."""
        surname, given = self.split(name)
        head = self.surname_readings.get(surname) or [self.pinyin[c] for c in surname]
        return head, [self.pinyin[c] for c in given]


class BadSounds:
    def __init__(self, reader):
        self.single = {}
        self.multi = {}
        for number, (syllables, word, category) in read_rows("bad_sounds.tsv", 3):
            parts = syllables.split(" ")
            where = "bad_sounds.tsv:%d" % number
            if any(not p or p not in reader.syllables for p in parts):
                fail("%s: %r is not a sequence of toneless syllables" % (where, syllables))
            if category not in CATEGORIES:
                fail("%s: unknown category %s" % (where, category))
            key = tuple(parts)
            table = self.single if len(key) == 1 else self.multi
            if key in self.single or key in self.multi:
                fail("%s: %s listed twice" % (where, syllables))
            table[key] = word
        entries = list(self.single) + list(self.multi)
        for longer in self.multi:
            for shorter in entries:
                if len(shorter) > 1 and shorter != longer and contains(longer, shorter):
                    fail("bad_sounds.tsv: %s only repeats %s" % (" ".join(longer),
                                                                   " ".join(shorter)))
        self.longest = max(len(k) for k in self.multi)

    def hits(self, surname, given):
        """Entries hit by a name of these toneless syllables."""
        found = []
        for s in given:
            if (s,) in self.single:
                found.append(s)
        full = surname + given
        start_given = len(surname)
        for n in range(2, self.longest + 1):
            for i in range(len(full) - n + 1):
                if i + n <= start_given:
                    continue        # wholly inside the surname
                key = tuple(full[i:i + n])
                if key in self.multi:
                    found.append(" ".join(key))
        return found

    def word(self, entry):
        key = tuple(entry.split(" "))
        return self.single.get(key) or self.multi.get(key)


def contains(longer, shorter):
    return any(longer[i:i + len(shorter)] == shorter for i in range(len(longer) - len(shorter) + 1))


def toneless(syllables):
    return [s.translate(TONELESS) for s in syllables]


def name_hits(reader, sounds, name):
    head, given = reader.read(name)
    return sounds.hits(toneless(head), toneless(given))


def main():
    parser = argparse.ArgumentParser(description="Check the sound data.")
    parser.add_argument("--stats", action="store_true")
    parser.add_argument("names", nargs="*")
    args = parser.parse_args()

    reader = Reader()
    sounds = BadSounds(reader)

    if args.names:
        for name in args.names:
            head, given = reader.read(name)
            hits = sounds.hits(toneless(head), toneless(given))
            print("%s\t%s\t%s" % (name, " ".join(head + given),
                                  "; ".join("%s(%s)" % (sounds.word(h), h) for h in hits)))
        return

    print("pinyin.tsv %d characters, surname readings %d (compound %d), bad sounds %d "
          "(single syllables %d)" % (len(reader.pinyin), len(reader.surname_readings),
                                     sum(len(s) == 2 for s in reader.surname_readings),
                                     len(sounds.single) + len(sounds.multi), len(sounds.single)))

    given_chars = [f[0] for _, f in read_rows("given_name_chars.txt", 2)]
    for c in given_chars:
        if c not in reader.pinyin:
            fail("given-name character %s has no reading" % c)
        elif (toneless([reader.pinyin[c]])[0],) in sounds.single:
            fail("given-name character %s (%s) is a single-syllable bad sound"
                 % (c, reader.pinyin[c]))

    for name, entry in MUST_HIT:
        hits = name_hits(reader, sounds, name)
        if entry not in hits:
            fail("%s should hit %s, hits %s" % (name, entry, hits))
    for name in MUST_PASS:
        hits = name_hits(reader, sounds, name)
        if hits:
            fail("%s should hit nothing, hits %s" % (name, hits))
    print("must-hit names %d, must-pass names %d checked" % (len(MUST_HIT), len(MUST_PASS)))

    surnames = [f[0] for _, f in read_rows("surnames.txt", 1)]
    common = [s + g for s in surnames[:30] for g in COMMON_GIVEN]
    hit_names = [(n, name_hits(reader, sounds, n)) for n in common]
    hit_names = [(n, h) for n, h in hit_names if h]
    print("ordinary names (first 30 surnames x %d common given names): %d, hits %d"
          % (len(COMMON_GIVEN), len(common), len(hit_names)))
    for name, hits in hit_names:
        print("  %s\t%s\t%s" % (name, " ".join(reader.read(name)[0] + reader.read(name)[1]),
                                "; ".join(sounds.word(h) for h in hits)))

    if args.stats:
        counts = {}
        total = 0
        given_syllables = [(c, toneless([reader.pinyin[c]])[0]) for c in given_chars]
        for s in surnames[:30]:
            head = toneless(reader.read(s)[0])
            for _, a in given_syllables:
                for _, b in given_syllables:
                    total += 1
                    for h in sounds.hits(head, [a, b]):
                        counts[h] = counts.get(h, 0) + 1
        print("two-character given names with the first 30 surnames: %d" % total)
        for entry, n in sorted(counts.items(), key=lambda x: -x[1]):
            print("  %-16s %-8s %7d  %.3f%%" % (entry, sounds.word(entry), n, 100.0 * n / total))

    if FAILURES:
        print("%d checks failed" % len(FAILURES))
        sys.exit(1)
    print("all checks passed")


if __name__ == "__main__":
    main()
