// Suggestion rows and the characters of a stroke count.
#include <gtest/gtest.h>

#include "data/database.h"
#include "manual_naming/pair_rows.h"
#include "support/fixture_db.h"
#include "support/help_page.h"
#include "text/gbk.h"

namespace quenvil {
namespace {

using test::G;

TEST(PairRows, LayoutAndReadingBack) {
    EXPECT_EQ(pairRowText(9, 4), "9                     4");
    EXPECT_EQ(pairRowText(12, 17), "12                    17");
    EXPECT_EQ(pairRowText(9, 4).size(), 23u);
    EXPECT_EQ(pairRowText(12, 17).size(), 24u);
    for (int b = 1; b <= 30; ++b) {
        for (int c = 1; c <= 30; ++c) {
            const auto parsed = parsePairRow(pairRowText(b, c));
            ASSERT_TRUE(parsed);
            EXPECT_EQ(*parsed, std::make_pair(b, c));
        }
    }
    EXPECT_FALSE(parsePairRow(""));
    EXPECT_FALSE(parsePairRow(G("没有收录此姓氏的名字组合！")));
}

class Suggest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto data = test::numberedFixture();
        data.fantizi.insert(data.fantizi.begin() + 2, {2, "乃又"});  // a later row of 2 strokes
        test::buildFixtureDb(dir.path(), data);
        db.open(dir.path());
    }
    Suggestion of(int strokes) {
        return suggestPairs(G(test::charOf(strokes).c_str()), db.strokes);
    }
    test::TempDir dir;
    Database db;
};

// The list of the window, row by row, for every surname count, as the help page shows it.
TEST_F(Suggest, TheListOfEveryCountAgreesWithTheHelpPage) {
    const auto page = test::helpPagePairTable();
    for (int n = 2; n <= 19; ++n) {
        const auto shown = page.find(n == 12 ? "12（手动取名）" : std::to_string(n));
        ASSERT_NE(shown, page.end()) << n;
        std::vector<std::pair<int, int>> listed;
        for (const std::string& row : of(n).rows) {
            const auto pair = parsePairRow(row);
            ASSERT_TRUE(pair) << row;
            listed.push_back(*pair);
        }
        EXPECT_EQ(listed, shown->second) << "surname of " << n << " strokes";
    }
}

TEST_F(Suggest, RowsOfTheManualTable) {
    Suggestion s = of(2);
    ASSERT_EQ(s.rows.size(), 6u);
    EXPECT_EQ(s.rows.front(), "9                     4");
    EXPECT_EQ(s.rows.back(), "13                    10");
    EXPECT_TRUE(s.listEnabled);
    EXPECT_EQ(gbkToUtf8(s.label), "二 的笔画是：2");

    EXPECT_EQ(of(11).rows, (std::vector<std::string>{pairRowText(21, 20), pairRowText(20, 4),
                                                     pairRowText(10, 14)}));
    s = of(6);
    EXPECT_EQ(s.rows[0], pairRowText(11, 14));
    EXPECT_EQ(s.rows[5], pairRowText(11, 14));
    s = of(12);
    ASSERT_EQ(s.rows.size(), 8u);
    EXPECT_EQ(s.rows[0], pairRowText(9, 16));
    EXPECT_EQ(s.rows[1], pairRowText(13, 4));
    EXPECT_EQ(of(19).rows.size(), 7u);
}

TEST_F(Suggest, MessageRowWithoutAList) {
    for (const Suggestion& s : {of(20), of(1), suggestPairs(G("龙"), db.strokes)}) {
        EXPECT_EQ(s.rows, std::vector<std::string>{G("没有收录此姓氏的名字组合！")});
        EXPECT_FALSE(s.listEnabled);
    }
    EXPECT_EQ(gbkToUtf8(suggestPairs(G("龙"), db.strokes).label), "龙 的笔画是：0");
    // Two characters are looked up as one text.
    EXPECT_EQ(suggestPairs(G("二三"), db.strokes).strokes, 0);
    // Blanks are removed; an empty text counts the first row of the table.
    EXPECT_EQ(gbkToUtf8(suggestPairs("  " + G("二") + " ", db.strokes).label), "二 的笔画是：2");
    const Suggestion empty = suggestPairs("  ", db.strokes);
    EXPECT_EQ(gbkToUtf8(empty.label), " 的笔画是：1");
    EXPECT_FALSE(empty.listEnabled);
}

TEST_F(Suggest, CharactersOfACountComeFromItsFirstRow) {
    const auto two = charactersOfCount(db.characterQuery, 2);
    ASSERT_TRUE(two);
    EXPECT_EQ(gbkToUtf8(two->first), "2画的汉字有：");
    EXPECT_EQ(gbkToUtf8(two->second), "二");
    EXPECT_FALSE(charactersOfCount(db.characterQuery, 31));
    EXPECT_FALSE(charactersOfCount(db.characterQuery, -1));
}

}  // namespace
}  // namespace quenvil
