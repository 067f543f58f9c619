// Candidate names for a surname: from the curated given-name characters, by the favourable rule,
// sound-checked, kept to one sex when asked, scored and sorted.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

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
    size_t top = 100;  // how many names at most
};

// Bad options or an unknown surname; the message says which (UTF-8).
class RecommendError : public std::invalid_argument {
  public:
    using std::invalid_argument::invalid_argument;
};

// True when the surname is a compound surname of the list or a single character with a stroke
// count and a reading.
bool isKnownSurname(const NamingData& data, std::string_view surname);

// The best names for a surname (UTF-8), best first, at most options.top, without duplicates:
// every name is favourable by isFavourable, hits no bad sound, and respects the gender rule;
// the given characters are two different ones. Within one score the first given-name
// characters take turns (each one's best pair by rank, then each one's second ...), in the
// order of their ranks. Throws RecommendError for an unknown surname or options out of range.
std::vector<ScoredName> recommend(const NamingData& data, std::string_view surname,
                                  const RecommendOptions& options);

// The gender rule for one pair of characters' kinds ('m', 'f', 'n').
bool fitsGender(char kind, Gender gender);

}  // namespace quenvil
