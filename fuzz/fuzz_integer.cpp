// Integer conversion: every accepted text gives the value a plain reading of its digits gives
// (blanks, sign, "$", "x" or "0x" for hexadecimal), every value within 32 bits is accepted, and a
// number printed in decimal or hexadecimal reads back as itself.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "fuzz/fuzz_support.h"
#include "text/integer.h"

namespace {

// The reading by the rules, with unbounded precision capped far above 32 bits.
std::optional<int64_t> reference(std::string_view t) {
    size_t i = t.find_first_not_of(' ');
    if (i == std::string_view::npos) return std::nullopt;
    bool negative = false;
    if (t[i] == '+' || t[i] == '-') negative = t[i++] == '-';
    int base = 10;
    if (t.substr(i, 1) == "$" || t.substr(i, 1) == "x" || t.substr(i, 1) == "X") {
        base = 16, i += 1;
    } else if (t.substr(i, 2) == "0x" || t.substr(i, 2) == "0X") {
        base = 16, i += 2;
    }
    if (i >= t.size()) return std::nullopt;
    int64_t v = 0;
    for (; i < t.size(); ++i) {
        const char c = t[i];
        int d = -1;
        if (c >= '0' && c <= '9') d = c - '0';
        if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        if (d < 0) return std::nullopt;
        v = v * base + d;
        if (v > (int64_t{1} << 40)) v = int64_t{1} << 40;  // far out of range either way
    }
    v = negative ? -v : v;
    if (v < INT32_MIN || v > INT32_MAX) return std::nullopt;
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quenvil;
    const std::string_view in = fuzz::bytes(data, size);
    const std::optional<int32_t> got = parseInteger(in);
    const std::optional<int64_t> want = reference(in);
    fuzz::check(got.has_value() == want.has_value(), "accepted exactly when the rules accept");
    if (got) fuzz::check(*got == *want, "the value of the digits");

    if (size >= 4) {
        int32_t v;
        __builtin_memcpy(&v, data, 4);
        fuzz::check(parseInteger(std::to_string(v)) == v, "decimal round trip");
        char hex[32];
        const int64_t wide = v;
        std::snprintf(hex, sizeof hex, "%s0x%llX", wide < 0 ? "-" : "",
                      static_cast<unsigned long long>(wide < 0 ? -wide : wide));
        fuzz::check(parseInteger(hex) == v, "hexadecimal round trip");
    }
    return 0;
}
