// Word rules, famous names, attested names, the lines of the classics and toned bad sounds, on
// small tables written here: what each rule matches and what it leaves alone.
#include "naming/name_rules.h"

#include <gtest/gtest.h>

#include "naming/classics.h"
#include "naming/naming_data.h"
#include "naming/sound_check.h"
#include "text/utf8.h"

namespace quenvil {
namespace {

std::vector<char32_t> cps(std::string_view s) { return utf8CodePoints(s); }

struct WordCase {
    const char* surnameLast;
    const char* given;
    char sex;
    const char* expected;  // the patterns hit, in file order, joined by blanks
};

void PrintTo(const WordCase& c, std::ostream* os) {
    *os << c.surnameLast << c.given << " " << c.sex;
}

class WordRuleMatching : public ::testing::TestWithParam<WordCase> {};

TEST_P(WordRuleMatching, HitsExactlyTheRulesOfItsPair) {
    const WordCase& c = GetParam();
    WordRules r;
    r.add("一月", "given", "any", "refuse", "月份");
    r.add("小*", "given", "any", "refuse", "昵称");
    r.add("*大", "given", "any", "mark", "俗称");
    r.add("*子", "given", "f", "refuse", "日式女名");
    r.add("孙子", "surname", "any", "refuse", "孙子");
    std::vector<const WordRule*> hits;
    r.hits(cps(c.surnameLast)[0], cps(c.given), c.sex, hits);
    std::string got;
    for (const WordRule* h : hits) got += (got.empty() ? "" : " ") + h->pattern;
    EXPECT_EQ(got, c.expected) << c.surnameLast << c.given << " " << c.sex;
}

INSTANTIATE_TEST_SUITE_P(
    Table, WordRuleMatching,
    ::testing::Values(WordCase{"黄", "一月", 'n', "一月"},     // the word itself
                      WordCase{"黄", "月一", 'n', ""},         // not backwards
                      WordCase{"赵", "小仁", 'm', "小*"},      // a wildcard second
                      WordCase{"司", "山大", 'm', "*大"},      // a wildcard first
                      WordCase{"司", "小大", 'n', "小* *大"},  // both, in file order
                      WordCase{"上", "千子", 'f', "*子"},      // a girls' rule on a girl
                      WordCase{"上", "千子", 'm', ""},         // ... not on a boy
                      WordCase{"上", "千子", 'n', "*子"},      // ... and on a name of either
                      WordCase{"孙", "子强", 'm', "孙子"},     // surname and first given
                      WordCase{"王", "子强", 'm', ""},         // ... only with that surname
                      WordCase{"孙", "强子", 'f', "*子"},      // the given-name rule, not 孙子
                      WordCase{"孙", "子", 'm', "孙子"},       // a single given name
                      WordCase{"赵", "小", 'm', ""}),          // given rules need two
    [](const ::testing::TestParamInfo<WordCase>& info) {
        return "case" + std::to_string(info.index) + "_" + info.param.sex;
    });

TEST(WordRules, MalformedRulesAreRefused) {
    const char* bad[][5] = {
        {"一", "given", "any", "refuse", "x"},  {"**", "given", "any", "refuse", "x"},
        {"一月", "name", "any", "refuse", "x"}, {"一月", "given", "boy", "refuse", "x"},
        {"一月", "given", "any", "drop", "x"},  {"一月", "given", "any", "refuse", ""}};
    for (const auto& b : bad) {
        WordRules r;
        EXPECT_THROW(r.add(b[0], b[1], b[2], b[3], b[4]), NamingDataError) << b[0] << b[1] << b[2];
    }
}

TEST(FamousNames, AFullNameOrItsBeginningWithTheGivenName) {
    FamousNames f;
    f.add("诸葛亮", "蜀汉丞相");
    f.add("李白", "唐代诗人");
    f.add("刘德华", "演员");
    const struct {
        const char* name;
        size_t surname;
        const char* expected;
    } cases[] = {{"诸葛亮", 2, "诸葛亮"}, {"诸葛亮廷", 2, "诸葛亮"}, {"李白", 1, "李白"},
                 {"李白云", 1, "李白"},   {"李明白", 1, ""},         {"刘德", 1, ""},
                 {"诸葛明", 2, ""},       {"刘德华", 1, "刘德华"}};
    for (const auto& c : cases) {
        const std::string* hit = f.find(cps(c.name), c.surname);
        EXPECT_EQ(hit ? *hit : "", c.expected) << c.name;
    }
    EXPECT_EQ(f.who("李白"), "唐代诗人");
    EXPECT_THROW(f.add("李", "x"), NamingDataError);
}

TEST(AttestedNames, SexByPairInOrder) {
    AttestedNames a;
    a.add("思远", "m");
    a.add("欣怡", "f");
    a.add("思远", "f");  // listed twice: the first sex stays
    EXPECT_EQ(a.sex(U'思', U'远'), 'm');
    EXPECT_EQ(a.sex(U'远', U'思'), 0);
    EXPECT_EQ(a.sex(U'欣', U'怡'), 'f');
    EXPECT_EQ(a.size(), 2u);
    EXPECT_THROW(a.add("思", "m"), NamingDataError);
    EXPECT_THROW(a.add("思远", "x"), NamingDataError);
}

TEST(ClassicLines, PairsInOrderWithTheFirstLineOfEachBook) {
    ClassicLines c;
    c.add("诗经", "小雅·鹿鸣", "", "呦呦鹿鸣，食野之苹。");
    c.add("唐诗", "静夜思", "李白", "床前明月光，疑是地上霜。");
    c.add("唐诗", "无题", "某", "明月照鹿鸣。");
    const std::u32string usable = U"呦鹿鸣苹明月光霜之";
    c.index([&](char32_t cp) { return usable.find(cp) != std::u32string::npos; });

    const ClassicLines::Pair* deer = c.find(U'鹿', U'鸣');
    ASSERT_NE(deer, nullptr);
    EXPECT_EQ(deer->firstLine(), 0);  // 诗经 before 唐诗
    EXPECT_EQ(deer->lines[static_cast<size_t>(Book::Tangshi)], 2);
    EXPECT_EQ(c.find(U'鸣', U'鹿'), nullptr);  // only in their order
    EXPECT_NE(c.find(U'呦', U'呦'), nullptr);  // a character that stands twice
    EXPECT_EQ(c.find(U'食', U'苹'), nullptr);  // 食 is not usable
    EXPECT_EQ(c.find(U'之', U'苹'), nullptr);  // nor is a function word, whatever it is
    EXPECT_EQ(c.find(U'鹿', U'苹'), nullptr);  // never across a comma
    EXPECT_EQ(c.find(U'苹', U'明'), nullptr);  // never across lines
    EXPECT_EQ(c.citation(0), "诗经·小雅·鹿鸣: 呦呦鹿鸣，食野之苹。");
    EXPECT_EQ(c.citation(1), "唐诗·静夜思（李白）: 床前明月光，疑是地上霜。");
    const auto at = c.positions(1, U'明', U'光');
    ASSERT_TRUE(at);
    EXPECT_EQ(c.text(1).substr(at->first, 3), "明");
    EXPECT_EQ(c.text(1).substr(at->second, 3), "光");
    EXPECT_THROW(c.add("史记", "x", "", "某句。"), NamingDataError);
}

TEST(SoundChecker, TonesNarrowAnEntryAndSameSyllablesMayDifferInTones) {
    // Syllable ids: yin 1, jian 2, hua 3; tones as the name reads them.
    SoundChecker s;
    const uint16_t yinJian[] = {1, 2};
    ASSERT_TRUE(s.add(yinJian, {"yin jian", "淫贱", "骂人", {2, 4, 0, 0}}));
    ASSERT_TRUE(s.add(yinJian, {"yin jian", "阴间", "不吉", {1, 1, 0, 0}}));
    EXPECT_FALSE(s.add(yinJian, {"yin jian", "again", "x", {2, 4, 0, 0}}));  // listed twice
    const uint16_t hua[] = {3};
    ASSERT_TRUE(s.add(hua, {"hua", "x", "x", {0, 0, 0, 0}}));

    const uint16_t name[] = {1, 2, 3};  // 尹建华 yǐn jiàn huá: surname 尹
    auto words = [&](std::span<const uint8_t> tones, size_t surname) {
        std::string got;
        for (const BadSound* b : s.hits(name, tones, surname)) got += b->word + " ";
        return got;
    };
    const uint8_t yinJianHua[] = {3, 4, 2};
    EXPECT_EQ(words(yinJianHua, 1), "x ");  // 淫贱 needs yín
    const uint8_t lewd[] = {2, 4, 2};
    EXPECT_EQ(words(lewd, 1), "淫贱 x ");
    const uint8_t underworld[] = {1, 1, 2};
    EXPECT_EQ(words(underworld, 1), "阴间 x ");
    EXPECT_EQ(words(underworld, 3), "");  // wholly inside the surname: nothing
}

}  // namespace
}  // namespace quenvil
