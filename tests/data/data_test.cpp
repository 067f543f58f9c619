// The connection, the data sets and the stroke lookup against fixture databases and the real one.
#include <gtest/gtest.h>

#include <random>

#include "data/database.h"
#include "support/fixture_db.h"
#include "text/gbk.h"

namespace quenvil {
namespace {

using test::G;

class FixtureDatabase : public ::testing::Test {
  protected:
    void SetUp() override {
        test::buildFixtureDb(dir.path(), test::standardFixture());
        db.open(dir.path());
    }
    test::TempDir dir;
    Database db;
};

TEST_F(FixtureDatabase, OpensWithTheProgramsConnectionString) {
    EXPECT_TRUE(db.ADOCN.connected());
    EXPECT_EQ(db.ADOCN.connectionString(), "Data Source=" + (dir.path() / "data.Mdb").string() +
                                               ";Jet OLEDB:Database Password=quillon6085");
    EXPECT_TRUE(db.strokes.indexed());
}

TEST(DatabaseOpening, WrongPasswordAndMissingFileGiveTheEnginesText) {
    test::TempDir dir;
    Connection cn;
    cn.setConnectionString("Data Source=" + (dir.path() / "data.Mdb").string() +
                           ";Jet OLEDB:Database Password=quillon6085");
    EXPECT_THROW(cn.open(), DatabaseError);
    try {
        cn.open();
    } catch (const DatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("unable to open"), std::string::npos) << e.what();
    }

    test::buildFixtureDb(dir.path(), test::standardFixture());
    cn.setConnectionString("Data Source=" + (dir.path() / "data.Mdb").string() +
                           ";Jet OLEDB:Database Password=wrong");
    try {
        cn.open();
        FAIL() << "opened with a wrong password";
    } catch (const DatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("not a database"), std::string::npos) << e.what();
    }
    // Every later query reports the closed connection instead of crashing.
    Database closed;
    EXPECT_THROW(closed.strokes.strokes(G("张")), DatabaseError);
}

TEST_F(FixtureDatabase, LookupIsASubstringMatchWhereTheFirstRowWins) {
    EXPECT_EQ(db.strokes.strokes(G("张")), 11);
    EXPECT_EQ(db.strokes.strokes(G("海")), 11);  // a later row of 99 holds it too
    EXPECT_EQ(db.strokes.strokesByStatement(G("海")), 11);
    EXPECT_EQ(db.strokes.strokes(G("梁")), 11);
    EXPECT_EQ(db.strokes.strokes(G("龙")), 0);     // absent
    EXPECT_EQ(db.strokes.strokes(G("张海")), 11);  // two characters that stand side by side
    EXPECT_EQ(db.strokes.strokes(G("海张")), 0);
    EXPECT_EQ(db.strokes.strokes(""), 1);  // an empty text matches the first row
}

TEST_F(FixtureDatabase, ReopeningKeepsTheDataSetsWorking) {
    EXPECT_EQ(db.strokes.strokesByStatement(G("张")), 11);
    db.open(dir.path());  // closes the connection and opens it again
    EXPECT_EQ(db.strokes.strokesByStatement(G("张")), 11);
    EXPECT_EQ(db.strokes.strokes(G("海")), 11);
}

TEST_F(FixtureDatabase, QuotesAndWildcardsAreOrdinaryCharacters) {
    for (const char* text : {"'", "%", "_", "\\", "''", "%%", "a'b", "%_"}) {
        EXPECT_EQ(db.strokes.strokes(text), 0) << text;
    }
    // A lead byte followed by '%' is not one character: the '%' must not become a wildcard.
    EXPECT_EQ(db.strokes.strokes("\x81%"), 0);
}

TEST(StrokeLookup, EmptyTableGivesZeroForEverything) {
    test::TempDir dir;
    test::buildFixtureDb(dir.path(), {});
    Database db;
    db.open(dir.path());
    EXPECT_EQ(db.strokes.strokes(""), 0);
    EXPECT_EQ(db.strokes.strokes(G("张")), 0);
}

TEST_F(FixtureDatabase, DataSetAppendsRowsAndWritesThemInOneBatch) {
    db.ADODS1.close();
    db.ADODS1.setCommandText("select * from xm");
    db.ADODS1.open();
    EXPECT_TRUE(db.ADODS1.eof());
    EXPECT_EQ(db.ADODS1.fieldText("xingming"), "");  // no row: empty text
    for (const char* name : {"张小华", "王小明", "张小华"}) {
        db.ADODS1.append();
        db.ADODS1.setField("xingming", G(name));
    }
    db.ADODS1.updateBatch();
    db.ADODS2.close();
    db.ADODS2.setCommandText("select * from xm");
    db.ADODS2.open();
    std::vector<std::string> rows;
    for (; !db.ADODS2.eof(); db.ADODS2.next()) rows.push_back(db.ADODS2.fieldText("xingming"));
    EXPECT_EQ(rows, (std::vector<std::string>{G("张小华"), G("王小明"), G("张小华")}));
}

TEST_F(FixtureDatabase, MalformedStatementsRaiseTheEnginesText) {
    db.ADODS1.close();
    db.ADODS1.setCommandText("select * from nosuchtable");
    try {
        db.ADODS1.open();
        FAIL();
    } catch (const DatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("no such table"), std::string::npos);
    }
    db.ADOQuery1.clearSql();
    db.ADOQuery1.setSql("delete from nosuchtable");
    EXPECT_THROW(db.ADOQuery1.execSql(), DatabaseError);
}

// The index must answer exactly what the statement answers, on the real data.
TEST(RealDatabase, IndexAndStatementAgree) {
    Database db;
    db.open(test::programDir());
    std::vector<std::string> characters;
    db.ADODS2.close();
    db.ADODS2.setCommandText("select * from fantizi");
    db.ADODS2.open();
    for (; !db.ADODS2.eof(); db.ADODS2.next()) {
        const std::string hanzi = db.ADODS2.fieldText("hanzi");
        for (size_t i = 0; i + 1 < hanzi.size(); i += 2) characters.push_back(hanzi.substr(i, 2));
    }
    ASSERT_GT(characters.size(), 20000u);
    for (const std::string& ch : characters) {
        ASSERT_EQ(db.strokes.strokes(ch), db.strokes.strokesByStatement(ch)) << gbkToUtf8(ch);
    }
    std::mt19937 rng(20261208);
    for (int i = 0; i < 5000; ++i) {
        const std::string unit{static_cast<char>(rng() % 256), static_cast<char>(rng() % 256)};
        ASSERT_EQ(db.strokes.strokes(unit), db.strokes.strokesByStatement(unit))
            << std::hex << int(static_cast<unsigned char>(unit[0])) << " "
            << int(static_cast<unsigned char>(unit[1]));
    }
}

}  // namespace
}  // namespace quenvil

namespace quenvil {
namespace {

// tests/data/format_v1.Mdb was built from tests/data/format_sources by the first version of the
// builder. Users keep their data.Mdb (with the names they imported) from version to version, so
// every later version must still open and read it: cipher, page size, key and tables.
TEST(DatabaseFormat, AFileOfTheFirstFormatStillOpensAndReads) {
    test::TempDir dir;
    std::filesystem::copy_file(test::testDataDir() / "format_v1.Mdb",
                               dir.path() / kDatabaseFileName);
    Database db;
    db.open(dir.path());
    EXPECT_EQ(db.strokes.strokes(test::G("婷")), 12);
    EXPECT_EQ(db.strokes.strokesByStatement(test::G("海")), 11);
    auto meaning = [&](const char* sql, const char* key) {
        db.ADODS1.close();
        db.ADODS1.setCommandText(sql, {Param::utf8(key)});
        db.ADODS1.open();
        return gbkToUtf8(db.ADODS1.fieldText("hanyi"));
    };
    EXPECT_EQ(meaning("select * from wuge where shuzi=?", "21"), "【大吉】数二十一");
    EXPECT_EQ(meaning("select * from sancai where sancai=?", "火木木"), "【大吉】配置火木木");
}

}  // namespace
}  // namespace quenvil
