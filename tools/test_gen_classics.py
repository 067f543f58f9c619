#!/usr/bin/env python3
"""Tests of tools/gen_classics.py on a small chinese-poetry tarball made here.

The fixture holds three books in the shape of the real package: 诗经 (simplified), 唐诗三百首
and 古文观止 (traditional).  Needs Debian's opencc and libopencc-data; exits with 77 (skipped)
without them.  Run: python3 tools/test_gen_classics.py
"""

import io
import json
import os
import shutil
import subprocess
import sys
import tarfile
import tempfile
import unittest

sys.dont_write_bytecode = True
TOOLS = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, TOOLS)
import gen_classics  # noqa: E402

SHIJING = [
    {"title": "鹿鸣", "chapter": "小雅", "section": "鹿鸣之什",
     "content": ["呦呦鹿鸣，食野之苹。我有嘉宾，鼓瑟吹笙。吹笙鼓簧，承筐是将。"]},
    {"title": "駉", "chapter": "鲁颂", "section": "駉之什",
     "content": ["駉駉牡马，在坰之野。", "駉駉牡马，在坰之野。薄言駉者，有骓有駓。"]},
    {"title": "汉广", "chapter": "国风", "section": "周南",
     "content": ["汉之广矣，不可泳思。江之永矣，不可方思。", "汉之广矣，不可泳思。"]},
]
TANGSHI = {"title": "唐詩三百首", "content": [
    {"type": "五言絕句", "content": [
        {"chapter": "靜夜思", "subchapter": None, "author": "李白",
         "paragraphs": ["床前明月光，疑是地上霜，", "舉頭望明月，低頭思故鄉。"]},
        {"chapter": "山中送別", "subchapter": "送別 / 山中送別", "author": "王維",
         "paragraphs": ["山中相送罷，日暮掩柴扉。",
                        "春草明年綠，王孫歸不歸？(明年 一作：年年)"]}]},
    {"type": "七言古詩", "content": [
        {"chapter": "觀公孫大娘弟子舞劍器行", "subchapter": None, "author": "杜甫",
         "paragraphs": ["㸌如羿射九日落，矯如羣帝驂龍翔。",
                        "來如雷霆收震怒，罷如江海凝清光。(\n海 一作：水)"]}]}]}
LONG = ("苟有明信，澗溪沼沚之毛，蘋蘩蘊藻之菜，筐筥錡釜之器，潢污行潦之水，可薦於鬼神，"
        "可羞於王公，而況君子結二國之信，行之以禮，又焉用質？")
GUWEN = {"title": "古文觀止", "abstract": ["選本。"], "content": [
    {"title": "卷一・周文", "content": [
        {"chapter": "鄭伯克段於鄢 ", "source": "《左傳》", "author": "先秦：左丘明 ",
         "paragraphs": ["公曰：“多行不義，必自斃，子姑待之。”",
                        "上篇",
                        "君子曰：“潁考叔，純孝也。《詩》曰：‘孝子不匱，永錫爾類。’”"]},
        {"chapter": "周鄭交質", "source": "《左傳》", "author": "先秦：佚名 ",
         "paragraphs": [LONG]}]}]}

FILES = {
    "package/dist/shijing/shijing.json": SHIJING,
    "package/dist/mengxue/tangshisanbaishou.json": TANGSHI,
    "package/dist/mengxue/guwenguanzhi.json": GUWEN,
}
BOOKS = [b for b in gen_classics.BOOKS if b.name in ("诗经", "唐诗", "古文")]


def make_tarball(path, files):
    with tarfile.open(path, "w:gz") as tar:
        for name, data in files.items():
            blob = json.dumps(data, ensure_ascii=False, indent=2).encode("utf-8")
            info = tarfile.TarInfo(name)
            info.size = len(blob)
            tar.addfile(info, io.BytesIO(blob))


class GenClassicsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp()
        cls.tarball = os.path.join(cls.tmp, gen_classics.TARBALL)
        make_tarball(cls.tarball, FILES)
        cls.integrity = gen_classics.integrity_of(cls.tarball)
        cls.result = gen_classics.build(cls.tarball, BOOKS, cls.integrity)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp)

    def lines_of(self, title):
        return [row[3] for row in self.result.rows if row[1] == title]

    def test_rows_split_convert_and_cite(self):
        # (book, title, author, lines of the piece in order)
        expected = [
            ("诗经", "小雅·鹿鸣", "", ["呦呦鹿鸣，食野之苹。", "我有嘉宾，鼓瑟吹笙。",
                                       "吹笙鼓簧，承筐是将。"]),
            # OpenCC writes 駉 as 𬳶 and 駓 as 𬳵, outside GBK: the characters stay.
            ("诗经", "鲁颂·駉", "", ["駉駉牡马，在坰之野。", "薄言駉者，有骓有駓。"]),
            # The repeated line of a piece is kept once.
            ("诗经", "周南·汉广", "", ["汉之广矣，不可泳思。", "江之永矣，不可方思。"]),
            # A paragraph's trailing comma is trimmed; traditional becomes simplified.
            ("唐诗", "静夜思", "李白", ["床前明月光，疑是地上霜", "举头望明月，低头思故乡。"]),
            # Notes in brackets go.
            ("唐诗", "山中送别", "王维", ["山中相送罢，日暮掩柴扉。", "春草明年绿，王孙归不归？"]),
            # Quotation marks go, book-title marks stay, headings of prose are left out.
            ("古文", "郑伯克段于鄢", "左丘明", ["公曰：多行不义，必自毙，子姑待之。",
                                             "君子曰：颍考叔，纯孝也。",
                                             "《诗》曰：孝子不匮，永锡尔类。"]),
        ]
        for book, title, author, lines in expected:
            with self.subTest(title=title):
                rows = [row for row in self.result.rows if row[1] == title]
                self.assertEqual([row[3] for row in rows], lines)
                self.assertEqual({(row[0], row[2]) for row in rows}, {(book, author)})

    def test_line_outside_gbk_is_dropped_and_counted(self):
        self.assertEqual(self.lines_of("观公孙大娘弟子舞剑器行"), ["来如雷霆收震怒，罢如江海凝清光。"])
        self.assertEqual(self.result.stats["唐诗"]["outside GBK"], 1)
        self.assertEqual([(d[2], d[3]) for d in self.result.dropped],
                         [("outside GBK", "㸌如羿射九日落，矫如群帝骖龙翔。")])

    def test_long_sentence_cut_at_commas_into_short_even_pieces(self):
        pieces = self.lines_of("周郑交质")
        self.assertGreater(len(pieces), 1)
        self.assertTrue(all(len(p) <= gen_classics.MAX_LINE for p in pieces), pieces)
        self.assertEqual("，".join(pieces), gen_classics.opencc_convert([LONG])[0])
        self.assertEqual({row[2] for row in self.result.rows if row[1] == "周郑交质"}, {""})

    def test_cut_long(self):
        limit = 12
        cases = [
            ("一二三四五，六七八九十。", ["一二三四五，六七八九十。"]),
            # Fewest pieces, then the most even: not 9 + 3 but 6 + 6.
            ("一二，三四，五六，七八，九十，甲乙。", ["一二，三四，五六", "七八，九十，甲乙。"]),
            # A clause without a comma is cut at its 、 or stays whole.
            ("甲、乙、丙、丁、戊、己、庚、辛。", ["甲、乙、丙、丁", "戊、己、庚、辛。"]),
            ("一二三四五六七八九十甲乙丙，丁。", ["一二三四五六七八九十甲乙丙", "丁。"]),
        ]
        for sentence, pieces in cases:
            with self.subTest(sentence=sentence):
                self.assertEqual(gen_classics.cut_long(sentence, limit), pieces)

    def test_cleaning_and_sentences(self):
        # (paragraphs of a piece, prose, sentences of the cleaned paragraphs)
        cases = [
            (["甲乙，丙丁。(丙丁 一作：\n丙戊)", "戊己？！庚，"], False, ["甲乙，丙丁。", "戊己？！", "庚"]),
            (["以綿上（地名）爲之田.後"], True, ["以綿上爲之田。", "後"]),
            (["秦俗多忌諱之禁也，——忠言未卒於口；，而"], True,
             ["秦俗多忌諱之禁也，忠言未卒於口；", "而"]),
            (["霾土忽兮塺々, 何也?"], False, ["霾土忽兮塺塺，何也？"]),
            (["发<激楚>些……"], False, ["发《激楚》些"]),
            # Headings of prose go; stand-ins for a missing character mark their line.
            (["管仲", "居大國之\u3000，而無此四者。"], True, ["居大國之\ufffd，而無此四者。"]),
            (["袭英衣兮缇[糹習]，披华裳兮。"], False, ["袭英衣兮缇\ufffd，披华裳兮。"]),
        ]
        for paragraphs, prose, expected in cases:
            with self.subTest(paragraphs=paragraphs):
                cleaned = gen_classics.clean_piece(paragraphs, prose)
                self.assertEqual([s for p in cleaned for s in gen_classics.sentences(p)],
                                 expected)
        self.assertEqual(gen_classics.drop_reason("袭英衣兮缇\ufffd，披华裳兮。"), "noise")
        self.assertEqual(gen_classics.balance_titles("《诗》曰：《书"), "诗曰：书")

    def test_name_filter_keeps_lines_with_two_name_characters(self):
        result = gen_classics.build(self.tarball, BOOKS, self.integrity,
                                    name_chars=set("明月光鹿鸣"))
        self.assertEqual([row[3] for row in result.rows],
                         ["呦呦鹿鸣，食野之苹。", "床前明月光，疑是地上霜", "举头望明月，低头思故乡。"])

    def test_wrong_integrity_is_refused(self):
        wrong = gen_classics.INTEGRITY
        with self.assertRaises(SystemExit) as caught:
            gen_classics.build(self.tarball, BOOKS, wrong)
        self.assertIn("integrity", str(caught.exception))
        # The command line takes the pinned hash only, so it refuses the fixture.
        out = os.path.join(self.tmp, "classics.tsv")
        run = subprocess.run([sys.executable, os.path.join(TOOLS, "gen_classics.py"),
                              "--tarball", self.tarball, "--out", out],
                             capture_output=True, text=True)
        self.assertNotEqual(run.returncode, 0)
        self.assertIn("refusing", run.stderr)
        self.assertFalse(os.path.exists(out))

    def test_missing_book_is_an_error(self):
        with self.assertRaises(SystemExit) as caught:
            gen_classics.build(self.tarball, gen_classics.BOOKS, self.integrity)
        self.assertIn("chuci", str(caught.exception))

    def test_rendered_table(self):
        text = gen_classics.render(self.result.rows)
        header = [line for line in text.splitlines() if line.startswith("#")]
        self.assertTrue(any(gen_classics.INTEGRITY in line for line in header))
        self.assertTrue(any("MIT" in line for line in header))
        body = [line.split("\t") for line in text.splitlines() if not line.startswith("#")]
        self.assertEqual(len(body), len(self.result.rows))
        self.assertTrue(all(len(fields) == 4 for fields in body))
        text.encode("gbk")


def opencc_works():
    try:
        return subprocess.run(["opencc", "-c", gen_classics.OPENCC_CONFIG], input="漢",
                              capture_output=True, text=True).stdout.strip() == "汉"
    except FileNotFoundError:
        return False


if __name__ == "__main__":
    if not opencc_works():
        print("opencc with t2s.json is not installed (Debian opencc, libopencc-data): skipped")
        sys.exit(77)
    unittest.main()
