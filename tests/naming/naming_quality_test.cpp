// What the shipped data makes of real names: the word rules and famous names refuse what they
// should and let natural names pass, the tiers order names of equal numerology, given names read
// as names do, lines of the classics are found, and the top of a list is varied and explained.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "naming/classics.h"
#include "naming/recommend.h"
#include "naming/score.h"
#include "recommend/result_rows.h"
#include "support/scored_line.h"
#include "support/shipped_naming.h"

namespace quenvil {
namespace {

const NamingData& shipped() { return test::shippedNamingData(); }

ScoredName scoredAs(std::string_view name, char sex) {
    ScoredName s;
    EXPECT_TRUE(scoreName(shipped(), name, s, nullptr, sex)) << name;
    return s;
}

std::string notesOf(const ScoredName& s) {
    std::string all;
    for (const Note& n : s.notes) all += n.text + ";";
    return all;
}

// ---- Refused and passed ---------------------------------------------------------------------

struct PairCase {
    const char* name;
    char sex;
    bool usable;
    const char* note;  // a part of the notes, or "" for none expected
};

void PrintTo(const PairCase& c, std::ostream* os) { *os << c.name << ' ' << c.sex; }

class PairRules : public ::testing::TestWithParam<PairCase> {};

TEST_P(PairRules, RefuseOrPass) {
    const PairCase& c = GetParam();
    const ScoredName s = scoredAs(c.name, c.sex);
    EXPECT_EQ(s.usable, c.usable) << c.name << ": " << notesOf(s);
    if (*c.note) {
        EXPECT_NE(notesOf(s).find(c.note), std::string::npos) << notesOf(s);
    }
    if (c.usable) {
        // A natural name is never outranked by an unusable one, whatever its numerology.
        EXPECT_GT(s.overall + 101, 100) << c.name;
    } else {
        EXPECT_LE(orderKeyOnly(shipped(), c.name, c.sex), 100) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Shipped, PairRules,
    ::testing::Values(
        // Given names that read as a word, a nickname, X大, a girl's -子.
        PairCase{"孙一月", 'n', false, ""}, PairCase{"黄一月", 'f', false, ""},
        PairCase{"赵小仁", 'm', false, ""}, PairCase{"司马山大", 'm', false, ""},
        PairCase{"慕容小大", 'n', false, ""}, PairCase{"上官千子", 'f', false, ""},
        PairCase{"罗大力", 'm', false, ""},
        // The surname and the first given character.
        PairCase{"孙子强", 'm', false, ""}, PairCase{"孙子婷", 'f', false, ""},
        PairCase{"马子婷", 'f', false, ""}, PairCase{"朱逸群", 'm', false, "谐音"},
        PairCase{"杨伟", 'm', false, "谐音"}, PairCase{"吴仁耀", 'm', false, "谐音"},
        // Famous people, whole or at the start of the name.
        PairCase{"诸葛亮廷", 'm', false, "与名人同名:诸葛亮"},
        PairCase{"尉迟恭廷", 'm', false, "与名人同名:尉迟恭"},
        PairCase{"李白", 'm', false, "与名人同名:李白"},
        PairCase{"蔡依林", 'f', false, "与名人同名:蔡依林"},
        // ... or their exact sound, tones and all; a near sound passes.
        PairCase{"陈妍熙", 'f', false, "与名人同音:陈妍希"},
        PairCase{"陈妍曦", 'f', false, "与名人同音"},
        PairCase{"苏奕铭", 'm', false, "与名人同音:苏翊鸣"}, PairCase{"张艺馨", 'f', true, ""},
        PairCase{"陈雁希", 'f', true, ""},
        // Natural names of the same surnames pass.
        PairCase{"孙思远", 'm', true, ""}, PairCase{"马欣怡", 'f', true, ""},
        PairCase{"赵子轩", 'm', true, ""}, PairCase{"司马思远", 'm', true, ""},
        PairCase{"上官婉清", 'f', true, ""}, PairCase{"诸葛明远", 'm', true, ""},
        PairCase{"尹建华", 'm', true, ""}, PairCase{"杜子豪", 'm', true, ""},
        PairCase{"黄思婷", 'f', true, ""}, PairCase{"李明轩", 'm', true, ""}),
    [](const ::testing::TestParamInfo<PairCase>& info) {
        return "case" + std::to_string(info.index);
    });

TEST(DoubledCharacters, OnlyWhereTheCharacterFileAllowsThem) {
    EXPECT_TRUE(scoredAs("王婷婷", 'f').usable);
    EXPECT_TRUE(scoredAs("王思思", 'f').usable);
    EXPECT_FALSE(scoredAs("王强强", 'm').usable) << notesOf(scoredAs("王强强", 'm'));
    EXPECT_FALSE(scoredAs("王博博", 'm').usable);
}

// ---- Order ----------------------------------------------------------------------------------

// Equal strokes and equal numerology: the favoured character (俊, 天) before the plain one (信,
// 升).
TEST(Tiers, AFavouredCharacterBeforeAPlainOneAtEqualNumerology) {
    const std::pair<const char*, const char*> pairs[] = {{"王俊明", "王信明"},
                                                         {"王天明", "王升明"}};
    for (const auto& [favoured, plain] : pairs) {
        const ScoredName a = scoredAs(favoured, 'm'), b = scoredAs(plain, 'm');
        ASSERT_EQ(a.score, b.score) << favoured << plain;
        EXPECT_GT(a.naming, b.naming) << favoured << plain;
        EXPECT_GT(orderKeyOnly(shipped(), favoured, 'm'), orderKeyOnly(shipped(), plain, 'm'));
    }
}

// ---- Readings -------------------------------------------------------------------------------

TEST(NameReadings, GivenNamesReadAsNamesAndSurnamesAsSurnames) {
    const std::pair<const char*, const char*> names[] = {
        {"顾长城", "gù cháng chéng"},
        {"王兴国", "wáng xīng guó"},
        {"李晟", "lǐ shèng"},
        {"张靓", "zhāng liàng"},
        {"王乐", "wáng lè"},
        {"陈朝阳", "chén zhāo yáng"},
        {"李重阳", "lǐ chóng yáng"},
        {"张行之", "zhāng xíng zhī"},
        // The surname keeps its own reading, the same character in the given name its name one.
        {"长孙无忌", "zhǎng sūn wú jì"},
        {"乐行", "yuè xíng"},
        {"单长", "shàn cháng"}};
    for (const auto& [name, reading] : names) {
        EXPECT_EQ(test::columnTexts(shipped(), scoredAs(name, 'n'))[kPinyinColumn], reading)
            << name;
    }
    // The tones of the name reading feed the tone rule: 兴 xīng is not 去声.
    EXPECT_EQ(notesOf(scoredAs("王兴亮", 'm')).find("去声相连"), std::string::npos);
}

// ---- The classics ---------------------------------------------------------------------------

TEST(Classics, ANameFromALineCitesIt) {
    const ScoredName s = scoredAs("陈子衿", 'n');
    ASSERT_GE(s.sourceLine, 0);
    EXPECT_EQ(shipped().classics().citation(s.sourceLine).rfind("诗经·郑风·子衿: 青青子衿", 0), 0u)
        << shipped().classics().citation(s.sourceLine);
    RecommendOptions o;
    o.source = RecommendOptions::Source::OneBook;
    o.book = Book::Shijing;
    o.top = 5;
    const auto names = recommend(shipped(), "王", o);
    ASSERT_EQ(names.size(), 5u);
    for (const ScoredName& n : names) {
        ASSERT_GE(n.sourceLine, 0) << n.name;
        const std::string line = shipped().classics().citation(n.sourceLine);
        EXPECT_EQ(line.rfind("诗经·", 0), 0u) << n.name << " " << line;
        // Both given characters stand in the line, in their order.
        const auto at =
            shipped().classics().positions(n.sourceLine, n.codePoints[1], n.codePoints[2]);
        ASSERT_TRUE(at) << n.name;
        EXPECT_LT(at->first, at->second);
    }
}

// ---- The top of a list ----------------------------------------------------------------------

struct ListCase {
    const char* surname;
    Gender gender;
};

void PrintTo(const ListCase& c, std::ostream* os) { *os << c.surname; }

class TopOfTheList : public ::testing::TestWithParam<ListCase> {};

TEST_P(TopOfTheList, VariedUsableAndExplained) {
    RecommendOptions o;
    o.gender = GetParam().gender;
    o.top = 20;
    const auto names = recommend(shipped(), GetParam().surname, o);
    ASSERT_EQ(names.size(), 20u);
    std::map<char32_t, int> uses;
    std::set<std::pair<int, int>> patterns;
    const int first = names[0].surnameCharacters;
    for (const ScoredName& n : names) {
        EXPECT_TRUE(n.usable) << n.name << ": " << notesOf(n);
        for (int i = first; i < n.characters; ++i) ++uses[n.codePoints[static_cast<size_t>(i)]];
        patterns.insert(
            {n.strokes[static_cast<size_t>(first)], n.strokes[static_cast<size_t>(first + 1)]});
        // Every given character has its meaning.
        const std::string meanings = meaningsText(shipped(), n.name, n.surnameCharacters);
        EXPECT_EQ(std::count(meanings.begin(), meanings.end(), ':'), n.characters - first)
            << n.name << " " << meanings;
    }
    for (const auto& [cp, count] : uses) {
        EXPECT_LE(count, kVarietyCharLimit)
            << GetParam().surname << " U+" << std::hex << static_cast<uint32_t>(cp);
    }
    EXPECT_GE(patterns.size(), kVarietyPatterns) << GetParam().surname;
}

INSTANTIATE_TEST_SUITE_P(
    Surnames, TopOfTheList,
    ::testing::Values(ListCase{"罗", Gender::Any}, ListCase{"司马", Gender::Male},
                      ListCase{"孙", Gender::Male}, ListCase{"黄", Gender::Female},
                      ListCase{"王", Gender::Female}, ListCase{"欧阳", Gender::Any},
                      ListCase{"龚", Gender::Male}),
    [](const ::testing::TestParamInfo<ListCase>& info) {
        return "list" + std::to_string(info.index);
    });

}  // namespace
}  // namespace quenvil
