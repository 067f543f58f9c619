// quenvil-cli shortlist end to end: on the data.Mdb of a program folder, and on the user's copy of
// an installed program, whose shipped file stays as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "data/connection.h"
#include "data/database.h"
#include "data/shortlist.h"
#include "support/cli_runner.h"
#include "support/fixture_db.h"

namespace quenvil {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// The lines of shortlist's output without the time, which is checked and cut off.
Lines withoutTime(const std::string& out) {
    Lines rows;
    for (const std::string& l : test::outputLines(out)) {
        // name, surname, gender (m, f or n), remark, then the time.
        const size_t time = l.rfind('\t');
        const size_t remark = time == std::string::npos ? time : l.rfind('\t', time - 1);
        const bool ok =
            remark != std::string::npos && remark >= 2 &&
            std::string_view("mfn").find(l[remark - 1]) != std::string_view::npos &&
            l[remark - 2] == '\t' && std::count(l.begin(), l.end(), '\t') == 4 &&
            test::hasShape(std::string_view(l).substr(time + 1), "9999-99-99T99:99:99Z");
        EXPECT_TRUE(ok) << l;
        rows.push_back(ok ? l.substr(0, time) : l);
    }
    return rows;
}

class ShortlistCli : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::copy_file(test::programDir() / kDatabaseFileName, dir.path() / kDatabaseFileName);
        cli = test::installCli(dir.path());
    }
    test::CliResult run(const Lines& args) { return test::runCli(cli, args); }
    test::TempDir dir;
    fs::path cli;
};

TEST_F(ShortlistCli, AddListUpdateAndRemove) {
    // Each name, the options, and what it says.
    const std::vector<std::pair<Lines, std::string>> adds = {
        {{"王婉如", "--gender", "f", "--remark", "温婉 如玉"}, "added 王婉如 to"},
        {{"欧阳修", "--gender", "m"}, "added 欧阳修 to"},
        {{"司马光", "--remark", "砸缸"}, "added 司马光 to"},
        {{"王思远", "--gender", "m"}, "added 王思远 to"},
        {{"王婉如", "--gender", "any"}, "updated 王婉如 on"},
    };
    for (const auto& [options, said] : adds) {
        Lines args = {"shortlist", "add"};
        args.insert(args.end(), options.begin(), options.end());
        const auto r = run(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "quenvil-cli: " + said + " the shortlist\n");
    }
    // By surname (司 U+53F8, 欧 U+6B27, 王 U+738B), then the oldest first; the second
    // 王婉如 kept its place and its remark and took the new gender.
    const auto listed = run({"shortlist", "list"});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.err, "");
    EXPECT_EQ(withoutTime(listed.out), (Lines{"司马光\t司马\tn\t砸缸", "欧阳修\t欧阳\tm\t",
                                              "王婉如\t王\tn\t温婉 如玉", "王思远\t王\tm\t"}));
    EXPECT_EQ(run({"shortlist"}).out, listed.out);

    ASSERT_EQ(run({"shortlist", "add", "王婉如", "--remark", ""}).exitCode, 0);
    const auto removed = run({"shortlist", "remove", "司马光"});
    EXPECT_EQ(removed.exitCode, 0) << removed.err;
    EXPECT_EQ(removed.err, "quenvil-cli: removed 司马光 from the shortlist\n");
    EXPECT_EQ(withoutTime(run({"shortlist"}).out),
              (Lines{"欧阳修\t欧阳\tm\t", "王婉如\t王\tn\t", "王思远\t王\tm\t"}));
}

// Every refused call: its exit status and its whole message, nothing on standard output and
// nothing on the list. An empty message stands for the usage text (what --help prints).
using test::Refusal;

const std::string kShortlistUsage =
    "\nusage: quenvil-cli shortlist [list] | shortlist add NAME [--gender m|f|any] [--remark "
    "TEXT] | shortlist remove NAME\n";

Refusal badCall(Lines args, const std::string& why) {
    return {std::move(args), 2, "quenvil-cli: " + why + kShortlistUsage};
}
Refusal notUtf8(Lines args) {
    return {std::move(args), 2, "quenvil-cli: the argument of 'shortlist' is not UTF-8 text\n"};
}
Refusal unscored(const std::string& name, const std::string& why) {
    return {{"shortlist", "add", name}, 1, "quenvil-cli: cannot keep " + name + ": " + why + "\n"};
}
const std::string kLength = "a name is a surname and one or two given-name characters";
const std::string kUnknown = "a character without a stroke count or a reading";

class ShortlistRefusals : public ShortlistCli, public ::testing::WithParamInterface<Refusal> {};

TEST_P(ShortlistRefusals, StatusAndMessage) {
    const Refusal& expected = GetParam();
    const auto r = run(expected.args);
    EXPECT_EQ(r.exitCode, expected.status);
    EXPECT_EQ(r.err, expected.message.empty() ? run({"--help"}).out : expected.message);
    EXPECT_TRUE(r.out.empty()) << r.out;
    const auto listed = run({"shortlist"});
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    EveryCheck, ShortlistRefusals,
    ::testing::Values(
        // More arguments than add can take.
        Refusal{{"shortlist", "add", "王芳", "--gender", "m", "--remark", "好", "--gender", "f"},
                2,
                ""},
        badCall({"shortlist", "bogus"}, "unknown shortlist command bogus"),
        badCall({"shortlist", "list", "王芳"}, "shortlist list takes no argument"),
        badCall({"shortlist", "add"}, "shortlist add needs a name"),
        badCall({"shortlist", "add", "王芳", "李娜"}, "unexpected argument 李娜"),
        badCall({"shortlist", "add", "王芳", "--gender", "x"}, "--gender is m, f or any"),
        badCall({"shortlist", "add", "王芳", "--gender"}, "--gender needs a value"),
        badCall({"shortlist", "add", "王芳", "--remark"}, "--remark needs a value"),
        badCall({"shortlist", "add", "王芳", "--remark", "好\t听"},
                "--remark cannot hold a tab or a line break"),
        badCall({"shortlist", "remove"}, "shortlist remove needs a name"),
        badCall({"shortlist", "remove", "王芳", "李娜"}, "shortlist remove takes one name"),
        notUtf8({"shortlist", "add", "\xCD\xF5\xB7\xBC"}),
        notUtf8({"shortlist", "add", "王芳", "--remark", "\xBA\xC3"}),
        // Names the engine cannot score, and a name that is not there.
        unscored("张", kLength), unscored("王芳李娜", kLength), unscored("王a", kUnknown),
        Refusal{
            {"shortlist", "remove", "王芳"}, 1, "quenvil-cli: 王芳 is not on the shortlist\n"}));

// XDG_DATA_HOME for the programs a test starts, unset again at its end.
struct XdgDataHome {
    explicit XdgDataHome(const fs::path& folder) { setenv("XDG_DATA_HOME", folder.c_str(), 1); }
    ~XdgDataHome() { unsetenv("XDG_DATA_HOME"); }
};

// An installed program (bin/ and share/quenvil/): the shortlist goes to the user's copy and the
// shipped file keeps every byte.
TEST(InstalledShortlist, WritesTheUsersCopyOnly) {
    test::TempDir dir;
    const fs::path shipped = dir.path() / "share" / "quenvil" / kDatabaseFileName;
    const fs::path copy = dir.path() / "data" / "quenvil" / kDatabaseFileName;
    fs::create_directories(dir.path() / "bin");
    fs::create_directories(shipped.parent_path());
    fs::copy_file(test::programDir() / kDatabaseFileName, shipped);
    const fs::path cli = test::installCli(dir.path() / "bin");
    const XdgDataHome xdg(dir.path() / "data");
    const std::string shippedBytes = test::readFile(shipped);
    for (const Lines& args : {Lines{"shortlist", "add", "王婉如", "--gender", "f"},
                              Lines{"shortlist", "add", "欧阳修", "--remark", "文忠"},
                              Lines{"shortlist", "remove", "王婉如"}}) {
        const auto r = test::runCli(cli, args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
    }
    EXPECT_EQ(withoutTime(test::runCli(cli, {"shortlist"}).out), Lines{"欧阳修\t欧阳\tn\t文忠"});
    EXPECT_EQ(test::readFile(shipped), shippedBytes);
    Connection cn;
    cn.open(copy, kDatabasePassword);
    EXPECT_EQ(shortlistEntries(cn).size(), 1u);
}

}  // namespace
}  // namespace quenvil
