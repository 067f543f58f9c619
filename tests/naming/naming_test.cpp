// The stroke-pair tables and the automatic filter over a name list.
#include <gtest/gtest.h>

#include "data/database.h"
#include "naming/candidate_filter.h"
#include "naming/stroke_pair_table.h"
#include "support/fixture_db.h"
#include "support/help_page.h"
#include "text/gbk.h"
#include "text/lines.h"

namespace quenvil {
namespace {

using test::G;
using test::nameOf;
using Lines = std::vector<std::string>;

TEST(StrokePairTable, SizesRowsAndDuplicates) {
    const auto& filters = StrokePairTable::filters();
    const auto& manual = StrokePairTable::manual();
    EXPECT_EQ(filters.size(), 139u);
    EXPECT_EQ(manual.size(), 143u);
    EXPECT_TRUE(filters.row(1).empty());
    EXPECT_TRUE(filters.row(20).empty());
    EXPECT_TRUE(filters.row(0).empty());
    EXPECT_EQ(filters.row(12).size(), 4u);
    EXPECT_EQ(manual.row(12).size(), 8u);
    EXPECT_EQ(manual.row(12)[0].second, 9);
    EXPECT_EQ(manual.row(12)[0].third, 16);
    EXPECT_EQ(filters.matches(6, 11, 14), 2);
    EXPECT_EQ(filters.matches(8, 9, 6), 2);
    EXPECT_EQ(filters.matches(14, 9, 12), 2);
    EXPECT_EQ(filters.matches(17, 8, 10), 2);
    EXPECT_EQ(filters.matches(12, 9, 16), 0);  // the manual window's extra entries only
    EXPECT_EQ(manual.matches(12, 9, 16), 1);
    EXPECT_EQ(filters.matches(2, 9, 4), 1);
    EXPECT_EQ(filters.matches(7, 30, 15), 1);
}

std::vector<std::pair<int, int>> entries(const StrokePairTable& table, int surnameStrokes) {
    std::vector<std::pair<int, int>> out;
    for (const StrokePair& p : table.row(surnameStrokes)) out.emplace_back(p.second, p.third);
    return out;
}

// Every row of both tables, entry by entry and in order, as the help page shows it to the user.
TEST(StrokePairTable, EveryRowAgreesWithTheHelpPage) {
    const auto page = test::helpPagePairTable();
    ASSERT_EQ(page.size(), 19u);
    for (int n = StrokePairTable::kFirstRow; n <= StrokePairTable::kLastRow; ++n) {
        const auto shown = page.find(std::to_string(n));
        ASSERT_NE(shown, page.end()) << n;
        EXPECT_EQ(entries(StrokePairTable::filters(), n), shown->second) << "row " << n;
        if (n != 12) {
            EXPECT_EQ(entries(StrokePairTable::manual(), n), shown->second) << "row " << n;
        }
    }
    EXPECT_EQ(entries(StrokePairTable::manual(), 12), page.at("12（手动取名）"));
}

class Filter : public ::testing::Test {
  protected:
    void SetUp() override {
        test::buildFixtureDb(dir.path(), test::numberedFixture());
        db.open(dir.path());
    }
    Lines run(const Lines& lines) {
        Lines out;
        NameListFilter(lines, db.strokes).runAll(out);
        return out;
    }
    test::TempDir dir;
    Database db;
    const std::string notice = G("数据库里没有此笔画的姓氏！");
};

TEST_F(Filter, FavourableNamesAreListedInOrder) {
    const std::string yes = nameOf(2, 9, 4), no = nameOf(2, 9, 5), twice = nameOf(6, 11, 14);
    EXPECT_EQ(run({yes, no, twice, yes}), (Lines{yes, twice, twice, yes}));
}

TEST_F(Filter, SurnamesWithoutARowAddTheNotice) {
    const std::string absent = G("龙") + G(test::charOf(9).c_str()) + G(test::charOf(4).c_str());
    EXPECT_EQ(run({nameOf(1, 9, 4), nameOf(20, 9, 4), absent}), (Lines{notice, notice, notice}));
}

TEST_F(Filter, StopsAtTheFirstEmptyLine) {
    const std::string yes = nameOf(2, 9, 4);
    EXPECT_EQ(run({yes, yes, "", yes}), (Lines{yes, yes}));
    EXPECT_EQ(run({}), Lines{});
    EXPECT_EQ(run({""}), Lines{});
}

TEST_F(Filter, ShortLongAndBlankLinesAreCutByBytes) {
    // A line of blanks is judged: its pieces are not in the table, so the surname counts 0.
    EXPECT_EQ(run({"      "}), (Lines{notice}));
    // A longer line is judged by its first three characters and copied whole.
    const std::string longer = nameOf(2, 9, 4) + G("附注");
    EXPECT_EQ(run({longer}), (Lines{longer}));
    // Two characters: the empty third piece gets the first row's count (1 here), not listed.
    EXPECT_EQ(run({G((test::charOf(2) + test::charOf(1)).c_str())}), Lines{});
    // Row 2 holds 1/10: a third character of 10 strokes matches, an empty third piece gives 1.
    EXPECT_EQ(run({G((test::charOf(2) + test::charOf(1) + test::charOf(10)).c_str())}).size(), 1u);
}

// The terminal's filter reads its file in blocks: fed in pieces of any size, the stream judges
// the lines the window's filter judges and ends where it ends.
TEST_F(Filter, AStreamOfPiecesFiltersAsTheWholeList) {
    const std::string yes = nameOf(2, 9, 4), no = nameOf(2, 9, 5), other = nameOf(6, 11, 14);
    const std::string text =
        yes + "\r\n" + no + "\n" + other + "\r" + nameOf(1, 9, 4) + "\r\n" + yes + "\r\n\r\n" + yes;
    for (size_t size : {size_t{1}, size_t{2}, size_t{5}, size_t{7}, text.size()}) {
        Lines streamed;
        NameListStream stream(db.strokes);
        bool more = true;
        for (size_t at = 0; at < text.size() && more; at += size) {
            more = stream.feed(text.substr(at, size), streamed);
        }
        if (more) stream.finish(streamed);
        EXPECT_FALSE(more) << size;  // the empty line ended the list
        EXPECT_EQ(streamed, run(splitLines(text))) << size;
    }
    EXPECT_EQ(run(splitLines(text)), (Lines{yes, other, other, notice, yes}));
    // Without an empty line the last line counts, with or without a break after it.
    for (const std::string& list : {yes + "\r\n" + yes, yes + "\r\n" + yes + "\r\n"}) {
        Lines streamed;
        NameListStream stream(db.strokes);
        EXPECT_TRUE(stream.feed(list, streamed));
        stream.finish(streamed);
        EXPECT_EQ(streamed, (Lines{yes, yes}));
    }
}

TEST_F(Filter, RunsInSlicesWithTheSameResult) {
    Lines lines;
    for (int i = 0; i < 1000; ++i) lines.push_back(i % 3 ? nameOf(2, 9, 4) : nameOf(3, 3, 3));
    Lines whole = run(lines), sliced;
    NameListFilter filter(lines, db.strokes);
    int slices = 0;
    while (!filter.runLines(7, sliced)) ++slices;
    EXPECT_GT(slices, 100);
    EXPECT_EQ(sliced, whole);
    EXPECT_EQ(whole.size(), 666u);
}

}  // namespace
}  // namespace quenvil
