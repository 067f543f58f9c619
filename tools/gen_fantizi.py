#!/usr/bin/env python3
"""Generate resources/fantizi.tsv, the character stroke-count table of Quenvil.

The table holds every CJK ideograph that GBK (code page 936) encodes with two bytes, each in
exactly one row, grouped by its name-numerology stroke count (the count of the Kangxi dictionary):

  * A character counts its Kangxi radical in full form plus the residual strokes given by
    Unihan's kRSKangXi, so 氵 counts as 水 (4), 扌 as 手 (4), 艹 as 艸 (6), 辶 as 辵 (7), a left
    阝 as 阜 (8), a right 阝 as 邑 (7), and so on.  The full-form count of a radical is the
    stroke group the Kangxi dictionary files it under; this equals kTotalStrokes of the radical's
    unified ideograph for 208 of the 214 radicals, and differs for 廴 瓦 禸 骨 鬼 鼎, whose
    modern counts are one lower than the dictionary's (建 = 廴3 + 6 = 9).
  * Where that sum is lower than the written count (kTotalStrokes, largest value), because the
    dictionary position understates the character (斌 文+7, 露 雨+12, 興 臼+9), the written
    count is used instead: expanding a radical can only add strokes.
  * A character whose residual is zero or negative (it is its radical, or a shortened form of
    it such as 王 under 玉) keeps its own kTotalStrokes, except the radical's own ideograph,
    which keeps the dictionary count of the radical (瓦 5, 骨 10).
  * A simplified character takes the count of its traditional form (kTraditionalVariant).
    When Unihan lists several forms (or the character itself among others), the override file
    decides; without an override the first listed form other than the character is taken.
  * That choice is cross-checked against OpenCC's simplified-to-traditional character table
    (STCharacters), whose first form is OpenCC's standard traditional form.  Where the two
    differ for a given-name or surname character, the override file must decide, or the
    generator stops; --report lists every character where they differ.  An override may name
    the character itself, a form Unihan lists, or a form OpenCC lists (勋 -> 勳: Unihan lists only
    the variant 勛).
  * Characters without kRSKangXi fall back to kTotalStrokes (first value).
  * Count overrides (the numerals 一 to 十 count by their value) win over everything.

Row order: by count ascending.  The first row of each count holds the characters of level 1 of
the Table of General Standard Chinese Characters (kTGH index <= 3500) with that count, and the
characters of resources/given_name_chars.txt and resources/surnames.txt, most
frequent first (kFrequency, then kTGH index), each followed by its traditional forms of the same
count; characters listed in resources/given_name_exclusions.txt are kept out of it, since the
first row is what the program offers for names.  The other characters of that count follow in
rows of at most 100 characters: levels 1 to 3 by kTGH index (so the excluded level-1
characters open the second row), then the rest by code point.  A count without level-1 or
name characters takes the first hundred of those others, excluded characters left out, as its
first row; a count whose only characters are excluded has an empty first row.

The GBK set is computed with Python's "gbk" codec by decoding every two-byte sequence (lead
0x81-0xFE, trail 0x40-0xFE except 0x7F).  For the ideograph ranges U+3400-U+4DBF,
U+4E00-U+9FFF and U+F900-U+FAFF it was checked to be identical to ICU's "windows-936"
converter (20923 characters, both by decoding all byte pairs and by encoding all ideographs), so
no correction list is needed; run with --check-icu to repeat that check through ICU's uconv.

Inputs: Unihan and CJKRadicals.txt of Unicode 15.0 from Debian's unicode-data package
(/usr/share/unicode), OpenCC's STCharacters table from Debian's opencc package
(/usr/share/opencc/STCharacters.ocd2, read through its opencc_dict tool; a text export
STCharacters.txt can be given with --opencc instead), resources/fantizi_overrides.tsv,
given_name_chars.txt, surnames.txt and given_name_exclusions.txt.  Standard library only; run by
developers, not by the build, which needs neither unicode-data nor opencc.  Output is
deterministic.

Usage: python3 tools/gen_fantizi.py [--out resources/fantizi.tsv] [--report] [--check-icu]
                                    [--opencc /usr/share/opencc/STCharacters.ocd2]
"""

import argparse
import bz2
import os
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
UNICODE_DIR = "/usr/share/unicode"
OPENCC_TABLE = "/usr/share/opencc/STCharacters.ocd2"
FIELDS = {"kRSKangXi", "kTotalStrokes", "kTraditionalVariant", "kSimplifiedVariant", "kTGH",
          "kFrequency"}
UNIHAN_FILES = ["IRGSources", "RadicalStrokeCounts", "Variants", "OtherMappings",
                "DictionaryLikeData"]
LEVEL1_LAST = 3500      # last kTGH index of level 1
ROW_WIDTH = 100         # characters per row after the first
NO_FREQUENCY = 6        # sorts after kFrequency 1..5

# First radical number of each stroke group of the Kangxi dictionary's 214 radicals.
RADICAL_GROUPS = [(1, 1), (7, 2), (30, 3), (61, 4), (95, 5), (118, 6), (147, 7), (167, 8),
                  (176, 9), (187, 10), (195, 11), (201, 12), (205, 13), (209, 14), (211, 15),
                  (212, 16), (214, 17)]


def is_ideograph(cp):
    return 0x3400 <= cp <= 0x4DBF or 0x4E00 <= cp <= 0x9FFF or 0xF900 <= cp <= 0xFAFF


def gbk_pairs():
    for lead in range(0x81, 0xFF):
        for trail in range(0x40, 0xFF):
            if trail != 0x7F:
                yield bytes([lead, trail])


def gbk_ideographs():
    found = set()
    for pair in gbk_pairs():
        try:
            text = pair.decode("gbk")
        except UnicodeDecodeError:
            continue
        if len(text) == 1 and is_ideograph(ord(text)):
            found.add(ord(text))
    return found


def check_icu(expected):
    """Decode every byte pair with ICU's uconv (package icu-devtools) and compare."""
    data = b"".join(pair + b"\n" for pair in gbk_pairs())
    result = subprocess.run(["uconv", "-f", "windows-936", "-t", "utf-8",
                             "--from-callback", "substitute"],
                            input=data, capture_output=True, check=True)
    icu = {ord(s) for s in result.stdout.decode("utf-8").split("\n")
           if len(s) == 1 and is_ideograph(ord(s))}
    if icu != expected:
        missing = sorted(icu - expected)
        extra = sorted(expected - icu)
        sys.exit("ICU windows-936 differs: only in ICU %s, only in Python %s"
                 % (["U+%04X" % c for c in missing], ["U+%04X" % c for c in extra]))
    print("ICU windows-936 check: %d ideographs, identical" % len(icu), file=sys.stderr)


def content_lines(path):
    """(line number, line) for each line of a UTF-8 source that is not blank or a comment."""
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if line.strip() and not line.startswith("#"):
                yield number, line


def load_unihan(unicode_dir, files=UNIHAN_FILES, fields=FIELDS, wanted=None):
    """The given fields of the given Unihan files, by code point (only those in wanted, if given)."""
    data = {}
    for name in files:
        path = os.path.join(unicode_dir, "Unihan_%s.txt.bz2" % name)
        with bz2.open(path, "rt", encoding="utf-8") as f:
            for line in f:
                if line.startswith("#") or not line.strip():
                    continue
                code, field, value = line.rstrip("\n").split("\t", 2)
                if field in fields:
                    cp = int(code[2:], 16)
                    if wanted is None or cp in wanted:
                        data.setdefault(cp, {})[field] = value
    return data


def load_radicals(unicode_dir):
    """Radical number (without apostrophe) -> code point of its unified ideograph."""
    radicals = {}
    with open(os.path.join(unicode_dir, "CJKRadicals.txt"), encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            number, _, ideograph = [x.strip() for x in line.split(";")]
            if not number.endswith("'"):
                radicals[int(number)] = int(ideograph, 16)
    return radicals


def load_opencc(path):
    """OpenCC's simplified character -> its traditional forms, OpenCC's standard form first.

    Reads the text form of the table (character, tab, forms separated by spaces); the binary
    .ocd2 file that Debian installs is first exported to text with opencc_dict."""
    if not os.path.exists(path):
        sys.exit("OpenCC table %s not found: install Debian's opencc package" % path)
    if path.endswith(".ocd2"):
        with tempfile.TemporaryDirectory() as tmp:
            text = os.path.join(tmp, "STCharacters.txt")
            try:
                subprocess.run(["opencc_dict", "-i", path, "-o", text, "-f", "ocd2", "-t", "text"],
                               capture_output=True, check=True)
            except FileNotFoundError:
                sys.exit("opencc_dict not found: install Debian's opencc package")
            except subprocess.CalledProcessError as e:
                sys.exit("opencc_dict could not read %s: %s" % (path, e.stderr.decode().strip()))
            return load_opencc(text)
    table = {}
    for number, line in content_lines(path):
        key, _, forms = line.partition("\t")
        forms = forms.split()
        if len(key) != 1 or not forms or any(len(form) != 1 for form in forms):
            sys.exit("%s:%d: expected <character>\\t<forms>" % (path, number))
        table[ord(key)] = [ord(form) for form in forms]
    return table


def load_overrides(path):
    trad, counts = {}, {}
    for number, line in content_lines(path):
        fields = line.split("\t")
        if len(fields) != 3 or len(fields[1]) != 1:
            sys.exit("%s:%d: expected <kind>\\t<character>\\t<value>" % (path, number))
        kind, char, value = fields
        if kind == "trad" and len(value) == 1:
            trad[ord(char)] = ord(value)
        elif kind == "count" and value.isdigit():
            counts[ord(char)] = int(value)
        else:
            sys.exit("%s:%d: bad override %r" % (path, number, line))
    return trad, counts


class Counter:
    def __init__(self, unihan, radicals, trad_overrides, count_overrides):
        self.unihan = unihan
        self.radicals = radicals
        self.trad_overrides = trad_overrides
        self.count_overrides = count_overrides
        self.full_radical = {}
        for number, ideograph in radicals.items():
            group = [strokes for first, strokes in RADICAL_GROUPS if first <= number][-1]
            own = [int(x) for x in unihan[ideograph]["kTotalStrokes"].split()]
            if group not in own and abs(group - own[0]) > 1:
                sys.exit("radical %d: dictionary group %d far from kTotalStrokes %s"
                         % (number, group, own))
            self.full_radical[number] = group
        self.radical_ideographs = {ideograph: number for number, ideograph in radicals.items()}
        self.ambiguous = {}     # simplified -> (simplified, chosen, all forms) by the default rule

    def field(self, cp, name):
        return self.unihan.get(cp, {}).get(name)

    def variants(self, cp):
        value = self.field(cp, "kTraditionalVariant")
        return [int(x[2:], 16) for x in value.split()] if value else []

    def traditional(self, cp):
        """The form whose strokes this character counts."""
        if cp in self.trad_overrides:
            return self.trad_overrides[cp]
        forms = self.variants(cp)
        others = [f for f in forms if f != cp]
        if not others:
            return cp
        chosen = others[0]
        if len(forms) > 1 and len({self.own_count(f) for f in forms}) > 1:
            self.ambiguous[cp] = (cp, chosen, forms)
        return chosen

    def own_count(self, cp):
        """Kangxi count of the character's own shape, without variant lookup."""
        rs = self.field(cp, "kRSKangXi")
        if rs:
            radical, residual = rs.split()[0].split(".")
            number = int(radical.rstrip("'"))
            residual = int(residual)
            if residual > 0:
                # Spelling the radical out never removes strokes; where the dictionary position
                # falls short of the written count (斌 67.7, 露 173.12, 興 134.9) the written
                # count is right.
                written = max(int(x) for x in self.field(cp, "kTotalStrokes").split())
                return max(self.full_radical[number] + residual, written)
            if self.radical_ideographs.get(cp) == number:
                return self.full_radical[number]
        return int(self.field(cp, "kTotalStrokes").split()[0])

    def count(self, cp):
        if cp in self.count_overrides:
            return self.count_overrides[cp]
        return self.own_count(self.traditional(cp))


def tgh_index(unihan, cp):
    value = unihan.get(cp, {}).get("kTGH")
    return int(value.split()[0].split(":")[1]) if value else None


def load_name_characters(resources):
    """The characters of the curated given-name list and of the surname list."""
    names = set()
    for file in ("given_name_chars.txt", "surnames.txt"):
        with open(os.path.join(resources, file), encoding="utf-8") as f:
            for line in f:
                line = line.split("\t")[0].strip()
                if line and not line.startswith("#"):
                    names.update(ord(ch) for ch in line)
    return names


def load_exclusions(resources):
    """The characters of given_name_exclusions.txt (character, tab, reason)."""
    excluded = set()
    with open(os.path.join(resources, "given_name_exclusions.txt"), encoding="utf-8") as f:
        for line in f:
            line = line.split("\t")[0].strip()
            if line and not line.startswith("#"):
                excluded.update(ord(ch) for ch in line)
    return excluded


def opencc_differences(chars, counter, opencc):
    """(character, chosen form, OpenCC's forms) wherever the chosen form is not OpenCC's first."""
    return [(cp, counter.traditional(cp), opencc[cp]) for cp in sorted(chars)
            if cp in opencc and counter.traditional(cp) != opencc[cp][0]]


def build_rows(chars, unihan, counter, name_chars=frozenset(), excluded=frozenset()):
    counts = {cp: counter.count(cp) for cp in sorted(chars)}
    by_count = {}
    for cp, n in counts.items():
        by_count.setdefault(n, []).append(cp)

    def frequency(cp):
        value = unihan.get(cp, {}).get("kFrequency")
        return int(value) if value else NO_FREQUENCY

    rows = []
    for n in sorted(by_count):
        members = by_count[n]
        # Level 1 of the general standard table, and the characters chosen for names.
        # Characters excluded from names stay out of it.
        level1 = sorted((cp for cp in members
                         if ((tgh_index(unihan, cp) or LEVEL1_LAST + 1) <= LEVEL1_LAST
                             or cp in name_chars) and cp not in excluded),
                        key=lambda cp: (frequency(cp), tgh_index(unihan, cp) or 99999, cp))
        placed = set()
        first = []
        for cp in level1:
            if cp in placed:
                continue
            first.append(cp)
            placed.add(cp)
            for form in counter.variants(cp) + [counter.traditional(cp)]:
                if (form in chars and form not in placed and counts[form] == n
                        and form not in excluded):
                    first.append(form)
                    placed.add(form)
        rest = [cp for cp in members if cp not in placed]
        listed = sorted((cp for cp in rest if tgh_index(unihan, cp)),
                          key=lambda cp: tgh_index(unihan, cp))
        others = sorted(cp for cp in rest if not tgh_index(unihan, cp))
        rest = listed + others
        if not first:
            # No common or name character has this count: its first row is the first hundred of
            # the others, still without excluded characters, and empty if the count holds
            # nothing else (龘 48).
            first = [cp for cp in rest if cp not in excluded][:ROW_WIDTH]
            rest = [cp for cp in rest if cp not in first]
        rows.append((n, first))
        for i in range(0, len(rest), ROW_WIDTH):
            rows.append((n, rest[i:i + ROW_WIDTH]))
    return rows, counts


def main():
    parser = argparse.ArgumentParser(description="Generate the fantizi stroke-count table.")
    parser.add_argument("--out", default=os.path.join(ROOT, "resources", "fantizi.tsv"))
    parser.add_argument("--overrides",
                        default=os.path.join(ROOT, "resources", "fantizi_overrides.tsv"))
    parser.add_argument("--unicode-dir", default=UNICODE_DIR)
    parser.add_argument("--opencc", default=OPENCC_TABLE,
                        help="OpenCC's STCharacters table (.ocd2, or its text export)")
    parser.add_argument("--report", action="store_true",
                        help="print counts per stroke number, unreviewed variant choices and"
                             " every character whose form differs from OpenCC's")
    parser.add_argument("--check-icu", action="store_true",
                        help="compare the GBK set with ICU's windows-936 (needs uconv)")
    args = parser.parse_args()

    chars = gbk_ideographs()
    if args.check_icu:
        check_icu(chars)
    unihan = load_unihan(args.unicode_dir)
    radicals = load_radicals(args.unicode_dir)
    trad_overrides, count_overrides = load_overrides(args.overrides)
    opencc = load_opencc(args.opencc)
    counter = Counter(unihan, radicals, trad_overrides, count_overrides)
    for simplified, chosen in sorted(trad_overrides.items()):
        if (chosen != simplified and chosen not in counter.variants(simplified)
                and chosen not in opencc.get(simplified, [])):
            sys.exit("override %s -> %s: a form that neither Unihan nor OpenCC lists"
                     % (chr(simplified), chr(chosen)))
    resources = os.path.join(ROOT, "resources")
    name_chars = load_name_characters(resources)
    excluded = load_exclusions(resources)
    differences = opencc_differences(chars, counter, opencc)
    undecided = [d for d in differences if d[0] in name_chars and d[0] not in trad_overrides]
    if undecided:
        sys.exit("name characters whose traditional form differs from OpenCC's; decide them in %s:"
                 "\n%s" % (args.overrides, "\n".join(
                     "  %s: Unihan default %s, OpenCC %s" % (
                         chr(cp), chr(chosen), " ".join(chr(f) for f in forms))
                     for cp, chosen, forms in undecided)))
    rows, counts = build_rows(chars, unihan, counter, name_chars, excluded)

    seen = [cp for _, row in rows for cp in row]
    assert len(seen) == len(set(seen)) == len(chars), "every character exactly once"

    with open(args.out, "w", encoding="utf-8", newline="\n") as f:
        f.write("# Stroke counts of the fantizi table (bihua<TAB>hanzi), one table row per line.\n")
        f.write("# Generated by tools/gen_fantizi.py from Unihan 15.0 and"
                " resources/fantizi_overrides.tsv; do not edit by hand.\n")
        for n, row in rows:
            f.write("%d\t%s\n" % (n, "".join(chr(cp) for cp in row)))

    if args.report:
        per_count = {}
        for n in counts.values():
            per_count[n] = per_count.get(n, 0) + 1
        print("characters %d, rows %d" % (len(chars), len(rows)), file=sys.stderr)
        print(" ".join("%d:%d" % item for item in sorted(per_count.items())), file=sys.stderr)
        # Default choices whose forms differ in count: first those between several traditional
        # forms, then those where the character itself is listed as well.
        choices = sorted(counter.ambiguous.values(),
                         key=lambda a: (a[0] in a[2], tgh_index(unihan, a[0]) or 99999, a[0]))
        print("default variant choices: %d" % len(choices), file=sys.stderr)
        for cp, chosen, forms in choices:
            print("  %s%s -> %s %d  (%s)" % (
                "*" if cp in forms else " ", chr(cp), chr(chosen), counts[cp],
                " ".join("%s%d" % (chr(f), counter.own_count(f)) for f in forms)), file=sys.stderr)
        # Every character whose form is not OpenCC's standard form: name characters first, then
        # those whose count would change, then the rest.  N = given-name or surname character,
        # O = decided in the override file, = = same count either way.
        def own(cp):
            return counter.own_count(cp) if cp in unihan else None

        def same_count(d):
            return own(d[2][0]) == counts[d[0]]

        print("forms that differ from OpenCC's: %d (name characters %d)" % (
            len(differences), sum(1 for d in differences if d[0] in name_chars)), file=sys.stderr)
        for cp, chosen, forms in sorted(differences, key=lambda d: (
                d[0] not in name_chars, same_count(d), tgh_index(unihan, d[0]) or 99999, d[0])):
            print("  %s%s%s %s -> %s %d  OpenCC %s" % (
                "N" if cp in name_chars else " ", "O" if cp in trad_overrides else " ",
                "=" if same_count((cp, chosen, forms)) else " ", chr(cp), chr(chosen), counts[cp],
                " ".join("%s%s" % (chr(f), own(f) if own(f) is not None else "?")
                         for f in forms)), file=sys.stderr)


if __name__ == "__main__":
    main()
