// A scored name's whole reading as text: for the detail box of the recommendation window, and
// several names side by side for the comparison.
#pragma once

#include <string>
#include <vector>

#include "naming/naming_data.h"
#include "naming/score.h"

namespace quenvil {

// The whole reading of a scored name for the detail box, UTF-8, one item a line: the name and
// its scores, pinyin and strokes, the meanings of the given-name characters, the line of a classic
// it comes from (its two characters marked 【】), the five grids with their ratings and meanings,
// the three talents with theirs, and the notes with the points each cost.
std::string detailText(const NamingData& data, const ScoredName& scored);

// Names side by side: one row per aspect (评分, 数理分, 取名分, 拼音, 声调, 笔画, the five grids
// with their ratings, 三才, 字义, 出处, 说明), its caption first, then one cell per name.
std::vector<std::vector<std::string>> comparisonRows(const NamingData& data,
                                                     const std::vector<ScoredName>& names);
// The same as text: one line per row, cells separated by tabs.
std::string comparisonText(const std::vector<std::vector<std::string>>& rows);

}  // namespace quenvil
