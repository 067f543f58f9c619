// quenvil-cli end to end, on a fixture data.Mdb beside a copy of the program.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include "data/database.h"
#include "support/cli_runner.h"
#include "support/fixture_db.h"
#include "text/gbk.h"
#include "tools/database_builder.h"
#include "tools/source_file.h"

namespace quenvil {
namespace {

using test::G;
using test::nameOf;
using Lines = std::vector<std::string>;

class Cli : public ::testing::Test {
  protected:
    void SetUp() override {
        auto data = test::numberedFixture();
        for (const auto& row : test::standardFixture().fantizi) {
            if (row.first > 10) data.fantizi.push_back(row);
        }
        data.wuge = test::standardFixture().wuge;
        data.sancai = test::standardFixture().sancai;
        test::buildFixtureDb(dir.path(), data);
        cli = test::installCli(dir.path());
    }
    test::CliResult run(const Lines& args) { return test::runCli(cli, args); }
    test::TempDir dir;
    std::filesystem::path cli;
};

TEST_F(Cli, StrokesCutsIntoUnitsWithoutLimits) {
    const auto r = run({"strokes", "  张海一二三龙 "});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(test::outputLines(r.out),
              (Lines{"张\t11", "海\t11", "一\t1", "二\t2", "三\t3", "龙\t0"}));
    EXPECT_EQ(run({"strokes", "王八蛋"}).exitCode, 0);  // no blocked-name check here
}

TEST_F(Cli, AnalyzeAndItsRefusals) {
    auto r = run({"analyze", "张三"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const Lines lines = test::outputLines(r.out);
    ASSERT_EQ(lines.size(), 21u);
    EXPECT_EQ(lines[0], "张  的笔画是: 11");
    EXPECT_EQ(lines[3], "天格是: 12");
    r = run({"analyze", "王八蛋"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "输入不合法，请重新输入！\n");
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(run({"analyze", "一二三四五"}).exitCode, 1);
}

TEST_F(Cli, FilterPairsAndChars) {
    const auto list = dir.path() / "list.txt";
    test::writeFile(list,
                    nameOf(2, 9, 4) + "\r\n" + nameOf(20, 1, 1) + "\r\n\r\n" + nameOf(2, 9, 4));
    auto r = run({"filter", list.string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(test::outputLines(r.out), (Lines{"二九四", "数据库里没有此笔画的姓氏！"}));

    r = run({"pairs", "二"});
    const Lines pairs = test::outputLines(r.out);
    ASSERT_EQ(pairs.size(), 7u);
    EXPECT_EQ(pairs[0], "二 的笔画是：2");
    EXPECT_EQ(pairs[1], "9                     4");

    EXPECT_EQ(test::outputLines(run({"chars", "9"}).out), (Lines{"9画的汉字有：", "九"}));
    r = run({"chars", "31"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(run({"chars", "x"}).exitCode, 2);  // a usage error
    EXPECT_EQ(run({"filter", (dir.path() / "missing.txt").string()}).exitCode, 1);
    EXPECT_EQ(run({"nonsense"}).exitCode, 2);
}

TEST_F(Cli, ImportThenFilterImported) {
    const auto file = dir.path() / "mine.txt";
    test::writeFile(file, G("李四 ") + nameOf(2, 9, 4) + " " + nameOf(6, 11, 14) + "\r\n");
    auto r = run({"import", file.string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "李\n");
    r = run({"filter-imported"});
    EXPECT_EQ(test::outputLines(r.out), (Lines{"二九四", "六壹肆", "六壹肆"}));
    test::writeFile(file, "   \r\n");
    r = run({"import", file.string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("第一行没有任何名字"), std::string::npos);
}

TEST_F(Cli, HelpUsageErrorsAndFailures) {
    auto r = run({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("usage: quenvil-cli"), std::string::npos);
    EXPECT_NE(r.out.find("Exit status"), std::string::npos);
    EXPECT_TRUE(r.err.empty());
    EXPECT_EQ(run({"-h"}).exitCode, 0);
    for (const Lines& args : {Lines{}, Lines{"nonsense"}, Lines{"strokes"}, Lines{"chars", "x"},
                              Lines{"filter", "a", "b"}}) {
        r = run(args);
        EXPECT_EQ(r.exitCode, 2) << (args.empty() ? "" : args[0]);
        EXPECT_FALSE(r.err.empty());
        EXPECT_TRUE(r.out.empty());
    }
    r = run({"chars", "x"});
    EXPECT_EQ(r.err, "quenvil-cli: 'x' is not a valid integer value\n");
    // Text arguments that are not UTF-8 are refused, not looked up as '?'.
    for (const char* command : {"strokes", "analyze", "pairs", "chars"}) {
        r = run({command, G("张")});
        EXPECT_EQ(r.exitCode, 2) << command;
        EXPECT_EQ(r.err, std::string("quenvil-cli: the argument of '") + command +
                             "' is not UTF-8 text\n");
        EXPECT_TRUE(r.out.empty());
    }
}

TEST_F(Cli, FoldersAndMissingFilesAreNamedWithTheirPath) {
    for (const char* command : {"filter", "import"}) {
        auto r = run({command, dir.path().string()});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, "quenvil-cli: " + dir.path().string() + ": is a folder, not a file\n");
        const auto missing = dir.path() / "missing.txt";
        r = run({command, missing.string()});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, "quenvil-cli: " + missing.string() + ": No such file or directory\n");
    }
}

TEST_F(Cli, AFailedWriteIsReportedAndFails) {
    const auto list = dir.path() / "list.txt";
    std::string lines;
    for (int i = 0; i < 20000; ++i) lines += nameOf(2, 9, 4) + "\r\n";
    test::writeFile(list, lines);
    for (const Lines& args : {Lines{"filter", list.string()}, Lines{"strokes", "张海"},
                              Lines{"analyze", "张三"}, Lines{"--help"}}) {
        const auto r = test::runCli(cli, args, "/dev/full");
        EXPECT_EQ(r.exitCode, 1) << args[0];
        EXPECT_NE(r.err.find("cannot write the output"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << r.err;
    }
}

// A change that is made stays made: the import exits 0 when only its report cannot be written,
// and says so. Closed standard output is refused before anything is done.
TEST_F(Cli, TheExitStatusTellsWhetherTheChangeWasMade) {
    const auto file = dir.path() / "mine.txt";
    test::writeFile(file, G("李四 ") + nameOf(2, 9, 4) + "\r\n");
    auto r = test::runCli(cli, {"import", file.string()}, "/dev/full");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("数据导入成功！共导入 1 个名字。"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("the change was made all the same"), std::string::npos) << r.err;
    EXPECT_EQ(run({"filter-imported"}).out, "二九四\n");

    test::writeFile(file, G("李四 ") + nameOf(2, 9, 5) + "\r\n");
    for (const Lines& args :
         {Lines{"import", file.string()}, Lines{"strokes", "张"}, Lines{"filter-imported"},
          Lines{"recommend", "张"}, Lines{"--help"}}) {
        r = test::runCli(cli, args, test::kClosedOutput);
        EXPECT_EQ(r.exitCode, 1) << args[0];
        EXPECT_EQ(r.err, "quenvil-cli: standard output is closed; nothing was done\n") << args[0];
    }
    EXPECT_EQ(run({"filter-imported"}).out, "二九四\n");  // the second import was not made
}

TEST_F(Cli, Utf8AndUtf16ListsAreReadAsText) {
    const std::string yes = gbkToUtf8(nameOf(2, 9, 4)), no = gbkToUtf8(nameOf(2, 9, 5));
    const std::string list = yes + "\r\n" + no + "\r\n" + yes + "\n";
    const auto file = dir.path() / "list.txt";
    auto utf16le = [](const std::string& utf8) {
        // Only one- to three-byte characters here: each is one UTF-16 unit.
        std::string out = "\xFF\xFE";
        std::u16string u16;
        for (size_t i = 0; i < utf8.size();) {
            const auto b = static_cast<unsigned char>(utf8[i]);
            char32_t cp;
            size_t n;
            if (b < 0x80) {
                cp = b, n = 1;
            } else if (b < 0xE0) {
                cp = b & 0x1F, n = 2;
            } else {
                cp = b & 0x0F, n = 3;
            }
            for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (utf8[i + k] & 0x3F);
            u16 += static_cast<char16_t>(cp);
            i += n;
        }
        for (const char16_t u : u16) {
            out += static_cast<char>(u & 0xFF);
            out += static_cast<char>(u >> 8);
        }
        return out;
    };
    for (const std::string& bytes : {list, "\xEF\xBB\xBF" + list, utf16le(list)}) {
        test::writeFile(file, bytes);
        const auto r = run({"filter", file.string()});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(test::outputLines(r.out), (Lines{"二九四", "二九四"}));
    }
    const std::string first = "张小华 " + yes + " " + no + "\r\n" + yes + "\r\n";
    for (const std::string& bytes : {first, "\xEF\xBB\xBF" + first, utf16le(first)}) {
        test::writeFile(file, bytes);
        auto r = run({"import", file.string()});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, "张\n");
        EXPECT_EQ(r.err, "数据导入成功！共导入 3 个名字。\n");
        r = run({"filter-imported"});
        EXPECT_EQ(test::outputLines(r.out), (Lines{"二九四"}));
    }
}

TEST_F(Cli, AStrayLeadByteAndAFirstLineWithoutNames) {
    const auto file = dir.path() / "list.txt";
    test::writeFile(file, "\xD5 " + nameOf(2, 9, 4) + " " + nameOf(2, 9, 5));
    auto r = run({"import", file.string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "数据导入成功！共导入 2 个名字。\n");
    test::writeFile(file, G("李四 欧阳娜娜"));
    r = run({"import", file.string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("第一行没有任何名字"), std::string::npos);
    r = run({"filter-imported"});
    EXPECT_EQ(test::outputLines(r.out), (Lines{"二九四"}));  // the names before stay
}

// A filter over a list larger than its blocks: breaks of every kind, a CR LF cut between two
// blocks, the list ending at its first empty line.
TEST_F(Cli, FilterStreamsLongListsAndStopsAtTheFirstEmptyLine) {
    const std::string yes = nameOf(2, 9, 4), no = nameOf(2, 9, 5);
    std::string list;
    size_t expected = 0;
    const char* breaks[] = {"\r\n", "\n", "\r"};
    for (int i = 0; list.size() < 3 * 1024 * 1024; ++i) {
        list += (i % 3 == 0 ? yes : no);
        expected += i % 3 == 0;
        list += breaks[i % 3];
    }
    const std::string tail = "\r\n\r\n" + yes + "\r\n";  // after the empty line: not read
    const auto file = dir.path() / "long.txt";
    test::writeFile(file, list + tail);
    auto r = run({"filter", file.string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(test::outputLines(r.out), Lines(expected, "二九四"));
    // CR at the end of a block and LF at the start of the next are one break.
    // (Read in blocks of 1 MiB: the CR is the last byte of the first block.)
    std::string cut = yes + "\r\n" + yes + "\r\n" + no;
    cut.resize(1024 * 1024 - 1, 'x');
    cut += "\r\n" + yes;
    test::writeFile(file, cut);
    r = run({"filter", file.string()});
    EXPECT_EQ(test::outputLines(r.out), (Lines{"二九四", "二九四", "二九四"}));
}

TEST_F(Cli, EmptyDatabaseFileAndAProgramFolderWithASemicolon) {
    test::writeFile(dir.path() / "data.Mdb", "");
    auto r = run({"strokes", "张"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "quenvil-cli: the database file is empty (no table fantizi): " +
                         (dir.path() / "data.Mdb").string() + "\n");

    const auto folder = dir.path() / "Quenvil;2";
    std::filesystem::create_directories(folder);
    test::buildFixtureDb(folder, test::standardFixture());
    r = test::runCli(test::installCli(folder), {"strokes", "张"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "张\t11\n");
}

// Another program holds a read transaction while a large import starts: the import answers within
// the busy timeout, says why, and the old names stay.
TEST_F(Cli, AnImportWhileAnotherProgramReadsStopsInBoundedTime) {
    const auto small = dir.path() / "small.txt";
    test::writeFile(small, nameOf(2, 9, 4) + " " + nameOf(2, 9, 5));
    ASSERT_EQ(run({"import", small.string()}).exitCode, 0);
    std::string line;
    for (int i = 0; i < 1000000; ++i) line += nameOf(1 + i % 30, 1 + (i / 30) % 30, 2) + " ";
    const auto big = dir.path() / "big.txt";
    test::writeFile(big, line);

    Connection reader;
    reader.open(dir.path() / "data.Mdb", kDatabasePassword);
    DataSet rows(reader);
    rows.setCommandText("select * from xm");
    rows.open();
    const auto start = std::chrono::steady_clock::now();
    auto r = run({"import", big.string()});
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("is in use by another program; nothing was imported"), std::string::npos)
        << r.err;
    EXPECT_LT(took, std::chrono::seconds(kBusyTimeoutMs / 1000 + 10));
    rows.close();
    r = run({"filter-imported"});
    EXPECT_EQ(test::outputLines(r.out), (Lines{"二九四"}));
}

TEST(Builder, AMissingSourceFolderFailsAndWritesNoDatabase) {
    test::TempDir dir;
    const auto out = dir.path() / "data.Mdb";
    const std::string mkdb = (test::programDir().parent_path() / "quenvil-mkdb").string();
    const std::string command = "'" + mkdb + "' '" + (dir.path() / "missing").string() + "' '" +
                                out.string() + "' 2>'" + (dir.path() / "err").string() + "'";
    const int status = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_FALSE(std::filesystem::exists(out));
    std::ifstream err(dir.path() / "err");
    std::string message((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
    EXPECT_EQ(message, "quenvil-mkdb: " + (dir.path() / "missing" / "fantizi.tsv").string() +
                           ": cannot read: No such file or directory\n");
    // A source that is a folder is no source either.
    std::filesystem::create_directories(dir.path() / "src" / "fantizi.tsv");
    EXPECT_THROW(buildDatabase(dir.path() / "src", out), SourceError);
}

// pinyin.tsv lists the readings of a polyphonic character in a third field; a line with more
// fields, or fewer, is refused with its line number.
TEST(Builder, SourceLinesTakeARangeOfFields) {
    test::TempDir dir;
    const auto file = dir.path() / "pinyin.tsv";
    std::ofstream(file) << "# readings\n长\tzhǎng\tzhǎng cháng\n王\twáng\n";
    const auto rows = readSource(file, 2, 3);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].fields, (std::vector<std::string>{"长", "zhǎng", "zhǎng cháng"}));
    EXPECT_EQ(rows[1].number, 3);
    EXPECT_THROW(readSource(file, 2), SourceError);  // the fixed count still holds
    const std::pair<const char*, int> bad[] = {{"一\tyī\tyī yí\textra\n", 4}, {"一\n", 1}};
    for (const auto& [line, found] : bad) {
        std::ofstream(file) << "王\twáng\n" << line;
        try {
            readSource(file, 2, 3);
            ADD_FAILURE() << line;
        } catch (const SourceError& e) {
            EXPECT_EQ(std::string(e.what()),
                      file.string() + ":2: expected 2 to 3 tab-separated fields, found " +
                          std::to_string(found));
        }
    }
}

TEST_F(Cli, MissingDatabaseFails) {
    std::filesystem::remove(dir.path() / "data.Mdb");
    const auto r = run({"strokes", "张"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("unable to open database file"), std::string::npos) << r.err;
}

// A killed import leaves either every old row or every new one.
TEST_F(Cli, KilledImportLeavesTheOldOrTheNewRows) {
    const auto small = dir.path() / "small.txt";
    test::writeFile(small, G("张小华 王小明 赵小燕"));
    ASSERT_EQ(run({"import", small.string()}).exitCode, 0);

    std::string line;
    for (int i = 0; i < 400000; ++i)
        line += nameOf(1 + i % 30, 1 + (i / 30) % 30, 1 + (i / 900) % 30) + " ";
    const auto big = dir.path() / "big.txt";
    test::writeFile(big, line);
    const auto journal = dir.path() / "data.Mdb-journal";
    bool killedMidway = false;
    for (int attempt = 0; attempt < 5 && !killedMidway; ++attempt) {
        const pid_t pid = test::startCli(cli, {"import", big.string()});
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        int status = 0;
        while (std::chrono::steady_clock::now() < until) {
            if (std::filesystem::exists(journal)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10 * attempt));
                kill(pid, SIGKILL);
                killedMidway = true;
                break;
            }
            if (waitpid(pid, &status, WNOHANG) == pid) break;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        if (killedMidway) waitpid(pid, &status, 0);
        if (killedMidway && WIFEXITED(status)) killedMidway = false;  // finished before the kill
        Database db;
        db.open(dir.path());
        // The data set lets go of its lock: the import below must find the database idle.
        const auto xm = queryInteger(db.characterQuery, "select count(*) as n from xm", {}, "n");
        const auto xm2 = queryInteger(db.characterQuery, "select count(*) as n from xm2", {}, "n");
        EXPECT_TRUE((xm == 3 && xm2 == 3) || (xm == 400000 && xm2 == 27000))
            << xm.value_or(-1) << " " << xm2.value_or(-1);
        if (xm != 3) {
            ASSERT_EQ(run({"import", small.string()}).exitCode, 0);
        }
    }
    EXPECT_TRUE(killedMidway);
}

// The first line is read in blocks: a name cut by the end of a block is joined, a token of
// megabytes is skipped, and the line ends at its first break.
TEST_F(Cli, AnImportReadsTheFirstLineAcrossBlocks) {
    const auto file = dir.path() / "blocks.txt";
    const size_t block = 1 << 20;
    test::writeFile(file, std::string(block - 3, ' ') + nameOf(2, 9, 4) + " " +
                              std::string(3 * block, 'x') + " " + nameOf(6, 11, 14) + "\r\n" +
                              nameOf(1, 1, 1));
    auto r = run({"import", file.string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "二\n");
    r = run({"filter-imported"});
    EXPECT_EQ(test::outputLines(r.out), (Lines{"二九四", "六壹肆", "六壹肆"}));
}

}  // namespace
}  // namespace quenvil
