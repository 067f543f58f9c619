// GBK conversion, two-byte units, trimming, integer parsing and lines.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unicode/ucnv.h>
#include <unicode/utf8.h>

#include <fstream>
#include <sstream>

#include "support/fixture_db.h"
#include "text/atomic_file.h"
#include "text/encoding.h"
#include "text/gbk.h"
#include "text/integer.h"
#include "text/lines.h"
#include "text/units.h"

namespace quenvil {
namespace {

using test::G;
using Lines = std::vector<std::string>;

// UTF-16 bytes of a UTF-8 text, through ICU, with a byte-order mark.
std::string utf16(const std::string& utf8, bool bigEndian) {
    UErrorCode status = U_ZERO_ERROR;
    std::string out(utf8.size() * 4 + 8, '\0');
    const int32_t n = ucnv_convert(bigEndian ? "UTF-16BE" : "UTF-16LE", "UTF-8", out.data(),
                                   static_cast<int32_t>(out.size()), utf8.data(),
                                   static_cast<int32_t>(utf8.size()), &status);
    out.resize(static_cast<size_t>(n));
    return (bigEndian ? std::string("\xFE\xFF") : std::string("\xFF\xFE")) + out;
}

TEST(Encoding, NameListsInUtf8AndUtf16BecomeGbkAndGbkStaysAsItIs) {
    const std::string text = "张小华 王小明\r\n黄思婷 €x\n";
    const std::string gbk = G("张小华 王小明\r\n黄思婷 ") + "\x80x\n";  // the euro sign: 0x80
    const struct {
        const char* what;
        std::string bytes;
        TextEncoding encoding;
    } cases[] = {{"UTF-8", text, TextEncoding::Utf8},
                 {"UTF-8 with BOM", "\xEF\xBB\xBF" + text, TextEncoding::Utf8Bom},
                 {"UTF-16LE", utf16(text, false), TextEncoding::Utf16Le},
                 {"UTF-16BE", utf16(text, true), TextEncoding::Utf16Be}};
    for (const auto& c : cases) {
        EXPECT_EQ(detectEncoding(c.bytes), c.encoding) << c.what;
        const GbkText converted = toGbkText(c.bytes);
        EXPECT_EQ(converted.detected, c.encoding) << c.what;
        EXPECT_EQ(converted.gbk, gbk) << c.what;
    }
    // GBK, ASCII, and bytes that are not valid UTF-8 pass unchanged.
    for (const std::string& bytes : {gbk, std::string("abc\r\n"), std::string("\xC0\x80"),
                                     std::string("\xD5 ") + G("王小明"), std::string()}) {
        EXPECT_EQ(detectEncoding(bytes), TextEncoding::Gbk);
        EXPECT_EQ(toGbkText(bytes).gbk, bytes);
    }
    // UTF-8 with a character GBK lacks: '?'.
    EXPECT_EQ(toGbkText("张\xF0\x9F\x98\x80").gbk, G("张") + "?");
}

TEST(Encoding, BlocksOfEverySizeDecodeAsTheWholeFile) {
    std::string text;
    for (int i = 0; i < 40; ++i) text += "张小华 王小明\r\n";
    const std::string inputs[] = {text,
                                  "abc " + text,
                                  "\xEF\xBB\xBF" + text,
                                  utf16(text, false),
                                  utf16(text, true),
                                  G(text.c_str()),
                                  "abc\n" + G(text.c_str())};
    for (const std::string& input : inputs) {
        const GbkText whole = toGbkText(input);
        const std::string wholeUtf8 = decodeToUtf8(input);
        for (size_t block : {1u, 2u, 3u, 5u, 7u, 64u, 4096u}) {
            GbkStreamDecoder decoder;
            GbkStreamDecoder toUtf8(GbkStreamDecoder::Target::Utf8);
            std::string out, utf8;
            for (size_t i = 0; i < input.size(); i += block) {
                decoder.feed(std::string_view(input).substr(i, block), out);
                toUtf8.feed(std::string_view(input).substr(i, block), utf8);
            }
            decoder.finish(out);
            toUtf8.finish(utf8);
            EXPECT_EQ(out, whole.gbk) << "block " << block;
            EXPECT_EQ(decoder.encoding(), whole.detected) << "block " << block;
            EXPECT_EQ(utf8, wholeUtf8) << "block " << block;
            EXPECT_EQ(toUtf8.encoding(), whole.detected) << "block " << block;
        }
    }
    // A file cut in the middle of a character keeps its last bytes.
    GbkStreamDecoder decoder;
    std::string out;
    decoder.feed("\xE5\xBC", out);
    decoder.finish(out);
    EXPECT_EQ(out, "\xE5\xBC");
}

TEST(Files, FoldersAndMissingFilesAreNamed) {
    test::TempDir dir;
    try {
        readWholeFile(dir.path());
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), dir.path().string() + ": is a folder, not a file");
    }
    try {
        readWholeFile(dir.path() / "missing.txt");
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()),
                  (dir.path() / "missing.txt").string() + ": No such file or directory");
    }
    EXPECT_THROW(FileBlocks{dir.path()}, std::runtime_error);
    test::writeFile(dir.path() / "a.txt",
                    "\xEF\xBB\xBF"
                    "a\r\nb");
    EXPECT_EQ(readNameListLines(dir.path() / "a.txt"), (Lines{"a", "b"}));
    EXPECT_EQ(readWholeFile(dir.path() / "a.txt"),
              "\xEF\xBB\xBF"
              "a\r\nb");
}

// The target keeps its old bytes until the new ones are complete, then takes them with its own
// mode; an abandoned or failed file leaves nothing behind.
TEST(AtomicFiles, TheTargetChangesOnlyWhenTheNewBytesAreComplete) {
    test::TempDir dir;
    const auto target = dir.path() / "names.csv";
    test::writeFile(target, "old");
    std::filesystem::permissions(target, std::filesystem::perms(0640));
    {
        AtomicFile file(target);
        file.write("new ");
        file.write("bytes");
        EXPECT_TRUE(isTemporaryFileOf(file.temporary(), target));
        EXPECT_EQ(test::readFile(target), "old");
    }  // abandoned
    EXPECT_EQ(test::readFile(target), "old");
    {
        AtomicFile file(target);
        file.write("new bytes");
        EXPECT_TRUE(file.commit());
    }
    EXPECT_EQ(test::readFile(target), "new bytes");
    EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms(0640));
    // Keep: a file that is there by then stays.
    AtomicFile other(target);
    other.write("other");
    EXPECT_FALSE(other.commit(AtomicFile::Existing::Keep));
    EXPECT_EQ(test::readFile(target), "new bytes");
    // A new file gets the mode asked for, less the umask.
    const mode_t mask = ::umask(022);
    AtomicFile fresh(dir.path() / "fresh.txt", 0666);
    fresh.commit();
    ::umask(mask);
    EXPECT_EQ(std::filesystem::status(dir.path() / "fresh.txt").permissions(),
              std::filesystem::perms(0644));
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        left.push_back(e.path().filename());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"fresh.txt", "names.csv"}));

    EXPECT_FALSE(isTemporaryFileOf(dir.path() / ".names.csv.ab", target));
    EXPECT_FALSE(isTemporaryFileOf(dir.path() / "x" / ".names.csv.abcdef", target));
    EXPECT_THROW(AtomicFile(dir.path() / "missing" / "file"), std::system_error);
}

TEST(Lines, LineBreaksOfEveryKind) {
    EXPECT_EQ(splitLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines("a\r\n"), (Lines{"a"}));          // one final break: no empty line
    EXPECT_EQ(splitLines("a\r\n\r\n"), (Lines{"a", ""}));  // two: one empty line
    EXPECT_EQ(splitLines("a\n\r"), (Lines{"a", ""}));      // LF then CR are two breaks
    EXPECT_EQ(splitLines(""), Lines{});
    EXPECT_EQ(splitLines("\r\n"), (Lines{""}));
    EXPECT_EQ(splitLines("  \r\nb"), (Lines{"  ", "b"}));
}

// A text handed over in pieces of every size cuts into the lines of the whole text: a CR LF cut
// between two pieces is one break, a line cut between pieces is one line.
TEST(Lines, PiecesOfEverySizeGiveTheLinesOfTheWholeText) {
    for (const std::string text :
         {"ab\r\ncd\ne\rf", "a\r\n\r\nb\r", "\r\n\n\r\r\n", "xyz", "a\n\r"}) {
        for (size_t size = 1; size <= text.size(); ++size) {
            Lines lines;
            auto keep = [&](std::string_view line) {
                lines.emplace_back(line);
                return true;
            };
            LineSplitter splitter;
            for (size_t at = 0; at < text.size(); at += size)
                splitter.feed(text.substr(at, size), keep);
            splitter.finish(keep);
            EXPECT_EQ(lines, splitLines(text)) << size;
        }
    }
    // A false from the receiver stops the cut.
    Lines seen;
    LineSplitter splitter;
    EXPECT_FALSE(splitter.feed("a\nb\nc\n", [&](std::string_view line) {
        seen.emplace_back(line);
        return line != "b";
    }));
    EXPECT_EQ(seen, (Lines{"a", "b"}));
}

TEST(Gbk, ConvertsBothWaysAndKeepsAsciiAsIs) {
    EXPECT_EQ(G("张"), "\xD5\xC5");
    EXPECT_EQ(gbkToUtf8("\xD5\xC5\xBA\xA3"), "张海");
    EXPECT_EQ(gbkToUtf8(utf8ToGbk("黄思婷 abc")), "黄思婷 abc");
    EXPECT_EQ(utf8ToGbk(""), "");
    // Characters GBK cannot hold become '?'; bytes that are not GBK become U+FFFD.
    EXPECT_EQ(utf8ToGbk("a😀b"), "a?b");
    EXPECT_EQ(gbkToUtf8("\x81\x30"),
              "\xEF\xBF\xBD"
              "0");
}

// The table-driven conversions answer exactly what ICU's converter answers.
TEST(Gbk, FastConversionsAgreeWithIcu) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* gbk = ucnv_open("windows-936", &status);
    ucnv_setSubstChars(gbk, "?", 1, &status);
    ASSERT_TRUE(U_SUCCESS(status));
    auto icu = [&](const char* to, const char* from, const std::string& in) {
        std::string out(in.size() * 4 + 8, '\0');
        UErrorCode st = U_ZERO_ERROR;
        const int32_t n = ucnv_convert(to, from, out.data(), static_cast<int32_t>(out.size()),
                                       in.data(), static_cast<int32_t>(in.size()), &st);
        out.resize(static_cast<size_t>(n));
        return out;
    };
    for (int code = 0x8140; code <= 0xFEFE; ++code) {
        const std::string unit{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
        ASSERT_EQ(gbkToUtf8(unit), icu("UTF-8", "windows-936", unit)) << std::hex << code;
    }
    for (UChar32 cp = 0x80; cp < 0x10000; ++cp) {
        if (U_IS_SURROGATE(cp)) continue;
        char buf[4];
        int32_t n = 0;
        U8_APPEND_UNSAFE(buf, n, cp);
        const std::string utf8(buf, static_cast<size_t>(n));
        UErrorCode st = U_ZERO_ERROR;
        char out[8];
        ucnv_reset(gbk);
        const int32_t m = ucnv_fromAlgorithmic(gbk, UCNV_UTF8, out, 8, utf8.data(), n, &st);
        ASSERT_EQ(utf8ToGbk(utf8), std::string(out, static_cast<size_t>(m))) << std::hex << cp;
    }
    ucnv_close(gbk);
}

TEST(Gbk, UnitCodePointOnlyForOneDoubleByteCharacter) {
    EXPECT_EQ(gbkUnitCodePoint(0xD5, 0xC5), 0x5F20);  // 张
    EXPECT_EQ(gbkUnitCodePoint('a', 'b'), -1);
    EXPECT_EQ(gbkUnitCodePoint(0x81, 0x20), -1);
    EXPECT_EQ(gbkUnitCodePoint(0xFF, 0xFF), -1);
}

TEST(Units, CutIntoTwoByteUnitsIgnoringCharacterBoundaries) {
    EXPECT_EQ(cutUnits(G("黄思婷")), (std::vector<std::string>{G("黄"), G("思"), G("婷")}));
    // Two characters and a letter: the letter is dropped.
    EXPECT_EQ(cutUnits(G("张海") + "a"), (std::vector<std::string>{G("张"), G("海")}));
    // A letter in front shifts every pair after it.
    const std::string shifted = "a" + G("张海");
    EXPECT_EQ(cutUnits(shifted),
              (std::vector<std::string>{shifted.substr(0, 2), shifted.substr(2, 2)}));
    EXPECT_TRUE(cutUnits("").empty());
    EXPECT_EQ(unitAt(G("张海"), 1), G("海"));
    EXPECT_EQ(unitAt(G("张"), 2), "");
}

TEST(Units, TrimRemovesBlanksAndControlBytesAtBothEndsOnly) {
    EXPECT_EQ(trimControl(" \t\r\n" + G("张 海") + " \x01"), G("张 海"));
    EXPECT_EQ(trimControl("   "), "");
    EXPECT_EQ(trimControl(""), "");
}

TEST(Integer, AcceptsTheRuntimeFormats) {
    EXPECT_EQ(parseInteger("12"), 12);
    EXPECT_EQ(parseInteger("  -7"), -7);
    EXPECT_EQ(parseInteger("+5"), 5);
    EXPECT_EQ(parseInteger("00"), 0);
    EXPECT_EQ(parseInteger("$1F"), 31);
    EXPECT_EQ(parseInteger("x10"), 16);
    EXPECT_EQ(parseInteger("0X10"), 16);
    EXPECT_EQ(parseInteger("-$10"), -16);
    EXPECT_EQ(parseInteger("2147483647"), 2147483647);
    EXPECT_EQ(parseInteger("-2147483648"), INT32_MIN);
}

TEST(Integer, RefusesEverythingElse) {
    for (const char* bad : {"", " ", "-", "$", "0x", "12 ", "1a", "2147483648", "-2147483649",
                            "\t5", "$G", "1.5", "99999999999999999999"}) {
        EXPECT_FALSE(parseInteger(bad).has_value()) << bad;
    }
    try {
        toInteger(G("十二"));
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'十二' is not a valid integer value");
    }
}

}  // namespace
}  // namespace quenvil

namespace quenvil {
namespace {

TEST(Encoding, DetectsAndConvertsWhatUsersHandIn) {
    const std::string utf8 = "黄思婷,王芳";
    EXPECT_EQ(detectEncoding(utf8), TextEncoding::Utf8);
    EXPECT_EQ(decodeToUtf8(utf8), utf8);
    EXPECT_EQ(decodeToUtf8("plain ascii"), "plain ascii");  // ASCII reads the same either way
    const std::string gbk = utf8ToGbk(utf8);
    EXPECT_EQ(detectEncoding(gbk), TextEncoding::Gbk);
    EXPECT_EQ(decodeToUtf8(gbk), utf8);
    EXPECT_EQ(decodeToUtf8("\xEF\xBB\xBF" + utf8), utf8);
    // 黄 U+9EC4 思 U+601D in both byte orders, and a pair of surrogates (U+20000).
    EXPECT_EQ(decodeToUtf8(std::string("\xFF\xFE\xC4\x9E\x1D\x60", 6)), "黄思");
    EXPECT_EQ(decodeToUtf8(std::string("\xFE\xFF\x9E\xC4\x60\x1D", 6)), "黄思");
    EXPECT_EQ(decodeToUtf8(std::string("\xFF\xFE\x40\xD8\x00\xDC", 6)), "\xF0\xA0\x80\x80");
    // A GBK text whose bytes happen to start like UTF-8 is still GBK when a later byte is not.
    const std::string mixed = utf8ToGbk("涓国");  // begins with bytes that are not valid UTF-8
    EXPECT_EQ(decodeToUtf8(mixed), "涓国");
    // Long ASCII runs around one character are checked too.
    const std::string padded = std::string(37, 'a') + "婷" + std::string(21, 'b');
    EXPECT_EQ(detectEncoding(padded), TextEncoding::Utf8);
    EXPECT_EQ(detectEncoding(std::string(37, 'a') + utf8ToGbk("婷") + std::string(21, 'b')),
              TextEncoding::Gbk);
}

}  // namespace
}  // namespace quenvil
