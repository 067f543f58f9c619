// The fixed stroke-pair data.
#include "naming/stroke_pair_table.h"

#include <iterator>

namespace quenvil {
namespace {

// clang-format off
constexpr StrokePair r2[] = {{9, 4}, {1, 10}, {19, 4}, {11, 10}, {3, 10}, {13, 10}};
constexpr StrokePair r3[] = {{13, 5}, {12, 6}, {8, 24}, {10, 22}, {3, 12}, {20, 12}, {8, 5}};
constexpr StrokePair r4[] = {{20, 15}, {9, 12}, {9, 2}, {13, 4}, {13, 12}, {9, 4}, {9, 22}, {19, 12}, {3, 14}};
constexpr StrokePair r5[] = {{20, 4}, {10, 14}, {12, 4}, {2, 6}, {18, 14}, {10, 6}, {8, 5}, {8, 24}, {12, 6}};
constexpr StrokePair r6[] = {{11, 14}, {9, 14}, {9, 6}, {12, 23}, {19, 4}, {11, 14}, {19, 16}, {9, 16}, {10, 7}};
constexpr StrokePair r7[] = {{10, 6}, {9, 16}, {8, 10}, {11, 14}, {8, 17}, {9, 15}, {30, 15}, {22, 10}, {8, 16}};
constexpr StrokePair r8[] = {{8, 16}, {9, 7}, {9, 6}, {13, 12}, {10, 6}, {3, 12}, {7, 16}, {9, 6}};
constexpr StrokePair r9[] = {{7, 16}, {2, 14}, {2, 4}, {12, 20}, {12, 4}, {9, 6}, {20, 12}, {6, 17}, {8, 7}};
constexpr StrokePair r10[] = {{14, 17}, {11, 10}, {11, 2}, {19, 12}, {11, 12}, {3, 10}, {11, 20}, {13, 12}, {3, 12}};
constexpr StrokePair r11[] = {{21, 20}, {20, 4}, {10, 14}};
constexpr StrokePair r12[] = {{20, 15}, {9, 12}, {23, 12}, {9, 14}};
constexpr StrokePair r12manual[] = {{9, 16}, {13, 4}, {20, 15}, {9, 12}, {3, 10}, {23, 12}, {9, 14}, {3, 14}};
constexpr StrokePair r13[] = {{18, 14}, {8, 16}, {12, 4}, {12, 23}, {12, 12}, {3, 15}, {18, 17}, {18, 6}, {12, 6}};
constexpr StrokePair r14[] = {{10, 15}, {9, 12}, {3, 12}, {3, 22}, {9, 12}, {9, 6}, {11, 12}, {11, 7}};
constexpr StrokePair r15[] = {{9, 23}, {10, 7}, {9, 7}, {22, 15}, {20, 4}, {2, 14}, {8, 24}, {3, 14}};
constexpr StrokePair r16[] = {{19, 6}, {9, 7}, {9, 4}, {21, 4}, {13, 4}, {9, 6}, {19, 5}, {19, 4}, {2, 14}};
constexpr StrokePair r17[] = {{20, 15}, {8, 16}, {8, 10}, {18, 6}, {8, 10}, {18, 17}, {17, 6}};
constexpr StrokePair r18[] = {{7, 16}, {7, 10}, {7, 6}, {19, 10}, {11, 10}, {3, 12}, {14, 15}, {14, 7}, {11, 6}};
constexpr StrokePair r19[] = {{12, 20}, {12, 4}, {2, 4}, {11, 7}, {6, 7}, {12, 17}, {2, 14}};
// clang-format on

#define QUENVIL_ROWS(twelve)                                                                \
    {r2, std::size(r2)}, {r3, std::size(r3)}, {r4, std::size(r4)}, {r5, std::size(r5)},     \
        {r6, std::size(r6)}, {r7, std::size(r7)}, {r8, std::size(r8)}, {r9, std::size(r9)}, \
        {r10, std::size(r10)}, {r11, std::size(r11)}, {twelve, std::size(twelve)},          \
        {r13, std::size(r13)}, {r14, std::size(r14)}, {r15, std::size(r15)},                \
        {r16, std::size(r16)}, {r17, std::size(r17)}, {r18, std::size(r18)}, {              \
        r19, std::size(r19)                                                                 \
    }

constexpr StrokePairTable::Row filterRows[] = {QUENVIL_ROWS(r12)};
constexpr StrokePairTable::Row manualRows[] = {QUENVIL_ROWS(r12manual)};
#undef QUENVIL_ROWS

}  // namespace

const StrokePairTable& StrokePairTable::filters() {
    static const StrokePairTable table(filterRows);
    return table;
}

const StrokePairTable& StrokePairTable::manual() {
    static const StrokePairTable table(manualRows);
    return table;
}

std::span<const StrokePair> StrokePairTable::row(int32_t surnameStrokes) const {
    if (!hasRow(surnameStrokes)) return {};
    const Row& r = rows_[surnameStrokes - kFirstRow];
    return {r.entries, r.count};
}

size_t StrokePairTable::size() const {
    size_t n = 0;
    for (int32_t s = kFirstRow; s <= kLastRow; ++s) n += row(s).size();
    return n;
}

}  // namespace quenvil
