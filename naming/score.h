// Scoring a full name from 0 to 100, with notes that say where points were lost.
//
// The score (one place for the formula; the README repeats it):
//
//   grids       65  人格 30, 地格 15, 总格 15, 外格 5; a number of the 吉 class (大吉, 吉) earns
//                   its grid's full points, 半吉 half (rounded down), 凶 nothing. 天格 is the
//                   surname's alone and earns nothing; the 外格 of a single surname with one
//                   given character (always 2) earns its points (outerJudged). Note
//                   "人格 凶" / "外格 半吉" ...
//   三才        20  大吉 20, 中吉 17, 吉 14, 吉多于凶 10, 吉凶参半 6, 凶多于吉 2, 大凶 0.
//                   Note "三才 吉多于凶" ... for anything below 大吉.
//   音律        10  less the milder sound notes of sound_check.h, never below 0: one tone
//                   throughout a name of three or more syllables -5 ("声调:三字同调"); else
//                   all 仄 (tones 3, 4) -3 ("声调:仄仄仄") or all 平 -2; two fourth tones in a
//                   row -2; each initial or final repeated by neighbours -1 ("声母重复:zh").
//   用字         5  less 2 for every given-name character that is rare: neither one of our
//                   curated given-name characters nor in GB2312's first level (the 3,755
//                   common characters); never below 0. Note "生僻字:X".
//   谐音       -40  for every bad-sounding sequence the name hits (sound_check.h), taken from
//                   the sum; the score never goes below 0. Note "谐音:肚子".
//
// A name whose grids are all 吉 class, with a 大吉 configuration, varied tones and common
// characters scores 100. A name the favourable rule of favourable.h keeps loses no points in
// 人格, 地格 and 总格, at most 3 for 外格 and at most 14 for the configuration.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/grid_rule.h"
#include "naming/naming_data.h"
#include "naming/note.h"

namespace quenvil {

// Points of the parts of the score.
inline constexpr int kPersonPoints = 30;
inline constexpr int kEarthPoints = 15;
inline constexpr int kTotalPoints = 15;
inline constexpr int kOuterPoints = 5;
inline constexpr int kSancaiPoints = 20;
inline constexpr int kSoundPoints = 10;
inline constexpr int kCharPoints = 5;
inline constexpr int kBadSoundPenalty = 40;

// Notes of no points that say why a grid rated 凶 is not counted.
inline constexpr const char* kHeavenNotJudgedNote = "天格由姓氏决定，不计分";
inline constexpr const char* kOuterNotJudgedNote = "外格 2: 单姓单名恒为 2，不计分";

// A full name, scored.
struct ScoredName {
    std::string name;           // the full name, UTF-8
    int characters = 0;         // 2..4
    int surnameCharacters = 0;  // 1 or 2 (a compound surname of compound_surnames.txt)
    std::array<char32_t, 4> codePoints{};
    std::array<int32_t, 4> strokes{};        // per character, in reading order
    std::array<uint16_t, 4> syllables{};     // the reading of each character: ids of the NamingData
                                             // that scored the name (NamingData::syllable)
    FiveGrids grids;                         // 天格 人格 地格 总格 外格
    std::array<LuckClass, 5> gridClasses{};  // the same order
    std::string sancai;                      // "火木木"
    SancaiLevel sancaiLevel = SancaiLevel::Worst;
    bool badSound = false;    // hits an entry of the bad-sound list
    int score = 0;            // the numerology score, 0..100
    int naming = 0;           // the naming score, 0..100 (naming_score.h)
    int overall = 0;          // the mean of the two, which orders names
    bool usable = true;       // false: a refused word, a famous name ... (naming_score.h)
    int32_t sourceLine = -1;  // a line of the classics holding the given name, or -1
    std::vector<Note> notes;  // bad sounds first, then as the formula
};

// Why a name could not be scored.
enum class ScoreFailure {
    None,
    Length,   // fewer than 2 or more than 4 characters, or 4 without a compound surname
    Unknown,  // a character without a stroke count or a reading (or not a CJK ideograph)
};

// Scores a full name (UTF-8): a compound surname of the list when the name starts with one and
// has a given name after it, else a single-character surname; one or two given characters.
// Returns false (and says why) when the name cannot be scored; out is then unspecified.
// sex is the list's ('m', 'f'), or 'n' when it is not known: it decides the word rules of one sex
// and the naming score's gender points (naming_score.h).
bool scoreName(const NamingData& data, std::string_view name, ScoredName& out,
               ScoreFailure* why = nullptr, char sex = 'n');

// The score alone, without filling a ScoredName (for sorting large lists); -1 when the name
// cannot be scored. Always equal to the score of scoreName. badSound, when given, says whether
// the name hits a bad sound.
int scoreOnly(const NamingData& data, std::string_view name, bool* badSound = nullptr);

// The scores of a name without its notes and texts (for ranking many names quickly); false when
// the name cannot be scored. Always equal to the scores of scoreName.
struct Ranking {
    int numerology = 0, naming = 0, overall = 0;
    bool usable = true;
    int32_t sourceLine = -1;
    int key() const;  // orderKey of naming_score.h
};
bool rankName(const NamingData& data, std::string_view name, Ranking& out, char sex = 'n');
// The same for a name given as its code points.
bool rankName(const NamingData& data, std::span<const char32_t> name, Ranking& out, char sex = 'n');

// The key that orders a name among others (orderKey of naming_score.h); -1 when the name cannot
// be scored.
int orderKeyOnly(const NamingData& data, std::string_view name, char sex = 'n');

}  // namespace quenvil
