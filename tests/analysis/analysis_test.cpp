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
