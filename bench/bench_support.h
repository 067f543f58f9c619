// Inputs shared by the benchmarks: real name lines from the shipped lists.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "text/lines.h"

namespace quenvil::bench {

// count lines taken round-robin from the shipped name lists of several surnames (GBK).
inline std::vector<std::string> realNames(size_t count) {
    std::vector<std::string> pool;
    for (const char* file : {"王.txt", "张.txt", "李.txt", "黄.txt", "刘.txt"}) {
        const auto lines = readLinesFile(std::string(QUENVIL_PROGRAM_DIR) + "/xm/" + file);
        pool.insert(pool.end(), lines.begin(), lines.end());
    }
    std::vector<std::string> names;
    names.reserve(count);
    for (size_t i = 0; i < count; ++i) names.push_back(pool[(i * 7919) % pool.size()]);
    return names;
}

// count different names (count <= 1,000,000): the surnames and given-name characters of the
// shipped lists, combined.
inline std::vector<std::string> distinctNames(size_t count) {
    std::vector<std::string> surnames, given;
    for (const std::string& line : realNames(150000)) {
        if (line.size() < 6) continue;
        for (size_t at : {size_t{0}, size_t{2}, size_t{4}}) {
            auto& into = at == 0 ? surnames : given;
            const std::string ch = line.substr(at, 2);
            if (std::find(into.begin(), into.end(), ch) == into.end()) into.push_back(ch);
        }
    }
    const size_t s = surnames.size(), g = given.size();
    std::vector<std::string> names;
    names.reserve(count);
    for (size_t i = 0; i < count && i < s * g * g; ++i) {
        names.push_back(surnames[i % s] + given[(i / s) % g] + given[(i / (s * g)) % g]);
    }
    return names;
}

}  // namespace quenvil::bench
