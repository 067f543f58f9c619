// The five-grid rule, written once: the five grids (五格) of a name of any shape, the five-element
// class (五行) of a grid number and the three-talent key. The classic report (five_grids.h) and
// the recommendation engine (naming/) both compute with these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quenvil {

// The five grid numbers of a name.
struct FiveGrids {
    int32_t heaven = 0;  // 天格
    int32_t person = 0;  // 人格
    int32_t earth = 0;   // 地格
    int32_t total = 0;   // 总格
    int32_t outer = 0;   // 外格

    friend bool operator==(const FiveGrids&, const FiveGrids&) = default;
};

// The grids of a name from the stroke counts of its surname (one or two characters) and of its
// given name (one or two characters), in reading order:
//   天格  a single surname + 1; a compound surname's two characters
//   人格  the last surname character + the first given character
//   地格  both given characters; a single given character + 1
//   总格  every character
//   外格  single surname: the last given character + 1 with two given characters, 2 with one;
//         compound surname: the first surname character + the last given character with two
//         given characters, the first surname character + 1 with one
// Sums wrap around like 32-bit machine arithmetic instead of overflowing. Any other length is a
// programming error: the function returns all-zero grids for it.
FiveGrids computeGrids(std::span<const int32_t> surnameStrokes,
                       std::span<const int32_t> givenStrokes);

// Whether the 外格 of a shape says anything about the name. A single surname with one given
// character always has 外格 2 (the two added ones), whatever the characters: the number is the
// shape's, not the name's, so it is not judged (2 is rated 凶, and judging it would rule out
// every such name).
inline bool outerJudged(size_t surnameCharacters, size_t givenCharacters) {
    return !(surnameCharacters == 1 && givenCharacters == 1);
}

// The five elements in the order of their index: 木 0, 火 1, 土 2, 金 3, 水 4.
inline constexpr int kElementCount = 5;
// The element of a number by its remainder on truncating division by 10: 1 2 木, 3 4 火, 5 6 土,
// 7 8 金, 9 0 水. A negative number leaves a negative remainder and is 水.
int elementIndex(int32_t n);
// The name of an element index ("木"), UTF-8.
std::string_view elementName(int index);
// The name of the element of a number: elementName(elementIndex(n)).
const char* elementClass(int32_t n);

// The three talents (三才): the elements of 天格, 人格 and 地格 as one index 0..124
// (25 heaven + 5 person + earth), and as text ("火木木", UTF-8).
inline constexpr int kThreeTalentsCount = 125;
int threeTalentsIndex(const FiveGrids& grids);
std::string threeTalentsKey(const FiveGrids& grids);
// The key of an index (0..124), the inverse of threeTalentsIndex.
std::string_view threeTalentsKeyOfIndex(int index);

}  // namespace quenvil
