// Two-byte units of GBK names.
#include "text/units.h"

namespace quenvil {

std::string_view trimControl(std::string_view s) {
    size_t begin = 0;
    size_t end = s.size();
    while (begin < end && static_cast<unsigned char>(s[begin]) <= 0x20) ++begin;
    while (end > begin && static_cast<unsigned char>(s[end - 1]) <= 0x20) --end;
    return s.substr(begin, end - begin);
}

std::vector<std::string> cutUnits(std::string_view gbk) {
    std::vector<std::string> units;
    units.reserve(gbk.size() / 2);
    for (size_t i = 0; i + 1 < gbk.size(); i += 2) units.emplace_back(gbk.substr(i, 2));
    return units;
}

std::string_view unitAt(std::string_view gbk, size_t index) {
    const size_t start = index * 2;
    if (start >= gbk.size()) return {};
    return gbk.substr(start, 2);
}

}  // namespace quenvil
