// Names worked out by hand with the five-grid rule: the four stroke fields as typed, the five
// grids (heaven, person, earth, total, outer) and the three-talent key. Shared by the tests of the
// rule, the report window and the terminal.
#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace quenvil::test {

struct WorkedExample {
    std::array<std::string, 4> fields;
    std::array<int32_t, 5> grids;
    std::string key;  // UTF-8
};

inline const std::vector<WorkedExample>& workedExamples() {
    static const std::vector<WorkedExample> examples = {
        {{"7", "10", "0", "0"}, {8, 17, 11, 17, 2}, "金金木"},     // one given character
        {{"12", "9", "12", "0"}, {13, 21, 21, 33, 13}, "火木木"},  // two given characters
        {{"10", "5", "8", "7"}, {15, 13, 15, 30, 17}, "土火土"},   // four characters
        {{"0", "0", "0", "0"}, {1, 0, 1, 0, 2}, "木水木"},         // nothing entered
        {{"7", "10", "0", "x"}, {8, 17, 11, 17, 2}, "金金木"},     // the unused field is not read
        {{"-7", "2", "0", "0"}, {-6, -5, 3, -5, 2}, "水水火"},     // negative numbers are water
    };
    return examples;
}

inline void PrintTo(const WorkedExample& e, std::ostream* os) {
    *os << e.fields[0] << "," << e.fields[1] << "," << e.fields[2] << "," << e.fields[3];
}

}  // namespace quenvil::test
