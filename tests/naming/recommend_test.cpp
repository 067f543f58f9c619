// The candidates of the recommendation engine (the gender rule, the order within one score, the
// options) and the name lists, on the real data (data.Mdb of the build and resources/).
#include "naming/recommend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <set>
#include <sstream>

#include "naming/naming_data.h"
#include "naming/score.h"
#include "support/fixture_db.h"
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

const NamingData& shipped() { return test::shippedNamingData(); }

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
            EXPECT_LE(n.overall, names[0].overall) << n.name;  // the best comes first
            EXPECT_TRUE(n.usable) << n.name;
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
    o.varied = false;
    const std::vector<ScoredName> names = recommend(shipped(), c.surname, o);
    // Best first by the overall score, then the naming, then the numerology score.
    auto rankOfName = [](const ScoredName& n) { return std::tie(n.overall, n.naming, n.score); };
    size_t largestTie = 0;
    for (size_t start = 0; start < names.size();) {
        size_t end = start;
        std::vector<std::pair<int, int>> group;
        while (end < names.size() && rankOfName(names[end]) == rankOfName(names[start])) {
            const auto given = givenOf(names[end]);
            group.emplace_back(rankOf(given[0]), given.size() > 1 ? rankOf(given[1]) : -1);
            ++end;
        }
        ASSERT_EQ(group, takingTurns(group)) << "score " << names[start].score;
        if (end < names.size()) {
            ASSERT_GT(rankOfName(names[start]), rankOfName(names[end]));
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
    o.top = 0;  // every name
    const size_t all = recommend(shipped(), "王", o).size();
    EXPECT_GT(all, 1000u);
    o.top = 5000;
    EXPECT_EQ(recommend(shipped(), "王", o).size(), std::min<size_t>(all, 5000));
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
    // 孙子 (sun zi) sounds bad in any tones: 孙梓 and 孙子 names are dropped.
    const auto first = generateNames(sources, "孙", 30000);
    EXPECT_EQ(first, generateNames(sources, "孙", 30000));
    EXPECT_EQ(first.size(), 30000u);
    for (const std::string& name : first) {
        EXPECT_FALSE(name.starts_with("孙梓") || name.starts_with("孙子")) << name;
    }
    // Without the engine's data the same surname does get such names.
    NameSources unchecked = sources;
    unchecked.naming.reset();
    size_t sunzi = 0;
    for (const std::string& name : generateNames(unchecked, "孙", 30000)) {
        sunzi += name.starts_with("孙梓") || name.starts_with("孙子") ? 1 : 0;
    }
    EXPECT_GT(sunzi, 0u);
}

}  // namespace
}  // namespace quenvil
