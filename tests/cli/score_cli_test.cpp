// quenvil-cli score end to end, on the data.Mdb of the build: lists in every encoding, their
// order and notes, and input read in blocks however long or endless.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "cli/recommend_cli_fixture.h"
#include "text/gbk.h"

namespace quenvil {
namespace {

using namespace recommend_cli_test;

TEST_F(RecommendCli, ScoreSortsAndNotesTheBadSounds) {
    const std::string input = "杜子腾\n伍桂辰 关帆彤,何纯竹，黄思婷\r\n\n  罗大强\t";
    const auto r = runWith({"score"}, input);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Lines lines = test::outputLines(r.out);
    ASSERT_EQ(lines.size(), 6u) << r.out;
    // A natural name before a plain one of a better numerology, every unusable one last.
    EXPECT_EQ(lines[0],
              "黄思婷\t95\thuáng sī tíng\t12,9,12\t13 21 21 33 13\t火木木 大吉\t声调:平平平\t98\t"
              "91\t思:思考，情思深远; 婷:美好，亭亭玉立\t");
    EXPECT_EQ(lines[1],
              "罗大强\t71\tluó dà qiáng\t20,3,12\t21 23 15 35 13\t木火土 大吉\t用字:大(避);"
              "用字:强(平)\t100\t42\t大:宏大，气度开阔; 强:强大，自强不息\t");
    std::set<std::string> noted;
    for (size_t i = 0; i < lines.size(); ++i) {
        expectLineFormat(lines[i]);
        const Lines f = split(lines[i], '\t');
        if (i) {
            EXPECT_LE(std::stoi(f[1]), std::stoi(split(lines[i - 1], '\t')[1]));
        }
        if (f[6].find("谐音:") != std::string::npos) noted.insert(f[0]);
    }
    EXPECT_EQ(noted, (std::set<std::string>{"杜子腾", "伍桂辰", "关帆彤", "何纯竹"}));
}

TEST_F(RecommendCli, ScoreReadsGbkAndUtf16FilesAndKeepsTiesInOrder) {
    const std::string names = "王芳\n李娜\n王芳\n";
    test::writeFile(dir.path() / "gbk.txt", utf8ToGbk(names));
    const auto utf8 = run({"score", (dir.path() / "gbk.txt").string()});
    ASSERT_EQ(utf8.exitCode, 0) << utf8.err;
    std::string utf16 = "\xFF\xFE";
    // 王 U+738B 芳 U+82B3 李 U+674E 娜 U+5A1C, little-endian, separated by blanks.
    const char16_t units[] = {0x738B, 0x82B3, ' ', 0x674E, 0x5A1C, ' ', 0x738B, 0x82B3};
    for (char16_t u : units) {
        utf16 += static_cast<char>(u & 0xFF);
        utf16 += static_cast<char>(u >> 8);
    }
    test::writeFile(dir.path() / "utf16.txt", utf16);
    const auto wide = run({"score", (dir.path() / "utf16.txt").string()});
    ASSERT_EQ(wide.exitCode, 0) << wide.err;
    EXPECT_EQ(utf8.out, wide.out);
    EXPECT_EQ(test::outputLines(utf8.out).size(), 3u);
    EXPECT_EQ(runWith({"score"}, names).out, utf8.out);
}

// Every documented option in each of its forms, combined with forms of the others: all are
// accepted, except a fixed character at 3 in a one-character given name.
TEST_F(RecommendCli, TheDocumentedOptionsCombine) {
    const std::vector<Lines> gender = {
        {}, {"--gender", "m"}, {"--gender", "f"}, {"--gender", "any"}};
    const std::vector<Lines> length = {{}, {"--length", "1"}, {"--length", "2"}};
    const std::vector<Lines> fixed = {
        {}, {"--fixed", "文"}, {"--fixed", "文", "--at", "2"}, {"--at", "3", "--fixed", "文"}};
    const std::vector<Lines> with = {{}, {"--with", "明"}};
    const std::vector<Lines> source = {{}, {"--source", "any"}, {"--source", "诗经"}};
    const std::vector<Lines> top = {{}, {"--top", "3"}, {"--all"}, {"--top", "0"}};
    for (size_t k = 0; k < 12; ++k) {
        Lines args = {"recommend", "罗"};
        for (const auto* forms : {&gender, &length, &fixed, &with, &source, &top}) {
            const Lines& form = (*forms)[k % forms->size()];
            args.insert(args.end(), form.begin(), form.end());
        }
        const auto r = run(args);
        std::string shownArgs;
        for (const auto& a : args) shownArgs += a + ' ';
        if (k % length.size() == 1 && k % fixed.size() == 3) {
            EXPECT_EQ(r.exitCode, 2) << shownArgs;
            continue;
        }
        EXPECT_EQ(r.exitCode, 0) << shownArgs << r.err;
        EXPECT_TRUE(r.err.empty() || r.err.find("no favourable name") != std::string::npos)
            << shownArgs << r.err;
    }
}

// import and score read their input in blocks and never hold a token longer than a name: an
// input without end keeps them small (on a copy of the build's data.Mdb, which score needs).
TEST_F(RecommendCli, AnEndlessInputKeepsImportAndScoreSmall) {
    if (test::kAddressSanitizer) GTEST_SKIP() << "memory is not measured under AddressSanitizer";
    for (const char* command : {"import", "score"}) {
        const size_t kib = test::peakKiBOfEndlessRun(cli, {command, "/dev/zero"});
        EXPECT_GT(kib, 0u) << command;
        EXPECT_LT(kib, 64u * 1024) << command;
    }
}

// score reads its input in blocks of 1 MiB: a name cut by the end of a block is scored whole, and
// a token of megabytes is reported by its start and length.
TEST_F(RecommendCli, ScoreReadsItsInputAcrossBlocks) {
    const std::string input =
        std::string((1 << 20) - 2, ' ') + "王芳 李娜 " + std::string(3 << 20, 'a') + "\n张伟";
    const auto file = dir.path() / "blocks.txt";
    test::writeFile(file, input);
    const auto r = run({"score", file.string()});
    EXPECT_EQ(r.exitCode, 1);
    const Lines lines = test::outputLines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.err;
    std::set<std::string> names;
    for (const auto& line : lines) names.insert(split(line, '\t')[0]);
    EXPECT_EQ(names, (std::set<std::string>{"王芳", "李娜", "张伟"}));
    EXPECT_EQ(r.err, "quenvil-cli: cannot score " + std::string(24, 'a') + "... (" +
                         std::to_string(3 << 20) + " bytes): longer than any name\n");
    EXPECT_EQ(runWith({"score"}, input).out, r.out);
}

TEST_F(RecommendCli, ScoreSaysWhichNamesItCannotRead) {
    const auto r = runWith({"score"}, "王芳 张 abc 王芳李娜\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(test::outputLines(r.out).size(), 1u);
    EXPECT_NE(r.err.find("cannot score 张"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("cannot score abc"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("cannot score 王芳李娜"), std::string::npos) << r.err;
    EXPECT_EQ(run({"score", (dir.path() / "missing.txt").string()}).exitCode, 1);
    // Bytes that are not UTF-8 after a byte-order mark are shown as \xNN, not raw.
    const auto bad = runWith({"score"}, "\xEF\xBB\xBF\xC3\x28x \x1B[2J 王芳\n");
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find("cannot score \\xC3(x:"), std::string::npos) << bad.err;
    EXPECT_NE(bad.err.find("cannot score \\x1B[2J:"), std::string::npos) << bad.err;
    EXPECT_EQ(bad.err.find_first_of("\x1B\xC3"), std::string::npos) << bad.err;
}

}  // namespace
}  // namespace quenvil
