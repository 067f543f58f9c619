// Splitting an import line, the import into xm and xm2, and the imported-name filter.
#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "data/database.h"
#include "semi_auto_naming/import_line.h"
#include "semi_auto_naming/name_import.h"
#include "support/fixture_db.h"
#include "text/gbk.h"

namespace quenvil {
namespace {

using test::G;
using test::nameOf;
using Lines = std::vector<std::string>;

// The tokens of a line, as the import walks them. The terminal's import reads the line in pieces
// (ImportLineStream): cut anywhere, it must give the same tokens (their first bytes and length).
Lines tokensOf(std::string_view line) {
    Lines tokens;
    forEachImportToken(line, [&](std::string_view token) { tokens.emplace_back(token); });
    for (const size_t piece : {1u, 2u, 3u, 1000u}) {
        Lines streamed;
        ImportLineStream stream([&](std::string_view first, size_t length) {
            streamed.push_back(std::string(first) + "/" + std::to_string(length));
        });
        for (size_t i = 0; i < line.size(); i += piece) stream.feed(line.substr(i, piece));
        stream.finish();
        Lines expected;
        for (const auto& t : tokens) {
            expected.push_back(t.substr(0, ImportLineStream::kKeptBytes) + "/" +
                               std::to_string(t.size()));
        }
        EXPECT_EQ(streamed, expected) << "pieces of " << piece;
    }
    return tokens;
}

TEST(ImportLine, TokensSeparatedByBlanksAndControlBytes) {
    EXPECT_EQ(tokensOf(G("张小华 李四  欧阳娜娜\t王小明")),
              (Lines{G("张小华"), G("李四"), G("欧阳娜娜"), G("王小明")}));
    EXPECT_EQ(tokensOf(" \x01 a \t\x1f b \x7f "), (Lines{"a", "b", "\x7f"}));
    EXPECT_EQ(tokensOf(""), Lines{});
    EXPECT_EQ(tokensOf("   \t "), Lines{});
    // A NUL byte separates like the other control bytes.
    EXPECT_EQ(tokensOf(std::string("ab\0cd", 5)), (Lines{"ab", "cd"}));
}

TEST(ImportLine, QuotedTokens) {
    EXPECT_EQ(tokensOf("\"ab cd\" ef"), (Lines{"ab cd", "ef"}));
    EXPECT_EQ(tokensOf("\"a\"\"b\""), (Lines{"a\"b"}));
    EXPECT_EQ(tokensOf("\"\""), (Lines{""}));
    EXPECT_EQ(tokensOf("\"unclosed rest"), (Lines{"unclosed rest"}));
    EXPECT_EQ(tokensOf("\"ab\"cd"), (Lines{"ab", "cd"}));
    // A quoted name with a blank is one token of six bytes.
    EXPECT_EQ(tokensOf("\"" + G("张") + " " + G("小") + "a\""),
              (Lines{G("张") + " " + G("小") + "a"}));
}

TEST(ImportLine, DoubleByteCharactersAreSteppedOverWhole) {
    // 0x81 0x7C: a lead byte and a trail byte, stepped over as one character.
    EXPECT_EQ(tokensOf("\x81\x7C\x81\x40 x"), (Lines{"\x81\x7C\x81\x40", "x"}));
    // 0x22 (a quote) cannot be a trail byte: the lead byte stands alone and the quote closes.
    const std::string tricky = "\"\x81\x22 x\" y";
    EXPECT_EQ(tokensOf(tricky), (Lines{"\x81", "x\"", "y"}));
    // A stray lead byte before a blank is a byte of its own: the blank still separates.
    EXPECT_EQ(tokensOf("\x81 ab cd"), (Lines{"\x81", "ab", "cd"}));
    EXPECT_EQ(tokensOf("\xD5 " + G("王小明 李大伟")), (Lines{"\xD5", G("王小明"), G("李大伟")}));
    // 0x7F and 0xFF are no trail bytes either.
    EXPECT_EQ(tokensOf("\xD5\x7F\xD5\xFF"), (Lines{"\xD5\x7F\xD5\xFF"}));
}

TEST(ImportLine, LongLinesAreCutForThePreviewAtACharacterBoundary) {
    EXPECT_EQ(previewLine(G("张小华"), 6), G("张小华"));
    const std::string cut = previewLine(G("张小华"), 5);
    EXPECT_EQ(cut.substr(0, 4), G("张小"));
    EXPECT_NE(gbkToUtf8(cut).find("此行共 6 字节"), std::string::npos);
    EXPECT_EQ(previewLine("abc" + G("张"), 4).substr(0, 3),
              "abc");  // the lead byte is not split off
}

class Import : public ::testing::Test {
  protected:
    void SetUp() override {
        auto data = test::numberedFixture();
        data.fantizi.emplace_back(17, "阳");
        data.fantizi.emplace_back(15, "欧");
        data.fantizi.emplace_back(10, "娜");
        test::buildFixtureDb(dir.path(), data);
        db.open(dir.path());
    }
    Lines table(const char* name) {
        Lines rows;
        db.importedNames.close();
        db.importedNames.setCommandText(std::string("select * from ") + name + " order by rowid");
        db.importedNames.open();
        for (; !db.importedNames.eof(); db.importedNames.next())
            rows.push_back(db.importedNames.fieldText("xingming"));
        return rows;
    }
    size_t import(const std::string& firstLine) {
        return writeImport(db, planImport({firstLine, G("第二行 不导入")}));
    }
    test::TempDir dir;
    Database db;
};

TEST_F(Import, OnlySixByteTokensBecomeRowsAndXm2HoldsDistinctNames) {
    const ImportPlan plan =
        planImport({G("李四 张小华 李四 欧阳娜娜 王小明 张小华 abcdef 欧阳娜")});
    EXPECT_EQ(plan.surname, G("李"));  // from the first token, though it is not imported
    EXPECT_EQ(writeImport(db, plan), 5u);
    EXPECT_EQ(table("xm"), (Lines{G("张小华"), G("王小明"), G("张小华"), "abcdef", G("欧阳娜")}));
    Lines distinct = table("xm2");
    std::sort(distinct.begin(), distinct.end());
    Lines expected{G("张小华"), G("王小明"), "abcdef", G("欧阳娜")};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(distinct, expected);
}

TEST_F(Import, ASecondImportReplacesEveryRow) {
    import(G("张小华 王小明"));
    import(G("赵小燕"));
    EXPECT_EQ(table("xm"), (Lines{G("赵小燕")}));
    EXPECT_EQ(table("xm2"), (Lines{G("赵小燕")}));
}

TEST_F(Import, AFailingImportChangesNothing) {
    import(G("张小华 王小明"));
    // No token on the first line: refused before the tables are touched.
    EXPECT_THROW(planImport({"   \t", G("张小华")}), ImportError);
    EXPECT_THROW(planImport({}), ImportError);
    // A database error half-way: the transaction is rolled back.
    db.connection.execute(
        "create trigger refuse before insert on xm2 begin select raise(abort, 'disk full'); end");
    EXPECT_THROW(import(G("赵小燕 钱多多")), DatabaseError);
    EXPECT_EQ(table("xm"), (Lines{G("张小华"), G("王小明")}));
    EXPECT_EQ(table("xm2").size(), 2u);
}

TEST_F(Import, TokensThatAreNotGbkTextAreSkipped) {
    // Six bytes, but 0x81 0x30 is no GBK character.
    EXPECT_EQ(import(std::string("\x81\x30\x81\x30\x81\x30 ") + G("张小华")), 1u);
    EXPECT_EQ(table("xm"), (Lines{G("张小华")}));
}

TEST_F(Import, FilterJudgesEveryImportedName) {
    const std::string yes = nameOf(2, 9, 4), twice = nameOf(6, 11, 14);
    import(yes + " " + nameOf(2, 9, 5) + " " + twice + " " + nameOf(20, 9, 4) + " " +
           nameOf(1, 1, 1) + " " + G("欧阳娜"));
    Lines found;
    std::string last;
    filterImported(db, found, last);
    const std::string notice = G("数据库里没有此笔画的姓氏！");
    // xm2 delivers its rows in the order they were inserted.
    EXPECT_EQ(found, (Lines{yes, twice, twice, notice, notice}));
    EXPECT_EQ(last, G("欧"));
}

TEST_F(Import, AStrayLeadByteBeforeABlankSwallowsNoName) {
    EXPECT_EQ(import("\xD5 " + G("王小明 李大伟")), 2u);
    EXPECT_EQ(table("xm"), (Lines{G("王小明"), G("李大伟")}));
}

TEST_F(Import, AFirstLineWithoutAStorableNameKeepsTheOldNames) {
    import(G("张小华 王小明"));
    for (const std::string& line :
         {G("李四 欧阳娜娜"), std::string("\x81\x30\x81\x30\x81\x30"), std::string("  \t ")}) {
        EXPECT_THROW(planImport({line}), ImportError);
    }
    EXPECT_EQ(table("xm"), (Lines{G("张小华"), G("王小明")}));
    EXPECT_EQ(importDoneMessage(2), "数据导入成功！共导入 2 个名字。");
}

TEST(ImportPlan, PackedNamesAndTheirFirstOccurrences) {
    const std::string name = G("张小华");
    EXPECT_EQ(unpackName(packName(name)), name);
    EXPECT_EQ(unpackName(packName("abcdef")), "abcdef");
    const ImportPlan plan =
        planImportLine(G("李四 张小华 王小明 张小华 ") + "abcdef " + G("王小明"));
    ASSERT_EQ(plan.names.size(), 5u);
    EXPECT_EQ(firstOccurrences(plan.names), (std::vector<bool>{true, true, false, true, false}));
    EXPECT_TRUE(firstOccurrences({}).empty());
}

// Another program reads data.Mdb while a large import starts: the import gives up after the busy
// timeout instead of waiting without end, and the old names stay.
TEST_F(Import, AReaderHoldingATransactionStopsTheImportInBoundedTime) {
    import(G("张小华 王小明"));
    Connection reader;
    reader.open(dir.path() / "data.Mdb", kDatabasePassword);
    DataSet rows(reader);
    rows.setCommandText("select * from xm");
    rows.open();  // stands on its first row: a read transaction
    ASSERT_FALSE(rows.eof());

    std::string line;
    for (int i = 0; i < 200000; ++i) line += nameOf(1 + i % 30, 1 + (i / 30) % 30, 2) + " ";
    const ImportPlan big = planImportLine(line);
    db.connection.setBusyTimeout(300);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(writeImport(db, big), DatabaseBusyError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    rows.close();
    EXPECT_EQ(table("xm"), (Lines{G("张小华"), G("王小明")}));
    EXPECT_EQ(table("xm2").size(), 2u);
    // Once the reader has finished, the same import goes through.
    EXPECT_EQ(writeImport(db, big), 200000u);
    EXPECT_EQ(table("xm2").size(), 900u);
}

TEST_F(Import, FilterOfAnEmptyTable) {
    Lines found;
    std::string last = "unchanged";
    filterImported(db, found, last);
    EXPECT_TRUE(found.empty());
    EXPECT_EQ(last, "unchanged");
}

}  // namespace
}  // namespace quenvil
