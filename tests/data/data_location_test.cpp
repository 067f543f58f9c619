// Finding the shipped data, the per-user copy of data.Mdb and the refresh of its reference data.
#define SQLITE_HAS_CODEC 1
#include "data/data_location.h"

#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>

#include <fstream>
#include <sstream>

#include "data/connection.h"
#include "data/database.h"
#include "data/reference_data.h"
#include "data/shortlist.h"
#include "data/user_database.h"
#include "support/fixture_db.h"

namespace quenvil {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> folderEntries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// A keyed connection to a database file, for reading and changing it in the tests.
struct Db {
    explicit Db(const fs::path& file) { cn.open(file, kDatabasePassword); }
    // The first column of every row, as text.
    std::vector<std::string> column(const std::string& sql) {
        Statement stmt(cn.handle(), sql);
        std::vector<std::string> values;
        while (stmt.step()) {
            const auto* text = sqlite3_column_text(stmt.get(), 0);
            values.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
        }
        return values;
    }
    // Every row, its columns joined by tabs.
    std::vector<std::string> rows(const std::string& sql) {
        Statement stmt(cn.handle(), sql);
        std::vector<std::string> values;
        while (stmt.step()) {
            std::string row;
            for (int i = 0; i < sqlite3_column_count(stmt.get()); ++i) {
                const auto* text = sqlite3_column_text(stmt.get(), i);
                row +=
                    (i ? "\t" : "") + std::string(text ? reinterpret_cast<const char*>(text) : "");
            }
            values.push_back(row);
        }
        return values;
    }
    std::string value(const std::string& sql) {
        const auto values = column(sql);
        return values.empty() ? std::string() : values.front();
    }
    Connection cn;
};

TEST(ShippedFolder, BesideTheProgramFirstThenTheInstalledFolder) {
    test::TempDir dir;
    const fs::path bin = dir.path() / "bin";
    const fs::path installed = dir.path() / "share" / "quenvil";
    fs::create_directories(bin);
    EXPECT_EQ(findShippedFolder(bin), bin);  // neither: the program's folder, as before

    test::buildFixtureDb(installed, test::standardFixture());
    EXPECT_EQ(findShippedFolder(bin), installed);
    EXPECT_EQ(findShippedFolder(bin, "../data"), bin);

    test::writeFile(bin / kDatabaseFileName, "");
    EXPECT_EQ(findShippedFolder(bin), bin);

    // A folder named data.Mdb is not the database.
    fs::remove(bin / kDatabaseFileName);
    fs::create_directory(bin / kDatabaseFileName);
    EXPECT_EQ(findShippedFolder(bin), installed);
}

TEST(ShippedFolder, TheInstalledFolderFollowsTheConfiguredLayout) {
    // The build is configured with the usual bin/ and share/ folders.
    EXPECT_STREQ(kInstalledDataRelative, "../share/quenvil");
    EXPECT_EQ(shippedFolderCandidates("/opt/q/bin"),
              (std::vector<fs::path>{"/opt/q/bin", "/opt/q/share/quenvil"}));
    EXPECT_EQ(shippedFolderCandidates("/usr/lib/q/libexec", "../../../share/q")[1],
              fs::path("/usr/share/q"));
}

TEST(UserDataFolder, XdgDataHomeThenHome) {
    EXPECT_EQ(userDataFolder("/x/data", "/home/u"), fs::path("/x/data/quenvil"));
    EXPECT_EQ(userDataFolder(nullptr, "/home/u"), fs::path("/home/u/.local/share/quenvil"));
    EXPECT_EQ(userDataFolder("", "/home/u"), fs::path("/home/u/.local/share/quenvil"));
    // A relative XDG_DATA_HOME is not a base folder.
    EXPECT_EQ(userDataFolder("data", "/home/u"), fs::path("/home/u/.local/share/quenvil"));
    EXPECT_EQ(userDataFolder("/x/data", nullptr), fs::path("/x/data/quenvil"));
    EXPECT_EQ(userDataFolder(nullptr, ""), fs::path());
    EXPECT_EQ(userDataFolder("data", nullptr), fs::path());
}

class Location : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(bin);
        fs::create_directories(installed / "xm");
    }
    test::TempDir dir;
    fs::path bin = dir.path() / "bin";
    fs::path installed = dir.path() / "share" / "quenvil";
    fs::path user = dir.path() / "home" / ".local" / "share" / "quenvil";
};

TEST_F(Location, AWritableProgramFolderIsUsedAsItIs) {
    test::buildFixtureDb(bin, test::standardFixture());
    test::buildFixtureDb(installed, test::standardFixture());
    const DataLocation found = locateData(bin, user);
    EXPECT_EQ(found.shipped, bin);
    EXPECT_EQ(found.database, bin);
    EXPECT_EQ(found.system, bin);
    EXPECT_EQ(found.warning, "");
    EXPECT_FALSE(fs::exists(user));
}

TEST_F(Location, AnInstalledProgramOpensTheUsersCopy) {
    test::buildFixtureDb(installed, test::standardFixture());
    const std::string shippedBytes = slurp(installed / kDatabaseFileName);
    const DataLocation found = locateData(bin, user);
    EXPECT_EQ(found.shipped, installed);
    EXPECT_EQ(found.system, installed);  // the name lists: installed/xm
    EXPECT_EQ(found.database, user);
    EXPECT_EQ(found.warning, "");
    EXPECT_EQ(slurp(user / kDatabaseFileName), shippedBytes);

    // The program opens the copy; what it writes stays there.
    Database db;
    db.open(found.database);
    db.connection.execute("insert into xm2(xingming) values('abc')");
    EXPECT_EQ(slurp(installed / kDatabaseFileName), shippedBytes);
    EXPECT_EQ(locateData(bin, user).database, user);
    EXPECT_EQ(Db(user / kDatabaseFileName).value("select count(*) from xm2"), "1");
}

TEST_F(Location, WithoutAUsersCopyTheShippedFileIsOpened) {
    test::buildFixtureDb(installed, test::standardFixture());
    DataLocation found = locateData(bin, fs::path());
    EXPECT_EQ(found.database, installed);
    EXPECT_NE(found.warning.find("HOME"), std::string::npos) << found.warning;

    // The user's data folder cannot be made: a file stands in its way.
    test::writeFile(dir.path() / "home", "");
    found = locateData(bin, user);
    EXPECT_EQ(found.database, installed);
    EXPECT_NE(found.warning.find(user.string()), std::string::npos) << found.warning;
}

TEST_F(Location, NoDatabaseAnywhereLeavesTheProgramFolder) {
    const DataLocation found = locateData(bin, user);
    EXPECT_EQ(found.shipped, bin);
    EXPECT_EQ(found.database, bin);
    EXPECT_EQ(found.warning, "");
    EXPECT_FALSE(fs::exists(user));
    Database db;
    try {
        db.open(found.database);
        FAIL() << "opened a missing database";
    } catch (const DatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find((bin / kDatabaseFileName).string()), std::string::npos)
            << e.what();
    }
}

TEST(AtomicCopy, CopiesTheBytesAndLeavesNoTemporaryFile) {
    test::TempDir dir;
    std::string bytes;
    for (int i = 0; i < 200000; ++i) bytes += static_cast<char>(i * 7);
    test::writeFile(dir.path() / "from", bytes);
    fs::create_directory(dir.path() / "to");
    copyFileAtomically(dir.path() / "from", dir.path() / "to" / "data.Mdb");
    EXPECT_EQ(slurp(dir.path() / "to" / "data.Mdb"), bytes);
    EXPECT_EQ(folderEntries(dir.path() / "to"), std::vector<std::string>{"data.Mdb"});
}

TEST(AtomicCopy, AFileAlreadyThereIsKept) {
    test::TempDir dir;
    test::writeFile(dir.path() / "from", "new");
    test::writeFile(dir.path() / "data.Mdb", "made by another process");
    copyFileAtomically(dir.path() / "from", dir.path() / "data.Mdb");
    EXPECT_EQ(slurp(dir.path() / "data.Mdb"), "made by another process");
    EXPECT_EQ(folderEntries(dir.path()), (std::vector<std::string>{"data.Mdb", "from"}));
}

TEST(AtomicCopy, FailuresLeaveNothingBehind) {
    test::TempDir dir;
    fs::create_directory(dir.path() / "to");
    EXPECT_THROW(copyFileAtomically(dir.path() / "missing", dir.path() / "to" / "data.Mdb"),
                 std::system_error);
    EXPECT_TRUE(folderEntries(dir.path() / "to").empty());
    // A folder cannot be read as a file: the temporary file is made, then removed.
    EXPECT_THROW(copyFileAtomically(dir.path() / "to", dir.path() / "to" / "data.Mdb"),
                 std::system_error);
    EXPECT_TRUE(folderEntries(dir.path() / "to").empty());
}

// A shipped data.Mdb built from fixture sources, and the user's copy of it with imported names.
class UserCopy : public ::testing::Test {
  protected:
    void SetUp() override {
        test::buildFixtureDb(dir.path() / "shipped", test::standardFixture());
        copy = prepareUserDatabase(shipped, dir.path() / "user");
        Db db(copy);
        db.cn.execute("insert into xm(xingming) values('张思婷'), ('张思婷'), ('李海')");
        db.cn.execute("insert into xm2(xingming) values('张思婷'), ('李海')");
    }
    // A newer program's data: a changed meaning, a new index, a higher version.
    void shipNewerData() {
        Db db(shipped);
        db.cn.execute("update wuge set hanyi = '新含义' where shuzi = '1'");
        db.cn.execute("create index fantizi_bihua on fantizi(bihua)");
        db.cn.execute("pragma user_version = " + std::to_string(kReferenceDataVersion + 1));
    }
    std::vector<std::string> names(const std::string& table) {
        return Db(copy).column("select xingming from " + table + " order by rowid");
    }
    // The reference tables as the shipped file lists them: every table but the user's (the
    // names and the shortlist) and the engine's own.
    std::vector<std::string> referenceTables() {
        return Db(shipped).column(
            "select name from sqlite_master where type = 'table' and name not in ('xm', 'xm2', "
            "'shortlist') and name not like 'sqlite%' order by name");
    }
    std::vector<std::string> allRows(const fs::path& file, const std::string& table) {
        return Db(file).rows("select * from " + table + " order by rowid");
    }
    test::TempDir dir;
    fs::path shipped = dir.path() / "shipped" / kDatabaseFileName;
    fs::path copy;
};

TEST_F(UserCopy, TheBuilderMarksItsVersion) {
    EXPECT_EQ(referenceDataVersion(shipped), kReferenceDataVersion);
    EXPECT_EQ(referenceDataVersion(copy), kReferenceDataVersion);
    EXPECT_EQ(referenceDataVersion(test::programDir() / kDatabaseFileName), kReferenceDataVersion);
}

TEST_F(UserCopy, NewerShippedDataReplacesTheReferenceTablesAndKeepsTheNames) {
    shipNewerData();
    Db(copy).cn.execute("update fantizi set hanzi = '改' where bihua = 4");
    EXPECT_TRUE(refreshReferenceData(copy, shipped));

    Db db(copy);
    EXPECT_EQ(db.value("pragma user_version"), std::to_string(kReferenceDataVersion + 1));
    EXPECT_EQ(db.value("select hanyi from wuge where shuzi = '1'"), "新含义");
    EXPECT_EQ(db.value("select hanzi from fantizi where bihua = 4"), "王文方");
    for (const std::string& table : referenceTables()) {
        EXPECT_EQ(allRows(copy, table), allRows(shipped, table)) << table;
    }
    // The indexes of the shipped tables come along, the old ones stay (the engine's own indexes
    // of primary keys aside).
    EXPECT_EQ(db.column("select name from sqlite_master where type = 'index' and name not like "
                        "'sqlite_autoindex_%' order by name"),
              (std::vector<std::string>{"fantizi_bihua", "sancai_key", "wuge_shuzi"}));
    EXPECT_EQ(names("xm"), (std::vector<std::string>{"张思婷", "张思婷", "李海"}));
    EXPECT_EQ(names("xm2"), (std::vector<std::string>{"张思婷", "李海"}));

    // Done once: a second start finds the copy up to date.
    EXPECT_FALSE(refreshReferenceData(copy, shipped));
}

// Every reference table the shipped file holds, whatever its name, is taken anew: each is emptied
// in the copy, and only the refresh can bring its rows back.
TEST_F(UserCopy, EveryReferenceTableOfTheShippedFileIsTakenAnew) {
    const std::vector<std::string> tables = referenceTables();
    EXPECT_EQ(tables, (std::vector<std::string>{
                          "bad_sound", "classic_line", "classic_piece", "compound_surname",
                          "famous_person", "fantizi", "given_name", "name_char", "name_reading",
                          "name_word", "pinyin", "sancai", "surname_reading", "wuge"}));
    shipNewerData();
    for (const std::string& table : tables) Db(copy).cn.execute("delete from " + table);
    ASSERT_TRUE(refreshReferenceData(copy, shipped));
    for (const std::string& table : tables) {
        const std::vector<std::string> rows = allRows(copy, table);
        EXPECT_FALSE(rows.empty()) << table;
        EXPECT_EQ(rows, allRows(shipped, table)) << table;
    }
    EXPECT_EQ(names("xm"), (std::vector<std::string>{"张思婷", "张思婷", "李海"}));
    EXPECT_EQ(names("xm2"), (std::vector<std::string>{"张思婷", "李海"}));
}

TEST_F(UserCopy, TheShortlistStaysThroughARefresh) {
    {
        Db db(copy);
        addToShortlist(db.cn, "王婉如", "王", 'f', "温婉");
        addToShortlist(db.cn, "欧阳修", "欧阳", 'm');
    }
    const std::vector<std::string> kept = allRows(copy, "shortlist");
    ASSERT_EQ(kept.size(), 2u);
    shipNewerData();
    ASSERT_TRUE(refreshReferenceData(copy, shipped));
    EXPECT_EQ(Db(copy).value("select hanyi from wuge where shuzi = '1'"), "新含义");
    EXPECT_EQ(allRows(copy, "shortlist"), kept);
}

// A copy made before the shortlist existed gets the shipped (empty) table at the next start,
// whether the shipped data is newer or not.
TEST_F(UserCopy, ACopyWithoutTheShortlistGetsIt) {
    const std::string definition = "select sql from sqlite_master where name = 'shortlist'";
    ASSERT_NE(Db(shipped).value(definition), "");
    for (const bool newer : {false, true}) {
        Db(copy).cn.execute("drop table shortlist");
        if (newer) shipNewerData();
        EXPECT_EQ(prepareUserDatabase(shipped, dir.path() / "user"), copy);
        EXPECT_EQ(referenceDataVersion(copy), kReferenceDataVersion + (newer ? 1 : 0));
        EXPECT_EQ(Db(copy).value(definition), Db(shipped).value(definition)) << newer;
        EXPECT_EQ(Db(copy).value("select count(*) from shortlist"), "0") << newer;
    }
}

TEST_F(UserCopy, SameOrOlderShippedDataLeavesTheCopyAlone) {
    Db(copy).cn.execute("update wuge set hanyi = '用户的' where shuzi = '2'");
    EXPECT_FALSE(refreshReferenceData(copy, shipped));
    EXPECT_EQ(Db(copy).value("select hanyi from wuge where shuzi = '2'"), "用户的");

    // An older program started after a newer one does not take its older tables.
    Db(copy).cn.execute("pragma user_version = " + std::to_string(kReferenceDataVersion + 5));
    shipNewerData();
    EXPECT_FALSE(refreshReferenceData(copy, shipped));
    EXPECT_EQ(Db(copy).value("select hanyi from wuge where shuzi = '1'"), "【吉】数1");
}

TEST_F(UserCopy, AFailedRefreshChangesNothing) {
    shipNewerData();
    // The last table to be taken (wuge) brings an index whose name an index of the user's names
    // already has: its creation fails after every other table has been replaced.
    Db(copy).cn.execute("create index clash on xm(xingming)");
    Db(shipped).cn.execute("create index clash on wuge(hanyi)");
    const std::string before = slurp(copy);
    EXPECT_THROW(refreshReferenceData(copy, shipped), DatabaseError);
    EXPECT_EQ(slurp(copy), before);
    EXPECT_EQ(referenceDataVersion(copy), kReferenceDataVersion);
    EXPECT_EQ(Db(copy).value("select hanyi from wuge where shuzi = '1'"), "【吉】数1");
    EXPECT_EQ(names("xm2"), (std::vector<std::string>{"张思婷", "李海"}));
}

TEST_F(UserCopy, PreparingAgainRefreshesInsteadOfCopying) {
    shipNewerData();
    EXPECT_EQ(prepareUserDatabase(shipped, dir.path() / "user"), copy);
    EXPECT_EQ(referenceDataVersion(copy), kReferenceDataVersion + 1);
    EXPECT_EQ(names("xm"), (std::vector<std::string>{"张思婷", "张思婷", "李海"}));
    EXPECT_EQ(folderEntries(dir.path() / "user"), std::vector<std::string>{"data.Mdb"});
}

}  // namespace
}  // namespace quenvil
