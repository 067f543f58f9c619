// Five grids, element classes and the report lines.
#include "analysis/five_grids.h"

#include "text/gbk.h"
#include "text/integer.h"

namespace quenvil {
namespace {

// Sums wrap around like 32-bit machine arithmetic instead of overflowing.
int32_t add(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int32_t sub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

std::string meaning(DataSet& ds, const char* sql, std::string_view gbkValue) {
    ds.close();
    ds.setCommandText(sql, {Param::gbk(gbkValue)});
    ds.open();
    ds.release();  // no read lock is kept while the report is on the screen
    return ds.fieldText("hanyi");
}

}  // namespace

FiveGrids computeFiveGrids(const StrokeFieldTexts& t) {
    FiveGrids g;
    if (t[2] == "0") {
        const int32_t s1 = toInteger(t[0]);
        const int32_t s2 = toInteger(t[1]);
        g.heaven = add(s1, 1);
        g.person = add(s1, s2);
        g.earth = add(s2, 1);
        g.total = add(s1, s2);
        g.outer = 2;
    } else if (t[3] == "0") {
        const int32_t s1 = toInteger(t[0]);
        const int32_t s2 = toInteger(t[1]);
        const int32_t s3 = toInteger(t[2]);
        g.heaven = add(s1, 1);
        g.person = add(s1, s2);
        g.earth = add(s2, s3);
        g.total = add(add(s1, s2), s3);
        g.outer = add(s3, 1);
    } else {
        const int32_t s1 = toInteger(t[0]);
        const int32_t s2 = toInteger(t[1]);
        const int32_t s3 = toInteger(t[2]);
        const int32_t s4 = toInteger(t[3]);
        g.heaven = add(s1, s2);
        g.person = add(s2, s3);
        g.earth = add(s3, s4);
        g.total = add(add(add(s1, s2), s3), s4);
        g.outer = sub(g.total, g.person);
    }
    return g;
}

const char* elementClass(int32_t n) {
    switch (n % 10) {
        case 1:
        case 2:
            return "木";
        case 3:
        case 4:
            return "火";
        case 5:
        case 6:
            return "土";
        case 7:
        case 8:
            return "金";
        default:
            return "水";
    }
}

std::string threeTalentsKey(const FiveGrids& g) {
    std::string key;
    key += elementClass(g.heaven);
    key += elementClass(g.person);
    key += elementClass(g.earth);
    return key;
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
