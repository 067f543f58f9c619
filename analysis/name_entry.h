// Name entry: trimming, the blocked names, the cut into four character slots and their strokes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/stroke_lookup.h"

namespace quenvil {

inline constexpr size_t kSlotCount = 4;
using CharacterSlots = std::array<std::string, kSlotCount>;  // GBK, each empty or one unit
using StrokeCounts = std::array<int32_t, kSlotCount>;

// Message of a blocked name (information box).
inline constexpr const char* kInvalidNameMessage = "输入不合法，请重新输入！";
// Message of a name that has more than four characters (information box).
inline constexpr const char* kNameTooLongMessage = "姓名最多只能有四个汉字，请重新输入！";

// The six full names that the name field refuses (GBK).
const std::vector<std::string>& blockedNames();

struct NameCut {
    enum class Outcome { Accepted, Blocked, TooLong } outcome = Outcome::Accepted;
    CharacterSlots slots;  // filled only when accepted
};

// Trims the typed name (GBK), checks it against the blocked names and cuts it into units.
NameCut cutName(std::string_view typedGbk);

// Looks up the strokes of every filled slot in order; empty slots count 0.
StrokeCounts slotStrokes(const CharacterSlots& slots, StrokeLookup& lookup);

}  // namespace quenvil
