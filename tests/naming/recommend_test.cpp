// The recommendation engine: the favourable rule, its data, the candidates and the name lists,
// on the real data (data.Mdb of the build and resources/).
#include "naming/recommend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "data/connection.h"
#include "data/database.h"
#include "naming/best_first.h"
#include "naming/favourable.h"
#include "naming/naming_data.h"
#include "naming/pinyin.h"
#include "naming/score.h"
#include "support/fixture_db.h"
#include "support/scored_line.h"
#include "support/shipped_naming.h"
#include "text/gbk.h"
#include "text/utf8.h"
#include "tools/name_generator.h"
#include "tools/naming_sources.h"

namespace quenvil {
namespace {

using test::characters;
using test::givenOf;
using test::scored;
using test::surnameOf;

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
        EXPECT_EQ(sancaiLevelName(r.sancaiAt(i)), src.sancai.at(threeTalentsKeyOfIndex(i)));
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

// ---- Candidates --------------------------------------------------------------------------

std::map<std::string, char> kinds() {
    std::map<std::string, char> k;
    for (const NameChar& c : shipped().nameChars()) k[c.text] = c.kind;
    return k;
}

// The done-when of the recommendation engine, for the surnames that had no names before.
TEST(Recommend, CommonAndCompoundSurnamesGetGoodNames) {
    const Ratings& r = shipped().ratings();
    for (const char* surname : {"罗", "苏", "欧阳", "诸葛", "严", "顾", "司马", "上官", "万俟"}) {
        RecommendOptions o;
        const std::vector<ScoredName> names = recommend(shipped(), surname, o);
        EXPECT_EQ(names.size(), 100u) << surname;
        std::set<std::string> distinct;
        for (size_t i = 0; i < names.size(); ++i) {
            const ScoredName& n = names[i];
            distinct.insert(n.name);
            EXPECT_EQ(surnameOf(n), surname);
            EXPECT_EQ(givenOf(n).size(), 2u) << n.name;
            if (i) {
                EXPECT_LE(n.score, names[i - 1].score) << n.name;
            }
            EXPECT_EQ(r.number(n.grids.person), LuckClass::Good) << n.name;
            EXPECT_EQ(r.number(n.grids.earth), LuckClass::Good) << n.name;
            EXPECT_EQ(r.number(n.grids.total), LuckClass::Good) << n.name;
            EXPECT_NE(r.number(n.grids.outer), LuckClass::Bad) << n.name;
            EXPECT_NE(n.sancaiLevel, SancaiLevel::MostlyBad) << n.name;
            EXPECT_NE(n.sancaiLevel, SancaiLevel::Worst) << n.name;
            EXPECT_FALSE(n.badSound) << n.name;
        }
        EXPECT_EQ(distinct.size(), names.size()) << surname;
    }
}

// ---- The gender rule -----------------------------------------------------------------------

TEST(Gender, WhichKindsEachListTakes) {
    const struct {
        char kind;
        Gender gender;
        bool fits;
    } rules[] = {
        {'m', Gender::Male, true},   {'n', Gender::Male, true},   {'f', Gender::Male, false},
        {'f', Gender::Female, true}, {'n', Gender::Female, true}, {'m', Gender::Female, false},
        {'m', Gender::Any, true},    {'f', Gender::Any, true},    {'n', Gender::Any, true},
    };
    for (const auto& r : rules) {
        EXPECT_EQ(fitsGender(r.kind, r.gender), r.fits) << r.kind << static_cast<int>(r.gender);
    }
}

struct GenderCase {
    const char* surname;
    int length;
    Gender gender;
};

void PrintTo(const GenderCase& c, std::ostream* os) {
    *os << c.surname << " " << c.length << " " << static_cast<int>(c.gender);
}

RecommendOptions everyName(int length, Gender gender) {
    RecommendOptions o;
    o.length = length;
    o.gender = gender;
    o.top = std::numeric_limits<size_t>::max();
    return o;
}

class GenderRule : public ::testing::TestWithParam<GenderCase> {};

// Every name of the whole list: a boys' list never holds an f character, a girls' list never an m
// one, and no name pairs the two.
TEST_P(GenderRule, EveryNameOfTheList) {
    const GenderCase& c = GetParam();
    const auto kind = kinds();
    const std::vector<ScoredName> names =
        recommend(shipped(), c.surname, everyName(c.length, c.gender));
    ASSERT_GT(names.size(), 10u);
    std::set<char> seenInList;
    for (const ScoredName& n : names) {
        std::set<char> seen;
        for (const std::string& ch : givenOf(n)) seen.insert(kind.at(ch));
        seenInList.insert(seen.begin(), seen.end());
        EXPECT_FALSE(c.gender == Gender::Male && seen.count('f')) << n.name;
        EXPECT_FALSE(c.gender == Gender::Female && seen.count('m')) << n.name;
        EXPECT_FALSE(seen.count('m') && seen.count('f')) << n.name;
    }
    // The lists are not empty of the kinds they may hold.
    EXPECT_TRUE(c.gender == Gender::Female || seenInList.count('m'));
    EXPECT_TRUE(c.gender == Gender::Male || seenInList.count('f'));
}

INSTANTIATE_TEST_SUITE_P(
    Lists, GenderRule,
    ::testing::Values(GenderCase{"王", 2, Gender::Male}, GenderCase{"王", 2, Gender::Female},
                      GenderCase{"王", 2, Gender::Any}, GenderCase{"罗", 2, Gender::Male},
                      GenderCase{"罗", 2, Gender::Female}, GenderCase{"罗", 2, Gender::Any},
                      GenderCase{"欧阳", 2, Gender::Male}, GenderCase{"欧阳", 2, Gender::Female},
                      GenderCase{"欧阳", 2, Gender::Any}, GenderCase{"王", 1, Gender::Male},
                      GenderCase{"王", 1, Gender::Female}, GenderCase{"罗", 1, Gender::Any}));

TEST(Recommend, BoysAndGirlsListsShareOnlyNamesForBoth) {
    const auto kind = kinds();
    for (const char* surname : {"王", "罗", "欧阳"}) {
        std::map<Gender, std::set<std::string>> lists;
        for (Gender g : {Gender::Male, Gender::Female}) {
            for (const ScoredName& n : recommend(shipped(), surname, everyName(2, g))) {
                lists[g].insert(n.name);
            }
        }
        std::vector<std::string> common;
        std::set_intersection(lists[Gender::Male].begin(), lists[Gender::Male].end(),
                              lists[Gender::Female].begin(), lists[Gender::Female].end(),
                              std::back_inserter(common));
        for (const std::string& name : common) {
            const auto chars = characters(name);
            for (size_t i = std::string_view(surname).size() / 3; i < chars.size(); ++i) {
                EXPECT_EQ(kind.at(chars[i]), 'n') << name;
            }
        }
        EXPECT_LT(common.size(), lists[Gender::Male].size()) << surname;
    }
}

// A family's generation character is given: it is not held to the gender rule, the other
// character is.
TEST(Recommend, TheFixedCharacterIsNotHeldToTheGenderRule) {
    const auto kind = kinds();
    ASSERT_EQ(kind.at("婷"), 'f');
    RecommendOptions o = everyName(2, Gender::Male);
    o.fixed = "婷";
    const std::vector<ScoredName> names = recommend(shipped(), "罗", o);
    ASSERT_FALSE(names.empty());
    for (const ScoredName& n : names) {
        ASSERT_EQ(givenOf(n)[0], "婷") << n.name;
        EXPECT_NE(kind.at(givenOf(n)[1]), 'f') << n.name;
    }
}

// ---- Ties --------------------------------------------------------------------------------

// Within one score the first given-name characters take turns, in the order of their ranks: each
// one's best pair (the second character of the lowest rank), then each one's second, and so on.
// The order a round robin over the characters gives, worked out here from the ranks.
std::vector<std::pair<int, int>> takingTurns(std::vector<std::pair<int, int>> group) {
    std::map<int, std::vector<int>> seconds;  // by first rank, each sorted
    for (const auto& [first, second] : group) seconds[first].push_back(second);
    for (auto& [first, list] : seconds) std::sort(list.begin(), list.end());
    std::vector<std::pair<int, int>> order;
    for (size_t turn = 0; order.size() < group.size(); ++turn) {
        for (const auto& [first, list] : seconds) {
            if (turn < list.size()) order.emplace_back(first, list[turn]);
        }
    }
    return order;
}

struct TieCase {
    const char* surname;
    int length;
    const char* fixed;
    int fixedAt;
};

void PrintTo(const TieCase& c, std::ostream* os) {
    *os << c.surname << " " << c.length << " " << c.fixed << c.fixedAt;
}

class Ties : public ::testing::TestWithParam<TieCase> {};

TEST_P(Ties, TheFirstCharactersTakeTurnsWithinOneScore) {
    const TieCase& c = GetParam();
    std::map<std::string, int> rank;
    for (const NameChar& ch : shipped().nameChars()) rank[ch.text] = ch.rank;
    auto rankOf = [&](const std::string& ch) { return rank.count(ch) ? rank.at(ch) : -1; };
    RecommendOptions o = everyName(c.length, Gender::Any);
    o.fixed = c.fixed;
    o.fixedAt = c.fixedAt;
    const std::vector<ScoredName> names = recommend(shipped(), c.surname, o);
    size_t largestTie = 0;
    for (size_t start = 0; start < names.size();) {
        size_t end = start;
        std::vector<std::pair<int, int>> group;
        while (end < names.size() && names[end].score == names[start].score) {
            const auto given = givenOf(names[end]);
            group.emplace_back(rankOf(given[0]), given.size() > 1 ? rankOf(given[1]) : -1);
            ++end;
        }
        ASSERT_EQ(group, takingTurns(group)) << "score " << names[start].score;
        if (end < names.size()) {
            ASSERT_GT(names[start].score, names[end].score);
        }
        largestTie = std::max(largestTie, group.size());
        start = end;
    }
    EXPECT_GT(largestTie, 2u);  // the rule has ties to order
}

INSTANTIATE_TEST_SUITE_P(Lists, Ties,
                         ::testing::Values(TieCase{"罗", 2, "", 2}, TieCase{"王", 2, "", 2},
                                           TieCase{"欧阳", 2, "", 2}, TieCase{"王", 1, "", 2},
                                           TieCase{"苏", 2, "子", 2}, TieCase{"欧阳", 2, "明", 3}));

TEST(Recommend, OptionsLengthFixedCharacterAndTop) {
    RecommendOptions o;
    o.length = 1;
    o.top = 20;
    auto names = recommend(shipped(), "罗", o);
    ASSERT_EQ(names.size(), 20u);
    for (const auto& n : names) EXPECT_EQ(n.characters, 2) << n.name;

    o = {};
    o.fixed = "子";
    o.fixedAt = 2;
    names = recommend(shipped(), "苏", o);
    ASSERT_FALSE(names.empty());
    for (const auto& n : names) EXPECT_EQ(characters(n.name)[1], "子") << n.name;

    o.fixed = "明";
    o.fixedAt = 3;
    names = recommend(shipped(), "欧阳", o);
    ASSERT_FALSE(names.empty());
    for (const auto& n : names) EXPECT_EQ(characters(n.name)[3], "明") << n.name;

    // A generation character that is not curated is allowed (澍 16: 刘 15 + 16 = 人格 31).
    o.fixed = "澍";
    o.fixedAt = 2;
    EXPECT_FALSE(recommend(shipped(), "刘", o).empty());
    // Some surnames have no favourable name with a given character there: 李 7 + 16 makes
    // 金火 for 天格 and 人格, always 凶多于吉 or 大凶.
    EXPECT_TRUE(recommend(shipped(), "李", o).empty());

    o = {};
    o.top = 7;
    EXPECT_EQ(recommend(shipped(), "王", o).size(), 7u);
    o.top = 0;
    EXPECT_TRUE(recommend(shipped(), "王", o).empty());
}

TEST(Recommend, RefusesUnknownSurnamesAndBadOptions) {
    EXPECT_FALSE(isKnownSurname(shipped(), "张三"));
    EXPECT_FALSE(isKnownSurname(shipped(), ""));
    EXPECT_FALSE(isKnownSurname(shipped(), "a"));
    EXPECT_TRUE(isKnownSurname(shipped(), "尉迟"));
    EXPECT_TRUE(isKnownSurname(shipped(), "罗"));
    EXPECT_THROW(recommend(shipped(), "张三", {}), RecommendError);
    RecommendOptions o;
    o.length = 3;
    EXPECT_THROW(recommend(shipped(), "张", o), RecommendError);
    o = {};
    o.fixed = "明";
    o.fixedAt = 3;
    o.length = 1;
    EXPECT_THROW(recommend(shipped(), "张", o), RecommendError);
    o.fixed = "明亮";
    o.length = 2;
    EXPECT_THROW(recommend(shipped(), "张", o), RecommendError);
}

// ---- The name lists ----------------------------------------------------------------------

// Every list the build wrote: no bad sound, no boys' character beside a girls' one.
TEST(NameLists, NoBadSoundsAndNoMixedKinds) {
    const NameSources sources = readNameSources(test::sourceDir() / "resources");
    const auto kind = kinds();
    size_t names = 0;
    for (const std::string& surname : sources.surnames) {
        std::ifstream in(test::programDir() / "xm" / (surname + ".txt"), std::ios::binary);
        ASSERT_TRUE(in) << surname;
        std::stringstream bytes;
        bytes << in.rdbuf();
        const std::string text = gbkToUtf8(bytes.str());
        size_t start = 0;
        while (start < text.size()) {
            const size_t end = text.find("\r\n", start);
            const std::string_view name(text.data() + start, end - start);
            start = end + 2;
            ++names;
            bool bad = false;
            ASSERT_GE(scoreOnly(shipped(), name, &bad), 0) << name;
            ASSERT_FALSE(bad) << name;
            std::set<char> seen;
            const auto chars = characters(name);
            for (size_t i = characters(surname).size(); i < chars.size(); ++i) {
                seen.insert(kind.at(chars[i]));
            }
            ASSERT_FALSE(seen.count('m') && seen.count('f')) << name;
        }
    }
    EXPECT_GT(names, 5'000'000u);
}

TEST(NameLists, TheSoundCheckDropsNamesAndStaysDeterministic) {
    const NameSources sources = readNameSources(test::sourceDir() / "resources");
    const auto first = generateNames(sources, "杜", 30000);
    EXPECT_EQ(first, generateNames(sources, "杜", 30000));
    EXPECT_EQ(first.size(), 30000u);
    for (const std::string& name : first) EXPECT_FALSE(name.starts_with("杜梓")) << name;
    // Without the engine's data the same surname does get such names.
    NameSources unchecked = sources;
    unchecked.naming.reset();
    size_t duzi = 0;
    for (const std::string& name : generateNames(unchecked, "杜", 30000)) {
        duzi += name.starts_with("杜梓") || name.starts_with("杜子") ? 1 : 0;
    }
    EXPECT_GT(duzi, 0u);
}

}  // namespace
}  // namespace quenvil
