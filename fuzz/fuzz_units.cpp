// The two-byte cut: the units put together again give the text without a final odd byte, each
// unit has two bytes, and unitAt agrees with the cut; trimming removes only control bytes at the
// ends.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "text/units.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quenvil;
    const std::string_view in = fuzz::bytes(data, size);
    const std::vector<std::string> units = cutUnits(in);
    fuzz::check(units.size() == size / 2, "one unit for every two bytes");
    std::string joined;
    for (size_t i = 0; i < units.size(); ++i) {
        fuzz::check(units[i].size() == 2, "every unit has two bytes");
        fuzz::check(unitAt(in, i) == units[i], "unitAt agrees with the cut");
        joined += units[i];
    }
    fuzz::check(joined == in.substr(0, size - size % 2), "the units give the text back");
    fuzz::check(unitAt(in, units.size()).size() == size % 2, "past the units: the odd byte");

    const std::string_view trimmed = trimControl(in);
    const size_t start = static_cast<size_t>(trimmed.data() - in.data());
    fuzz::check(trimmed.empty() || start + trimmed.size() <= size, "trimmed lies within");
    if (!trimmed.empty()) {
        fuzz::check(static_cast<unsigned char>(trimmed.front()) > 0x20 &&
                        static_cast<unsigned char>(trimmed.back()) > 0x20,
                    "no control byte at the ends");
        for (size_t i = 0; i < start; ++i) {
            fuzz::check(static_cast<unsigned char>(in[i]) <= 0x20, "only control bytes cut");
        }
        for (size_t i = start + trimmed.size(); i < size; ++i) {
            fuzz::check(static_cast<unsigned char>(in[i]) <= 0x20, "only control bytes cut");
        }
    } else {
        for (const char ch : in) {
            fuzz::check(static_cast<unsigned char>(ch) <= 0x20, "empty only for control bytes");
        }
    }
    return 0;
}
