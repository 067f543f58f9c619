// The classic five-grid report: the grids of a name from its four stroke fields, and the report
// lines with their meanings.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/grid_rule.h"
#include "analysis/name_entry.h"
#include "data/data_set.h"

namespace quenvil {

using StrokeFieldTexts = std::array<std::string, kSlotCount>;  // GBK texts of the four fields

// The grids of the four stroke fields by the report's own reading of a name, chosen by comparing
// the field texts with "0": third field "0", a single surname with one given character; else
// fourth field "0", a single surname with two; else a compound surname with two. Only the fields
// that reading uses are converted, in field order (ConversionError on failure); the grids are
// then computeGrids' of that shape.
FiveGrids computeFiveGrids(const StrokeFieldTexts& fields);

// The analysis command without its window: grids, the six meaning queries through the data set,
// then the report lines (GBK). Nothing is returned unless every query succeeded.
std::vector<std::string> analysisReport(const StrokeFieldTexts& fields, const CharacterSlots& slots,
                                        DataSet& dataSet);

}  // namespace quenvil
