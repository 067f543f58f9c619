// Walking UTF-8 text character by character, through ICU's macros.
#pragma once

#include <unicode/utf8.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace quenvil {

// Calls f(codePoint, bytes) for each character of a UTF-8 text in order. An ill-formed sequence
// is passed as one step with a negative code point. When f returns a bool, false stops the walk;
// the result says whether the walk reached the end.
template <typename F>
bool forEachCodePoint(std::string_view utf8, F&& f) {
    const auto* s = reinterpret_cast<const uint8_t*>(utf8.data());
    const auto length = static_cast<int32_t>(utf8.size());
    for (int32_t i = 0; i < length;) {
        const int32_t start = i;
        UChar32 cp;
        U8_NEXT(s, i, length, cp);
        const std::string_view bytes =
            utf8.substr(static_cast<size_t>(start), static_cast<size_t>(i - start));
        if constexpr (std::is_same_v<decltype(f(cp, bytes)), bool>) {
            if (!f(cp, bytes)) return false;
        } else {
            f(cp, bytes);
        }
    }
    return true;
}

// Appends a code point to a UTF-8 text.
inline void appendUtf8(std::string& out, char32_t cp) {
    char bytes[U8_MAX_LENGTH];
    int32_t length = 0;
    U8_APPEND_UNSAFE(reinterpret_cast<uint8_t*>(bytes), length, static_cast<UChar32>(cp));
    out.append(bytes, static_cast<size_t>(length));
}

// The characters of a UTF-8 text, each as its bytes.
inline std::vector<std::string_view> utf8Characters(std::string_view utf8) {
    std::vector<std::string_view> out;
    forEachCodePoint(utf8, [&](UChar32, std::string_view bytes) { out.push_back(bytes); });
    return out;
}

// The first count characters of a UTF-8 text (the surname of a name whose surname has count).
inline std::string leadingCharacters(std::string_view utf8, size_t count) {
    std::string out;
    forEachCodePoint(utf8, [&](UChar32, std::string_view bytes) {
        if (count == 0) return false;
        --count;
        out += bytes;
        return true;
    });
    return out;
}

// The code points of a UTF-8 text; an ill-formed sequence gives U+FFFD.
inline std::vector<char32_t> utf8CodePoints(std::string_view utf8) {
    std::vector<char32_t> out;
    forEachCodePoint(utf8, [&](UChar32 cp, std::string_view) {
        out.push_back(cp < 0 ? char32_t{0xFFFD} : static_cast<char32_t>(cp));
    });
    return out;
}

}  // namespace quenvil
