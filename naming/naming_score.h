// How natural a name is to a parent, from 0 to 100, beside its numerology score (score.h), and
// the overall score that orders names.
//
// The naming score (one place for the formula; the README repeats it):
//
//   用字  50  each given-name character by its tier in resources/given_name_chars.txt: 首选 25,
//             雅 20, 平 12, 避 0; a character outside that list 8 when it is common (GB2312's
//             first level), else 0. A single given character counts twice. Note "用字:国(平)".
//   搭配  30  a given name that parents really choose (resources/given_names.tsv) and that fits
//             the name's sex 30, or 20 when it is worn out by over-use (note "常见:子涵"); two
//             characters of one line of a classic, in their order, 20; any other pair 10. A
//             single given name 20.
//   音律  20  less twice the cost of the milder sound notes of sound_check.h (tones, repeated
//             initials and finals), never below 0; the notes are the numerology score's.
//   位置 -10  for each character that stands where it does not sit well (然 first, 子 last).
//             Note "位置:然".
//   性别 -10  for each character that leans to the other sex than the list's. Note "性别:明".
//   词语 -40  for each word rule of resources/name_words.tsv whose action is mark. Note its
//             reason and the two characters: "俗语:大海".
//
// Never below 0 nor above 100. A name is unusable, with naming score 0, when it hits a bad sound,
// a word rule whose action is refuse, a famous person's name (note "与名人同名:诸葛亮"), or
// doubles a character the list does not allow doubled (note "叠字:XX").
//
// The overall score is the mean of the two, rounded up: (numerology + naming + 1) / 2. Names are
// ordered by it, every usable name before every unusable one (orderKey).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "naming/naming_data.h"
#include "naming/note.h"

namespace quenvil {

inline constexpr int kTierPoints[5] = {0, 25, 20, 12, 0};  // by tier 1..4
inline constexpr int kUncuratedCommonPoints = 8;
inline constexpr int kAttestedPairPoints = 30;
inline constexpr int kOverusedPairPoints = 20;
inline constexpr int kClassicPairPoints = 20;
inline constexpr int kOtherPairPoints = 10;
inline constexpr int kSingleGivenPairPoints = 20;
inline constexpr int kNamingSoundPoints = 20;
inline constexpr int kPlaceCost = 10;
inline constexpr int kLeanCost = 10;
inline constexpr int kMarkedWordCost = 40;

struct NamingResult {
    int points = 0;
    bool usable = true;
    int32_t sourceLine = -1;  // the first line of a classic holding the given name, or -1
};

// The naming score of a full name: its code points, the number of them that are its surname,
// the cost of its milder sound notes (soundCost of sound_check.h), whether it hits a bad sound,
// and the sex of the list ('m', 'f', or 'n' when it is not known). Appends its notes (marked
// as naming notes) when notes is given.
NamingResult namingScore(const NamingData& data, std::span<const char32_t> codePoints,
                         size_t surnameCharacters, int soundCost, bool badSound, char sex,
                         std::vector<Note>* notes);

inline int overallScore(int numerology, int naming) { return (numerology + naming + 1) / 2; }

// The key that orders names best first (larger first): usable names above unusable ones, then
// the overall score. 0..201.
inline int orderKey(bool usable, int overall) { return (usable ? 101 : 0) + overall; }

}  // namespace quenvil
