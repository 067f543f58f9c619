// The five grids of a name from its stroke fields, the five-element classes and the report.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/name_entry.h"
#include "data/connection.h"

namespace quenvil {

struct FiveGrids {
    int32_t heaven = 0;
    int32_t person = 0;
    int32_t earth = 0;
    int32_t total = 0;
    int32_t outer = 0;
};

using StrokeFieldTexts = std::array<std::string, kSlotCount>;  // GBK texts of the four fields

// The five-grid rule. The case is chosen by comparing the third and fourth field texts with "0";
// only the fields the case uses are converted, in field order (ConversionError on failure).
FiveGrids computeFiveGrids(const StrokeFieldTexts& fields);

// The five-element class of a number by its remainder on truncating division by 10 (UTF-8).
const char* elementClass(int32_t n);

// Heaven, person and earth classes (UTF-8), e.g. "火木木".
std::string threeTalentsKey(const FiveGrids& grids);

// The analysis command without its window: grids, the six meaning queries through the data set,
// then the report lines (GBK). Nothing is returned unless every query succeeded.
std::vector<std::string> analysisReport(const StrokeFieldTexts& fields, const CharacterSlots& slots,
                                        DataSet& dataSet);

}  // namespace quenvil
