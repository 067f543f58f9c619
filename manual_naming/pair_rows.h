// Suggestion rows of the manual naming window and the characters of a stroke count.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/data_set.h"
#include "data/stroke_lookup.h"

namespace quenvil {

inline constexpr const char* kNoPairsRow = "没有收录此姓氏的名字组合！";

// "B", blanks up to a width of 22, then "C": "9                     4".
std::string pairRowText(int32_t second, int32_t third);

// Reads B and C back from a row: its first two and last two characters without blanks. Empty when
// the row is not in that layout.
std::optional<std::pair<int32_t, int32_t>> parsePairRow(std::string_view row);

struct Suggestion {
    std::string surname;            // trimmed, GBK
    int32_t strokes = 0;            // of the whole surname text
    std::string label;              // "<surname> 的笔画是：<n>", GBK
    std::vector<std::string> rows;  // pair rows, or the one message row
    bool listEnabled = true;        // false with the message row
};

// The suggestion for a typed surname (GBK): one stroke lookup of the whole trimmed text.
Suggestion suggestPairs(std::string_view typedGbk, StrokeLookup& lookup);

// The heading "<n>画的汉字有：" and the hanzi text of the first fantizi row with n strokes, both
// GBK; nothing when no row has n strokes.
std::optional<std::pair<std::string, std::string>> charactersOfCount(DataSet& dataSet, int32_t n);

}  // namespace quenvil
