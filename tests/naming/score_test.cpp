// Scoring names on the real data (data.Mdb of the build): their readings, the sound checks, the
// points of every part of the score and the order best first.
#include "naming/score.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

#include "naming/best_first.h"
#include "naming/pinyin.h"
#include "support/scored_line.h"
#include "support/shipped_naming.h"

namespace quenvil {
namespace {

using test::scored;

const NamingData& shipped() { return test::shippedNamingData(); }

std::string pinyinOf(std::string_view name) {
    return test::columnTexts(shipped(), scored(name))[kPinyinColumn];
}

// ---- Readings ----------------------------------------------------------------------------

TEST(Pinyin, SyllableParts) {
    const struct {
        const char* toned;
        int tone;
        const char *toneless, *initial, *final;
    } syllables[] = {
        {"huáng", 2, "huang", "h", "uang"},
        {"lǜ", 4, "lü", "l", "ü"},
        {"zhuāng", 1, "zhuang", "zh", "uang"},
        {"ān", 1, "an", "", "an"},
        {"yù", 4, "yu", "", "ü"},
        {"yuè", 4, "yue", "", "üe"},
        {"xú", 2, "xu", "x", "ü"},
        {"wǔ", 3, "wu", "", "u"},
        {"yīng", 1, "ying", "", "ing"},
        {"wáng", 2, "wang", "", "uang"},
        {"ma", 0, "ma", "m", "a"},
    };
    for (const auto& s : syllables) {
        EXPECT_EQ(toneOf(s.toned), s.tone) << s.toned;
        EXPECT_EQ(toneless(s.toned), s.toneless) << s.toned;
        EXPECT_EQ(initialOf(s.toneless), s.initial) << s.toned;
        EXPECT_EQ(finalOf(s.toneless), s.final) << s.toned;
    }
    EXPECT_EQ(toneless("ǹg"), "ng");
}

TEST(Pinyin, SurnamesReadTheirOwnWay) {
    const std::pair<const char*, const char*> names[] = {
        {"曾国藩", "zēng guó fān"},   {"单田芳", "shàn tián fāng"}, {"仇英", "qiú yīng"},
        {"查良镛", "zhā liáng yōng"}, {"翟天临", "zhái tiān lín"},  {"解缙", "xiè jìn"},
        {"区志坚", "ōu zhì jiān"},    {"朴树", "piáo shù"},         {"盖丽", "gě lì"},
        {"尉迟恭", "yù chí gōng"},    {"万俟卨", "mò qí xiè"},      {"欧阳修", "ōu yáng xiū"},
        {"黄思婷", "huáng sī tíng"},
    };
    for (const auto& [name, reading] : names) EXPECT_EQ(pinyinOf(name), reading);
    // In the given name the character reads as usual.
    EXPECT_EQ(pinyinOf("张曾"), "zhāng céng");
    EXPECT_EQ(pinyinOf("王单"), "wáng dān");
}

TEST(Pinyin, CompoundSurnamesAreOneSurname) {
    const ScoredName n = scored("欧阳修");
    EXPECT_EQ(n.surnameCharacters, 2);
    EXPECT_EQ(test::surnameOf(n), "欧阳");
    EXPECT_EQ(test::givenOf(n), std::vector<std::string>{"修"});
    EXPECT_EQ(n.grids, (FiveGrids{32, 27, 11, 42, 16}));
    // Two characters are a single surname and a given name, even when they form a compound.
    EXPECT_EQ(scored("欧阳").surnameCharacters, 1);
    // Four characters need a compound surname.
    ScoredName out;
    ScoreFailure why = ScoreFailure::None;
    EXPECT_FALSE(scoreName(shipped(), "张王李赵", out, &why));
    EXPECT_EQ(why, ScoreFailure::Length);
    EXPECT_FALSE(scoreName(shipped(), "张a", out, &why));
    EXPECT_EQ(why, ScoreFailure::Unknown);
    EXPECT_FALSE(scoreName(shipped(), "张", out, &why));
    EXPECT_EQ(why, ScoreFailure::Length);
    EXPECT_EQ(scoreOnly(shipped(), "欧阳修文武"), -1);
}

// The database and the resource files give the engine the same data.
// ---- Sounds ------------------------------------------------------------------------------

bool hasNote(const ScoredName& n, std::string_view text) {
    for (const Note& note : n.notes) {
        if (note.text == text) return true;
    }
    return false;
}

std::vector<std::string> homophones(const ScoredName& n) {
    std::vector<std::string> out;
    for (const Note& note : n.notes) {
        if (note.text.starts_with("谐音:")) out.push_back(note.text);
    }
    return out;
}

TEST(SoundCheck, TheComplaintsAreCaught) {
    const std::pair<const char*, const char*> bad[] = {
        {"吴仁耀", "谐音:无人要"}, {"伍桂辰", "谐音:乌龟"},   {"关帆彤", "谐音:饭桶"},
        {"何纯竹", "谐音:蠢猪"},   {"杜子腾", "谐音:肚子疼"}, {"范统", "谐音:饭桶"},
        {"吴勇", "谐音:无用"},     {"王银剑", "谐音:淫贱"},   {"张狗", "谐音:狗"},
        {"史珍香", "谐音:屎真香"}, {"胡丽", "谐音:狐狸"},
    };
    for (const auto& [name, note] : bad) {
        const ScoredName n = scored(name);
        EXPECT_TRUE(n.badSound) << name;
        EXPECT_TRUE(hasNote(n, note)) << name << ": " << test::notesText(n);
    }
}

TEST(SoundCheck, OrdinaryNamesPass) {
    for (const char* name :
         {"黄思婷",   "张伟",   "王芳",   "李娜",   "刘洋",     "陈静",   "曾国藩",
          "单田芳",   "欧阳修", "司马光", "诸葛亮", "上官婉儿", "尉迟恭", "令狐冲",
          "长孙无忌", "仇英",   "朴树",   "解缙",   "查良镛",   "区志坚", "翟天临"}) {
        const ScoredName n = scored(name);
        EXPECT_FALSE(n.badSound) << name;
        EXPECT_TRUE(homophones(n).empty()) << name << ": " << test::notesText(n);
    }
}

TEST(SoundCheck, WhereAnEntryMayMatch) {
    // A single syllable never matches the surname: 苟 gǒu is a surname.
    EXPECT_FALSE(scored("苟明").badSound);
    EXPECT_TRUE(scored("明狗").badSound);
    // A sequence wholly inside a compound surname does not count, one that reaches into the
    // given name does: 司马 sī mǎ + 桶 would read ma tong (马桶).
    EXPECT_FALSE(scored("司马光").badSound);
    EXPECT_TRUE(scored("司马桶").badSound);
    // An entry is reported once, however often it matches.
    EXPECT_EQ(homophones(scored("张狗狗")), std::vector<std::string>{"谐音:狗"});
    // An entry with tones matches those tones only: 淫贱 yín jiàn, not 尹建 yǐn jiàn; 阳痿 yáng
    // wěi, not 杨威 yáng wēi. One without tones matches any: 伍桂 wǔ guì and 吴贵 wú guì (乌龟).
    EXPECT_FALSE(scored("尹建华").badSound);
    EXPECT_TRUE(scored("王银剑").badSound);
    EXPECT_TRUE(scored("杨伟").badSound);
    EXPECT_FALSE(scored("杨威").badSound);
    EXPECT_TRUE(scored("吴贵").badSound);
}

TEST(SoundCheck, TonesInitialsAndFinals) {
    EXPECT_TRUE(hasNote(scored("何纯竹"), "声调:三字同调"));  // hé chún zhú
    EXPECT_TRUE(hasNote(scored("李晓敏"), "声调:三字同调"));  // lǐ xiǎo mǐn
    EXPECT_TRUE(hasNote(scored("李志伟"), "声调:仄仄仄"));    // lǐ zhì wěi
    EXPECT_TRUE(hasNote(scored("黄思婷"), "声调:平平平"));    // huáng sī tíng
    EXPECT_TRUE(hasNote(scored("赵志刚"), "声调:去声相连"));  // zhào zhì gāng
    EXPECT_TRUE(hasNote(scored("张振华"), "声母重复:zh"));    // zhāng zhèn huá
    EXPECT_TRUE(hasNote(scored("张芳"), "韵母重复:ang"));     // zhāng fāng
    EXPECT_FALSE(hasNote(scored("王芳"), "韵母重复:ang"));    // wáng fāng: uang, ang
    const ScoredName varied = scored("王子文");               // wáng zǐ wén
    for (const Note& n : varied.notes) EXPECT_FALSE(n.text.starts_with("声")) << n.text;
}

// ---- Score -------------------------------------------------------------------------------

// The points of every part of the score for real names, worked out by hand from their grids, the
// ratings of wuge.tsv and sancai.tsv and their readings: 人格 30, 地格 15, 总格 15, 外格 5 (a 吉
// class number all, 半吉 half rounded down, 凶 none), 三才 20 by level, 音律 10 less its
// deductions, 用字 5 less 2 a rare given character, 谐音 -40 each; the sum, never below 0. A
// change of any one weight changes a row.
struct Points {
    const char* name;
    int person, earth, total, outer, sancai, sound, chars, badSounds;
    int score;
};

void PrintTo(const Points& p, std::ostream* os) { *os << p.name; }

// The parts of a scored name: each part's weight less what its notes cost.
Points pointsOf(const ScoredName& n) {
    Points p{"", 30, 15, 15, 5, 20, 10, 5, 0, n.score};
    for (const Note& note : n.notes) {
        if (note.naming) continue;  // the naming score's, not these parts'
        const std::string_view t = note.text;
        int* part = t.starts_with("人格")     ? &p.person
                    : t.starts_with("地格")   ? &p.earth
                    : t.starts_with("总格")   ? &p.total
                    : t.starts_with("外格")   ? &p.outer
                    : t.starts_with("三才")   ? &p.sancai
                    : t.starts_with("生僻字") ? &p.chars
                    : t.starts_with("谐音")   ? &p.badSounds
                                              : &p.sound;  // 声调, 声母重复, 韵母重复
        *part -= note.points;
    }
    p.sound = std::max(0, p.sound);
    p.chars = std::max(0, p.chars);
    return p;
}

class ScoreParts : public ::testing::TestWithParam<Points> {};

TEST_P(ScoreParts, EveryWeight) {
    const Points& expected = GetParam();
    const ScoredName n = scored(expected.name);
    const Points got = pointsOf(n);
    EXPECT_EQ(std::tie(got.person, got.earth, got.total, got.outer, got.sancai, got.sound,
                       got.chars, got.badSounds),
              std::tie(expected.person, expected.earth, expected.total, expected.outer,
                       expected.sancai, expected.sound, expected.chars, expected.badSounds))
        << test::notesText(n);
    EXPECT_EQ(n.score, expected.score) << test::notesText(n);
    EXPECT_EQ(scoreOnly(shipped(), expected.name), expected.score);
}

INSTANTIATE_TEST_SUITE_P(
    RealNames, ScoreParts,
    ::testing::Values(
        // name          人格 地格 总格 外格 三才 音律 用字 谐音  score     strokes: grids, 三才
        Points{"丁小真", 30, 15, 15, 5, 20, 10, 5, 0, 100},  // 2 3 10: 3 5 13 15 11, 火土火 大吉
        // The grids, each 凶 and 半吉.
        Points{"丁倚舟", 0, 15, 15, 5, 20, 10, 5, 0, 70},     // 2 10 6: 人格 12 凶
        Points{"万超冬", 15, 15, 15, 5, 20, 10, 5, 0, 85},    // 15 12 5: 人格 27 半吉
        Points{"丁帅可", 30, 0, 15, 5, 20, 10, 5, 0, 85},     // 2 9 5: 地格 14 凶
        Points{"丁业豪", 30, 7, 15, 5, 20, 10, 5, 0, 92},     // 2 13 14: 地格 27 半吉
        Points{"丁韬蕴", 30, 15, 0, 5, 20, 10, 5, 0, 85},     // 2 19 22: 总格 43 凶
        Points{"丁韵羽", 30, 15, 7, 5, 20, 10, 5, 0, 92},     // 2 19 6: 总格 27 半吉
        Points{"丁瑞虹", 30, 15, 15, 0, 20, 10, 5, 0, 95},    // 2 14 9: 外格 10 凶
        Points{"欧阳月婷", 30, 15, 15, 2, 20, 10, 5, 0, 97},  // 15 17 4 12: 外格 15+12 半吉
        Points{"王丁", 30, 15, 15, 5, 20, 10, 5, 0, 100},  // 4 2: 外格 2, the shape's, not judged
        // The three talents, every level below 大吉.
        Points{"丁浚寒", 30, 15, 15, 5, 17, 10, 5, 0, 97},  // 火火火 中吉
        Points{"严磊书", 30, 15, 15, 5, 14, 10, 5, 0, 94},  // 木土土 吉
        Points{"丁爱霏", 30, 15, 15, 5, 10, 10, 5, 0, 90},  // 火土水 吉多于凶
        Points{"丁亦峰", 30, 15, 15, 5, 6, 10, 5, 0, 86},   // 火金土 吉凶参半
        Points{"丁骧允", 30, 15, 15, 5, 2, 10, 5, 0, 82},   // 火水木 凶多于吉
        Points{"丁晓玉", 30, 15, 15, 5, 0, 10, 5, 0, 80},   // 火金木 大凶
        // The sound, each deduction.
        Points{"丁飞清", 30, 15, 15, 5, 20, 5, 5, 0, 95},  // dīng fēi qīng: one tone
        Points{"万久瑗", 30, 15, 15, 5, 20, 7, 5, 0, 97},  // wàn jiǔ yuàn: 仄仄仄
        Points{"丁培书", 30, 15, 15, 5, 20, 8, 5, 0, 98},  // dīng péi shū: 平平平
        Points{"丁振夏", 30, 15, 15, 5, 20, 8, 5, 0, 98},  // zhèn xià: fourth tones in a row
        Points{"丁浩恒", 30, 15, 15, 5, 20, 9, 5, 0, 99},  // hào héng: the initial h twice
        Points{"丁英倚", 30, 15, 15, 5, 20, 9, 5, 0, 99},  // yīng yǐ: the final ing twice
        // Rare characters and bad sounds.
        Points{"黄丏乂", 30, 15, 15, 5, 20, 10, 1, 0, 96},      // 丏 and 乂: two rare characters
        Points{"赵火", 30, 15, 15, 5, 20, 10, 5, -40, 60},      // zhào huǒ: 招祸
        Points{"欧阳屁狗", 30, 15, 15, 5, 20, 10, 5, -80, 20},  // 屁 and 狗
        // 7 7: 人格 14 凶, 总格 14 凶, 金火金 大凶, the final i twice, 屁: 34 - 40, so 0.
        Points{"李屁", 0, 15, 0, 5, 0, 9, 5, -40, 0}));

TEST(Score, TheObviousOrder) {
    // Each name below has everything the one after it has, and something more.
    const ScoredName best = scored("罗大强");       // all grids 吉, 木火土 大吉, varied tones
    const ScoredName halfOuter = scored("罗一子");  // 地格 4 凶, 外格 4 凶
    const ScoredName unlucky = scored("韩璟舟");    // 人格 34 凶, 总格 40 凶, 吉凶参半
    const ScoredName badSound = scored("伍桂辰");   // otherwise good grids, sounds like 乌龟
    EXPECT_EQ(best.score, 100) << test::notesText(best);
    EXPECT_TRUE(
        std::all_of(best.notes.begin(), best.notes.end(), [](const Note& n) { return n.naming; }));
    EXPECT_GT(best.score, halfOuter.score);
    EXPECT_GT(halfOuter.score, unlucky.score);
    EXPECT_TRUE(hasNote(unlucky, "人格 凶"));
    EXPECT_TRUE(hasNote(unlucky, "总格 凶"));
    EXPECT_TRUE(hasNote(unlucky, "三才 吉凶参半"));
    // The same strokes and tones without the bad sound score 40 more: 米 mǐ has 6 strokes as
    // 伍 wǔ.
    ScoredName clean;
    ASSERT_TRUE(scoreName(shipped(), "米桂辰", clean));
    EXPECT_EQ(clean.score - badSound.score, kBadSoundPenalty) << test::notesText(clean);

    std::vector<ScoredName> list = {unlucky, badSound, best, halfOuter};
    sortBestFirst(list, [](const ScoredName& n) { return n.score; });
    std::vector<std::string> order;
    for (const auto& n : list) order.push_back(n.name);
    EXPECT_EQ(order, (std::vector<std::string>{"罗大强", "罗一子", "伍桂辰", "韩璟舟"}));
    // By the numerology score alone: what cannot be scored comes last.
    std::vector<std::string> names = {"韩璟舟", "张", "伍桂辰", "罗大强", "罗一子", "罗山力"};
    sortBestFirst(names, [](const std::string& n) { return scoreOnly(shipped(), n); });
    EXPECT_EQ(names,
              (std::vector<std::string>{"罗大强", "罗山力", "罗一子", "伍桂辰", "韩璟舟", "张"}));
    // As quenvil-cli score sorts, by the order key: a natural name (米桂辰 84) before plain ones
    // of a better numerology (罗大强 71, 罗山力 65), every unusable name (乌龟; 罗一子 a girl's
    // -子 name) after every usable one, whatever its overall score.
    names = {"伍桂辰", "罗一子", "韩璟舟", "张", "罗山力", "罗大强", "米桂辰"};
    sortBestFirst(names, [](const std::string& n) { return orderKeyOnly(shipped(), n); });
    EXPECT_EQ(names, (std::vector<std::string>{"米桂辰", "罗大强", "罗山力", "韩璟舟", "罗一子",
                                               "伍桂辰", "张"}));
}

TEST(BestFirst, KeepsTheOrderOfEqualScoresAndPutsFailuresLast) {
    struct Item {
        int index;
        int score;
    };
    std::vector<Item> items;
    std::mt19937 random(7);
    for (int i = 0; i < 2000; ++i) {
        items.push_back({i, std::max(-1, static_cast<int>(random() % 103) - 2)});  // -1..100
    }
    std::vector<Item> expected = items;
    std::stable_sort(expected.begin(), expected.end(), [](const Item& a, const Item& b) {
        return a.score > b.score;  // -1 sorts last by itself
    });
    sortBestFirst(items, [](const Item& i) { return i.score; });
    ASSERT_EQ(items.size(), expected.size());
    for (size_t i = 0; i < items.size(); ++i) EXPECT_EQ(items[i].index, expected[i].index) << i;
}

TEST(Score, PointsAddUpToTheNotes) {
    // Every point lost is explained by a note, for names of every shape.
    for (const char* name : {"黄思婷", "韩璟舟", "伍桂辰", "欧阳修", "诸葛孔明", "万俟卨", "张曾",
                             "曾国藩", "李屁", "上官婉儿"}) {
        const ScoredName n = scored(name);
        int lost = 0, sound = 0, chars = 0;
        for (const Note& note : n.notes) {
            if (note.naming) continue;  // the naming score's
            if (note.text.starts_with("声")) {
                sound += note.points;
            } else if (note.text.starts_with("生僻字")) {
                chars += note.points;
            } else {
                lost += note.points;
            }
        }
        lost += std::min(sound, kSoundPoints) + std::min(chars, kCharPoints);
        EXPECT_EQ(n.score, std::max(0, 100 - lost)) << name << ": " << test::notesText(n);
        EXPECT_EQ(scoreOnly(shipped(), name), n.score) << name;
    }
}

}  // namespace
}  // namespace quenvil
