// The rows of the recommendation window without widgets: their texts (the lines of quenvil-cli),
// their order, the user's list cut into names, and the export records.
#include "recommend/result_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "data/connection.h"
#include "data/database.h"
#include "naming/name_cutter.h"
#include "naming/recommend.h"
#include "recommend/list_scoring.h"
#include "support/fixture_db.h"
#include "support/shipped_naming.h"
#include "text/gbk.h"
#include "text/utf8.h"

namespace quenvil {
namespace {

const NamingData& shipped() { return test::shippedNamingData(); }

const RowMaker& maker() {
    static const RowMaker m(shipped());
    return m;
}

std::string lineOf(const NoteTexts& notes, const ResultRow& row) {
    std::string line;
    for (int c = 0; c < kColumnCount; ++c) {
        if (c) line += '\t';
        line += columnText(shipped(), notes, row, c);
    }
    return line;
}

ResultRow rowOf(std::string_view name, NoteTexts& notes) {
    std::string text;
    ScoredName scratch;
    ResultRow row = maker().score(name, text, scratch);
    row.notes = notes.intern(text);
    return row;
}

// ---- Rows against the engine ---------------------------------------------------------------

// The lines of real names, as quenvil-cli prints them: every column, a surname with a reading of
// its own (尉迟 yù chí, 曾 zēng), compound surnames, one given character, several notes.
TEST(ResultRows, TheLinesOfRealNames) {
    // The seven columns, then the numerology and naming score, the meanings and the source.
    const std::pair<const char*, std::string> lines[] = {
        {"罗大强",
         "罗大强\t71\tluó dà qiáng\t20,3,12\t21 23 15 35 13\t木火土 大吉\t用字:大(避);用字:强(平)"
         "\t100\t42\t大:宏大，气度开阔; 强:强大，自强不息\t"},
        {"黄思婷",
         "黄思婷\t95\thuáng sī tíng\t12,9,12\t13 21 21 33 13\t火木木 大吉\t声调:平平平"
         "\t98\t91\t思:思考，情思深远; 婷:美好，亭亭玉立\t"},
        {"尉迟恭",
         "尉迟恭\t40\tyù chí gōng\t11,19,10\t30 29 11 40 12\t水水木 大吉\t总格 凶;外格 "
         "凶;与名人同名:尉迟恭;用字:恭(平)"
         "\t80\t0\t恭:恭敬，谦和有礼\t"},
        {"曾国藩",
         "曾国藩\t39\tzēng guó fān\t12,11,21\t13 23 32 44 22\t火火木 大吉\t总格 凶;外格 "
         "凶;声调:平平平;与名人同名:曾国藩;用字:国(平);用字:藩(未收录)"
         "\t78\t0\t国:国家，胸怀家国\t"},
        {"欧阳修",
         "欧阳修\t24\tōu yáng xiū\t15,17,10\t32 27 11 42 16\t木金木 大凶\t人格 半吉;总格 凶;三才 "
         "大凶;声调:平平平;与名人同名:欧阳修"
         "\t48\t0\t修:修身，路远志长\t"},
        {"诸葛孔明",
         "诸葛孔明\t20\tzhū gě kǒng míng\t16,15,4,8\t31 19 12 43 24\t木水木 大吉\t人格 凶;地格 "
         "凶;总格 凶;与名人同名:诸葛孔明;用字:孔(未收录)"
         "\t40\t0\t明:光明，聪慧明达\t"},
        {"李白",
         "李白\t19\tlǐ bái\t7,5\t8 12 6 12 2\t金木土 凶多于吉\t人格 凶;总格 凶;三才 凶多于吉;外格 "
         "2: 单姓单名恒为 2，不计分;与名人同名:李白;用字:白(平)"
         "\t37\t0\t白:洁白，清白坦荡\t"},
        {"杜子腾",
         "杜子腾\t2\tdù zǐ téng\t7,3,20\t8 10 23 30 21\t金水火 凶多于吉\t谐音:肚子疼;人格 凶;总格 "
         "半吉;三才 凶多于吉;用字:腾(平)"
         "\t4\t0\t子:君子，温文有德; 腾:腾飞，飞黄腾达\t"},
        {"王婉如",
         "王婉如\t98\twáng wǎn rú\t4,11,6\t5 15 17 21 7\t土土金 大吉\t"
         "\t100\t95\t婉:婉约，柔美和顺; 如:如意，心想事成\t诗经·郑风·野有蔓草: "
         "有美一人，婉如清扬。"},
        {"张曾",
         "张曾\t77\tzhāng céng\t11,12\t12 23 13 23 2\t木火火 中吉\t三才 "
         "中吉;天格由姓氏决定，不计分;外格 2: 单姓单名恒为 2，不计分;用字:曾(未收录)"
         "\t97\t56\t\t"},
    };
    for (const auto& [name, line] : lines) {
        ScoredName s;
        ASSERT_TRUE(scoreName(shipped(), name, s)) << name;
        std::string notes;
        std::string out;
        const ResultRow row = rowOf(s, notes);
        appendRowLine(out, shipped(), row, notes);
        EXPECT_EQ(out, std::string(line) + "\n");
        NoteTexts table;
        EXPECT_EQ(lineOf(table, rowOf(name, table)), line);
    }
}

// The compact row keeps everything of the scored name that the columns show, for surnames with
// readings of their own, compound ones, one and two given characters.
TEST(ResultRows, KeepWhatTheColumnsShow) {
    for (const char* surname : {"罗", "曾", "单", "欧阳", "尉迟", "万俟", "苏"}) {
        for (int length : {1, 2}) {
            RecommendOptions o;
            o.length = length;
            o.top = 40;
            for (const ScoredName& s : recommend(shipped(), surname, o)) {
                std::string notes;
                const ResultRow row = rowOf(s, notes);
                EXPECT_EQ(row.name, s.name);
                EXPECT_EQ(row.score, s.overall);
                EXPECT_EQ(row.numerology, s.score);
                EXPECT_EQ(row.naming, s.naming);
                EXPECT_EQ(row.usable, s.usable);
                EXPECT_EQ(row.sourceLine, s.sourceLine);
                EXPECT_EQ(row.surnameCharacters, s.surnameCharacters);
                EXPECT_EQ(row.characters, s.characters);
                for (size_t i = 0; i < 4; ++i) {
                    EXPECT_EQ(row.strokes[i], s.strokes[i]) << s.name;
                    EXPECT_EQ(row.syllables[i], s.syllables[i]) << s.name;
                }
                EXPECT_EQ(row.grids, (std::array<int16_t, 5>{static_cast<int16_t>(s.grids.heaven),
                                                             static_cast<int16_t>(s.grids.person),
                                                             static_cast<int16_t>(s.grids.earth),
                                                             static_cast<int16_t>(s.grids.total),
                                                             static_cast<int16_t>(s.grids.outer)}));
                EXPECT_EQ(threeTalentsKeyOfIndex(row.sancaiIndex), s.sancai);
                EXPECT_EQ(row.sancaiLevel, s.sancaiLevel);
                EXPECT_EQ(notes.empty(), s.notes.empty()) << s.name;
            }
        }
    }
}

TEST(ResultRows, NamesThatCannotBeScoredSayWhy) {
    NoteTexts notes;
    const ResultRow tooLong = rowOf("黄思婷婷婷", notes);
    EXPECT_EQ(tooLong.score, -1);
    EXPECT_EQ(
        lineOf(notes, tooLong),
        "黄思婷婷婷\t\t\t\t\t\t" + std::string(failureNote(ScoreFailure::Length)) + "\t\t\t\t");
    const ResultRow latin = rowOf("Tom", notes);
    EXPECT_EQ(latin.score, -1);
    EXPECT_EQ(notes.text(latin.notes), failureNote(ScoreFailure::Unknown));
    EXPECT_EQ(notes.text(rowOf("黄", notes).notes), failureNote(ScoreFailure::Length));
}

TEST(ResultRows, NotesAreStoredOnce) {
    NoteTexts notes;
    const uint32_t a = notes.intern("声调:仄仄仄");
    EXPECT_EQ(notes.intern("外格 凶"), a + 1);
    EXPECT_EQ(notes.intern("声调:仄仄仄"), a);
    EXPECT_EQ(notes.intern(""), 0u);
    EXPECT_EQ(notes.text(a), "声调:仄仄仄");
}

// ---- Order ---------------------------------------------------------------------------------

TEST(ResultRowsOrder, ColumnsCompareByTheirNumbersAndReadings) {
    NoteTexts notes;
    auto cmp = [&](const char* a, const char* b, int column) {
        return compareRows(shipped(), notes, rowOf(a, notes), rowOf(b, notes), column);
    };
    // 评分 by number: 100 before 9 would be wrong as text ("100" < "9").
    ResultRow high, low;
    high.score = 100;
    low.score = 9;
    EXPECT_GT(compareRows(shipped(), notes, high, low, kScoreColumn), 0);
    // 拼音: toneless syllables first (huang < li), then tones (lí < lǐ); the surname reading
    // counts: 曾 reads zēng as a surname (after huáng), not céng.
    EXPECT_LT(cmp("黄思婷", "李思婷", kPinyinColumn), 0);
    EXPECT_LT(cmp("黎思婷", "李思婷", kPinyinColumn), 0);
    EXPECT_GT(cmp("曾思婷", "黄思婷", kPinyinColumn), 0);
    EXPECT_LT(cmp("曾思婷", "张思婷", kPinyinColumn), 0);
    // 笔画 by numbers, not text: 王 (4) before 黄 (12).
    EXPECT_LT(cmp("王思婷", "黄思婷", kStrokesColumn), 0);
    EXPECT_EQ(cmp("黄思婷", "黄思婷", kNameColumn), 0);
    // 三才: the better rating first.
    ResultRow best, worst;
    best.sancaiLevel = SancaiLevel::Best;
    worst.sancaiLevel = SancaiLevel::Worst;
    EXPECT_LT(compareRows(shipped(), notes, best, worst, kSancaiColumn), 0);
}

// ---- The user's list -----------------------------------------------------------------------

std::vector<std::string> cut(std::string_view text) {
    std::vector<std::string> names;
    NameCutter cutter(text);
    std::string_view n;
    while (cutter.next(n)) names.emplace_back(n);
    EXPECT_EQ(cutter.position(), text.size());
    return names;
}

TEST(ListText, NamesAreCutAtLineBreaksBlanksAndCommas) {
    EXPECT_EQ(cut("黄思婷\r\n李明\n\n王芳"), (std::vector<std::string>{"黄思婷", "李明", "王芳"}));
    EXPECT_EQ(cut("  黄思婷 李明\t王芳,张伟，刘洋、陈静\u3000赵磊,,  "),
              (std::vector<std::string>{"黄思婷", "李明", "王芳", "张伟", "刘洋", "陈静", "赵磊"}));
    EXPECT_TRUE(cut("").empty());
    EXPECT_TRUE(cut(" ,\r\n\u3000").empty());
}

// A list read in pieces of whole characters gives the names of the whole text; a piece of text
// longer than any name is reported once with its start and length, in order, and never kept.
TEST(ListText, AListInPiecesIsCutAsAWholeAndLongPiecesAreSkipped) {
    std::string longName;
    for (int i = 0; i < 100; ++i) longName += "长";
    const std::string text = "黄思婷 李明\r\n" + longName + "，王芳," + std::string(64, 'x') +
                             "\u3000" + longName + "x 张伟";
    for (const size_t characters : {1u, 2u, 3u, 5u, 1000u}) {
        std::vector<std::string> names, tooLong;
        NameStream stream;
        auto onName = [&](std::string_view n) { names.emplace_back(n); };
        auto onTooLong = [&](std::string_view start, size_t bytes) {
            tooLong.push_back(std::string(start) + "/" + std::to_string(bytes));
        };
        const auto all = utf8Characters(text);
        for (size_t i = 0; i < all.size(); i += characters) {
            std::string piece;
            for (size_t k = i; k < std::min(all.size(), i + characters); ++k) piece += all[k];
            stream.feed(piece, onName, onTooLong);
        }
        stream.finish(onName, onTooLong);
        EXPECT_EQ(names, (std::vector<std::string>{"黄思婷", "李明", "王芳", std::string(64, 'x'),
                                                   "张伟"}))
            << characters;
        EXPECT_EQ(tooLong,
                  (std::vector<std::string>{"长长长长长长长长/300", "长长长长长长长长/301"}))
            << characters;
    }
}

TEST(ListText, EncodingsAndOurOwnExportsAreRead) {
    EXPECT_EQ(cut(listText(utf8ToGbk("黄思婷 李明\r\n"))),
              (std::vector<std::string>{"黄思婷", "李明"}));
    EXPECT_EQ(cut(listText("\xEF\xBB\xBF黄思婷,李明")),
              (std::vector<std::string>{"黄思婷", "李明"}));
    // A CSV export: the names of the first column, the header and the other fields left out.
    std::string csv(kUtf8Bom);
    appendCsvRecord(
        csv, std::vector<std::string>{"名字", "评分", "拼音", "笔画", "五格", "三才", "说明"});
    appendCsvRecord(csv, std::vector<std::string>{"黄思婷", "95", "huáng sī tíng", "12,9,12",
                                                  "13 21 21 33 13", "火木木 大吉", "声调:平平平"});
    appendCsvRecord(csv, std::vector<std::string>{"李明", "80", "", "", "", "", ""});
    EXPECT_EQ(cut(listText(csv)), (std::vector<std::string>{"黄思婷", "李明"}));
    // The GBK text export.
    std::string text;
    appendGbkTextLine(text, std::vector<std::string>{"名字", "评分", "拼音"});
    appendGbkTextLine(text, std::vector<std::string>{"黄思婷", "95", "huáng sī tíng"});
    EXPECT_EQ(cut(listText(text)), (std::vector<std::string>{"黄思婷"}));
}

// ---- Export records -------------------------------------------------------------------------

TEST(ExportRecords, CsvQuotesWhatNeedsItAndReadsBack) {
    const std::vector<std::string> fields = {"黄思婷",       "a,b", "say \"hi\"",
                                             "two\r\nlines", "",    "声调:仄仄仄;外格 凶"};
    std::string csv;
    appendCsvRecord(csv, fields);
    EXPECT_EQ(csv, "黄思婷,\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\",,声调:仄仄仄;外格 凶\r\n");
    appendCsvRecord(csv, std::vector<std::string>{"x"});
    const auto back = parseCsv(std::string(kUtf8Bom) + csv);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0], fields);
    EXPECT_EQ(back[1], std::vector<std::string>{"x"});
}

TEST(ExportRecords, GbkTextIsTabSeparatedGbk) {
    std::string out;
    appendGbkTextLine(out, std::vector<std::string>{"黄思婷", "huáng sī tíng", "a\tb", "c\nd"});
    EXPECT_EQ(out, utf8ToGbk("黄思婷\thuáng sī tíng\ta b\tc d") + "\r\n");
    EXPECT_EQ(gbkToUtf8(out), "黄思婷\thuáng sī tíng\ta b\tc d\r\n");  // tone marks survive
}

}  // namespace
}  // namespace quenvil
