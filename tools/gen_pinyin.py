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

Surname readings that differ from these (曾 zēng, 单 shàn ...) are not this file's business; they
are reviewed by hand in resources/surname_readings.tsv.

The GBK set is the one of tools/gen_fantizi.py (decoding every two-byte sequence with Python's
"gbk" codec; the same 20923 ideographs as resources/fantizi.tsv), imported from there.

Tone marks are the precomposed letters ā á ǎ à, ē é ě è, ī í ǐ ì, ō ó ǒ ò, ū ú ǔ ù, ǖ ǘ ǚ ǜ and
ḿ ń ň ǹ; ü is written as ü (lǚ, nǚ, lüè).  The toneless form of a reading replaces each toned
letter by its base letter and keeps ü (nǚ -> nü, lüè -> lüe).

Input: Unihan_Readings.txt.bz2 and Unihan_IRGSources.txt.bz2 of Debian's unicode-data package
(/usr/share/unicode, Unicode 15.0), and resources/pinyin_overrides.tsv.  Standard library only; run by developers, not by the build.
Output is deterministic: rows in code point order.

Usage: python3 tools/gen_pinyin.py [--out resources/pinyin.tsv] [--check] [--report]
  --check   regenerate in memory, compare with the file, print the counts and the GBK
            ideographs without a reading; exit status 1 when the file is out of date.
  --report  print every character whose reading is not the first kMandarin value, and the
            counts.
"""

import argparse
import bz2
import os
import re
import sys

import gen_fantizi
from gen_fantizi import ROOT, UNICODE_DIR, content_lines, gbk_ideographs

READING_FIELDS = ("kMandarin", "kHanyuPinlu", "kTGHZ2013", "kXHC1983", "kHanyuPinyin")
FIELDS = set(READING_FIELDS) | {"kCompatibilityVariant"}
UNIHAN_FILES = ("Readings", "IRGSources")

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
        table[cp] = reading
    return chars, table, changed, missing


def render(table, version):
    lines = [
        "# Mandarin readings of the CJK characters that GBK encodes (hanzi<TAB>pinyin), one per\n",
        "# line, in code point order; the pinyin is one syllable with its tone mark (ü stays ü).\n",
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
    lines.extend("%s\t%s\n" % (chr(cp), reading) for cp, reading in sorted(table.items()))
    return "".join(lines)


def main():
    parser = argparse.ArgumentParser(description="Generate the pinyin table.")
    parser.add_argument("--out", default=os.path.join(ROOT, "resources", "pinyin.tsv"))
    parser.add_argument("--overrides",
                        default=os.path.join(ROOT, "resources", "pinyin_overrides.tsv"))
    parser.add_argument("--unicode-dir", default=UNICODE_DIR)
    parser.add_argument("--check", action="store_true",
                        help="compare the file with a fresh run and print the counts")
    parser.add_argument("--report", action="store_true",
                        help="print the replaced neutral-tone readings and the counts")
    args = parser.parse_args()

    chars, table, changed, missing = build(args.unicode_dir, load_overrides(args.overrides))
    text = render(table, unihan_version(args.unicode_dir))

    if args.check or args.report:
        print("GBK ideographs %d, with a reading %d, without %d"
              % (len(chars), len(table), len(missing)), file=sys.stderr)
        print("without a reading: %s" % " ".join("U+%04X %s" % (cp, chr(cp)) for cp in missing),
              file=sys.stderr)
    if args.report:
        print("first kMandarin value replaced: %d" % len(changed), file=sys.stderr)
        for cp, rule, mandarin, reading in sorted(changed, key=lambda c: (c[1], c[0])):
            print("  %-13s %s  kMandarin %s -> %s" % (rule, chr(cp), mandarin, reading),
                  file=sys.stderr)
    if args.check:
        try:
            with open(args.out, encoding="utf-8", newline="") as f:
                current = f.read()
        except FileNotFoundError:
            current = None
        if current != text:
            print("%s is out of date; run python3 tools/gen_pinyin.py" % args.out,
                  file=sys.stderr)
            sys.exit(1)
        print("%s is up to date" % args.out, file=sys.stderr)
        return

    with open(args.out, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


if __name__ == "__main__":
    main()
