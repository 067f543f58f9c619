// The ratings of the grid numbers and of the three-talent configurations, and the rule that
// says which given-name stroke counts are favourable for a surname.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/grid_rule.h"

namespace quenvil {

// The class of a number 1..81 (wuge.jixiong): 大吉 and 吉 form the 吉 class.
enum class LuckClass : uint8_t { Good, Half, Bad };  // 吉, 半吉, 凶

// The seven levels of a three-talent configuration (sancai.jixiong), best first.
enum class SancaiLevel : uint8_t {
    Best,        // 大吉
    Great,       // 中吉
    Good,        // 吉
    MostlyGood,  // 吉多于凶
    Even,        // 吉凶参半
    MostlyBad,   // 凶多于吉
    Worst,       // 大凶
};

// "吉" / "半吉" / "凶" and the seven level names, UTF-8.
std::string_view luckClassName(LuckClass c);
std::string_view sancaiLevelName(SancaiLevel l);
// The class of a wuge rating text (大吉, 吉 -> Good; 半吉 -> Half; 凶 -> Bad); false when the text
// is none of these.
bool parseLuckClass(std::string_view rating, LuckClass& out);
// The level of a sancai rating text; false when the text is not one of the seven levels.
bool parseSancaiLevel(std::string_view rating, SancaiLevel& out);

// Numbers past 81 count as n - 80 (repeatedly); 0 and below stay as they are (no rating).
int32_t reduceNumber(int32_t n);

// The classes of the numbers 1..81 and the levels of the 125 configurations.
class Ratings {
  public:
    void setNumber(int32_t n, LuckClass c);        // n in 1..81
    void setSancai(int index, SancaiLevel level);  // index as threeTalentsIndex
    // True when every number 1..81 and every configuration has a rating.
    bool complete() const;

    // The class of a grid number; numbers past 81 as n - 80. Numbers below 1 are Bad.
    LuckClass number(int32_t n) const {
        n = reduceNumber(n);
        return n >= 1 && n <= 81 ? numbers_[n] : LuckClass::Bad;
    }
    SancaiLevel sancai(const FiveGrids& g) const { return sancai_[threeTalentsIndex(g)]; }
    SancaiLevel sancaiAt(int index) const { return sancai_[index]; }

  private:
    std::array<LuckClass, 82> numbers_{};
    std::array<SancaiLevel, kThreeTalentsCount> sancai_{};
    std::array<bool, 82> numberSet_{};
    std::array<bool, kThreeTalentsCount> sancaiSet_{};
};

// The favourable rule: 人格, 地格 and 总格 in the 吉 class, 外格 not 凶, and the three talents
// neither 凶多于吉 nor 大凶. The same rule for every surname and every shape; judgeOuter false
// for the shape whose 外格 is not judged (outerJudged in grid_rule.h).
bool isFavourable(const FiveGrids& g, const Ratings& r, bool judgeOuter = true);

// The stroke counts of a given name, one or two characters (second = 0 for one).
struct GivenCounts {
    int32_t first = 0;
    int32_t second = 0;
    friend bool operator==(const GivenCounts&, const GivenCounts&) = default;
};

// Every favourable given-name count (length 1) or pair of counts (length 2) for a surname, each
// count from 1 to maxStrokes, in increasing order of first, then second.
std::vector<GivenCounts> favourableCounts(std::span<const int32_t> surnameStrokes, int length,
                                          const Ratings& r, int32_t maxStrokes = 40);

}  // namespace quenvil
