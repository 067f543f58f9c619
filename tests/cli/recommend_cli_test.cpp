// quenvil-cli recommend and score end to end, on the data.Mdb of the build.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "data/database.h"
#include "support/cli_runner.h"
#include "support/fixture_db.h"
#include "text/gbk.h"

namespace quenvil {
namespace {

using Lines = std::vector<std::string>;

class RecommendCli : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::copy_file(test::programDir() / kDatabaseFileName,
                                   dir.path() / kDatabaseFileName);
        cli = test::installCli(dir.path());
    }
    test::CliResult run(const Lines& args) { return test::runCli(cli, args); }
    test::CliResult runWith(const Lines& args, const std::string& input) {
        return test::runCliWithInput(cli, args, input);
    }
    test::TempDir dir;
    std::filesystem::path cli;
};

Lines split(const std::string& line, char sep) {
    Lines out;
    size_t start = 0;
    while (true) {
        const size_t at = line.find(sep, start);
        out.push_back(line.substr(start, at == std::string::npos ? at : at - start));
        if (at == std::string::npos) return out;
        start = at + 1;
    }
}

bool allDigits(const std::string& s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

// One output line: name, score, pinyin, strokes, grids, sancai, notes.
void expectLineFormat(const std::string& line) {
    const Lines f = split(line, '\t');
    // The seven columns in their places, then the numerology and the naming score, the meanings
    // and the source; the overall score is their mean, rounded up.
    ASSERT_EQ(f.size(), 11u) << line;
    ASSERT_TRUE(allDigits(f[1]) && allDigits(f[7]) && allDigits(f[8])) << line;
    const int score = std::stoi(f[1]);
    EXPECT_LE(score, 100) << line;
    EXPECT_EQ(score, (std::stoi(f[7]) + std::stoi(f[8]) + 1) / 2) << line;
    EXPECT_TRUE(f[10].empty() || f[10].find(": ") != std::string::npos) << line;
    // Tone-marked syllables separated by single blanks: lower-case letters and marked vowels.
    const Lines syllables = split(f[2], ' ');
    EXPECT_GE(syllables.size(), 2u) << line;
    for (const std::string& s : syllables) {
        EXPECT_FALSE(s.empty()) << line;
        EXPECT_TRUE(std::all_of(s.begin(), s.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || static_cast<unsigned char>(c) >= 0x80;
        })) << line;
    }
    const Lines strokes = split(f[3], ',');
    EXPECT_EQ(strokes.size(), syllables.size()) << line;
    for (const std::string& s : strokes) EXPECT_TRUE(allDigits(s)) << line;
    const Lines grids = split(f[4], ' ');
    EXPECT_EQ(grids.size(), 5u) << line;
    for (const std::string& s : grids) EXPECT_TRUE(allDigits(s)) << line;
    // Three elements and a level: "火木木 大吉".
    const Lines sancai = split(f[5], ' ');
    ASSERT_EQ(sancai.size(), 2u) << line;
    ASSERT_EQ(sancai[0].size(), 9u) << line;
    for (size_t i = 0; i < 9; i += 3) {
        const std::string e = sancai[0].substr(i, 3);
        EXPECT_TRUE(e == "木" || e == "火" || e == "土" || e == "金" || e == "水") << line;
    }
    static const std::set<std::string> levels = {"大吉",     "中吉",     "吉",  "吉多于凶",
                                                 "吉凶参半", "凶多于吉", "大凶"};
    EXPECT_TRUE(levels.count(sancai[1])) << line;
}

TEST_F(RecommendCli, DoneWhenForTheSurnamesWithoutNames) {
    for (const char* surname : {"罗", "苏", "欧阳", "诸葛"}) {
        const auto r = run({"recommend", surname});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const Lines lines = test::outputLines(r.out);
        EXPECT_GE(lines.size(), 50u) << surname;
        std::set<std::string> names;
        const int best = std::stoi(split(lines.at(0), '\t')[1]);
        for (const std::string& line : lines) {
            expectLineFormat(line);
            const Lines f = split(line, '\t');
            EXPECT_TRUE(f[0].starts_with(surname)) << line;
            names.insert(f[0]);
            EXPECT_LE(std::stoi(f[1]), best) << line;  // the first is the best
            EXPECT_FALSE(f[9].empty()) << line;        // every given character's meaning
            for (const char* unlucky : {"人格 凶", "地格 凶", "总格 凶", "人格 半吉", "地格 半吉",
                                        "总格 半吉", "外格 凶", "凶多于吉", "大凶", "谐音"}) {
                EXPECT_EQ(line.find(unlucky), std::string::npos) << line;
            }
        }
        EXPECT_EQ(names.size(), lines.size()) << surname;
    }
}

// Readings of given names, a bad sound and an ordinary name, one count for 路 in three
// characters, and five names from 诗经 with their lines, from the terminal.
TEST_F(RecommendCli, ReadingsSoundsCountsAndSources) {
    auto r = runWith({"score"}, "顾长城\n王兴国\n李晟\n张靓\n吴仁耀\n尹建华\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::map<std::string, Lines> byName;
    for (const std::string& line : test::outputLines(r.out)) {
        const Lines f = split(line, '\t');
        byName[f[0]] = f;
    }
    EXPECT_EQ(byName["顾长城"].at(2), "gù cháng chéng");
    EXPECT_EQ(byName["王兴国"].at(2), "wáng xīng guó");
    EXPECT_EQ(byName["李晟"].at(2), "lǐ shèng");
    EXPECT_EQ(byName["张靓"].at(2), "zhāng liàng");
    EXPECT_NE(byName["吴仁耀"].at(6).find("谐音"), std::string::npos);
    EXPECT_EQ(byName["尹建华"].at(6).find("谐音"), std::string::npos);

    r = run({"strokes", "露璐潞路雨玉"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::map<std::string, int> count;
    for (const std::string& line : test::outputLines(r.out)) {
        const Lines f = split(line, '\t');
        count[f.at(0)] = std::stoi(f.at(1));
    }
    EXPECT_EQ(count["露"] - count["雨"], count["路"]);
    EXPECT_EQ(count["璐"] - count["玉"], count["路"]);
    EXPECT_EQ(count["潞"] - 4, count["路"]);  // 水 as a left side counts 4

    r = run({"recommend", "王", "--source", "诗经", "--top", "5"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Lines lines = test::outputLines(r.out);
    ASSERT_EQ(lines.size(), 5u) << r.out;
    for (const std::string& line : lines) {
        expectLineFormat(line);
        EXPECT_TRUE(split(line, '\t')[10].starts_with("诗经·")) << line;
    }
}

// The lists open with none of the names parents would never choose.
TEST_F(RecommendCli, TheListsOpenWithNamesAParentCouldChoose) {
    const Lines refused = {"罗一友", "罗大强", "罗山力", "孙一月",   "黄一月",   "赵小仁",
                           "孙子强", "孙子婷", "马子婷", "司马山大", "司马川大", "诸葛亮廷"};
    for (const Lines& args :
         {Lines{"recommend", "罗"}, Lines{"recommend", "司马", "--gender", "m"},
          Lines{"recommend", "孙", "--gender", "m"}, Lines{"recommend", "黄", "--gender", "f"}}) {
        const auto r = run(args);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const Lines lines = test::outputLines(r.out);
        ASSERT_GE(lines.size(), 20u);
        for (size_t i = 0; i < 20; ++i) {
            const Lines f = split(lines[i], '\t');
            EXPECT_EQ(std::find(refused.begin(), refused.end(), f[0]), refused.end()) << f[0];
            for (const char* kind : {"与名人同名", "谐音", "叠字"}) {
                EXPECT_EQ(lines[i].find(kind), std::string::npos) << lines[i];
            }
            // Neither 大 last nor a nickname's 小 first, nor a girl's -子.
            const std::string given = f[0].substr(args[1].size());
            EXPECT_FALSE(given.ends_with("大") || given.starts_with("小")) << f[0];
            if (args.size() > 3 && args[3] == "f") {
                EXPECT_FALSE(given.ends_with("子")) << f[0];
            }
        }
    }
}

TEST_F(RecommendCli, GenderLengthFixedAndTop) {
    const auto boys = run({"recommend", "罗", "--gender", "m", "--top", "30"});
    const auto girls = run({"recommend", "罗", "--gender", "f", "--top", "30"});
    ASSERT_EQ(boys.exitCode, 0) << boys.err;
    ASSERT_EQ(girls.exitCode, 0) << girls.err;
    EXPECT_EQ(test::outputLines(boys.out).size(), 30u);
    EXPECT_NE(boys.out, girls.out);
    const auto single = run({"recommend", "苏", "--length", "1", "--top", "5"});
    ASSERT_EQ(single.exitCode, 0) << single.err;
    for (const std::string& line : test::outputLines(single.out)) {
        EXPECT_EQ(split(split(line, '\t')[3], ',').size(), 2u) << line;
    }
    const auto fixed = run({"recommend", "欧阳", "--fixed", "明", "--at", "3", "--top", "5"});
    ASSERT_EQ(fixed.exitCode, 0) << fixed.err;
    ASSERT_EQ(test::outputLines(fixed.out).size(), 5u);
    for (const std::string& line : test::outputLines(fixed.out)) {
        EXPECT_TRUE(split(line, '\t')[0].ends_with("明")) << line;
    }
}

// Every refused call of quenvil-cli: its exit status and its whole message, nothing on standard
// output. An empty message stands for the usage text (what --help prints).
using test::Refusal;

const std::string kRecommendUsage =
    "\nusage: quenvil-cli recommend SURNAME [--gender m|f|any] [--length 1|2] [--fixed CHAR --at "
    "2|3] [--with CHAR] [--source BOOK|any] [--top N | --all]\n";

Refusal usage(Lines args) { return {std::move(args), 2, ""}; }
Refusal badOption(Lines args, const std::string& why) {
    return {std::move(args), 2, "quenvil-cli: " + why + kRecommendUsage};
}

Refusal blank(Lines args, const std::string& what) {
    return {std::move(args), 2, "quenvil-cli: the argument of '" + what + "' is empty\n"};
}
Refusal outsideGbk(Lines args, const std::string& what, const std::string& character) {
    return {std::move(args), 1,
            "quenvil-cli: the argument of '" + what + "' holds " + character +
                ", a character outside GBK; names are written in GBK characters\n"};
}
std::string repeat(const std::string& s, size_t n) {
    std::string out;
    for (size_t i = 0; i < n; ++i) out += s;
    return out;
}

class Refusals : public RecommendCli, public ::testing::WithParamInterface<Refusal> {};

TEST_P(Refusals, StatusAndMessage) {
    const Refusal& expected = GetParam();
    const auto r = run(expected.args);
    EXPECT_EQ(r.exitCode, expected.status);
    EXPECT_EQ(r.err, expected.message.empty() ? run({"--help"}).out : expected.message);
    EXPECT_TRUE(r.out.empty()) << r.out;
}

INSTANTIATE_TEST_SUITE_P(
    EveryCheck, Refusals,
    ::testing::Values(
        // The command and the number of its arguments.
        usage({}), usage({"nonsense"}), usage({"--version"}), usage({"strokes"}),
        usage({"strokes", "a", "b"}), usage({"filter-imported", "x"}), usage({"score", "a", "b"}),
        usage({"recommend"}),
        usage({"recommend", "王", "--gender", "m", "--length", "2", "--fixed", "明", "--at", "2",
               "--with", "远", "--source", "诗经", "--top", "5", "--all", "--all"}),
        // Text that is not UTF-8, and an N that is not a 32-bit integer.
        Refusal{{"strokes", "\xD5\xC5"},
                2,
                "quenvil-cli: the argument of 'strokes' is not UTF-8 text\n"},
        Refusal{{"recommend", "\xD5\xC5"},
                2,
                "quenvil-cli: the argument of 'recommend' is not UTF-8 text\n"},
        Refusal{{"recommend", "王", "--fixed", "\xD5\xC5"},
                2,
                "quenvil-cli: the argument of '--fixed' is not UTF-8 text\n"},
        // Blank names and texts, and ones longer than any name (usage errors).
        blank({"strokes", ""}, "strokes"), blank({"analyze", " \t"}, "analyze"),
        blank({"pairs", ""}, "pairs"), blank({"recommend", ""}, "recommend"),
        blank({"recommend", "王", "--fixed", ""}, "--fixed"),
        blank({"recommend", "王", "--with", " "}, "--with"),
        Refusal{{"pairs", std::string(50000, 'a')},
                2,
                "quenvil-cli: the argument of 'pairs' is too long (50000 bytes; at most 1024)\n"},
        Refusal{{"analyze", repeat("王", 342)},
                2,
                "quenvil-cli: the argument of 'analyze' is too long (1026 bytes; at most 1024)\n"},
        // Characters that GBK does not hold are named, a control character as its bytes.
        outsideGbk({"strokes", "😀"}, "strokes", "😀 (U+1F600)"),
        outsideGbk({"analyze", "王😀"}, "analyze", "😀 (U+1F600)"),
        outsideGbk({"analyze", "𠮷"}, "analyze", "𠮷 (U+20BB7)"),
        outsideGbk({"pairs", "𠮷"}, "pairs", "𠮷 (U+20BB7)"),
        outsideGbk({"recommend", "王😀"}, "recommend", "😀 (U+1F600)"),
        outsideGbk({"recommend", "王", "--with", "😀"}, "--with", "😀 (U+1F600)"),
        outsideGbk({"recommend", "王", "--fixed", "\xC2\x85"}, "--fixed", "\\xC2\\x85 (U+0085)"),
        // Bytes that are not UTF-8 and control characters are never echoed raw.
        badOption({"recommend", "王", "\x1B[31m"}, "unexpected argument \\x1B[31m"),
        badOption({"recommend", "王", "--top", "1", "\xFF"}, "unexpected argument \\xFF"),
        Refusal{{"chars", "\x1B"}, 2, "quenvil-cli: '\\x1B' is not a valid integer value\n"},
        Refusal{{"chars", "x"}, 2, "quenvil-cli: 'x' is not a valid integer value\n"},
        Refusal{{"chars", "99999999999"},
                2,
                "quenvil-cli: '99999999999' is not a valid integer value\n"},
        // The options of recommend.
        badOption({"recommend", "--gender", "m"}, "recommend needs a surname"),
        badOption({"recommend", "王", "--gender", "x"}, "--gender is m, f or any"),
        badOption({"recommend", "王", "--gender"}, "--gender needs a value"),
        badOption({"recommend", "王", "--length", "3"}, "--length is 1 or 2"),
        badOption({"recommend", "王", "--length", "0"}, "--length is 1 or 2"),
        badOption({"recommend", "王", "--length", "x"}, "--length takes a number"),
        badOption({"recommend", "王", "--length", "-1"}, "--length takes a number"),
        badOption({"recommend", "王", "--top"}, "--top needs a value"),
        badOption({"recommend", "王", "--top", "-1"}, "--top takes a number"),
        badOption({"recommend", "王", "--top", "ten"}, "--top takes a number"),
        badOption({"recommend", "王", "--at", "2"}, "--at needs --fixed"),
        badOption({"recommend", "王", "--fixed", "明", "--at", "4"}, "--at is 2 or 3"),
        badOption({"recommend", "王", "--at", "1", "--fixed", "明"}, "--at is 2 or 3"),
        badOption({"recommend", "王", "--fixed"}, "--fixed needs a value"),
        badOption({"recommend", "王", "李"}, "unexpected argument 李"),
        badOption({"recommend", "王", "--bogus"}, "unexpected argument --bogus"),
        badOption({"recommend", "王", "--gender", "m", "--length", "2", "--fixed", "明", "--at",
                   "2", "--top", "5", "--top"},
                  "--top needs a value"),
        badOption({"recommend", "王", "--source", "史记"},
                  "--source is 诗经, 楚辞, 论语, 唐诗, 宋词, 古文 or any"),
        badOption({"recommend", "王", "--source"}, "--source needs a value"),
        badOption({"recommend", "王", "--with"}, "--with needs a value"),
        Refusal{{"recommend", "王", "--with", "思远"},
                2,
                "quenvil-cli: --with takes one character with a stroke count and a reading: "
                "思远\n"},
        // What the engine refuses.
        Refusal{{"recommend", "王", "--fixed", "明亮"},
                2,
                "quenvil-cli: the fixed character must be one character with a stroke count and "
                "a reading: 明亮\n"},
        Refusal{{"recommend", "王", "--fixed", "明", "--at", "3", "--length", "1"},
                2,
                "quenvil-cli: a fixed character at 3 needs a given name of two characters\n"},
        Refusal{{"recommend", "张三"},
                1,
                "quenvil-cli: unknown surname 张三: neither a compound surname of the list nor a "
                "character with a stroke count\n"}));

TEST_F(RecommendCli, EveryOptionAtOnce) {
    const auto r = run({"recommend", "欧阳", "--gender", "f", "--length", "2", "--fixed", "明",
                        "--at", "3", "--top", "5"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Lines lines = test::outputLines(r.out);
    ASSERT_EQ(lines.size(), 5u);
    for (const std::string& line : lines) EXPECT_TRUE(split(line, '\t')[0].ends_with("明")) << line;
    // --top 0 and --all ask for every name; a query that finds none says so.
    const auto all = run({"recommend", "王", "--all"});
    EXPECT_EQ(all.exitCode, 0);
    EXPECT_GT(test::outputLines(all.out).size(), 1000u);
    EXPECT_EQ(run({"recommend", "王", "--top", "0"}).out, all.out);
    const auto none = run({"recommend", "王", "--fixed", "明", "--with", "婷", "--gender", "m"});
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_TRUE(none.out.empty());
    EXPECT_EQ(none.err, "quenvil-cli: no favourable name for 王 with these options\n");
}

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

// score reads its input in blocks and never holds a token longer than a name: an input without
// end keeps it small.
TEST_F(RecommendCli, AnEndlessInputKeepsTheScoreSmall) {
    if (test::kAddressSanitizer) GTEST_SKIP() << "memory is not measured under AddressSanitizer";
    const size_t kib = test::peakKiBOfEndlessRun(cli, {"score", "/dev/zero"});
    EXPECT_GT(kib, 0u);
    EXPECT_LT(kib, 64u * 1024);
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
