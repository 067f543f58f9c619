#!/usr/bin/env python3
"""Generate resources/pinyin.tsv, the Mandarin reading of every CJK character that GBK encodes.

One line per character: the character, a tab and one tone-marked pinyin syllable (黄<TAB>huáng).
Characters for which Unihan has no reading are left out; --check names them.

Which reading a character gets:

  * The first value of Unihan's kMandarin, the customary reading (where kMandarin holds two
    values, the first is the one preferred in mainland usage and the second the one preferred in
    Taiwan; the first is taken: 沈 shěn, 万 wàn, 帆 fān).
  * Where that value is not among the readings the 2013 dictionary of the Table of General
    Standard Chinese Characters gives (kTGHZ2013) and that dictionary gives one toned reading
    only, its reading is taken: kMandarin still has readings of older dictionaries that the
    standard has since changed (罗 luō -> luó, 卓 zhuō -> zhuó, 迹 jī -> jì, 帧 zhèng -> zhēn).
  * When the reading still has no tone mark (a neutral-tone reading such as 子 zi, 地 de, 卜 bo,
    了 le), the character takes its first toned reading instead, because a character on its own,
    as in a name, is never read in the neutral tone: the second kMandarin value if it is toned,
    else the toned reading of kHanyuPinlu with the highest count, else the first toned reading
    of kTGHZ2013, kXHC1983 and kHanyuPinyin in that order (子 zǐ, 地 dì, 卜 bǔ, 了 liǎo).  A
    character with no toned reading anywhere keeps its neutral one.
  * A CJK compatibility ideograph (郎 U+F92C) without readings of its own takes the reading of
    the unified ideograph named by its kCompatibilityVariant (郎 U+90CE).
  * resources/pinyin_overrides.tsv wins over all of these; it holds the reviewed cases where the
    rules above pick a reading that is wrong for names (陂 keeps bēi, not pí of 黄陂).

A polyphonic character, one with more than one distinct toned reading in the modern dictionaries
Unihan cites (the union of kXHC1983 and kTGHZ2013; neutral-tone readings do not count, readings
that differ only in tone do), gets a third field listing all of them, separated by blanks, the
reading of the second field first and the others in the order kXHC1983 then kTGHZ2013 gives them
(长<TAB>zhǎng<TAB>zhǎng cháng).  A character with one reading has no third field.  The builder of
data.Mdb uses the third field to refuse a polyphonic given-name character that has no reviewed
name reading.

resources/name_readings.tsv holds those name readings (character, tab, reading, tab, note): the
reading a polyphonic character takes in a given name (长 cháng, 兴 xīng, 朝 zhāo).  It covers
every polyphonic character of level 1 of the general standard table (kTGH index <= 3500) and of
resources/given_name_chars.txt; --check verifies its format, that each reading is one Unihan gives
the character, that no character is listed twice and that this coverage holds; --check-names lists
the polyphonic characters of given_name_chars.txt (and of an extra list) without a line in it.

Surname readings that differ from these (曾 zēng, 单 shàn ...) are not this file's business; they
are reviewed by hand in resources/surname_readings.tsv.

The GBK set is the one of tools/gen_fantizi.py (decoding every two-byte sequence with Python's
"gbk" codec; the same 20923 ideographs as resources/fantizi.tsv), imported from there.

Tone marks are the precomposed letters ā á ǎ à, ē é ě è, ī í ǐ ì, ō ó ǒ ò, ū ú ǔ ù, ǖ ǘ ǚ ǜ and
ḿ ń ň ǹ; ü is written as ü (lǚ, nǚ, lüè).  The toneless form of a reading replaces each toned
letter by its base letter and keeps ü (nǚ -> nü, lüè -> lüe).

Input: Unihan_Readings.txt.bz2, Unihan_IRGSources.txt.bz2 and Unihan_OtherMappings.txt.bz2 (kTGH)
of Debian's unicode-data package (/usr/share/unicode, Unicode 15.0), resources/pinyin_overrides.tsv,
name_readings.tsv and given_name_chars.txt.  Standard library only; run by developers, not by the build.
Output is deterministic: rows in code point order.

Usage: python3 tools/gen_pinyin.py [--out resources/pinyin.tsv] [--check] [--report]
                                   [--check-names [--names-extra FILE]]
  --check        regenerate in memory, compare with the file, print the counts and the GBK
                 ideographs without a reading, and check resources/name_readings.tsv; exit
                 status 1 when the file is out of date or name_readings.tsv is wrong.
  --report       print every character whose reading is not the first kMandarin value, and the
                 counts.
  --check-names  print every polyphonic character of resources/given_name_chars.txt (first
                 column) and of FILE (every ideograph in the first tab-separated field of its
                 lines that are not comments) without a line in name_readings.tsv; exit status
                 1 when there is one.
"""

import argparse
import bz2
import os
import re
import sys

import gen_fantizi
from gen_fantizi import ROOT, UNICODE_DIR, content_lines, gbk_ideographs

READING_FIELDS = ("kMandarin", "kHanyuPinlu", "kTGHZ2013", "kXHC1983", "kHanyuPinyin")
FIELDS = set(READING_FIELDS) | {"kCompatibilityVariant", "kTGH"}
UNIHAN_FILES = ("Readings", "IRGSources", "OtherMappings")
# The modern dictionaries whose readings make a character polyphonic.
MODERN_FIELDS = ("kXHC1983", "kTGHZ2013")
LEVEL1_LAST = 3500      # last kTGH index of level 1 of the general standard table

TONED = "āáǎàēéěèīíǐìōóǒòūúǔùǖǘǚǜḿńňǹ"
BASE = "aaaaeeeeiiiioooouuuuüüüümnnn"
TONELESS = str.maketrans(TONED, BASE)
SYLLABLE = re.compile("^[a-zü%s]+$" % TONED)


def toneless(reading):
    return reading.translate(TONELESS)


def is_toned(reading):
    return any(ch in TONED for ch in reading)


def unihan_version(unicode_dir):
    with bz2.open(os.path.join(unicode_dir, "Unihan_Readings.txt.bz2"), "rt",
                  encoding="utf-8") as f:
        for line in f:
            if not line.startswith("#"):
                break
            if line.startswith("# Unicode version:"):
                return line.split(":", 1)[1].strip()
    sys.exit("Unihan_Readings.txt: no '# Unicode version:' line")


def load_unihan(unicode_dir, wanted):
    return gen_fantizi.load_unihan(unicode_dir, UNIHAN_FILES, FIELDS, wanted)


def readings(entry, field):
    """The readings of one field, in the field's order (kHanyuPinlu: by count, highest first)."""
    value = entry.get(field)
    if not value:
        return []
    if field == "kMandarin":
        return value.split()
    if field == "kHanyuPinlu":
        # lè(283) yuè(54)
        pairs = []
        for item in value.split():
            reading, count = item.rstrip(")").split("(")
            pairs.append((-int(count), len(pairs), reading))
        return [reading for _, _, reading in sorted(pairs)]
    # kTGHZ2013, kXHC1983, kHanyuPinyin: "location[,location]:reading[,reading] ..."
    result = []
    for item in value.split():
        for reading in item.split(":", 1)[1].split(","):
            if reading not in result:
                result.append(reading)
    return result


def choose(entry):
    """(reading, rule) for one character's Unihan entry, or (None, None); rule names the step
    that replaced the first kMandarin value, None when it was kept."""
    mandarin = readings(entry, "kMandarin")
    if not mandarin:
        return None, None
    reading, rule = mandarin[0], None
    standard = readings(entry, "kTGHZ2013")
    if (len(standard) == 1 and reading not in standard and is_toned(standard[0])
            and SYLLABLE.match(standard[0])):
        reading, rule = standard[0], "2013 standard"
    if not is_toned(reading):
        for field in READING_FIELDS:
            toned = [r for r in readings(entry, field) if is_toned(r) and SYLLABLE.match(r)]
            if toned:
                return toned[0], "neutral tone"
    return reading, rule


def modern_readings(entry):
    """The distinct toned readings of kXHC1983 and kTGHZ2013, in that order."""
    result = []
    for field in MODERN_FIELDS:
        for reading in readings(entry, field):
            if is_toned(reading) and SYLLABLE.match(reading) and reading not in result:
                result.append(reading)
    return result


def all_readings(entry):
    """Every reading Unihan gives the character, in any field."""
    return {r for field in READING_FIELDS for r in readings(entry, field)}


def is_level1(entry):
    value = entry.get("kTGH")
    return bool(value) and int(value.split()[0].split(":")[1]) <= LEVEL1_LAST


def load_overrides(path):
    overrides = {}
    for number, line in content_lines(path):
        fields = line.split("\t")
        if len(fields) != 3 or len(fields[0]) != 1 or not SYLLABLE.match(fields[1]):
            sys.exit("%s:%d: expected <character>\\t<pinyin>\\t<reason>" % (path, number))
        if ord(fields[0]) in overrides:
            sys.exit("%s:%d: %s listed twice" % (path, number, fields[0]))
        overrides[ord(fields[0])] = fields[1]
    return overrides


def load_name_readings(path):
    """({code point: (reading, note, line number)}, [format errors]) of name_readings.tsv."""
    found, errors = {}, []
    for number, line in content_lines(path):
        fields = line.split("\t")
        where = "%s:%d" % (os.path.basename(path), number)
        if (len(fields) != 3 or len(fields[0]) != 1 or not SYLLABLE.match(fields[1])
                or not is_toned(fields[1]) or not fields[2].strip()):
            errors.append("%s: expected <character>\\t<toned pinyin>\\t<note>: %r" % (where, line))
            continue
        cp = ord(fields[0])
        if cp in found:
            errors.append("%s: %s listed twice" % (where, fields[0]))
            continue
        found[cp] = (fields[1], fields[2], number)
    return found, errors


def load_characters(path):
    """The ideographs of the first tab-separated field of each line that is not a comment."""
    chars = []
    for _, line in content_lines(path):
        for ch in line.split("\t")[0]:
            if gen_fantizi.is_ideograph(ord(ch)) and ord(ch) not in chars:
                chars.append(ord(ch))
    return chars


def check_name_readings(name_readings, errors, table, unihan, name_chars):
    """Problems of name_readings.tsv: format, readings Unihan does not give, characters that
    are not polyphonic GBK characters, and polyphonic level-1 or given-name characters without a
    line."""
    problems = list(errors)
    for cp, (reading, _, number) in sorted(name_readings.items()):
        where = "name_readings.tsv:%d: %s" % (number, chr(cp))
        if cp not in table:
            problems.append("%s is not a GBK ideograph with a reading" % where)
        elif len(table[cp]) < 2:
            problems.append("%s has one reading only (%s); it needs no line" % (where, table[cp][0]))
        elif reading not in all_readings(unihan.get(cp, {})):
            problems.append("%s %s is not a reading Unihan gives it (%s)"
                            % (where, reading, " ".join(table[cp])))
    wanted = [cp for cp in sorted(table) if len(table[cp]) > 1
              and (is_level1(unihan.get(cp, {})) or cp in name_chars)]
    missing = [cp for cp in wanted if cp not in name_readings]
    if missing:
        problems.append("polyphonic level-1 or given-name characters without a name reading: %s"
                        % " ".join(chr(cp) for cp in missing))
    return problems


def build(unicode_dir, overrides):
    chars = gbk_ideographs()
    wanted = set(chars)
    # Compatibility ideographs read like their unified counterparts; load those too.
    first_pass = load_unihan(unicode_dir, wanted)
    for cp in chars:
        variant = first_pass.get(cp, {}).get("kCompatibilityVariant")
        if variant:
            wanted.add(int(variant[2:], 16))
    unihan = load_unihan(unicode_dir, wanted)

    for cp in sorted(overrides):
        if cp not in chars:
            sys.exit("override %s: not a GBK ideograph" % chr(cp))
        if overrides[cp] not in {r for field in READING_FIELDS
                                 for r in readings(unihan.get(cp, {}), field)}:
            sys.exit("override %s %s: not a reading Unihan gives" % (chr(cp), overrides[cp]))

    table, changed, missing = {}, [], []
    for cp in sorted(chars):
        entry = unihan.get(cp, {})
        reading, rule = choose(entry)
        if reading is None and "kCompatibilityVariant" in entry:
            entry = unihan.get(int(entry["kCompatibilityVariant"][2:], 16), {})
            reading, rule = choose(entry)
        if cp in overrides:
            reading, rule = overrides[cp], "override"
        if reading is None:
            missing.append(cp)
            continue
        if not SYLLABLE.match(reading):
            sys.exit("U+%04X: unexpected reading %r" % (cp, reading))
        if rule:
            changed.append((cp, rule, entry.get("kMandarin", ""), reading))
        modern = modern_readings(entry)
        if len(modern) > 1:
            table[cp] = [reading] + [r for r in modern if r != reading]
        else:
            table[cp] = [reading]
    return chars, table, changed, missing, unihan


def render(table, version):
    lines = [
        "# Mandarin readings of the CJK characters that GBK encodes (hanzi<TAB>pinyin), one per\n",
        "# line, in code point order; the pinyin is one syllable with its tone mark (ü stays ü).\n",
        "# A polyphonic character (more than one distinct toned reading in kXHC1983 and\n",
        "# kTGHZ2013 together) has a third field: all those readings, blank-separated, the one of\n",
        "# the second field first (长<TAB>zhǎng<TAB>zhǎng cháng); other characters have no third\n",
        "# field. A given name reads a polyphonic character as resources/name_readings.tsv says.\n",
        "# Source: Unihan %s (Debian unicode-data), field kMandarin, first value; or the reading\n"
        % version,
        "# of the 2013 general standard dictionary (kTGHZ2013) where that gives a single, other\n",
        "# one (罗 luó); a neutral-tone reading gives way to the character's first toned one\n",
        "# (子 zǐ, 地 dì); a compatibility ideograph reads like its unified ideograph; the\n",
        "# reviewed choices of resources/pinyin_overrides.tsv win. Surname readings are in\n",
        "# resources/surname_readings.tsv.\n",
        "# Generated by tools/gen_pinyin.py (python3 tools/gen_pinyin.py; --check compares);\n",
        "# do not edit by hand.\n",
    ]
    lines.extend("%s\t%s\n" % (chr(cp), "\t".join([found[0]] + ([" ".join(found)]
                                                                if len(found) > 1 else [])))
                 for cp, found in sorted(table.items()))
    return "".join(lines)


def main():
    parser = argparse.ArgumentParser(description="Generate the pinyin table.")
    parser.add_argument("--out", default=os.path.join(ROOT, "resources", "pinyin.tsv"))
    parser.add_argument("--overrides",
                        default=os.path.join(ROOT, "resources", "pinyin_overrides.tsv"))
    parser.add_argument("--name-readings",
                        default=os.path.join(ROOT, "resources", "name_readings.tsv"))
    parser.add_argument("--names", default=os.path.join(ROOT, "resources", "given_name_chars.txt"))
    parser.add_argument("--unicode-dir", default=UNICODE_DIR)
    parser.add_argument("--check", action="store_true",
                        help="compare the file with a fresh run, print the counts and check"
                             " name_readings.tsv")
    parser.add_argument("--report", action="store_true",
                        help="print the replaced neutral-tone readings and the counts")
    parser.add_argument("--check-names", action="store_true",
                        help="list the polyphonic given-name characters without a name reading")
    parser.add_argument("--names-extra", metavar="FILE",
                        help="with --check-names: also check the characters of this file")
    args = parser.parse_args()

    chars, table, changed, missing, unihan = build(args.unicode_dir,
                                                   load_overrides(args.overrides))
    if args.check or args.check_names:
        name_readings, errors = load_name_readings(args.name_readings)
        name_chars = load_characters(args.names)

    if args.check_names:
        wanted = list(name_chars)
        if args.names_extra:
            wanted += [cp for cp in load_characters(args.names_extra) if cp not in wanted]
        without = [cp for cp in wanted if len(table.get(cp, [])) > 1 and cp not in name_readings]
        for cp in without:
            print("%s\t%s" % (chr(cp), " ".join(table[cp])))
        print("polyphonic name characters without a name reading: %d of %d characters"
              % (len(without), len(wanted)), file=sys.stderr)
        sys.exit(1 if without else 0)

    text = render(table, unihan_version(args.unicode_dir))
    polyphonic = sum(1 for found in table.values() if len(found) > 1)

    if args.check or args.report:
        print("GBK ideographs %d, with a reading %d, without %d, polyphonic %d"
              % (len(chars), len(table), len(missing), polyphonic), file=sys.stderr)
        print("without a reading: %s" % " ".join("U+%04X %s" % (cp, chr(cp)) for cp in missing),
              file=sys.stderr)
    if args.report:
        print("first kMandarin value replaced: %d" % len(changed), file=sys.stderr)
        for cp, rule, mandarin, reading in sorted(changed, key=lambda c: (c[1], c[0])):
            print("  %-13s %s  kMandarin %s -> %s" % (rule, chr(cp), mandarin, reading),
                  file=sys.stderr)
    if args.check:
        failed = False
        problems = check_name_readings(name_readings, errors, table, unihan, set(name_chars))
        for problem in problems:
            print(problem, file=sys.stderr)
        if problems:
            failed = True
        else:
            print("%s: %d name readings, all well-formed and covering the polyphonic level-1 and"
                  " given-name characters" % (args.name_readings, len(name_readings)),
                  file=sys.stderr)
        try:
            with open(args.out, encoding="utf-8", newline="") as f:
                current = f.read()
        except FileNotFoundError:
            current = None
        if current != text:
            print("%s is out of date; run python3 tools/gen_pinyin.py" % args.out,
                  file=sys.stderr)
            failed = True
        else:
            print("%s is up to date" % args.out, file=sys.stderr)
        sys.exit(1 if failed else 0)

    with open(args.out, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


if __name__ == "__main__":
    main()
