// The five grids (五格) of a name of any shape: a single or a compound surname with one or two
// given-name characters. The rules of every shape are written once, in computeGrids.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace quenvil {

// The five grid numbers of a name.
struct Grids {
    int32_t heaven = 0;  // 天格
    int32_t person = 0;  // 人格
    int32_t earth = 0;   // 地格
    int32_t total = 0;   // 总格
    int32_t outer = 0;   // 外格

    friend bool operator==(const Grids&, const Grids&) = default;
};

// The grids of a name from the stroke counts of its surname (one or two characters) and of its
// given name (one or two characters), in reading order. Any other length is a programming
// error: the function returns all-zero grids for it.
Grids computeGrids(std::span<const int32_t> surnameStrokes, std::span<const int32_t> givenStrokes);

// Whether the 外格 of a shape says anything about the name. A single surname with one given
// character always has 外格 2 (the two added ones), whatever the characters: the number is
// the shape's, not the name's, so it is not judged (2 is rated 凶, and judging it would rule
// out every such name).
inline bool outerJudged(size_t surnameCharacters, size_t givenCharacters) {
    return !(surnameCharacters == 1 && givenCharacters == 1);
}

}  // namespace quenvil
