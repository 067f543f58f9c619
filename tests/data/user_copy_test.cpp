// The per-user copy of data.Mdb: the refresh of its reference data (the user's names and
// shortlist kept), damaged copies set aside and recovered, a busy copy reported.
#define SQLITE_HAS_CODEC 1
#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>

#include <fstream>

#include "data/connection.h"
#include "data/data_location.h"
#include "data/database.h"
#include "data/database_key.h"
#include "data/keyed_db.h"
#include "data/reference_data.h"
#include "data/shortlist.h"
#include "data/user_database.h"
#include "support/fixture_db.h"

namespace quenvil {
namespace {

namespace fs = std::filesystem;
using test::Db;
using test::folderEntries;

// A shipped data.Mdb built from fixture sources, and the user's copy of it with imported names.
class UserCopy : public ::testing::Test {
  protected:
    void SetUp() override {
        test::buildFixtureDb(dir.path() / "shipped", test::standardFixture());
        copy = prepareUserFolder(shipped, dir.path() / "user", std::time(nullptr));
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
// whether its reference data is older (and refreshed) or not.
TEST_F(UserCopy, ACopyWithoutTheShortlistGetsIt) {
    const std::string definition = "select sql from sqlite_master where name = 'shortlist'";
    ASSERT_NE(Db(shipped).value(definition), "");
    for (const bool older : {false, true}) {
        Db(copy).cn.execute("drop table shortlist");
        if (older) {
            Db(copy).cn.execute("pragma user_version = " +
                                std::to_string(kReferenceDataVersion - 1));
        }
        EXPECT_EQ(prepareUserFolder(shipped, dir.path() / "user", std::time(nullptr)), copy);
        const DataLocation location{shipped.parent_path(), shipped.parent_path(),
                                    copy.parent_path(), DatabaseHome::UserCopy, ""};
        Database db;
        EXPECT_EQ(openDatabase(db, location).refreshed, older);
        db.connection.close();
        EXPECT_EQ(referenceDataVersion(copy), kReferenceDataVersion);
        EXPECT_EQ(Db(copy).value(definition), Db(shipped).value(definition)) << older;
        EXPECT_EQ(Db(copy).value("select count(*) from shortlist"), "0") << older;
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
    const std::string before = test::readFile(copy);
    EXPECT_THROW(refreshReferenceData(copy, shipped), DatabaseError);
    EXPECT_EQ(test::readFile(copy), before);
    EXPECT_EQ(referenceDataVersion(copy), kReferenceDataVersion);
    EXPECT_EQ(Db(copy).value("select hanyi from wuge where shuzi = '1'"), "【吉】数1");
    EXPECT_EQ(names("xm2"), (std::vector<std::string>{"张思婷", "李海"}));
}

// Opening a copy of older reference data takes the shipped tables once, with the connection that
// reads the copy: no key is derived again.
TEST_F(UserCopy, OpeningAnOlderCopyRefreshesItOnce) {
    Db(copy).cn.execute("update wuge set hanyi = '旧的' where shuzi = '1'");
    Db(copy).cn.execute("pragma user_version = " + std::to_string(kReferenceDataVersion - 1));
    EXPECT_EQ(prepareUserFolder(shipped, dir.path() / "user", std::time(nullptr)), copy);
    const DataLocation location{shipped.parent_path(), shipped.parent_path(), copy.parent_path(),
                                DatabaseHome::UserCopy, ""};
    const size_t derivedBefore = keyDerivations();
    Database db;
    OpenReport report = openDatabase(db, location);
    EXPECT_TRUE(report.refreshed);
    EXPECT_EQ(report.damage + report.refreshProblem + report.readingShipped, "");
    db.connection.close();
    EXPECT_EQ(referenceDataVersion(copy), kReferenceDataVersion);
    EXPECT_EQ(Db(copy).value("select hanyi from wuge where shuzi = '1'"), "【吉】数1");
    EXPECT_EQ(names("xm"), (std::vector<std::string>{"张思婷", "张思婷", "李海"}));
    EXPECT_FALSE(openDatabase(db, location).refreshed);
    EXPECT_EQ(keyDerivations(), derivedBefore);
    EXPECT_EQ(folderEntries(dir.path() / "user"), std::vector<std::string>{"data.Mdb"});
}

// A damaged copy is found when it is opened, kept under a dated name (never deleted) and replaced
// by a fresh copy of the shipped file; its names are taken over as far as the engine can read
// them, in their order.
struct Damage {
    const char* name;
    void (*damage)(const fs::path& copy);
    bool someRecovered;  // rows of xm can still be read (all but the damaged ones)
};

void writeAt(const fs::path& file, uintmax_t offset, const std::string& bytes) {
    std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(static_cast<std::streamoff>(offset));
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class DamagedCopy : public UserCopy, public ::testing::WithParamInterface<Damage> {
  protected:
    void SetUp() override {
        UserCopy::SetUp();
        Db db(copy);
        addToShortlist(db.cn, "罗思远", "罗", 'm');
        addToShortlist(db.cn, "黄思婷", "黄", 'f');
        setShortlistRemark(db.cn, "黄思婷", "外婆喜欢");
        kept = shortlistEntries(db.cn);
        db.cn.beginTransaction();
        for (int i = 0; i < 20000; ++i) {
            db.cn.execute("insert into xm(xingming) values(?)", {Param::utf8(std::to_string(i))});
        }
        db.cn.commit();
        original = names("xm");
    }
    std::vector<std::string> original;
    std::vector<ShortlistEntry> kept;
};

TEST_P(DamagedCopy, IsSetAsideReplacedAndItsNamesRecovered) {
    const std::string shippedBytes = test::readFile(shipped);
    GetParam().damage(copy);
    const std::string damagedBytes = test::readFile(copy);
    const DataLocation location{shipped.parent_path(), shipped.parent_path(), copy.parent_path(),
                                DatabaseHome::UserCopy, ""};
    Database db;
    const OpenReport report = openDatabase(db, location);
    EXPECT_NE(report.damage, "");
    EXPECT_EQ(report.readingShipped, "");
    EXPECT_TRUE(db.readOnlyReason.empty());
    EXPECT_EQ(db.strokes.strokes(test::G("张")), 11);
    db.connection.close();
    ASSERT_EQ(report.setAside.parent_path(), copy.parent_path());
    EXPECT_TRUE(
        test::hasShape(report.setAside.filename().string(), "data.Mdb.damaged-99999999-999999"))
        << report.setAside;
    EXPECT_EQ(test::readFile(report.setAside), damagedBytes);
    EXPECT_EQ(test::readFile(shipped), shippedBytes);

    // What was recovered: the rows before the damage and the rows after it, in order.
    const std::vector<std::string> recovered = names("xm");
    EXPECT_EQ(report.recoveredNames, recovered.size());
    if (GetParam().someRecovered) {
        EXPECT_GT(recovered.size(), 0u);
        Db fresh(copy);  // the shortlist, on a page the damage missed, is taken over whole
        EXPECT_EQ(shortlistEntries(fresh.cn), kept);
    } else {
        EXPECT_EQ(recovered.size(), 0u);
    }
    size_t prefix = 0;
    while (prefix < recovered.size() && recovered[prefix] == original[prefix]) ++prefix;
    const size_t suffix = recovered.size() - prefix;
    EXPECT_TRUE(std::equal(recovered.begin() + static_cast<std::ptrdiff_t>(prefix), recovered.end(),
                           original.end() - static_cast<std::ptrdiff_t>(suffix)));

    // Opened again, the fresh copy is sound.
    const OpenReport again = openDatabase(db, location);
    EXPECT_EQ(again.damage, "");
}

INSTANTIATE_TEST_SUITE_P(
    Damages, DamagedCopy,
    ::testing::Values(
        Damage{"Overwritten", [](const fs::path& f) { test::writeFile(f, "x"); }, false},
        Damage{"Empty", [](const fs::path& f) { test::writeFile(f, ""); }, false},
        Damage{"FirstPage", [](const fs::path& f) { writeAt(f, 100, "garbage"); }, false},
        Damage{"MiddlePage", [](const fs::path& f) { writeAt(f, fs::file_size(f) / 2, "garbage"); },
               true},
        Damage{"LastPage",
               [](const fs::path& f) { writeAt(f, fs::file_size(f) - 1000, "garbage"); }, true},
        Damage{"CutShort", [](const fs::path& f) { fs::resize_file(f, fs::file_size(f) / 2); },
               false}),
    [](const auto& info) { return std::string(info.param.name); });

// A copy that another program keeps locked is waited for, then reported; it is never swapped for
// the shipped file.
TEST_F(UserCopy, ABusyCopyIsReportedNotSwapped) {
    const DataLocation location{shipped.parent_path(), shipped.parent_path(), copy.parent_path(),
                                DatabaseHome::UserCopy, ""};
    Db writer(copy);
    writer.cn.beginTransaction();
    writer.cn.execute("insert into xm2(xingming) values('x')");
    writer.cn.execute("pragma user_version = 1");  // a change of the first page as well
    Database db;
    db.connection.setBusyTimeout(200);
    EXPECT_THROW(openDatabase(db, location), DatabaseBusyError);
    EXPECT_NE(db.connection.file(), shipped);
    writer.cn.rollback();
    const OpenReport report = openDatabase(db, location);
    EXPECT_EQ(report.damage + report.readingShipped, "");
    EXPECT_EQ(db.connection.file(), copy);
}

}  // namespace
}  // namespace quenvil
