#!/usr/bin/env python3
"""Check the sound data of the recommendation engine against each other and against names.

Reads resources/pinyin.tsv, surname_readings.tsv, compound_surnames.txt, surnames.txt,
given_name_chars.txt, name_readings.tsv (when it exists), bad_sounds.tsv and ordinary_names.txt,
and checks:

  * the files' format: tab-separated fields, syllables that are real Mandarin syllables (each one
    a toneless reading of some GBK character of pinyin.tsv), tone patterns of one item per
    syllable whose every given tone some character is read with, known categories, no entry
    listed twice, no bad-sound entry that only repeats another (a longer or equally long
    sequence that holds a listed one with tones no wider could never add a hit, unless the
    listed one may then fall wholly on the surname);
  * every compound surname has its reading, the compound surnames the engine must handle are all
    listed, every surname reading has one syllable per character, every name reading one syllable;
  * no curated given-name character is read as a single-syllable bad sound;
  * every bad-sound entry hits the example name written beside it, and the well-known joke names
    below hit the entry they should;
  * no name of ordinary_names.txt hits any entry;
  * the checker itself: the matching rule, the test for repeated entries and the refusal of
    wrong lines, on the tables of cases below (MATCH_CASES ... REFUSED_LINES);
  * how often ordinary names hit: the first 30 surnames of surnames.txt with the most common given
    names; the hits are listed, so that entries which catch ordinary names can be reviewed.

A name is read as the engine reads it: a compound surname of compound_surnames.txt if the name
starts with one, else its first character; the surname's syllables from surname_readings.tsv or
else pinyin.tsv; each given-name character's from name_readings.tsv when that file lists it, else
from pinyin.tsv.  Matching follows the header of bad_sounds.tsv: an entry of two or more
syllables hits consecutive syllables of the full name that take in at least one syllable of the
given name; an entry of one syllable hits a syllable of the given name; a tone pattern, where one
is given, must agree with the tones of the name's syllables (a neutral tone agrees only with '*').

Usage: python3 tools/check_sounds.py [--stats] [NAME ...]
  NAME     print the reading of these names and the entries they hit, and do nothing else.
  --stats  also count, for each entry, the hits among all two-character given names formed from
           given_name_chars.txt with the first 30 surnames (slow: about ten million names).
Exit status 1 when a check fails.  Standard library only.

One file on purpose (about 580 lines, a tenth of it this description): the checks read the same
tables and the same matching as the engine, and run together from one test.
"""

import argparse
import collections
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RES = os.path.join(ROOT, "resources")

# Tone-marked vowels and syllabic nasals, with the plain letter and the tone each stands for.
TONE_MARKS = {}
for plain, marked in (("a", "āáǎà"), ("e", "ēéěè"), ("i", "īíǐì"), ("o", "ōóǒò"), ("u", "ūúǔù"),
                      ("ü", "ǖǘǚǜ")):
    for tone, mark in enumerate(marked, 1):
        TONE_MARKS[mark] = (plain, tone)
TONE_MARKS.update({"ḿ": ("m", 2), "ń": ("n", 2), "ň": ("n", 3), "ǹ": ("n", 4)})

CATEGORIES = ("不雅", "骂人", "贬义", "动物", "不吉", "疾病", "犯罪")
MAX_SYLLABLES = 4   # the longest entry the engine accepts; no name has more syllables

# The compound surnames the engine must handle.
REQUIRED_COMPOUNDS = ("欧阳 司马 诸葛 上官 东方 皇甫 尉迟 公孙 慕容 长孙 夏侯 令狐 宇文 司徒 端木 "
                      "独孤 南宫 呼延 轩辕 万俟").split()

# Names that must hit the entry of these syllables (and tones), besides the examples of
# bad_sounds.tsv: the complaints that started the sound check, and other well-known joke names.
MUST_HIT = [("伍桂辰", "wu gui", "*"), ("关帆彤", "fan tong", "*"), ("何纯竹", "chun zhu", "*"),
            ("范统", "fan tong", "*"), ("秦寿生", "qin shou", "*"), ("侯梓涵", "hou zi", "*"),
            ("王八", "wang ba", "*"), ("刘芒", "liu mang", "*"), ("苟史", "gou shi", "*"),
            ("张狗", "gou", "*"), ("白驰", "bai chi", "*"), ("吴桂英", "wu gui", "*"),
            ("杨伟", "yang wei", "2 3"), ("吴勇", "wu yong", "2 *"), ("吴仁耀", "wu ren yao", "*"),
            ("韩建", "han jian", "*"), ("范剑", "fan jian", "*"), ("尹静", "yin jing", "*"),
            ("高婉", "gao wan", "*"), ("林冰", "lin bing", "*"), ("叶忠", "ye zhong", "*"),
            ("梅勇", "mei yong", "*"), ("万丹", "wan dan", "*"), ("瞿思", "qu si", "*"),
            ("杜子腾", "du zi teng", "*"), ("史珍香", "shi zhen xiang", "* 1 *"),
            ("朱逸群", "zhu yi qun", "*"), ("胡丽", "hu li", "*")]

# The matching rule on the real readings: (syllables, tones, name, whether the entry hits it).
MATCH_CASES = [
    ("wu yong", "*", "吴勇", True),             # across the surname
    ("wu yong", "2 *", "武勇", False),          # wǔ: the surname's tone differs
    ("yin jian", "2 4", "王银剑", True),        # inside the given name
    ("yin jian", "2 4", "尹建华", False),       # yǐn jiàn
    ("wu zhi", "* 1", "吴芝", True),            # '*' takes any tone of its syllable
    ("wu zhi", "* 1", "吴志", False),
    ("du zi teng", "*", "杜子腾", True),
    ("du zi teng", "*", "杜子", False),         # runs past the end of the name
    ("zi teng", "*", "王子腾", True),
    ("ou yang", "*", "欧阳修", False),          # wholly inside a compound surname
    ("yang wei", "2 3", "欧阳伟", True),        # a compound surname's last syllable and more
    ("ma guang", "*", "司马光", True),
    ("gou", "*", "张狗", True),                 # one syllable: the given name only
    ("gou", "*", "苟史", False),
    ("shi", "*", "王诗", True),
    ("shi", "*", "史珍", False),
    ("zeng guo", "1 *", "曾国藩", True),        # the surname as surname_readings.tsv reads it
    ("ceng guo", "*", "曾国藩", False),
    ("shan tian", "4 *", "单田芳", True),
    ("dan tian", "*", "单田芳", False),
]

# Syllables written out, for what no name read from pinyin.tsv shows (the neutral tone):
# (syllables, tones, the name's syllables with their tones, 0 for the neutral one, how many of
# them are the surname's, whether the entry hits).
SYLLABLE_CASES = [
    ("wang zi", "* 3", "wang2 zi0", 1, False),   # a neutral tone agrees only with '*'
    ("wang zi", "*", "wang2 zi0", 1, True),
    ("wang zi", "2 *", "wang2 zi0", 1, True),
    ("zi", "3", "wang2 zi0", 1, False),
    ("zi", "*", "wang2 zi0", 1, True),
    ("zi", "*", "zi3 wang2", 1, False),         # never the surname
    ("zi wang", "*", "zi3 wang2", 1, True),
    ("ou yang", "*", "ou1 yang2 xiu1", 2, False),
    ("yang xiu", "*", "ou1 yang2 xiu1", 2, True),
]

# Entries that only repeat another (a hits every name b hits) or do not: (a, b, repeats).
REPEAT_CASES = [
    (("pi", "*"), ("fang pi", "*"), True),      # pi lies in the given name whenever b hits
    (("gou", "*"), ("gou shi", "*"), False),    # gou may be the surname (苟史)
    (("yang wei", "*"), ("ou yang wei", "*"), True),
    (("ou yang", "*"), ("ou yang wei", "*"), False),    # 欧阳 may hold all of ou yang
    (("jian ren", "*"), ("xia jian ren", "*"), True),
    (("hu li", "*"), ("hu li", "* 2"), True),
    (("hu li", "*"), ("hu li jing", "*"), True),
    (("hu li", "* 2"), ("hu li jing", "*"), False),     # tones narrower than b's
    (("pi", "*"), ("pi", "4"), True),
    (("pi", "4"), ("pi", "*"), False),
]

# Lines bad_sounds.tsv refuses.
REFUSED_LINES = [
    ("wu yongg", "*", "无用", "贬义", "吴勇"),        # not a syllable
    ("wu yong", "2", "无用", "贬义", "吴勇"),         # one tone for two syllables
    ("wu yong", "* *", "无用", "贬义", "吴勇"),       # any tones are written '*'
    ("wu yong", "5 *", "无用", "贬义", "吴勇"),
    ("wu ren", "* 1", "无人", "贬义", "吴仁"),        # no character is read rēn
    ("wu yong", "*", "wuyong", "贬义", "吴勇"),       # the word is not in Chinese
    ("wu yong", "*", "无用", "难听", "吴勇"),         # unknown category
    ("wu yong", "*", "无用", "贬义", "勇"),           # not a full name
    ("wu yong", "*", "无用", "贬义", "呒勇"),         # not a known surname
    ("yi er san si wu", "*", "一二三四五", "贬义", "吴勇"),  # longer than any name
]

# The most common given names, for the ordinary-name hit count.
COMMON_GIVEN = ("伟 芳 娜 敏 静 丽 强 磊 军 洋 勇 艳 杰 娟 涛 明 超 秀英 华 平 刚 桂英 思婷 子涵 "
                "梓轩 浩然 雨欣 秀兰 玉兰 建华 建国 志强 海燕 婷婷 欣怡 一诺 宇轩 子轩 诗涵 梓涵 "
                "佳怡 俊杰 文博 晨曦").split()

FAILURES = []


def fail(message):
    FAILURES.append(message)
    print("FAIL " + message)


def read_rows(name, columns, optional=False):
    """(line number, fields) of the data lines of a resource file; columns: the field counts
    allowed (an int, a tuple of ints, or None for any)."""
    path = os.path.join(RES, name)
    if optional and not os.path.exists(path):
        return None
    allowed = (columns,) if isinstance(columns, int) else columns
    rows = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            fields = line.split("\t")
            if allowed and len(fields) not in allowed:
                fail("%s:%d: expected %s tab-separated fields: %r"
                     % (name, number, " or ".join(map(str, allowed)), line))
                continue
            rows.append((number, fields))
    return rows


def split_syllable(toned):
    """(toneless syllable, tone 1-4 or 0 for neutral) of a tone-marked syllable."""
    plain, tone = [], 0
    for ch in toned:
        if ch in TONE_MARKS:
            base, tone = TONE_MARKS[ch]
            plain.append(base)
        else:
            plain.append(ch)
    return "".join(plain), tone


class Reader:
    """Reads full names into syllables as the engine does."""

    def __init__(self):
        self.pinyin = {}
        for number, (char, reading, *_) in read_rows("pinyin.tsv", (2, 3)):
            self.pinyin[char] = split_syllable(reading)
        self.toned = set(self.pinyin.values())
        self.syllables = {s for s, _ in self.toned}

        self.surname_readings = {}
        for number, (surname, reading) in read_rows("surname_readings.tsv", 2):
            if surname in self.surname_readings:
                fail("surname_readings.tsv:%d: %s listed twice" % (number, surname))
            parts = reading.split(" ")
            if len(parts) != len(surname):
                fail("surname_readings.tsv:%d: %s needs %d syllables" % (number, surname,
                                                                        len(surname)))
            read = [split_syllable(p) for p in parts]
            for p, (s, _) in zip(parts, read):
                if s not in self.syllables:
                    fail("surname_readings.tsv:%d: %r is not a syllable" % (number, p))
            self.surname_readings[surname] = read

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

        # Given-name readings: character, tone-marked reading, note (the note may be missing).
        self.name_readings = {}
        rows = read_rows("name_readings.tsv", (2, 3), optional=True)
        self.has_name_readings = rows is not None
        for number, fields in rows or []:
            char, reading = fields[0], fields[1]
            where = "name_readings.tsv:%d" % number
            if len(char) != 1 or char not in self.pinyin:
                fail("%s: %r is not a GBK character of pinyin.tsv" % (where, char))
            if char in self.name_readings:
                fail("%s: %s listed twice" % (where, char))
            s, tone = split_syllable(reading)
            if " " in reading or s not in self.syllables:
                fail("%s: %r is not one syllable" % (where, reading))
            self.name_readings[char] = (s, tone)
        self.toned |= set(self.name_readings.values())

        self.surnames = [f[0] for _, f in read_rows("surnames.txt", 1)]
        self.known_surnames = set(self.surnames) | set(self.compounds) | set(self.surname_readings)

    def split(self, name):
        """(surname, given name) as the engine reads a full name."""
        if name[:2] in self.compounds and len(name) > 2:
            return name[:2], name[2:]
        return name[:1], name[1:]

    def read(self, name):
        """(surname syllables, given-name syllables), each a (toneless, tone) pair."""
        surname, given = self.split(name)
        head = self.surname_readings.get(surname) or [self.pinyin[c] for c in surname]
        return list(head), [self.name_readings.get(c) or self.pinyin[c] for c in given]

    def unreadable(self, name):
        """The characters of a name that have no reading (not GBK ideographs of pinyin.tsv)."""
        return [c for c in name if c not in self.pinyin]


def show(syllables):
    return " ".join(s + (str(t) if t else "") for s, t in syllables)


Entry = collections.namedtuple("Entry", "line syllables tones word category example")


def entry_key(e):
    return " ".join(e.syllables) + ("" if e.tones is None else
                                    " [" + " ".join(str(t or "*") for t in e.tones) + "]")


def tones_text(tones):
    return "*" if tones is None else " ".join(str(t or "*") for t in tones)


def agrees(entry_tone, tone):
    return entry_tone is None or entry_tone == tone


def repeats(a, b, compound_readings):
    """Whether entry b could never hit a name that entry a does not hit as well: a's syllables
    lie inside b's with tones no wider, at a place that never falls wholly on the surname when
    b matches (a one-syllable entry matches given names only, and a sequence wholly inside a
    compound surname does not count)."""
    na, nb = len(a.syllables), len(b.syllables)

    def fits(k, syllable):
        s, tone = syllable
        return b.syllables[k] == s and (b.tones is None or b.tones[k] in (None, tone))

    for i in range(nb - na + 1):
        if b.syllables[i:i + na] != a.syllables:
            continue
        if a.tones is not None and (b.tones is None or any(
                x is not None and x != y for x, y in zip(a.tones, b.tones[i:i + na]))):
            continue
        if nb == 1:
            return True
        if i == 0 and na == 1:
            continue        # b may start on the surname, where a does not match
        if nb > 2 and i + na <= 2 and any(fits(0, r[0]) and fits(1, r[1])
                                          for r in compound_readings):
            continue        # b may start on a compound surname that holds all of a
        return True
    return False


class BadSounds:
    """The entries of bad_sounds.tsv, or of the given (line number, fields) rows, and the names
    they hit."""

    def __init__(self, reader, rows=None):
        self.entries = []
        for number, fields in read_rows("bad_sounds.tsv", 5) if rows is None else rows:
            entry = self.parse(reader, number, fields)
            if entry:
                self.entries.append(entry)
        self.single = [e for e in self.entries if len(e.syllables) == 1]
        self.multi = [e for e in self.entries if len(e.syllables) > 1]
        self.by_first = collections.defaultdict(list)
        for e in self.multi:
            self.by_first[e.syllables[0]].append(e)
        self.single_by_syllable = collections.defaultdict(list)
        for e in self.single:
            self.single_by_syllable[e.syllables[0]].append(e)

    def check_repeats(self, reader):
        """Fails on entries listed twice and on entries that only repeat another."""
        compound_readings = [r for s, r in reader.surname_readings.items() if len(s) == 2]
        for a in self.entries:
            for b in self.entries:
                if a is b:
                    continue
                if a.syllables == b.syllables and a.tones == b.tones:
                    if a.line < b.line:
                        fail("bad_sounds.tsv:%d: %s listed twice" % (b.line, entry_key(b)))
                elif repeats(a, b, compound_readings):
                    fail("bad_sounds.tsv:%d: %s only repeats %s (line %d)"
                         % (b.line, entry_key(b), entry_key(a), a.line))

    @staticmethod
    def parse(reader, number, fields, report=None):
        """The Entry of one line's fields, or None when report (fail by default) was told why
        the line is wrong."""
        report = report or fail
        syllables, tones, word, category, example = fields
        where = "bad_sounds.tsv:%d" % number
        ok = True
        parts = syllables.split(" ")
        if any(not p or p not in reader.syllables for p in parts):
            report("%s: %r is not a sequence of toneless syllables" % (where, syllables))
            ok = False
        if len(parts) > MAX_SYLLABLES:
            report("%s: %s has more than %d syllables" % (where, syllables, MAX_SYLLABLES))
            ok = False
        pattern = None
        if tones != "*":
            items = tones.split(" ")
            if len(items) != len(parts) or any(t not in ("1", "2", "3", "4", "*") for t in items):
                report("%s: tones %r: one of 1 2 3 4 * for each syllable of %s, or '*'"
                     % (where, tones, syllables))
                ok = False
            elif all(t == "*" for t in items):
                report("%s: tones %r: write '*' for any tones" % (where, tones))
                ok = False
            else:
                pattern = tuple(None if t == "*" else int(t) for t in items)
                for p, t in zip(parts, pattern):
                    if t is not None and (p, t) not in reader.toned:
                        report("%s: no character is read %s with tone %d" % (where, p, t))
                        ok = False
        if not word or reader.unreadable(word):
            report("%s: word %r is not written in GBK ideographs" % (where, word))
            ok = False
        if category not in CATEGORIES:
            report("%s: unknown category %s" % (where, category))
            ok = False
        if not 2 <= len(example) <= 4 or reader.unreadable(example):
            report("%s: example %r is not a name of 2 to 4 GBK ideographs" % (where, example))
            ok = False
        elif reader.split(example)[0] not in reader.known_surnames:
            report("%s: example %s does not start with a known surname" % (where, example))
            ok = False
        if not ok:
            return None
        return Entry(number, tuple(parts), pattern, word, category, example)

    def hits(self, head, given):
        """Entries hit by a name of these (toneless, tone) syllables, each once, in order of its
        first position."""
        found = []
        full = head + given
        start_given = len(head)
        for i, (s, _) in enumerate(full):
            for e in self.by_first.get(s, ()):
                n = len(e.syllables)
                if i + n > len(full) or i + n <= start_given or e in found:
                    continue
                run = full[i:i + n]
                if all(a == b for a, (b, _) in zip(e.syllables, run)) and (
                        e.tones is None or all(agrees(a, b) for a, (_, b) in zip(e.tones, run))):
                    found.append(e)
            if i >= start_given:
                for e in self.single_by_syllable.get(s, ()):
                    if agrees(e.tones and e.tones[0], full[i][1]) and e not in found:
                        found.append(e)
        return found

    def find(self, syllables, tones):
        for e in self.entries:
            if " ".join(e.syllables) == syllables and tones_text(e.tones) == tones:
                return e
        return None


def name_hits(reader, sounds, name):
    head, given = reader.read(name)
    return sounds.hits(head, given)


def describe(reader, sounds, name):
    head, given = reader.read(name)
    return "%s\t%s\t%s" % (name, show(head + given),
                           "; ".join("%s(%s)" % (e.word, entry_key(e))
                                     for e in sounds.hits(head, given)))


def self_test(reader):
    """Checks the matching rule, the test for repeated entries and the refusal of wrong lines
    on the tables above; returns the number of cases."""
    def entry(syllables, tones):
        return BadSounds.parse(reader, 0, (syllables, tones, "无用", "贬义", "吴勇"))

    def single(syllables, tones):
        return BadSounds(reader, [(0, (syllables, tones, "无用", "贬义", "吴勇"))])

    def read_syllables(text):
        return [(p.rstrip("01234"), int(p[-1])) for p in text.split(" ")]

    for syllables, tones, name, expected in MATCH_CASES:
        sounds = single(syllables, tones)
        if bool(name_hits(reader, sounds, name)) != expected:
            fail("matching: %s [%s] %s %s" % (syllables, tones, "misses" if expected else "hits",
                                              describe(reader, sounds, name)))
    for syllables, tones, text, surname_length, expected in SYLLABLE_CASES:
        full = read_syllables(text)
        if bool(single(syllables, tones).hits(full[:surname_length], full[surname_length:])) \
                != expected:
            fail("matching: %s [%s] %s %s" % (syllables, tones, "misses" if expected else "hits",
                                              text))
    # A reading of name_readings.tsv wins over pinyin.tsv in the given name (子 read zi, neutral).
    saved = dict(reader.name_readings)
    reader.name_readings["子"] = ("zi", 0)
    if name_hits(reader, single("wang zi", "* 3"), "王子"):
        fail("matching: a reading of name_readings.tsv is not used for 子")
    reader.name_readings.clear()
    reader.name_readings.update(saved)

    compound_readings = [r for s, r in reader.surname_readings.items() if len(s) == 2]
    for a, b, expected in REPEAT_CASES:
        if repeats(entry(*a), entry(*b), compound_readings) != expected:
            fail("repeats: %s [%s] %s %s [%s]" % (a[0], a[1], "should repeat" if expected
                                                  else "should not repeat", b[0], b[1]))
    for fields in REFUSED_LINES:
        problems = []
        if BadSounds.parse(reader, 0, fields, problems.append) or not problems:
            fail("format: the line %r is not refused" % "\t".join(fields))
    return (len(MATCH_CASES) + len(SYLLABLE_CASES) + 1 + len(REPEAT_CASES)
            + len(REFUSED_LINES))


def check_ordinary(reader, sounds):
    names = [f[0] for _, f in read_rows("ordinary_names.txt", 1)]
    seen = set()
    for name in names:
        if name in seen:
            fail("ordinary_names.txt: %s listed twice" % name)
        seen.add(name)
        if not 2 <= len(name) <= 4 or reader.unreadable(name):
            fail("ordinary_names.txt: %r is not a name of 2 to 4 GBK ideographs" % name)
            continue
        if reader.split(name)[0] not in reader.known_surnames:
            fail("ordinary_names.txt: %s does not start with a known surname" % name)
        hits = name_hits(reader, sounds, name)
        if hits:
            fail("ordinary name %s" % describe(reader, sounds, name))
    return len(names)


def main():
    parser = argparse.ArgumentParser(description="Check the sound data.")
    parser.add_argument("--stats", action="store_true")
    parser.add_argument("names", nargs="*")
    args = parser.parse_args()

    reader = Reader()
    sounds = BadSounds(reader)
    sounds.check_repeats(reader)

    if args.names:
        for name in args.names:
            if reader.unreadable(name):
                print("%s\tcannot be read: %s" % (name, "".join(reader.unreadable(name))))
            else:
                print(describe(reader, sounds, name))
        return

    print("pinyin.tsv %d characters, surname readings %d (compound %d), name readings %s"
          % (len(reader.pinyin), len(reader.surname_readings),
             sum(len(s) == 2 for s in reader.surname_readings),
             len(reader.name_readings) if reader.has_name_readings else "none (no file)"))
    by_category = collections.Counter(e.category for e in sounds.entries)
    print("bad sounds %d (single syllables %d, with tones %d): %s"
          % (len(sounds.entries), len(sounds.single),
             sum(e.tones is not None for e in sounds.entries),
             ", ".join("%s %d" % (c, by_category[c]) for c in CATEGORIES)))
    print("matcher self-test: %d cases" % self_test(reader))

    given_chars = [f[0] for _, f in read_rows("given_name_chars.txt", 6)]
    for c in given_chars:
        if c not in reader.pinyin:
            fail("given-name character %s has no reading" % c)
            continue
        s, tone = reader.name_readings.get(c) or reader.pinyin[c]
        for e in sounds.single_by_syllable.get(s, ()):
            if agrees(e.tones and e.tones[0], tone):
                fail("given-name character %s (%s) is the single-syllable bad sound %s"
                     % (c, show([(s, tone)]), entry_key(e)))

    for e in sounds.entries:
        if e not in name_hits(reader, sounds, e.example):
            fail("bad_sounds.tsv:%d: example %s does not hit %s"
                 % (e.line, describe(reader, sounds, e.example), entry_key(e)))
    for name, syllables, tones in MUST_HIT:
        e = sounds.find(syllables, tones)
        if e is None:
            fail("no entry %s [%s] for %s" % (syllables, tones, name))
        elif e not in name_hits(reader, sounds, name):
            fail("%s should hit %s" % (describe(reader, sounds, name), entry_key(e)))
    ordinary = check_ordinary(reader, sounds)
    print("examples %d and other must-hit names %d hit their entries; ordinary names %d checked"
          % (len(sounds.entries), len(MUST_HIT), ordinary))

    common = [s + g for s in reader.surnames[:30] for g in COMMON_GIVEN]
    hit_names = [n for n in common if name_hits(reader, sounds, n)]
    print("common names (first 30 surnames x %d common given names): %d, hits %d"
          % (len(COMMON_GIVEN), len(common), len(hit_names)))
    for name in hit_names:
        print("  " + describe(reader, sounds, name))

    if args.stats:
        counts = collections.Counter()
        total = 0
        given = [reader.name_readings.get(c) or reader.pinyin[c] for c in given_chars]
        for s in reader.surnames[:30]:
            head = reader.read(s)[0]
            for a in given:
                for b in given:
                    total += 1
                    for e in sounds.hits(head, [a, b]):
                        counts[e] += 1
        print("two-character given names with the first 30 surnames: %d" % total)
        for e, n in counts.most_common():
            print("  %-24s %-8s %7d  %.3f%%" % (entry_key(e), e.word, n, 100.0 * n / total))

    if FAILURES:
        print("%d checks failed" % len(FAILURES))
        sys.exit(1)
    print("all checks passed")


if __name__ == "__main__":
    main()
