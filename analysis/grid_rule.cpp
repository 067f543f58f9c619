// The five-grid rule.
#include "analysis/grid_rule.h"

#include <array>

namespace quenvil {
namespace {

// Sums wrap around like 32-bit machine arithmetic instead of overflowing.
int32_t add(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

constexpr std::string_view kElementNames[kElementCount] = {"木", "火", "土", "金", "水"};

}  // namespace

FiveGrids computeGrids(std::span<const int32_t> s, std::span<const int32_t> g) {
    if (s.empty() || s.size() > 2 || g.empty() || g.size() > 2) return {};
    const bool compound = s.size() == 2;
    const bool twoGiven = g.size() == 2;
    const int32_t surname = compound ? add(s[0], s[1]) : s[0];
    const int32_t given = twoGiven ? add(g[0], g[1]) : g[0];
    FiveGrids r;
    r.heaven = compound ? surname : add(s[0], 1);
    r.person = add(s.back(), g[0]);
    r.earth = twoGiven ? given : add(g[0], 1);
    r.total = add(surname, given);
    if (compound) {
        r.outer = add(s[0], twoGiven ? g[1] : 1);
    } else {
        r.outer = twoGiven ? add(g[1], 1) : 2;
    }
    return r;
}

int elementIndex(int32_t n) {
    static constexpr int kByDigit[10] = {4, 0, 0, 1, 1, 2, 2, 3, 3, 4};
    const int32_t digit = n % 10;
    return digit < 0 ? 4 : kByDigit[digit];
}

std::string_view elementName(int index) { return kElementNames[index]; }

// The names are literals: their views end in a NUL.
const char* elementClass(int32_t n) { return elementName(elementIndex(n)).data(); }

int threeTalentsIndex(const FiveGrids& g) {
    return 25 * elementIndex(g.heaven) + 5 * elementIndex(g.person) + elementIndex(g.earth);
}

std::string_view threeTalentsKeyOfIndex(int index) {
    // Made once: the keys are written for every name scored.
    static const std::array<std::string, kThreeTalentsCount> keys = [] {
        std::array<std::string, kThreeTalentsCount> all;
        for (int i = 0; i < kThreeTalentsCount; ++i) {
            for (int element : {i / 25, i / 5 % 5, i % 5}) all[i] += elementName(element);
        }
        return all;
    }();
    return keys[static_cast<size_t>(index)];
}

std::string threeTalentsKey(const FiveGrids& g) {
    return std::string(threeTalentsKeyOfIndex(threeTalentsIndex(g)));
}

}  // namespace quenvil
