// Manual naming logic.
#include "manual_naming/pair_rows.h"

#include "naming/stroke_pair_table.h"
#include "text/gbk.h"
#include "text/integer.h"
#include "text/units.h"

namespace quenvil {

std::string pairRowText(int32_t second, int32_t third) {
    std::string row = std::to_string(second);
    if (row.size() < 22) row.append(22 - row.size(), ' ');
    return row + std::to_string(third);
}

std::optional<std::pair<int32_t, int32_t>> parsePairRow(std::string_view row) {
    if (row.size() < 2) return std::nullopt;
    auto noBlanks = [](std::string_view s) {
        std::string out;
        for (char ch : s) {
            if (ch != ' ') out += ch;
        }
        return out;
    };
    const auto b = parseInteger(noBlanks(row.substr(0, 2)));
    const auto c = parseInteger(noBlanks(row.substr(row.size() - 2)));
    if (!b || !c) return std::nullopt;
    return std::make_pair(*b, *c);
}

Suggestion suggestPairs(std::string_view typedGbk, StrokeLookup& lookup) {
    Suggestion s;
    s.surname = std::string(trimControl(typedGbk));
    s.strokes = lookup.strokes(s.surname);
    s.label = s.surname + utf8ToGbk(" 的笔画是：") + std::to_string(s.strokes);
    const auto row = StrokePairTable::manual().row(s.strokes);
    if (row.empty()) {
        s.rows.push_back(utf8ToGbk(kNoPairsRow));
        s.listEnabled = false;
    } else {
        for (const StrokePair& p : row) s.rows.push_back(pairRowText(p.second, p.third));
    }
    return s;
}

std::optional<std::pair<std::string, std::string>> charactersOfCount(DataSet& ds, int32_t n) {
    // Only the first row is read; no read lock is kept.
    auto hanzi = queryText(ds, "select * from fantizi where bihua=?", {Param::of(n)}, "hanzi");
    if (!hanzi) return std::nullopt;
    return std::make_pair(std::to_string(n) + utf8ToGbk("画的汉字有："), std::move(*hanzi));
}

}  // namespace quenvil
