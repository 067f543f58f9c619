// quenvil-cli recommend end to end, on the data.Mdb of the build: the lists, their options and
// the refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "cli/recommend_cli_fixture.h"
#include "text/gbk.h"

namespace quenvil {
namespace {

using namespace recommend_cli_test;
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

}  // namespace
}  // namespace quenvil
