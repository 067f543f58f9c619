// The classic report: its reading of the stroke fields and its lines.
#include "analysis/five_grids.h"

#include "text/gbk.h"
#include "text/integer.h"

namespace quenvil {
namespace {

// No read lock is kept while the report is on the screen.
std::string meaning(DataSet& ds, const char* sql, std::string_view gbkValue) {
    return queryText(ds, sql, {Param::gbk(gbkValue)}, "hanyi").value_or("");
}

}  // namespace

FiveGrids computeFiveGrids(const StrokeFieldTexts& t) {
    // Converted one by one in field order, so that the first field that is no number is named.
    const int32_t s1 = toInteger(t[0]);
    const int32_t s2 = toInteger(t[1]);
    if (t[2] == "0") return computeGrids(std::array{s1}, std::array{s2});
    const int32_t s3 = toInteger(t[2]);
    if (t[3] == "0") return computeGrids(std::array{s1}, std::array{s2, s3});
    const int32_t s4 = toInteger(t[3]);
    return computeGrids(std::array{s1, s2}, std::array{s3, s4});
}

std::vector<std::string> analysisReport(const StrokeFieldTexts& fields, const CharacterSlots& slots,
                                        DataSet& ds) {
    const FiveGrids g = computeFiveGrids(fields);
    const int32_t numbers[5] = {g.heaven, g.person, g.earth, g.total, g.outer};
    std::string meanings[5];
    for (int i = 0; i < 5; ++i) {
        meanings[i] = meaning(ds, "select * from wuge where shuzi=?", std::to_string(numbers[i]));
    }
    const std::string key = utf8ToGbk(threeTalentsKey(g));
    const std::string keyMeaning = meaning(ds, "select * from sancai where sancai=?", key);

    std::vector<std::string> lines;
    const std::string strokesLabel = utf8ToGbk("  的笔画是: ");
    for (size_t i = 0; i < kSlotCount; ++i) {
        if (!slots[i].empty()) lines.push_back(slots[i] + strokesLabel + fields[i]);
    }
    lines.emplace_back();
    const char* labels[5] = {"天格是: ", "人格是: ", "地格是: ", "总格是: ", "外格是: "};
    for (int i = 0; i < 5; ++i) {
        lines.push_back(utf8ToGbk(labels[i]) + std::to_string(numbers[i]));
        lines.push_back(meanings[i]);
        lines.emplace_back();
    }
    lines.push_back(utf8ToGbk("五行是: ") + key);
    lines.push_back(keyMeaning);
    lines.emplace_back();
    return lines;
}

}  // namespace quenvil
