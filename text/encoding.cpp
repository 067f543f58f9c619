// Encoding detection.
#include "text/encoding.h"

#include <unicode/ustring.h>

#include "text/gbk.h"
#include "text/utf8.h"

namespace quenvil {
namespace {

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

bool wellFormedUtf8(std::string_view s) {
    // ASCII runs are skipped eight bytes at a time; the rest is walked by ICU's macros.
    size_t i = 0;
    while (i < s.size()) {
        if (i + 8 <= s.size()) {
            uint64_t word;
            __builtin_memcpy(&word, s.data() + i, 8);
            if ((word & 0x8080808080808080ull) == 0) {
                i += 8;
                continue;
            }
        }
        const auto* p = reinterpret_cast<const uint8_t*>(s.data());
        const auto length = static_cast<int32_t>(s.size());
        auto at = static_cast<int32_t>(i);
        UChar32 cp;
        U8_NEXT(p, at, length, cp);
        if (cp < 0) return false;
        i = static_cast<size_t>(at);
    }
    return true;
}

std::string fromUtf16(std::string_view bytes, bool littleEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(static_cast<char16_t>(littleEndian ? (b << 8 | a) : (a << 8 | b)));
    }
    std::string out(units.size() * 3 + 4, '\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length, units.data(),
                       static_cast<int32_t>(units.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status)) return {};
    out.resize(static_cast<size_t>(length));
    return out;
}

}  // namespace

TextEncoding detectEncoding(std::string_view bytes) {
    if (startsWith(bytes, "\xEF\xBB\xBF")) return TextEncoding::Utf8Bom;
    if (startsWith(bytes, "\xFF\xFE")) return TextEncoding::Utf16LE;
    if (startsWith(bytes, "\xFE\xFF")) return TextEncoding::Utf16BE;
    return wellFormedUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Gbk;
}

std::string decodeToUtf8(std::string_view bytes) {
    switch (detectEncoding(bytes)) {
        case TextEncoding::Utf8:
            return std::string(bytes);
        case TextEncoding::Utf8Bom:
            return std::string(bytes.substr(3));
        case TextEncoding::Utf16LE:
            return fromUtf16(bytes.substr(2), true);
        case TextEncoding::Utf16BE:
            return fromUtf16(bytes.substr(2), false);
        case TextEncoding::Gbk:
            break;
    }
    return gbkToUtf8(bytes);
}

}  // namespace quenvil
