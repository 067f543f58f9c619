// Name entry logic.
#include "analysis/name_entry.h"

#include <algorithm>

#include "text/gbk.h"
#include "text/units.h"

namespace quenvil {

const std::vector<std::string>& blockedNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> v;
        for (const char* n : {"王八蛋", "狗东西", "神经病", "二百五", "死胖子", "臭流氓"}) {
            v.push_back(utf8ToGbk(n));
        }
        return v;
    }();
    return names;
}

NameCut cutName(std::string_view typedGbk) {
    NameCut cut;
    const std::string_view name = trimControl(typedGbk);
    const auto& blocked = blockedNames();
    if (std::find(blocked.begin(), blocked.end(), name) != blocked.end()) {
        cut.outcome = NameCut::Outcome::Blocked;
        return cut;
    }
    const std::vector<std::string> units = cutUnits(name);
    if (units.size() > kSlotCount) {
        cut.outcome = NameCut::Outcome::TooLong;
        return cut;
    }
    std::copy(units.begin(), units.end(), cut.slots.begin());
    return cut;
}

StrokeCounts slotStrokes(const CharacterSlots& slots, StrokeLookup& lookup) {
    StrokeCounts counts{};
    for (size_t i = 0; i < kSlotCount; ++i) {
        if (!slots[i].empty()) counts[i] = lookup.strokes(slots[i]);
    }
    return counts;
}

}  // namespace quenvil
