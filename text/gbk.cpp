// GBK conversion through ICU's "windows-936" converter.
#include "text/gbk.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <unicode/utf8.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "text/utf8.h"

namespace quenvil {
namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

ConverterPtr openGbk() {
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr conv(ucnv_open("windows-936", &status));
    if (U_FAILURE(status)) {
        throw std::runtime_error(std::string("cannot open the GBK converter: ") +
                                 u_errorName(status));
    }
    status = U_ZERO_ERROR;
    ucnv_setSubstChars(conv.get(), "?", 1, &status);
    return conv;
}

ConverterPtr openUtf8() {
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr conv(ucnv_open("UTF-8", &status));
    if (U_FAILURE(status)) {
        throw std::runtime_error(std::string("cannot open the UTF-8 converter: ") +
                                 u_errorName(status));
    }
    return conv;
}

// One pair of converters per thread; ucnv_convertEx resets them on every call.
struct Converters {
    ConverterPtr gbk = openGbk();
    ConverterPtr utf8 = openUtf8();
};

Converters& converters() {
    thread_local Converters c;
    return c;
}

bool isAscii(std::string_view s) {
    for (unsigned char ch : s) {
        if (ch >= 0x80) return false;
    }
    return true;
}

std::string convert(UConverter* to, UConverter* from, std::string_view in, size_t factor) {
    if (in.empty()) return {};
    std::string out(in.size() * factor + 16, '\0');
    UErrorCode status = U_ZERO_ERROR;
    char* target = out.data();
    const char* source = in.data();
    ucnv_convertEx(to, from, &target, out.data() + out.size(), &source, in.data() + in.size(),
                   nullptr, nullptr, nullptr, nullptr, true, true, &status);
    if (U_FAILURE(status)) {
        throw std::runtime_error(std::string("text conversion failed: ") + u_errorName(status));
    }
    out.resize(static_cast<size_t>(target - out.data()));
    return out;
}

}  // namespace

namespace {

std::vector<int32_t> buildUnitTable() {
    std::vector<int32_t> table(65536, -1);
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr conv(ucnv_open("windows-936", &status));
    if (U_FAILURE(status)) return table;
    ucnv_setToUCallBack(conv.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            UChar out[2];
            status = U_ZERO_ERROR;
            ucnv_reset(conv.get());
            // A two-byte GBK character always stands for one BMP code point.
            const int32_t n = ucnv_toUChars(conv.get(), out, 2, bytes, 2, &status);
            if (U_FAILURE(status) || n != 1 || U16_IS_SURROGATE(out[0])) continue;
            const UChar32 cp = out[0];
            if (cp == 0xFFFD || cp == 0x1A) continue;
            table[(lead << 8) | trail] = cp;
        }
    }
    return table;
}

const std::vector<int32_t>& unitTable() {
    static const std::vector<int32_t> table = buildUnitTable();
    return table;
}

// GBK code of every code point that a two-byte GBK character stands for (all in the BMP); 0 for
// the others.
const std::vector<uint16_t>& bmpTable() {
    static const std::vector<uint16_t> table = [] {
        std::vector<uint16_t> t(65536, 0);
        const auto& units = unitTable();
        for (int code = 0x8140; code <= 0xFEFE; ++code) {
            const int32_t cp = units[code];
            if (cp >= 0 && t[cp] == 0) t[cp] = static_cast<uint16_t>(code);
        }
        return t;
    }();
    return table;
}

}  // namespace

// Text made of ASCII and two-byte GBK characters, the usual case, is converted through the
// tables; anything else (the euro sign, invalid bytes, characters GBK lacks) goes to ICU.
std::string utf8ToGbk(std::string_view utf8) {
    if (isAscii(utf8)) return std::string(utf8);
    const auto& table = bmpTable();
    std::string out;
    out.reserve(utf8.size());
    const bool tabled = forEachCodePoint(utf8, [&](UChar32 cp, std::string_view) {
        if (cp >= 0 && cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp > 0 && cp < 0x10000 && table[cp] != 0) {
            out += static_cast<char>(table[cp] >> 8);
            out += static_cast<char>(table[cp] & 0xFF);
        } else {
            return false;
        }
        return true;
    });
    if (!tabled) {
        auto& c = converters();
        return convert(c.gbk.get(), c.utf8.get(), utf8, 1);
    }
    return out;
}

std::string gbkToUtf8(std::string_view gbk) {
    if (isAscii(gbk)) return std::string(gbk);
    const auto& units = unitTable();
    // Two GBK bytes give at most 3 UTF-8 bytes (a BMP character), one byte gives one.
    std::string out(gbk.size() * 2, '\0');
    auto* o = reinterpret_cast<uint8_t*>(out.data());
    size_t written = 0;
    for (size_t i = 0; i < gbk.size();) {
        const auto b = static_cast<unsigned char>(gbk[i]);
        if (b < 0x80) {
            o[written++] = b;
            ++i;
            continue;
        }
        const int32_t cp = (isGbkLeadByte(b) && i + 1 < gbk.size())
                               ? units[(b << 8) | static_cast<unsigned char>(gbk[i + 1])]
                               : -1;
        if (cp < 0) {
            auto& c = converters();
            // A GBK byte never yields more than 3 UTF-8 bytes (U+FFFD included).
            return convert(c.utf8.get(), c.gbk.get(), gbk, 3);
        }
        U8_APPEND_UNSAFE(o, written, cp);
        i += 2;
    }
    out.resize(written);
    return out;
}

int32_t gbkUnitCodePoint(unsigned char lead, unsigned char trail) {
    return unitTable()[(lead << 8) | trail];
}

}  // namespace quenvil
