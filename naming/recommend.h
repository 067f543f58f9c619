// Candidate names for a surname: from the curated given-name characters, by the favourable rule,
// sound-checked, kept to one sex when asked, scored and sorted.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "naming/classics.h"
#include "naming/naming_data.h"
#include "naming/score.h"

namespace quenvil {

enum class Gender { Male, Female, Any };

struct RecommendOptions {
    Gender gender = Gender::Any;  // Male: no 'f' character; Female: no 'm' character
    int length = 2;               // given-name characters, 1 or 2
    // A fixed given-name character (字辈), UTF-8, one character; empty for none. It may be any
    // character with a stroke count and a reading, curated or not, and is not held to the
    // gender rule (a family's generation character is given).
    std::string fixed;
    // Where the fixed character stands, counted in the full name as for a single surname:
    // 2 = the first given-name character, 3 = the second (needs length 2). The same meaning for
    // a compound surname (its given name's first or second character).
    int fixedAt = 2;
    size_t top = 100;  // how many names at most; 0 for every one
    // A character the given name must hold, anywhere (UTF-8, one character); empty for any.
    std::string with;
    // Where the names come from: every candidate (Source::All), only names whose two given
    // characters stand in one line of a classic (Any), or in one line of one book.
    enum class Source { All, AnyClassic, OneBook } source = Source::All;
    Book book = Book::Shijing;  // with Source::OneBook
    // Whether the first names are made varied (kVarietyBlock ...); false gives the plain best-first
    // order.
    bool varied = true;
};

// The top of a list holds no given-name character more than this many times ...
inline constexpr int kVarietyCharLimit = 2;
// ... and at least this many stroke patterns of the given name where the candidates have them,
inline constexpr size_t kVarietyPatterns = 5;
// ... within each block of this many names, over the first kVarietyDepth names.
inline constexpr size_t kVarietyBlock = 20;
inline constexpr size_t kVarietyDepth = 200;

// Bad options or an unknown surname; the message says which (UTF-8).
class RecommendError : public std::invalid_argument {
  public:
    using std::invalid_argument::invalid_argument;
};

// True when the surname is a compound surname of the list or a single character with a stroke
// count and a reading.
bool isKnownSurname(const NamingData& data, std::string_view surname);

// The best names for a surname (UTF-8), best first, at most options.top (all for 0), without
// duplicates. Every name is favourable by isFavourable, usable (naming_score.h: no bad sound, no
// refused word, no famous name, no doubled character the list does not allow) and respects the
// gender rule. Candidates are the curated characters of tier 1 to 3, each where it sits well,
// and the attested given names of curated characters; their given characters fit the sex.
// Order: orderKey, then the naming score, then the numerology score, then the characters'
// ranks; then each block of kVarietyBlock names over the first kVarietyDepth is made varied
// (kVarietyCharLimit, kVarietyPatterns) by taking later names forward. Throws RecommendError
// for an unknown surname or options out of range.
std::vector<ScoredName> recommend(const NamingData& data, std::string_view surname,
                                  const RecommendOptions& options);

// The gender rule for one pair of characters' kinds ('m', 'f', 'n').
bool fitsGender(char kind, Gender gender);

}  // namespace quenvil
