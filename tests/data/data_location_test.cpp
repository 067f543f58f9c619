// Finding the shipped data and the per-user copy of data.Mdb: the folders, the atomic copy, the
// key derived once, and leftover temporary copies.
#include "data/data_location.h"

#include <gtest/gtest.h>

#include "data/database.h"
#include "data/keyed_db.h"
#include "data/user_database.h"
#include "support/fixture_db.h"

namespace quenvil {
namespace {

namespace fs = std::filesystem;
using test::Db;
using test::folderEntries;

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
    EXPECT_EQ(found.home, DatabaseHome::Program);
    EXPECT_EQ(found.problem, "");
    EXPECT_FALSE(fs::exists(user));
}

TEST_F(Location, AnInstalledProgramOpensTheUsersCopyWithOneKeyDerivation) {
    test::buildFixtureDb(installed, test::standardFixture());
    const std::string shippedBytes = test::readFile(installed / kDatabaseFileName);
    const size_t derivedBefore = keyDerivations();
    const DataLocation found = locateData(bin, user);
    EXPECT_EQ(found.shipped, installed);
    EXPECT_EQ(found.system, installed);  // the name lists: installed/xm
    EXPECT_EQ(found.database, user);
    EXPECT_EQ(found.home, DatabaseHome::UserCopy);
    EXPECT_EQ(found.problem, "");
    EXPECT_EQ(test::readFile(user / kDatabaseFileName), shippedBytes);

    // The program opens the copy; what it writes stays there.
    Database db;
    const OpenReport report = openDatabase(db, found);
    EXPECT_EQ(report.damage + report.readingShipped + report.refreshProblem, "");
    EXPECT_EQ(db.connection.file(), user / kDatabaseFileName);
    db.connection.execute("insert into xm2(xingming) values('abc')");
    EXPECT_EQ(test::readFile(installed / kDatabaseFileName), shippedBytes);
    EXPECT_EQ(locateData(bin, user).database, user);
    EXPECT_EQ(Db(user / kDatabaseFileName).value("select count(*) from xm2"), "1");
    // The copy has the shipped file's salt: one key opens both, derived at most once (not at all
    // when an earlier test of this process opened a fixture of the same salt).
    EXPECT_LE(keyDerivations(), derivedBefore + 1);
}

// Without a user's copy the shipped file is read, never written, whoever runs the program.
TEST_F(Location, WithoutAUsersCopyTheShippedFileIsReadOnly) {
    test::buildFixtureDb(installed, test::standardFixture());
    const std::string shippedBytes = test::readFile(installed / kDatabaseFileName);
    DataLocation found = locateData(bin, fs::path());
    EXPECT_EQ(found.database, installed);
    EXPECT_EQ(found.home, DatabaseHome::NoUserCopy);
    EXPECT_NE(found.problem.find("HOME"), std::string::npos) << found.problem;

    // The user's data folder cannot be made: a file stands in its way.
    test::writeFile(dir.path() / "home", "");
    found = locateData(bin, user);
    EXPECT_EQ(found.database, installed);
    EXPECT_EQ(found.home, DatabaseHome::NoUserCopy);
    EXPECT_NE(found.problem.find(user.string()), std::string::npos) << found.problem;

    Database db;
    const OpenReport report = openDatabase(db, found);
    EXPECT_EQ(report.readingShipped, found.problem);
    EXPECT_EQ(db.readOnlyReason, found.problem);
    EXPECT_EQ(db.strokes.strokes(test::G("张")), 11);
    EXPECT_THROW(db.requireWritable(), NoUserCopyError);
    EXPECT_THROW(db.connection.execute("insert into xm2(xingming) values('abc')"), DatabaseError);
    EXPECT_EQ(test::readFile(installed / kDatabaseFileName), shippedBytes);
}

TEST_F(Location, NoDatabaseAnywhereLeavesTheProgramFolder) {
    const DataLocation found = locateData(bin, user);
    EXPECT_EQ(found.shipped, bin);
    EXPECT_EQ(found.database, bin);
    EXPECT_EQ(found.home, DatabaseHome::Program);
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

// Temporary copies left by killed programs go at the next start; a younger one may belong to a
// program that is copying now, and stays.
TEST_F(Location, LeftoverTemporaryCopiesOlderThanTheStartAreRemoved) {
    test::buildFixtureDb(installed, test::standardFixture());
    fs::create_directories(user);
    for (const char* name :
         {".data.Mdb.a1B2c3", ".data.Mdb.young1", ".data.Mdb.toolong1", "other"}) {
        test::writeFile(user / name, "partial");
    }
    const auto startedAt = std::time(nullptr);
    fs::last_write_time(user / ".data.Mdb.a1B2c3",
                        fs::last_write_time(user / "other") - std::chrono::hours(1));
    fs::last_write_time(user / ".data.Mdb.toolong1",
                        fs::last_write_time(user / "other") - std::chrono::hours(1));
    prepareUserFolder(installed / kDatabaseFileName, user, startedAt);
    EXPECT_EQ(
        folderEntries(user),
        (std::vector<std::string>{".data.Mdb.toolong1", ".data.Mdb.young1", "data.Mdb", "other"}));
    // The program's own start, from the system.
    EXPECT_LE(processStartTime(), std::time(nullptr));
    EXPECT_GT(processStartTime(), std::time(nullptr) - 24 * 3600);
}

TEST(AtomicCopy, CopiesTheBytesAndLeavesNoTemporaryFile) {
    test::TempDir dir;
    std::string bytes;
    for (int i = 0; i < 200000; ++i) bytes += static_cast<char>(i * 7);
    test::writeFile(dir.path() / "from", bytes);
    fs::create_directory(dir.path() / "to");
    copyFileAtomically(dir.path() / "from", dir.path() / "to" / "data.Mdb");
    EXPECT_EQ(test::readFile(dir.path() / "to" / "data.Mdb"), bytes);
    EXPECT_EQ(folderEntries(dir.path() / "to"), std::vector<std::string>{"data.Mdb"});
}

TEST(AtomicCopy, AFileAlreadyThereIsKept) {
    test::TempDir dir;
    test::writeFile(dir.path() / "from", "new");
    test::writeFile(dir.path() / "data.Mdb", "made by another process");
    copyFileAtomically(dir.path() / "from", dir.path() / "data.Mdb");
    EXPECT_EQ(test::readFile(dir.path() / "data.Mdb"), "made by another process");
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

}  // namespace
}  // namespace quenvil
