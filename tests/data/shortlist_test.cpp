// The shortlist table of the user's database: add, update, remove, remark and the order of the
// list, on a fixture data.Mdb built by the real builder.
#include "data/shortlist.h"

#include <gtest/gtest.h>

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
    test::TempDir dir;
    Connection cn;
};

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
        // By surname (欧阳 U+6B27 before 王 U+738B), then the oldest first.
        {Step::Add, "欧阳修", "欧阳", 'm', "", true, "欧阳修 欧阳 m, 王婉如 王 f 温婉"},
        {Step::AddKeepingRemark, "王思远", "王", 'm', "", true,
         "欧阳修 欧阳 m, 王婉如 王 f 温婉, 王思远 王 m"},
        // Again: updated in its place, never twice; the remark kept unless one is given.
        {Step::Add, "王婉如", "王", 'n', "再想想", false,
         "欧阳修 欧阳 m, 王婉如 王 n 再想想, 王思远 王 m"},
        {Step::AddKeepingRemark, "王婉如", "王", 'f', "", false,
         "欧阳修 欧阳 m, 王婉如 王 f 再想想, 王思远 王 m"},
        {Step::Remark, "欧阳修", "", ' ', "文忠", true,
         "欧阳修 欧阳 m 文忠, 王婉如 王 f 再想想, 王思远 王 m"},
        {Step::Remark, "欧阳询", "", ' ', "", false,
         "欧阳修 欧阳 m 文忠, 王婉如 王 f 再想想, 王思远 王 m"},
        {Step::Remove, "王婉", "", ' ', "", false,  // names are matched whole
         "欧阳修 欧阳 m 文忠, 王婉如 王 f 再想想, 王思远 王 m"},
        {Step::Remove, "王婉如", "", ' ', "", true, "欧阳修 欧阳 m 文忠, 王思远 王 m"},
        // Text is bound, never made part of the statement.
        {Step::Add, "王'); drop table shortlist; --", "王", 'n', "'", true,
         "欧阳修 欧阳 m 文忠, 王思远 王 m, 王'); drop table shortlist; -- 王 n '"},
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
    const ShortlistEntry first = shortlistEntries(cn).front();
    EXPECT_TRUE(test::hasShape(first.added, "9999-99-99T99:99:99Z")) << first.added;
    // Added earlier, listed first though inserted later; adding it again keeps its time.
    cn.execute("update shortlist set added = '2020-01-01T00:00:00Z' where name = '王思远'");
    addToShortlist(cn, "王思远", "王", 'n', "新的");
    EXPECT_EQ(listed(cn), "王思远 王 n 新的, 王婉如 王 f");
    EXPECT_EQ(shortlistEntries(cn).front().added, "2020-01-01T00:00:00Z");
    EXPECT_EQ(shortlistEntries(cn).back(), first);
}

// A database made before the shortlist existed: nothing listed, nothing to remove, and the
// first name creates the table.
TEST_F(Shortlist, ADatabaseWithoutTheTableGetsItWithTheFirstName) {
    cn.close();
    fs::remove(dir.path() / kDatabaseFileName);
    fs::copy_file(test::testDataDir() / "format_v1.Mdb", dir.path() / kDatabaseFileName);
    cn.open(dir.path() / kDatabaseFileName, kDatabasePassword);
    EXPECT_TRUE(shortlistEntries(cn).empty());
    EXPECT_FALSE(removeFromShortlist(cn, "王婉如"));
    EXPECT_FALSE(setShortlistRemark(cn, "王婉如", "好"));
    EXPECT_TRUE(addToShortlist(cn, "王婉如", "王", 'f', "好"));
    EXPECT_EQ(listed(cn), "王婉如 王 f 好");
    EXPECT_NO_THROW(Database().open(dir.path()));  // still the program's database
}

TEST_F(Shortlist, ABusyDatabaseIsLeftAsItWas) {
    addToShortlist(cn, "王婉如", "王", 'f', "好");
    Connection other;
    other.open(dir.path() / kDatabaseFileName, kDatabasePassword);
    other.beginTransaction();
    cn.setBusyTimeout(50);
    EXPECT_THROW(addToShortlist(cn, "王婉如", "王", 'm', "变"), DatabaseBusyError);
    EXPECT_THROW(removeFromShortlist(cn, "王婉如"), DatabaseBusyError);
    other.rollback();
    EXPECT_EQ(listed(cn), "王婉如 王 f 好");
}

}  // namespace
}  // namespace quenvil
