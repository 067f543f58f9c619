// The shortlist table of the user's database: add, update, remove, remark and the order of the
// list, on a fixture data.Mdb built by the real builder.
#include "data/shortlist.h"

#include <gtest/gtest.h>

#include <regex>

#include "data/connection.h"
#include "data/database.h"
#include "support/fixture_db.h"

namespace quenvil {
namespace {

namespace fs = std::filesystem;

// The list as "name surname gender[ remark]" entries joined by ", ", the time left out.
std::string listed(Connection& cn) {
    std::string out;
    for (const ShortlistEntry& e : shortlistEntries(cn)) {
        if (!out.empty()) out += ", ";
        out += e.name + ' ' + e.surname + ' ' + e.gender + (e.remark.empty() ? "" : " " + e.remark);
    }
    return out;
}

class Shortlist : public ::testing::Test {
  protected:
    void SetUp() override {
        test::buildFixtureDb(dir.path(), test::standardFixture());
        cn.open(dir.path() / kDatabaseFileName, kDatabasePassword);
    }
    int64_t count(const std::string& sql) {
        Statement stmt(cn.handle(), sql);
        return stmt.step() ? stmt.integer(0) : -1;
    }
    test::TempDir dir;
    Connection cn;
};

TEST_F(Shortlist, TheBuilderMakesTheTableEmpty) {
    EXPECT_EQ(count("select count(*) from sqlite_master where name = 'shortlist'"), 1);
    EXPECT_TRUE(shortlistEntries(cn).empty());
    Connection shipped;
    shipped.open(test::programDir() / kDatabaseFileName, kDatabasePassword);
    EXPECT_TRUE(shortlistEntries(shipped).empty());
    Statement stmt(shipped.handle(), "select count(*) from shortlist");
    ASSERT_TRUE(stmt.step());
    EXPECT_EQ(stmt.integer(0), 0);
}

// One change to the list, what it returns and the whole list after it.
struct Step {
    enum Op { Add, AddKeepingRemark, Remove, Remark } op;
    std::string name, surname;
    char gender;
    std::string remark;
    bool result;
    std::string after;
};

TEST_F(Shortlist, AddUpdateRemoveAndRemarkInOrder) {
    const std::vector<Step> steps = {
        {Step::Add, "王婉如", "王", 'f', "温婉", true, "王婉如 王 f 温婉"},
        // Other surnames sort before 王 (U+738B): 李 U+674E, 欧阳 U+6B27.
        {Step::Add, "欧阳修", "欧阳", 'm', "", true, "欧阳修 欧阳 m, 王婉如 王 f 温婉"},
        {Step::Add, "李海", "李", 'n', "", true, "李海 李 n, 欧阳修 欧阳 m, 王婉如 王 f 温婉"},
        // The same surname: the oldest first.
        {Step::AddKeepingRemark, "王思远", "王", 'm', "", true,
         "李海 李 n, 欧阳修 欧阳 m, 王婉如 王 f 温婉, 王思远 王 m"},
        // Again: updated in its place, never twice; the remark kept unless one is given.
        {Step::Add, "王婉如", "王", 'n', "再想想", false,
         "李海 李 n, 欧阳修 欧阳 m, 王婉如 王 n 再想想, 王思远 王 m"},
        {Step::AddKeepingRemark, "王婉如", "王", 'f', "", false,
         "李海 李 n, 欧阳修 欧阳 m, 王婉如 王 f 再想想, 王思远 王 m"},
        {Step::Add, "王婉如", "王", 'f', "", false,
         "李海 李 n, 欧阳修 欧阳 m, 王婉如 王 f, 王思远 王 m"},
        {Step::Remark, "欧阳修", "", ' ', "文忠", true,
         "李海 李 n, 欧阳修 欧阳 m 文忠, 王婉如 王 f, 王思远 王 m"},
        {Step::Remark, "欧阳询", "", ' ', "不在", false,
         "李海 李 n, 欧阳修 欧阳 m 文忠, 王婉如 王 f, 王思远 王 m"},
        {Step::Remove, "李海", "", ' ', "", true, "欧阳修 欧阳 m 文忠, 王婉如 王 f, 王思远 王 m"},
        {Step::Remove, "李海", "", ' ', "", false, "欧阳修 欧阳 m 文忠, 王婉如 王 f, 王思远 王 m"},
        // Names are matched whole.
        {Step::Remove, "王婉", "", ' ', "", false, "欧阳修 欧阳 m 文忠, 王婉如 王 f, 王思远 王 m"},
        // Text is bound, never made part of the statement.
        {Step::Add, "王'); drop table shortlist; --", "王", 'n', "'", true,
         "欧阳修 欧阳 m 文忠, 王婉如 王 f, 王思远 王 m, 王'); drop table shortlist; -- 王 n '"},
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& s = steps[i];
        bool result = false;
        switch (s.op) {
            case Step::Add:
                result = addToShortlist(cn, s.name, s.surname, s.gender, s.remark);
                break;
            case Step::AddKeepingRemark:
                result = addToShortlist(cn, s.name, s.surname, s.gender);
                break;
            case Step::Remove:
                result = removeFromShortlist(cn, s.name);
                break;
            case Step::Remark:
                result = setShortlistRemark(cn, s.name, s.remark);
                break;
        }
        EXPECT_EQ(result, s.result) << "step " << i;
        EXPECT_EQ(listed(cn), s.after) << "step " << i;
    }
}

TEST_F(Shortlist, TheTimeIsWhenTheNameWasFirstAddedAndOrdersTheSurname) {
    addToShortlist(cn, "王婉如", "王", 'f');
    addToShortlist(cn, "王思远", "王", 'm');
    const std::vector<ShortlistEntry> entries = shortlistEntries(cn);
    ASSERT_EQ(entries.size(), 2u);
    const std::regex utc(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ)");
    for (const ShortlistEntry& e : entries) EXPECT_TRUE(std::regex_match(e.added, utc)) << e.added;

    // Added earlier, listed first, though it was inserted later; adding it again keeps its time.
    cn.execute("update shortlist set added = '2020-01-01T00:00:00Z' where name = '王思远'");
    addToShortlist(cn, "王思远", "王", 'n', "新的");
    EXPECT_EQ(listed(cn), "王思远 王 n 新的, 王婉如 王 f");
    EXPECT_EQ(shortlistEntries(cn).front().added, "2020-01-01T00:00:00Z");
    EXPECT_EQ(shortlistEntries(cn).back(), entries.front());
}

TEST_F(Shortlist, OnlyTheThreeGendersAreKept) {
    EXPECT_THROW(addToShortlist(cn, "王婉如", "王", 'x'), DatabaseError);
    EXPECT_TRUE(shortlistEntries(cn).empty());
    // And the table is still there for the next one.
    EXPECT_TRUE(addToShortlist(cn, "王婉如", "王", 'f'));
}

// A database made before the shortlist existed: nothing listed, nothing to remove, and the
// first name creates the table.
TEST_F(Shortlist, ADatabaseWithoutTheTableGetsItWithTheFirstName) {
    cn.close();
    fs::remove(dir.path() / kDatabaseFileName);
    fs::copy_file(test::testDataDir() / "format_v1.Mdb", dir.path() / kDatabaseFileName);
    cn.open(dir.path() / kDatabaseFileName, kDatabasePassword);
    ASSERT_EQ(count("select count(*) from sqlite_master where name = 'shortlist'"), 0);
    EXPECT_TRUE(shortlistEntries(cn).empty());
    EXPECT_FALSE(removeFromShortlist(cn, "王婉如"));
    EXPECT_FALSE(setShortlistRemark(cn, "王婉如", "好"));
    EXPECT_EQ(count("select count(*) from sqlite_master where name = 'shortlist'"), 0);

    EXPECT_TRUE(addToShortlist(cn, "王婉如", "王", 'f', "好"));
    EXPECT_EQ(listed(cn), "王婉如 王 f 好");
    // The copy still opens as the program's database.
    Database db;
    EXPECT_NO_THROW(db.open(dir.path()));
}

TEST_F(Shortlist, ABusyDatabaseIsLeftAsItWas) {
    addToShortlist(cn, "王婉如", "王", 'f', "好");
    Connection other;
    other.open(dir.path() / kDatabaseFileName, kDatabasePassword);
    other.beginTransaction();
    cn.setBusyTimeout(50);
    EXPECT_THROW(addToShortlist(cn, "王婉如", "王", 'm', "变"), DatabaseBusyError);
    EXPECT_THROW(addToShortlist(cn, "李海", "李", 'm'), DatabaseBusyError);
    EXPECT_THROW(removeFromShortlist(cn, "王婉如"), DatabaseBusyError);
    other.rollback();
    EXPECT_EQ(listed(cn), "王婉如 王 f 好");
}

}  // namespace
}  // namespace quenvil
