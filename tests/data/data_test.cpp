// The connection, the data sets and the stroke lookup against fixture databases and the real one.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

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

TEST_F(FixtureDatabase, OpensDataMdbOfTheFolderWithTheProgramsPassword) {
    EXPECT_TRUE(db.connection.connected());
    EXPECT_EQ(db.connection.file(), dir.path() / "data.Mdb");
    EXPECT_TRUE(db.strokes.indexed());
    // The password that every data.Mdb so far was written with.
    Connection other;
    other.open(dir.path() / "data.Mdb", "quillon6085");
    EXPECT_TRUE(other.connected());
}

TEST(DatabaseOpening, WrongPasswordAndMissingFileGiveTheEnginesText) {
    test::TempDir dir;
    Connection cn;
    EXPECT_THROW(cn.open(dir.path() / "data.Mdb", kDatabasePassword), DatabaseError);
    try {
        cn.open(dir.path() / "data.Mdb", kDatabasePassword);
    } catch (const DatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("unable to open"), std::string::npos) << e.what();
    }

    test::buildFixtureDb(dir.path(), test::standardFixture());
    try {
        cn.open(dir.path() / "data.Mdb", "wrong");
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
    db.characterQuery.close();
    db.characterQuery.setCommandText("select * from xm");
    db.characterQuery.open();
    EXPECT_TRUE(db.characterQuery.eof());
    EXPECT_EQ(db.characterQuery.fieldText("xingming"), "");  // no row: empty text
    for (const char* name : {"张小华", "王小明", "张小华"}) {
        db.characterQuery.append();
        db.characterQuery.setField("xingming", G(name));
    }
    db.characterQuery.updateBatch();
    db.importedNames.close();
    db.importedNames.setCommandText("select * from xm");
    db.importedNames.open();
    std::vector<std::string> rows;
    for (; !db.importedNames.eof(); db.importedNames.next())
        rows.push_back(db.importedNames.fieldText("xingming"));
    EXPECT_EQ(rows, (std::vector<std::string>{G("张小华"), G("王小明"), G("张小华")}));
}

TEST_F(FixtureDatabase, MalformedStatementsRaiseTheEnginesText) {
    db.characterQuery.close();
    db.characterQuery.setCommandText("select * from nosuchtable");
    try {
        db.characterQuery.open();
        FAIL();
    } catch (const DatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("no such table"), std::string::npos);
    }
    db.importCommand.clearSql();
    db.importCommand.setSql("delete from nosuchtable");
    EXPECT_THROW(db.importCommand.execSql(), DatabaseError);
}

TEST(DatabaseOpening, AFolderWhosePathHoldsASemicolon) {
    test::TempDir dir;
    const auto folder = dir.path() / "Quenvil;1.0";
    std::filesystem::create_directories(folder);
    test::buildFixtureDb(folder, test::standardFixture());
    Database db;
    db.open(folder);
    EXPECT_EQ(db.connection.file(), folder / "data.Mdb");
    EXPECT_EQ(db.strokes.strokesByStatement(G("张")), 11);
}

TEST(DatabaseOpening, EmptyForeignAndMisplacedDatabasesAreNamed) {
    test::TempDir dir;
    const auto file = dir.path() / "data.Mdb";
    auto openError = [&] {
        Database db;
        try {
            db.open(dir.path());
        } catch (const DatabaseError& e) {
            EXPECT_FALSE(db.connection.connected());
            return std::string(e.what());
        }
        return std::string("opened");
    };
    test::writeFile(file, "");
    std::string error = openError();
    EXPECT_NE(error.find("the database file is empty"), std::string::npos) << error;
    EXPECT_NE(error.find(file.string()), std::string::npos) << error;

    test::writeFile(file, std::string(8192, 'x'));
    error = openError();
    EXPECT_NE(error.find("not a database"), std::string::npos) << error;
    EXPECT_NE(error.find(file.string()), std::string::npos) << error;

    // The right password, but not the program's tables.
    std::filesystem::remove(file);
    test::writeFile(file, "");
    {
        Connection cn;
        cn.open(file, kDatabasePassword);
        cn.execute("create table other(x)");
    }
    error = openError();
    EXPECT_NE(error.find("not a character database of this program (no table fantizi)"),
              std::string::npos)
        << error;

    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    error = openError();
    EXPECT_NE(error.find("is a folder"), std::string::npos) << error;
    EXPECT_NE(error.find(file.string()), std::string::npos) << error;
}

TEST_F(FixtureDatabase, ReleasedDataSetKeepsItsRowAndHoldsNoLock) {
    db.characterQuery.close();
    db.characterQuery.setCommandText("select * from fantizi order by id");
    db.characterQuery.open();
    EXPECT_FALSE(test::databaseIsIdle(dir.path()));  // a statement on its first row reads
    db.characterQuery.release();
    EXPECT_TRUE(test::databaseIsIdle(dir.path()));
    EXPECT_FALSE(db.characterQuery.eof());
    EXPECT_EQ(db.characterQuery.fieldText("hanzi"), G("一乙"));
    EXPECT_EQ(db.characterQuery.fieldInteger("BIHUA"), 1);
    EXPECT_THROW(db.characterQuery.fieldText("nosuchcolumn"), DatabaseError);
    db.characterQuery.next();
    EXPECT_TRUE(db.characterQuery.eof());
    EXPECT_EQ(db.characterQuery.fieldText("hanzi"), "");
    // Opened again, it reads from the start.
    db.characterQuery.open();
    EXPECT_EQ(db.characterQuery.fieldInteger("bihua"), 1);
    db.characterQuery.next();
    EXPECT_EQ(db.characterQuery.fieldInteger("bihua"), 2);
    db.characterQuery.close();
    EXPECT_TRUE(test::databaseIsIdle(dir.path()));
}

TEST_F(FixtureDatabase, LookupsByStatementHoldNoLockAfterwards) {
    EXPECT_EQ(db.strokes.strokes(G("张海")), 11);  // several characters: the statement answers
    EXPECT_TRUE(test::databaseIsIdle(dir.path()));
    EXPECT_EQ(db.strokes.strokes(G("龙")), 0);
    EXPECT_TRUE(test::databaseIsIdle(dir.path()));
}

TEST_F(FixtureDatabase, OpeningWaitsForAnotherProgramsWriteInsteadOfFailing) {
    Connection writer;
    writer.open(dir.path() / "data.Mdb", kDatabasePassword);
    writer.execute("begin exclusive");
    writer.execute("delete from xm");
    // The writer commits a moment after the open has started (and met the lock). The open can
    // only come back once the commit has begun: it waited for the lock, not for the clock.
    std::atomic<bool> committing{false};
    std::thread finish([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        committing = true;
        writer.commit();
    });
    Database other;
    EXPECT_NO_THROW(other.open(dir.path()));
    EXPECT_TRUE(committing);
    finish.join();
    EXPECT_TRUE(other.connection.connected());
    EXPECT_EQ(other.strokes.strokes(G("张")), 11);
}

TEST_F(FixtureDatabase, ALockHeldLongerThanTheTimeoutIsReportedAsBusy) {
    Connection writer;
    writer.open(dir.path() / "data.Mdb", kDatabasePassword);
    writer.execute("begin exclusive");
    db.connection.setBusyTimeout(100);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(db.strokes.strokesByStatement(G("张")), DatabaseBusyError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    writer.rollback();
    EXPECT_EQ(db.strokes.strokesByStatement(G("张")), 11);
}

TEST_F(FixtureDatabase, AConnectionThatFoundTheFileBusyOpensWithItsNextUse) {
    Connection writer;
    writer.open(dir.path() / "data.Mdb", kDatabasePassword);
    writer.execute("begin exclusive");
    Database late;
    late.connection.setBusyTimeout(100);
    EXPECT_THROW(late.open(dir.path()), DatabaseBusyError);
    EXPECT_FALSE(late.connection.connected());
    writer.rollback();
    EXPECT_EQ(late.strokes.strokes(G("张")), 11);
    EXPECT_TRUE(late.connection.connected());
    // A connection that failed for another reason stays closed.
    Database missing;
    EXPECT_THROW(missing.open(dir.path() / "nowhere"), DatabaseError);
    EXPECT_THROW(missing.strokes.strokes(G("张")), DatabaseError);
}

TEST_F(FixtureDatabase, AReadOnlyFolderIsNamedWhenTheDatabaseIsWritten) {
    test::ReadOnlyFolder readOnly(dir.path());
    if (!readOnly.ok()) GTEST_SKIP() << "the folder cannot be made read-only here";
    EXPECT_EQ(db.strokes.strokesByStatement(G("张")), 11);  // reading works
    try {
        db.connection.beginTransaction();
        db.connection.execute("delete from xm");
        FAIL() << "wrote into a read-only folder";
    } catch (const DatabaseReadOnlyError& e) {
        const std::string text = e.what();
        EXPECT_NE(text.find("is read-only"), std::string::npos) << text;
        EXPECT_NE(text.find(dir.path().string()), std::string::npos) << text;
        EXPECT_NE(text.find("data.Mdb-journal"), std::string::npos) << text;
    }
    db.connection.rollback();
}

// The index must answer exactly what the statement answers, on the real data.
TEST(RealDatabase, IndexAndStatementAgree) {
    Database db;
    db.open(test::programDir());
    std::vector<std::string> characters;
    db.importedNames.close();
    db.importedNames.setCommandText("select * from fantizi");
    db.importedNames.open();
    for (; !db.importedNames.eof(); db.importedNames.next()) {
        const std::string hanzi = db.importedNames.fieldText("hanzi");
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
        return gbkToUtf8(queryText(db.characterQuery, sql, {Param::utf8(key)}, "hanyi").value());
    };
    EXPECT_EQ(meaning("select * from wuge where shuzi=?", "21"), "【大吉】数二十一");
    EXPECT_EQ(meaning("select * from sancai where sancai=?", "火木木"), "【大吉】配置火木木");
}

}  // namespace
}  // namespace quenvil
