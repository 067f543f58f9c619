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
  * One rule for components: the part of a character beside its radical counts the same
    strokes in every character that contains it (路 13 in 路 露 璐 潞 鷺; 肅 13 in 肅 蕭 嘯 瀟 簫).
    The dictionary position (the kRSKangXi residual) is where the count starts, but it can fall
    one stroke short of the component: the dictionary files 璐 under 玉 + 12 and 蕭 under
    艸 + 12 though 路 and 肅 have 13 strokes, and 斌 under 文 + 7 though 武 has 8.  So:
      - the residual is raised to the written residual where that is larger: the written count
        (kTotalStrokes, largest value) less the full radical (露 雨 + 13 = 21, 斌 文 + 8 = 12,
        興 臼 + 10 = 16); and where the radical is written shortened (氵 王 艹 扌 忄 犭 礻 衤 月 辶
        阝 罒 耂: SHORTENED_RADICALS; the form is the one of the character's Adobe-Japan1 glyph,
        kRSAdobe_Japan1_6), the written count less the shortened radical, as long as that is one
        stroke more than the dictionary's (璐 17 - 王 4 = 13, so 玉 5 + 13 = 18; 潞 水 4 + 13 =
        17; 蕭 艸 6 + 13 = 19).  Comparing totals instead, as this generator once did, let the
        shortened radical hide the missing stroke: 璐 17 and 潞 16 against 露 21.
      - then every component found in several characters counts what most of them give it (on a
        tie the larger): 即 9 in 節 唧 as in 鯽 (節 15), 者 9 in 著 暑 煮 緒 署 as in 都 諸 賭,
        雚 18 in 勸 as in 權 歡 觀 (勸 20).  The component of a character is a character of the
        same phonetic series (kPhonetic) whose Cangjie code (kCangjie) makes up the character's
        code beside the radical and whose written count does the same with its written count
        (find_components); --check-components lists the components that the dictionary counts
        differently and what this rule made of them, and fails while one still counts
        differently.  Pairs the search matches wrongly are kept apart in the override file.
    Nested components keep what the rule gives their parts: 瀟 = 水 4 + 艹 3 + 肅 13 = 20 (the
    艹 inside counted as written), while the dictionary's own count of a grass top inside a
    component (4, as in 慕 心 + 莫 11) is never lowered.
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
  * Count overrides (the numerals 一 to 十 count by their value; characters whose dictionary
    form differs from the written one, 虜 12 written 虍 毌 力) win over everything, and hold for
    the simplified characters counted by them (虏 counts as 虜).

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
(/usr/share/unicode; the fields kRSKangXi, kTotalStrokes, kRSAdobe_Japan1_6, kIRG_GSource,
kPhonetic, kCangjie, kTraditionalVariant, kSimplifiedVariant, kTGH, kFrequency), OpenCC's STCharacters table from Debian's opencc package
(/usr/share/opencc/STCharacters.ocd2, read through its opencc_dict tool; a text export
STCharacters.txt can be given with --opencc instead), resources/fantizi_overrides.tsv,
given_name_chars.txt, surnames.txt and given_name_exclusions.txt.  Standard library only; run by
developers, not by the build, which needs neither unicode-data nor opencc.  Output is
deterministic.

Usage: python3 tools/gen_fantizi.py [--out resources/fantizi.tsv] [--report] [--check-icu]
                                    [--check-components]
                                    [--opencc /usr/share/opencc/STCharacters.ocd2]
  --check-components  print the components counted differently by the dictionary and the
                      residual the component rule gave them; write nothing; exit 1 if one still
                      counts differently.

One file on purpose (about 650 lines, a seventh of it this description): the data build runs it
on its own, and its steps, from the Unihan tables to the rows, share the tables it loads and read
best in the order they run; its component rule is checked by --check-components in the tests.
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
          "kFrequency", "kRSAdobe_Japan1_6", "kIRG_GSource", "kCangjie", "kPhonetic"}
UNIHAN_FILES = ["IRGSources", "RadicalStrokeCounts", "Variants", "OtherMappings",
                "DictionaryLikeData"]
LEVEL1_LAST = 3500      # last kTGH index of level 1
ROW_WIDTH = 100         # characters per row after the first
NO_FREQUENCY = 6        # sorts after kFrequency 1..5

# The shortened forms in which a radical is written beside other components: radical number ->
# (form, strokes in a mainland count, strokes in a Taiwan count, the radical strokes that
# kRSAdobe_Japan1_6 gives a glyph written with that form).  Radicals whose side form has as many
# strokes as the radical (亻 刂 灬 攵 訁 釒 ...) need no line.  Adobe-Japan1 counts 阝 as 3.
SHORTENED_RADICALS = {
    61: ("忄", 3, 3, {3}), 64: ("扌", 3, 3, {3}), 85: ("氵", 3, 3, {3}), 94: ("犭", 3, 3, {3}),
    96: ("王", 4, 4, {4}), 113: ("礻", 4, 4, {4}), 122: ("罒", 5, 5, {5}), 125: ("耂", 4, 4, {4}),
    130: ("月", 4, 4, {4}), 140: ("艹", 3, 4, {3, 4}), 145: ("衤", 5, 5, {5}),
    162: ("辶", 3, 4, {3, 4}), 163: ("阝", 2, 2, {3}), 170: ("阝", 2, 2, {3}),
}
# Radicals that a character other than the radical itself hardly ever writes in full.
ALWAYS_SHORTENED = {140, 162, 163, 170}

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
    """(traditional forms, counts, apart): apart maps a component to the characters that the
    component search pairs with it wrongly (None: every character)."""
    trad, counts, apart = {}, {}, {}
    for number, line in content_lines(path):
        fields = line.split("\t")
        if len(fields) != 3 or len(fields[1]) != 1:
            sys.exit("%s:%d: expected <kind>\\t<character>\\t<value>" % (path, number))
        kind, char, value = fields
        if kind == "trad" and len(value) == 1:
            trad[ord(char)] = ord(value)
        elif kind == "count" and value.isdigit():
            counts[ord(char)] = int(value)
        elif kind == "apart" and value and ord(char) not in apart:
            apart[ord(char)] = None if value == "*" else {ord(ch) for ch in value}
        else:
            sys.exit("%s:%d: bad override %r" % (path, number, line))
    return trad, counts, apart


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
        self.component_residual = {}    # character -> residual its component gives it

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

    def radical_and_residual(self, cp):
        """(radical number, residual strokes) of kRSKangXi, or None."""
        rs = self.field(cp, "kRSKangXi")
        if not rs:
            return None
        radical, residual = rs.split()[0].split(".")
        return int(radical.rstrip("'")), int(residual)

    def shortened_radical(self, cp, number):
        """Strokes of the character's radical as written in it, where it is written in one of the
        shortened forms of SHORTENED_RADICALS (潞 氵 3, 璐 王 4), counted by the convention of
        the character's written count (艹 and 辶: 3 in a mainland count, 4 in a Taiwan count);
        None where the radical is written in full or the form is not known.  The form is the one
        kRSAdobe_Japan1_6 gives the character's glyph; a character without an Adobe-Japan1 glyph
        writes 艸 辵 邑 阜 shortened (ALWAYS_SHORTENED) and the others in full."""
        form = SHORTENED_RADICALS.get(number)
        if not form:
            return None
        _, mainland, taiwan, glyph_counts = form
        short = mainland if self.field(cp, "kIRG_GSource") else taiwan
        glyphs = [item.split("+")[2].split(".") for item in
                  (self.field(cp, "kRSAdobe_Japan1_6") or "").split()]
        glyphs = [int(written) for radical, written, _ in glyphs if int(radical) == number]
        if not glyphs:
            return short if number in ALWAYS_SHORTENED else None
        return short if any(written in glyph_counts for written in glyphs) else None

    def written_residual(self, cp, number):
        """Written strokes beside the radical: the written count less the radical as written,
        or None where the radical's written form is not known to be shortened."""
        short = self.shortened_radical(cp, number)
        if short is None:
            return None
        values = [int(x) for x in self.field(cp, "kTotalStrokes").split()]
        # The first value is the mainland count where the character has a mainland source, the
        # last one the Taiwan count; the shortened radical was counted by the same convention.
        written = values[0] if self.field(cp, "kIRG_GSource") else values[-1]
        return written - short

    def residual(self, cp):
        """(radical number, the residual the count uses), or None: the dictionary residual,
        raised to the written residual where that is larger (see the module docstring)."""
        rr = self.radical_and_residual(cp)
        if not rr or rr[1] <= 0:
            return rr
        number, residual = rr
        if cp in self.component_residual:
            return number, self.component_residual[cp]
        full = self.full_radical[number]
        # The radical written in full: the written count less the full radical.
        written = max(int(x) for x in self.field(cp, "kTotalStrokes").split()) - full
        shortened = self.written_residual(cp, number)
        # Only a shortfall of one stroke is the dictionary's way of placing the character; a
        # larger one means the dictionary's character is written otherwise (蘤 艸 + 14 against
        # 艹 + 17 written), and its position stands.
        if shortened is not None and shortened == residual + 1:
            written = max(written, shortened)
        return number, max(residual, written)

    def own_count(self, cp):
        """Kangxi count of the character's own shape, without variant lookup."""
        rr = self.residual(cp)
        if rr:
            number, residual = rr
            if residual > 0:
                return self.full_radical[number] + residual
            if self.radical_ideographs.get(cp) == number:
                return self.full_radical[number]
        return int(self.field(cp, "kTotalStrokes").split()[0])

    def form_count(self, cp):
        """The count of one form: its count override, else its own count."""
        if cp in self.count_overrides:
            return self.count_overrides[cp]
        return self.own_count(cp)

    def count(self, cp):
        if cp in self.count_overrides:
            return self.count_overrides[cp]
        form = self.traditional(cp)
        # A count decided for a traditional form holds for the simplified form counted by it
        # (虏 counts as 虜).
        if form in self.count_overrides:
            return self.count_overrides[form]
        return self.own_count(form)


def cangjie_head(code):
    """The Cangjie letters of a component written first (left or top): its first and last."""
    return code if len(code) <= 2 else code[0] + code[-1]


def cangjie_body(code):
    """The Cangjie letters of a component written second: its first, second and last."""
    return code if len(code) <= 3 else code[0] + code[1] + code[-1]


def find_components(counter, forms, apart):
    """{component: [characters]}: for each counted form with a radical and residual strokes, the
    characters X that make up the rest of it beside its radical.  X is taken where
      * X shares a phonetic series with the character (kPhonetic, Casey's phonetic index),
      * the character's Cangjie code is a code of the radical followed by X's code as a second
        component, or X's code as a first component followed by the radical's (kCangjie: 璐 MG +
        RMR from 路 RMHER; 鷺 RR from 路 + HAF),
      * X's written count and that of the radical as written add up to the character's
        (璐 17 = 王 4 + 路 13), and X does not have the character's radical,
    less the pairs that resources/fantizi_overrides.tsv keeps apart."""
    series = {}
    for cp, entry in counter.unihan.items():
        for number in entry.get("kPhonetic", "").split():
            series.setdefault(number.rstrip("*"), set()).add(cp)
    found = {}
    for cp in sorted(forms):
        code = counter.field(cp, "kCangjie")
        rr = counter.radical_and_residual(cp)
        if not code or not rr or rr[1] <= 0:
            continue
        number = rr[0]
        short = SHORTENED_RADICALS.get(number)
        radical_counts = {counter.full_radical[number]} | ({short[1], short[2]} if short else set())
        written = [int(x) for x in counter.field(cp, "kTotalStrokes").split()]
        partners = set()
        for series_number in counter.field(cp, "kPhonetic").split() if counter.field(
                cp, "kPhonetic") else []:
            partners |= series[series_number.rstrip("*")]
        for x in sorted(partners - {cp}):
            x_code = counter.field(x, "kCangjie")
            x_rr = counter.radical_and_residual(x)
            if not x_code or len(x_code) < 2 or (x_rr and x_rr[0] == number):
                continue
            body, head = cangjie_body(x_code), cangjie_head(x_code)
            if not ((code.endswith(body) and len(code) > len(body))
                    or (code.startswith(head) and len(code) > len(head))):
                continue
            x_written = [int(v) for v in counter.field(x, "kTotalStrokes").split()]
            if not any(a - b in radical_counts for a in written for b in x_written):
                continue
            if x in apart and (apart[x] is None or cp in apart[x]):
                continue
            found.setdefault(x, []).append(cp)
    return found


def component_residuals(counter, components):
    """{component: {residual: [characters]}}: the residual each character containing the
    component gets (count less its full radical)."""
    result = {}
    for x, members in sorted(components.items()):
        by_residual = {}
        for cp in members:
            number = counter.radical_and_residual(cp)[0]
            residual = counter.form_count(cp) - counter.full_radical[number]
            by_residual.setdefault(residual, []).append(cp)
        result[x] = by_residual
    return result


def settle_components(counter, forms, apart):
    """Count every character containing a component with the residual that most of the
    characters containing it get (on a tie the larger), the component rule of the module
    docstring; returns (components, residuals before)."""
    components = find_components(counter, forms, apart)
    before = component_residuals(counter, components)
    # A character whose residual changes can be the component of another: settle again until
    # nothing changes (a few rounds).
    for _ in range(10):
        decided = {}
        for x, by_residual in component_residuals(counter, components).items():
            agreed = max(by_residual, key=lambda r: (len(by_residual[r]), r))
            for residual, members in by_residual.items():
                for cp in members:
                    if cp not in counter.count_overrides:
                        decided[cp] = max(decided.get(cp, 0), agreed)
        changed = {cp: r for cp, r in decided.items()
                   if counter.residual(cp)[1] != r}
        if not changed:
            break
        counter.component_residual.update(changed)
    return components, before


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


def check_components(counter, components, before):
    """Print the components that the dictionary and the written counts give different residuals
    in different characters, before and after the component rule; 1 if any still differs."""
    def show(by_residual):
        return "  ".join("%d:%s" % (r, "".join(chr(cp) for cp in sorted(members)))
                         for r, members in sorted(by_residual.items()))

    after = component_residuals(counter, components)
    differing = [x for x in sorted(components) if len(before[x]) > 1]
    still = [x for x in sorted(components) if len(after[x]) > 1]
    print("components found %d, in %d characters; counted differently by the dictionary %d,"
          " still differently %d" % (len(components), len({cp for m in components.values()
                                                            for cp in m}),
                                     len(differing), len(still)), file=sys.stderr)
    for x in differing:
        print("  %s  %s  ->  %s" % (chr(x), show(before[x]), show(after[x])), file=sys.stderr)
    for x in still:
        print("STILL DIFFERENT %s  %s" % (chr(x), show(after[x])), file=sys.stderr)
    return 1 if still else 0


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
    parser.add_argument("--check-components", action="store_true",
                        help="list the components whose characters the dictionary counts"
                             " differently and what the component rule made of them; exit 1"
                             " when a component still counts differently")
    parser.add_argument("--check-icu", action="store_true",
                        help="compare the GBK set with ICU's windows-936 (needs uconv)")
    args = parser.parse_args()

    chars = gbk_ideographs()
    if args.check_icu:
        check_icu(chars)
    unihan = load_unihan(args.unicode_dir)
    radicals = load_radicals(args.unicode_dir)
    trad_overrides, count_overrides, apart = load_overrides(args.overrides)
    opencc = load_opencc(args.opencc)
    counter = Counter(unihan, radicals, trad_overrides, count_overrides)
    forms = {counter.traditional(cp) for cp in chars}
    components, before = settle_components(counter, forms, apart)
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
    if args.check_components:
        sys.exit(check_components(counter, components, before))
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
