// Name entry, the five grids and the report.
#include <gtest/gtest.h>

#include "analysis/five_grids.h"
#include "analysis/name_entry.h"
#include "data/database.h"
#include "support/fixture_db.h"
#include "support/worked_examples.h"
#include "text/gbk.h"
#include "text/integer.h"

namespace quenvil {
namespace {

using test::G;

TEST(NameEntry, TrimsBlocksAndCuts) {
    NameCut cut = cutName("  " + G("黄思婷") + "\t");
    EXPECT_EQ(cut.outcome, NameCut::Outcome::Accepted);
    EXPECT_EQ(cut.slots, (CharacterSlots{G("黄"), G("思"), G("婷"), ""}));

    EXPECT_EQ(cutName(" " + G("王八蛋") + " ").outcome, NameCut::Outcome::Blocked);
    EXPECT_EQ(blockedNames().size(), 6u);
    // Blanks inside a blocked name make it another name.
    EXPECT_EQ(cutName(G("王 八蛋")).outcome, NameCut::Outcome::Accepted);

    EXPECT_EQ(cutName(G("欧阳小小")).outcome, NameCut::Outcome::Accepted);
    EXPECT_EQ(cutName(G("欧阳小小") + "a").outcome, NameCut::Outcome::Accepted);  // 9 bytes
    EXPECT_EQ(cutName(G("欧阳小小明")).outcome, NameCut::Outcome::TooLong);

    cut = cutName(G("张海") + "a");
    EXPECT_EQ(cut.slots, (CharacterSlots{G("张"), G("海"), "", ""}));
    cut = cutName("   ");
    EXPECT_EQ(cut.outcome, NameCut::Outcome::Accepted);
    EXPECT_EQ(cut.slots, CharacterSlots{});
}

StrokeFieldTexts fields(const char* a, const char* b, const char* c, const char* d) {
    return {a, b, c, d};
}

class WorkedExamples : public ::testing::TestWithParam<test::WorkedExample> {};

TEST_P(WorkedExamples, GridsAndThreeTalentKey) {
    const test::WorkedExample& e = GetParam();
    const FiveGrids g = computeFiveGrids({e.fields[0], e.fields[1], e.fields[2], e.fields[3]});
    EXPECT_EQ((std::array{g.heaven, g.person, g.earth, g.total, g.outer}), e.grids);
    EXPECT_EQ(threeTalentsKey(g), e.key);
}

INSTANTIATE_TEST_SUITE_P(ByHand, WorkedExamples, ::testing::ValuesIn(test::workedExamples()));

TEST(FiveGrids, CaseChosenByTextAndOnlyUsedFieldsConverted) {
    // Third field "0": the fourth is never read, whatever it holds.
    EXPECT_EQ(computeFiveGrids(fields("7", "10", "0", "abc")).person, 17);
    EXPECT_EQ(computeFiveGrids(fields("7", "10", "0", "5")).outer, 2);
    // "00" counts as a character present.
    FiveGrids g = computeFiveGrids(fields("7", "10", "00", "0"));
    EXPECT_EQ(g.outer, 1);
    EXPECT_EQ(g.earth, 10);
    // " 0" too: the four-character case with s3 = 0, s4 = 2.
    g = computeFiveGrids(fields("1", "2", " 0", "2"));
    EXPECT_EQ(g.earth, 2);
    EXPECT_EQ(g.outer, 3);
    // The first failing field among those used is named.
    try {
        computeFiveGrids(fields("7", "x", "y", "0"));
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'x' is not a valid integer value");
    }
    EXPECT_THROW(computeFiveGrids(fields("", "1", "0", "0")), ConversionError);
    // Overflowing sums wrap instead of failing.
    EXPECT_EQ(computeFiveGrids(fields("2147483647", "1", "0", "0")).person, INT32_MIN);
}

// ---- The rule of every shape -------------------------------------------------------------

using Ints = std::vector<int32_t>;

struct ShapeExample {
    const char* name;
    Ints surname, given;
    FiveGrids expected;  // 天 人 地 总 外, worked out by hand
};

void PrintTo(const ShapeExample& e, std::ostream* os) { *os << e.name; }

class EveryShape : public ::testing::TestWithParam<ShapeExample> {};

TEST_P(EveryShape, GridsByHand) {
    const ShapeExample& e = GetParam();
    EXPECT_EQ(computeGrids(e.surname, e.given), e.expected);
}

INSTANTIATE_TEST_SUITE_P(
    ByHand, EveryShape,
    ::testing::Values(
        // 黄思婷 12 9 12: 天 12+1, 人 12+9, 地 9+12, 总 33, 外 12+1.
        ShapeExample{"single surname, two given", {12}, {9, 12}, {13, 21, 21, 33, 13}},
        // 李白 7 5: 天 8, 人 12, 地 5+1, 总 12, 外 2.
        ShapeExample{"single surname, one given", {7}, {5}, {8, 12, 6, 12, 2}},
        // 欧阳修 15 17 10: 天 15+17, 人 17+10, 地 10+1, 总 42, 外 15+1.
        ShapeExample{"compound surname, one given", {15, 17}, {10}, {32, 27, 11, 42, 16}},
        // 诸葛孔明 16 13 4 8: 天 29, 人 13+4, 地 4+8, 总 41, 外 16+8.
        ShapeExample{"compound surname, two given", {16, 13}, {4, 8}, {29, 17, 12, 41, 24}},
        // 司马相如 5 10 9 6: 外 5+6, not 10+6 (the second surname character).
        ShapeExample{"compound surname, outer", {5, 10}, {9, 6}, {15, 19, 15, 30, 11}},
        ShapeExample{"no surname", {}, {3}, {}}, ShapeExample{"three surname", {1, 2, 3}, {3}, {}},
        ShapeExample{"no given name", {3}, {}, {}},
        ShapeExample{"three given", {3}, {1, 2, 3}, {}}));

// The report reads three characters as a single surname with two given ones and four as a
// compound surname with two, whatever the characters: 欧阳修 is 欧 + 阳修 there.
TEST(FiveGrids, TheReportReadsItsOwnShapesWithTheSameRule) {
    EXPECT_EQ(computeFiveGrids(fields("15", "17", "10", "0")),
              computeGrids(Ints{15}, Ints{17, 10}));
    EXPECT_EQ(computeFiveGrids(fields("16", "13", "4", "8")), (FiveGrids{29, 17, 12, 41, 24}));
    EXPECT_EQ(computeFiveGrids(fields("7", "5", "0", "0")), (FiveGrids{8, 12, 6, 12, 2}));
}

// ---- The element of a grid number ----------------------------------------------------------

struct ElementExample {
    int32_t number;
    const char* element;
};

void PrintTo(const ElementExample& e, std::ostream* os) { *os << e.number; }

class Elements : public ::testing::TestWithParam<ElementExample> {};

TEST_P(Elements, ByTheLastDigit) {
    EXPECT_STREQ(elementClass(GetParam().number), GetParam().element);
}

INSTANTIATE_TEST_SUITE_P(
    EveryLastDigit, Elements,
    ::testing::Values(
        // 1 2 木, 3 4 火, 5 6 土, 7 8 金, 9 0 水: each digit, in more than one decade.
        ElementExample{1, "木"}, ElementExample{12, "木"}, ElementExample{21, "木"},
        ElementExample{3, "火"}, ElementExample{14, "火"}, ElementExample{33, "火"},
        ElementExample{5, "土"}, ElementExample{16, "土"}, ElementExample{36, "土"},
        ElementExample{7, "金"}, ElementExample{18, "金"}, ElementExample{47, "金"},
        ElementExample{9, "水"}, ElementExample{10, "水"}, ElementExample{0, "水"},
        ElementExample{29, "水"}, ElementExample{40, "水"},
        // Past 81 the number itself decides (its meaning is that of n - 80).
        ElementExample{82, "木"}, ElementExample{86, "土"}, ElementExample{97, "金"},
        ElementExample{100, "水"}, ElementExample{163, "火"},
        // A negative number leaves a negative remainder: 水.
        ElementExample{-1, "水"}, ElementExample{-6, "水"}, ElementExample{-13, "水"}));

TEST(ThreeTalents, KeysAndIndexesOfRealNames) {
    // 黄思婷 13 21 21, 罗大强 21 23 15, 欧阳修 32 27 11.
    EXPECT_EQ(threeTalentsKey({13, 21, 21, 33, 13}), "火木木");
    EXPECT_EQ(threeTalentsKey({21, 23, 15, 35, 13}), "木火土");
    EXPECT_EQ(threeTalentsKey({32, 27, 11, 42, 16}), "木金木");
    EXPECT_EQ(threeTalentsIndex({13, 21, 21, 33, 13}), 25 * 1 + 5 * 0 + 0);
    EXPECT_EQ(threeTalentsKeyOfIndex(0), "木木木");
    EXPECT_EQ(threeTalentsKeyOfIndex(124), "水水水");
    EXPECT_EQ(threeTalentsKeyOfIndex(25 * 3 + 5 * 2 + 1), "金土火");
}

TEST(FiveGrids, NegativeRemaindersAreWater) {
    EXPECT_STREQ(elementClass(-1), "水");
    EXPECT_STREQ(elementClass(-13), "水");
    EXPECT_STREQ(elementClass(11), "木");
    EXPECT_STREQ(elementClass(24), "火");
    EXPECT_STREQ(elementClass(35), "土");
    EXPECT_STREQ(elementClass(48), "金");
    EXPECT_STREQ(elementClass(9), "水");
    EXPECT_STREQ(elementClass(20), "水");
}

class Report : public ::testing::Test {
  protected:
    void SetUp() override {
        test::buildFixtureDb(dir.path(), test::standardFixture());
        db.open(dir.path());
    }
    std::vector<std::string> report(const StrokeFieldTexts& f, const CharacterSlots& s) {
        std::vector<std::string> utf8;
        for (const auto& line : analysisReport(f, s, db.characterQuery))
            utf8.push_back(gbkToUtf8(line));
        return utf8;
    }
    test::TempDir dir;
    Database db;
};

TEST_F(Report, LinesInOrderWithTheirLabels) {
    const auto lines = report(fields("12", "9", "12", "0"), {G("黄"), G("思"), G("婷"), ""});
    const std::vector<std::string> expected = {"黄  的笔画是: 12",
                                               "思  的笔画是: 9",
                                               "婷  的笔画是: 12",
                                               "",
                                               "天格是: 13",
                                               "【吉】数13",
                                               "",
                                               "人格是: 21",
                                               "【吉】数21",
                                               "",
                                               "地格是: 21",
                                               "【吉】数21",
                                               "",
                                               "总格是: 33",
                                               "【吉】数33",
                                               "",
                                               "外格是: 13",
                                               "【吉】数13",
                                               "",
                                               "五行是: 火木木",
                                               "【吉】配置火木木",
                                               ""};
    EXPECT_EQ(lines, expected);
}

TEST_F(Report, NoCharacterLinesBeforeAnEntryAndEmptyMeaningsWithoutRows) {
    const auto lines = report(fields("-5", "3", "0", "0"), {});
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "天格是: -4");
    EXPECT_EQ(lines[2], "");  // no wuge row for -4
    EXPECT_EQ(lines[lines.size() - 3], "五行是: 水水火");
    EXPECT_EQ(lines[lines.size() - 2], "");
    // Past 81 the meaning of n - 80 is read.
    const auto long_ = report(fields("60", "30", "0", "0"), {});
    EXPECT_EQ(long_[4], "人格是: 90");
    EXPECT_NE(long_[5].find("数10"), std::string::npos) << long_[5];
}

TEST_F(Report, ShowsTheFieldTextUnchanged) {
    const auto lines = report(fields("$C", "9", "0", "0"), {G("黄"), "", "", G("婷")});
    EXPECT_EQ(lines[0], "黄  的笔画是: $C");
    EXPECT_EQ(lines[1], "婷  的笔画是: 0");
    EXPECT_EQ(lines[3], "天格是: 13");
}

}  // namespace
}  // namespace quenvil
