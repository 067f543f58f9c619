// What the terminal tests of recommend and score share: a quenvil-cli installed beside a copy of
// the build's data.Mdb, and the format of one output line.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "data/database.h"
#include "support/cli_runner.h"
#include "support/fixture_db.h"

namespace quenvil::recommend_cli_test {

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

inline Lines split(const std::string& line, char sep) {
    Lines out;
    size_t start = 0;
    while (true) {
        const size_t at = line.find(sep, start);
        out.push_back(line.substr(start, at == std::string::npos ? at : at - start));
        if (at == std::string::npos) return out;
        start = at + 1;
    }
}

inline bool allDigits(const std::string& s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

// One output line: name, score, pinyin, strokes, grids, sancai, notes.
inline void expectLineFormat(const std::string& line) {
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

}  // namespace quenvil::recommend_cli_test
