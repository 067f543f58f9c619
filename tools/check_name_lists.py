#!/usr/bin/env python3
"""Check the three hand-written name lists of the recommendation engine.

Reads resources/given_names.tsv (given names that parents really choose, the over-used ones
marked), famous_people.tsv (full names that must not be given by accident) and name_words.tsv
(pair rules that refuse or mark down given names reading as words), together with fantizi.tsv,
pinyin.tsv, given_name_chars.txt, given_name_exclusions.txt, surnames.txt and
compound_surnames.txt, and checks:

  * the format of each file: the number of tab-separated fields, the allowed values of each
    field (genders m / f / n, usages - / overused, rule kinds given / surname, rule genders
    any / m / f, actions refuse / mark), names made of Chinese characters only, given names of
    exactly two characters, rule patterns of two characters or one character and '*';
  * that no entry is listed twice, and no famous name begins with another famous name (the
    engine refuses every full name that is, or begins with, a listed one, so the longer entry
    would never decide anything);
  * that every character of the three files is in GBK, has a stroke count (a line of
    fantizi.tsv) and a reading (a line of pinyin.tsv);
  * that no given name contains a character of given_name_exclusions.txt;
  * that a famous name reads as surname + given name the way the engine cuts a full name (a
    compound surname of compound_surnames.txt if it starts with one, else its first character),
    with at least one character of given name;
  * that a surname rule starts with the last character of a known surname (surnames.txt or
    compound_surnames.txt) and holds no '*';
  * that no given name of given_names.tsv is hit by a refuse rule of name_words.tsv.

A given rule matches a two-character given name equal to its pattern, where '*' stands for any one
character; a rule for m applies to given names tagged m or n, a rule for f to names tagged f or n.
Given names hit by a mark rule are listed as notes, not failures.

It prints the counts of each file (with the over-used given names by gender), the most used
characters of given_names.tsv, and the characters of given_names.tsv that are missing from
given_name_chars.txt with how often they occur, so that the character list can be extended.

Usage: python3 tools/check_name_lists.py
Exit status 1 when a check fails.  Standard library only.
"""

import collections
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RES = os.path.join(ROOT, "resources")

GENDERS = {"m", "f", "n"}
USAGES = {"-", "overused"}
RULE_KINDS = {"given", "surname"}
RULE_GENDERS = {"any", "m", "f"}
ACTIONS = {"refuse", "mark"}
WILDCARD = "*"

FAILURES = []


def fail(message):
    FAILURES.append(message)
    print("FAIL " + message)


def content_lines(name):
    """(line number, line) of each line of a resource that is not blank or a comment."""
    with open(os.path.join(RES, name), encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if line.strip() and not line.startswith("#"):
                yield number, line


def rows(name, columns):
    """(line number, fields) of each content line; lines with another field count fail."""
    for number, line in content_lines(name):
        fields = line.split("\t")
        if len(fields) != columns or any(not f.strip() or f != f.strip() for f in fields):
            fail("%s:%d: expected %d non-empty tab-separated fields without outer blanks: %r"
                 % (name, number, columns, line))
            continue
        yield number, fields


def is_hanzi(ch):
    cp = ord(ch)
    return 0x3400 <= cp <= 0x4DBF or 0x4E00 <= cp <= 0x9FFF or 0xF900 <= cp <= 0xFAFF


class Characters:
    """What the program knows about each character: GBK, stroke count, reading."""

    def __init__(self):
        self.strokes = {}
        for _, line in content_lines("fantizi.tsv"):
            count, chars = line.split("\t")
            for ch in chars:
                self.strokes[ch] = int(count)
        self.pinyin = {}
        for _, line in content_lines("pinyin.tsv"):
            ch, reading = line.split("\t")[:2]
            self.pinyin[ch] = reading

    def check(self, where, text):
        for ch in dict.fromkeys(text):
            if ch == WILDCARD:
                continue
            if not is_hanzi(ch):
                fail("%s: %r is not a Chinese character" % (where, ch))
                continue
            try:
                in_gbk = len(ch.encode("gbk")) == 2
            except UnicodeEncodeError:
                in_gbk = False
            if not in_gbk:
                fail("%s: %s is not in GBK" % (where, ch))
            if ch not in self.strokes:
                fail("%s: %s has no stroke count in fantizi.tsv" % (where, ch))
            if ch not in self.pinyin:
                fail("%s: %s has no reading in pinyin.tsv" % (where, ch))


def first_column(name):
    return [line.split("\t")[0] for _, line in content_lines(name)]


def load_rules(chars):
    rules = []
    seen = {}
    surname_ends = {s[-1] for s in first_column("surnames.txt") + first_column("compound_surnames.txt")}
    for number, (pattern, kind, gender, action, reason) in rows("name_words.tsv", 5):
        where = "name_words.tsv:%d" % number
        if len(pattern) != 2 or pattern == WILDCARD * 2:
            fail("%s: pattern %r must be two characters, or one and '*'" % (where, pattern))
            continue
        chars.check(where, pattern)
        if kind not in RULE_KINDS:
            fail("%s: applies %r is not one of %s" % (where, kind, sorted(RULE_KINDS)))
        if gender not in RULE_GENDERS:
            fail("%s: gender %r is not one of %s" % (where, gender, sorted(RULE_GENDERS)))
        if action not in ACTIONS:
            fail("%s: action %r is not one of %s" % (where, action, sorted(ACTIONS)))
        if not any(is_hanzi(ch) for ch in reason):
            fail("%s: reason %r says nothing in Chinese" % (where, reason))
        if kind == "surname":
            if WILDCARD in pattern:
                fail("%s: a surname rule names both characters: %r" % (where, pattern))
            elif pattern[0] not in surname_ends:
                fail("%s: %s does not end any surname of surnames.txt or compound_surnames.txt"
                     % (where, pattern[0]))
        key = (pattern, kind, gender)
        if key in seen:
            fail("%s: %s %s %s already listed at line %d" % (where, pattern, kind, gender,
                                                             seen[key]))
        seen[key] = number
        rules.append((number, pattern, kind, gender, action, reason))
    return rules


def rule_hits(rule, name, gender):
    _, pattern, kind, rule_gender, _, _ = rule
    if kind != "given":
        return False
    if rule_gender != "any" and gender not in (rule_gender, "n"):
        return False
    return all(p in (WILDCARD, c) for p, c in zip(pattern, name))


def load_given_names(chars):
    excluded = set(first_column("given_name_exclusions.txt"))
    names = {}
    for number, (name, gender, usage) in rows("given_names.tsv", 3):
        where = "given_names.tsv:%d" % number
        if len(name) != 2:
            fail("%s: %r is not a two-character given name" % (where, name))
            continue
        chars.check(where, name)
        if gender not in GENDERS:
            fail("%s: gender %r is not one of %s" % (where, gender, sorted(GENDERS)))
        if usage not in USAGES:
            fail("%s: usage %r is not one of %s" % (where, usage, sorted(USAGES)))
        for ch in name:
            if ch in excluded:
                fail("%s: %s uses %s of given_name_exclusions.txt" % (where, name, ch))
        if name in names:
            fail("%s: %s already listed at line %d" % (where, name, names[name][0]))
            continue
        names[name] = (number, gender, usage)
    return names


def load_famous(chars):
    compounds = first_column("compound_surnames.txt")
    known = set(first_column("surnames.txt")) | set(compounds)
    famous = {}
    other_surnames = collections.Counter()
    for number, (name, who) in rows("famous_people.tsv", 2):
        where = "famous_people.tsv:%d" % number
        chars.check(where, name)
        surname = next((c for c in compounds if name.startswith(c)), name[:1])
        if len(name) <= len(surname):
            fail("%s: %s has no given name after the surname %s" % (where, name, surname))
        if surname not in known:
            other_surnames[surname] += 1
        if not any(is_hanzi(ch) for ch in who):
            fail("%s: %r says nothing in Chinese" % (where, who))
        if name in famous:
            fail("%s: %s already listed at line %d" % (where, name, famous[name]))
            continue
        famous[name] = number
    for name, number in sorted(famous.items(), key=lambda item: item[1]):
        for prefix in range(2, len(name)):
            shorter = name[:prefix]
            if shorter in famous:
                fail("famous_people.tsv:%d: %s begins with %s (line %d), which already refuses it"
                     % (number, name, shorter, famous[shorter]))
    return famous, other_surnames


def report_given(names, rules):
    by_gender = collections.Counter(g for _, g, _ in names.values())
    print("given_names.tsv: %d names (m %d, f %d, n %d)"
          % (len(names), by_gender["m"], by_gender["f"], by_gender["n"]))
    overused = collections.Counter(g for _, g, u in names.values() if u == "overused")
    print("  %d marked overused (m %d, f %d, n %d)"
          % (sum(overused.values()), overused["m"], overused["f"], overused["n"]))
    first = collections.Counter(n[0] for n in names)
    second = collections.Counter(n[1] for n in names)
    used = collections.Counter(ch for n in names for ch in n)
    print("  %d distinct characters; most used first: %s" % (
        len(used), " ".join("%s %d" % kv for kv in first.most_common(10))))
    print("  most used second: %s" % " ".join("%s %d" % kv for kv in second.most_common(10)))
    marked = []
    for name, (number, gender, _) in sorted(names.items(), key=lambda item: item[1][0]):
        for rule in rules:
            if rule_hits(rule, name, gender):
                if rule[4] == "refuse":
                    fail("given_names.tsv:%d: %s is refused by name_words.tsv:%d (%s %s)"
                         % (number, name, rule[0], rule[1], rule[5]))
                else:
                    marked.append("%s (%s %s)" % (name, rule[1], rule[5]))
    if marked:
        print("  note: marked down by name_words.tsv: " + ", ".join(marked))
    curated = set(first_column("given_name_chars.txt"))
    missing = [(ch, n) for ch, n in used.most_common() if ch not in curated]
    print("  %d characters not in given_name_chars.txt (character, names using it):"
          % len(missing))
    for start in range(0, len(missing), 12):
        print("    " + " ".join("%s %d" % kv for kv in missing[start:start + 12]))


def main():
    chars = Characters()
    rules = load_rules(chars)
    names = load_given_names(chars)
    famous, other_surnames = load_famous(chars)

    report_given(names, rules)
    kinds = collections.Counter((r[2], r[4]) for r in rules)
    print("name_words.tsv: %d rules (given: %d refuse, %d mark; surname: %d refuse, %d mark)"
          % (len(rules), kinds["given", "refuse"], kinds["given", "mark"],
             kinds["surname", "refuse"], kinds["surname", "mark"]))
    print("famous_people.tsv: %d names (%d with a compound surname; %d with a surname outside "
          "surnames.txt: %s)" % (
              len(famous),
              sum(1 for n in famous if any(n.startswith(c)
                                           for c in first_column("compound_surnames.txt"))),
              sum(other_surnames.values()), " ".join(sorted(other_surnames))))
    if FAILURES:
        print("%d failures" % len(FAILURES))
        return 1
    print("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
