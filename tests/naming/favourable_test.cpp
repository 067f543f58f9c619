// The favourable rule and the engine's data: the ratings read from data.Mdb against the sources,
// the favourable stroke counts against a search of the test's own, and the same data from the
// database and from resources/.
#include "naming/favourable.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "naming/naming_data.h"
#include "support/fixture_db.h"
#include "support/scored_line.h"
#include "support/shipped_naming.h"
#include "tools/naming_sources.h"

namespace quenvil {
namespace {

using Ints = std::vector<int32_t>;

const NamingData& shipped() { return test::shippedNamingData(); }

// ---- Ratings and the favourable rule -----------------------------------------------------

// The ratings read straight from the sources, by a reader of the test's own.
struct SourceRatings {
    std::map<int, std::string> numbers;         // 1..81 -> 大吉 ...
    std::map<std::string, std::string> sancai;  // 火木木 -> 大吉 ...
};

SourceRatings readSourceRatings() {
    SourceRatings r;
    auto rows = [](const char* file, auto&& f) {
        std::ifstream in(test::sourceDir() / "resources" / file);
        std::string line;
        while (std::getline(in, line)) {
            if (line.empty() || line[0] == '#') continue;
            std::istringstream fields(line);
            std::string key, rating;
            std::getline(fields, key, '\t');
            std::getline(fields, rating, '\t');
            f(key, rating);
        }
    };
    rows("wuge.tsv",
         [&](const std::string& k, const std::string& v) { r.numbers[std::stoi(k)] = v; });
    rows("sancai.tsv", [&](const std::string& k, const std::string& v) { r.sancai[k] = v; });
    return r;
}

TEST(Favourable, RatingsComeFromTheData) {
    const SourceRatings src = readSourceRatings();
    ASSERT_EQ(src.numbers.size(), 81u);
    ASSERT_EQ(src.sancai.size(), 125u);
    const Ratings& r = shipped().ratings();
    for (const auto& [n, rating] : src.numbers) {
        const LuckClass expected = rating == "凶"     ? LuckClass::Bad
                                   : rating == "半吉" ? LuckClass::Half
                                                      : LuckClass::Good;
        EXPECT_EQ(r.number(n), expected) << n;
        EXPECT_EQ(r.number(n + 80), expected) << n + 80;  // past 81: n - 80
        EXPECT_EQ(shipped().numberRating(n + 80), rating);
    }
    for (int i = 0; i < 125; ++i) {
        EXPECT_EQ(sancaiLevelName(r.sancaiAt(i)),
                  src.sancai.at(std::string(threeTalentsKeyOfIndex(i))));
    }
    EXPECT_EQ(shipped().numberMeaning(21).substr(0, 3), "二");  // the text, without 【大吉】
    EXPECT_FALSE(shipped().sancaiMeaning("火木木").empty());
}

// favourableCounts against a search over every count that computes the grids and the rule
// from the source ratings itself.
TEST(Favourable, PairsMatchABruteForceSearch) {
    const SourceRatings src = readSourceRatings();
    auto good = [&](int n) {
        while (n > 81) n -= 80;
        const std::string& r = src.numbers.at(n);
        return r == "大吉" || r == "吉";
    };
    auto notBad = [&](int n) {
        while (n > 81) n -= 80;
        return src.numbers.at(n) != "凶";
    };
    const char* kElements[] = {"水", "木", "木", "火", "火", "土", "土", "金", "金", "水"};
    auto rule = [&](int heaven, int person, int earth, int total, int outer, bool judgeOuter) {
        const std::string key =
            std::string(kElements[heaven % 10]) + kElements[person % 10] + kElements[earth % 10];
        const std::string& level = src.sancai.at(key);
        return good(person) && good(earth) && good(total) && (!judgeOuter || notBad(outer)) &&
               level != "凶多于吉" && level != "大凶";
    };
    const Ratings& r = shipped().ratings();
    constexpr int kMax = 36;
    size_t found = 0;
    for (int s = 1; s <= 40; ++s) {
        std::vector<GivenCounts> one, two;
        for (int b = 1; b <= kMax; ++b) {
            if (rule(s + 1, s + b, b + 1, s + b, 2, false)) one.push_back({b, 0});
            for (int c = 1; c <= kMax; ++c) {
                if (rule(s + 1, s + b, b + c, s + b + c, c + 1, true)) two.push_back({b, c});
            }
        }
        ASSERT_EQ(favourableCounts(Ints{s}, 1, r, kMax), one) << s;
        ASSERT_EQ(favourableCounts(Ints{s}, 2, r, kMax), two) << s;
        found += two.size();
    }
    for (const Ints& sur : {Ints{15, 17}, Ints{16, 13}, Ints{3, 8}, Ints{11, 19}}) {
        const int s1 = sur[0], s2 = sur[1];
        std::vector<GivenCounts> one, two;
        for (int b = 1; b <= kMax; ++b) {
            if (rule(s1 + s2, s2 + b, b + 1, s1 + s2 + b, s1 + 1, true)) one.push_back({b, 0});
            for (int c = 1; c <= kMax; ++c) {
                if (rule(s1 + s2, s2 + b, b + c, s1 + s2 + b + c, s1 + c, true)) {
                    two.push_back({b, c});
                }
            }
        }
        ASSERT_EQ(favourableCounts(sur, 1, r, kMax), one) << s1 << "," << s2;
        ASSERT_EQ(favourableCounts(sur, 2, r, kMax), two) << s1 << "," << s2;
    }
    EXPECT_GT(found, 1000u);  // the rule is not empty
}

TEST(Favourable, RejectsWhatTheReportCallsUnlucky) {
    // 韩璟舟 17 17 6, a name of the fixed table: 人格 34 is 凶.
    const FiveGrids g = computeGrids(Ints{17}, Ints{17, 6});
    EXPECT_EQ(g.person, 34);
    EXPECT_FALSE(isFavourable(g, shipped().ratings()));
    // Surnames of 20 strokes and more have favourable pairs too (罗 20, 苏 22, 顾 21).
    for (int s : {20, 21, 22, 23, 24}) {
        EXPECT_FALSE(favourableCounts(Ints{s}, 2, shipped().ratings()).empty()) << s;
    }
}

TEST(NamingDataSources, DatabaseAndResourcesAgree) {
    const NamingData fromFiles = readNamingData(test::sourceDir() / "resources");
    const NamingData& fromDb = shipped();
    ASSERT_EQ(fromFiles.nameChars().size(), fromDb.nameChars().size());
    for (size_t i = 0; i < fromDb.nameChars().size(); ++i) {
        EXPECT_EQ(fromFiles.nameChars()[i].text, fromDb.nameChars()[i].text);
        EXPECT_EQ(fromFiles.nameChars()[i].kind, fromDb.nameChars()[i].kind);
    }
    EXPECT_EQ(fromFiles.sounds().size(), fromDb.sounds().size());
    EXPECT_GE(fromDb.sounds().size(), 150u);
    EXPECT_EQ(fromFiles.compoundSurnames(), fromDb.compoundSurnames());
    for (char32_t cp = 0x4E00; cp < 0x9FA6; ++cp) {
        ASSERT_EQ(fromFiles.strokes(cp), fromDb.strokes(cp)) << static_cast<int>(cp);
        ASSERT_EQ(fromFiles.reading(cp), fromDb.reading(cp)) << static_cast<int>(cp);
    }
    for (const char* name : {"黄思婷", "欧阳修", "杜梓维", "曾国藩"}) {
        ScoredName a, b;
        ASSERT_TRUE(scoreName(fromFiles, name, a));
        ASSERT_TRUE(scoreName(fromDb, name, b));
        EXPECT_EQ(test::lineOf(fromFiles, a), test::lineOf(fromDb, b));
    }
}

}  // namespace
}  // namespace quenvil
