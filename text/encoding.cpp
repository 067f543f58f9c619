// Encoding detection and conversion of name-list files to GBK.
#include "text/encoding.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "text/gbk.h"
#include "text/utf8.h"

namespace quenvil {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

struct Utf8Scan {
    size_t validEnd = 0;          // bytes from the start that are whole, valid characters
    bool incompleteTail = false;  // what follows is a valid but unfinished character
    bool multibyte = false;       // a character of two or more bytes was seen
};

Utf8Scan scanUtf8(std::string_view s) {
    Utf8Scan r;
    r.validEnd = s.size();
    forEachCodePoint(s, [&](UChar32 cp, std::string_view bytes) {
        if (cp >= 0) {
            r.multibyte |= cp >= 0x80;
            return true;
        }
        // ICU steps over the longest beginning of a character that could still be completed:
        // when that reaches the end after a lead byte, the character is cut, not wrong.
        r.validEnd = static_cast<size_t>(bytes.data() - s.data());
        const auto lead = static_cast<unsigned char>(bytes.front());
        r.incompleteTail = r.validEnd + bytes.size() == s.size() && lead >= 0xC2 && lead <= 0xF4;
        return false;
    });
    return r;
}

// Where a UTF-8 text cut at an arbitrary byte should be cut instead so that no character is
// split: before a last character whose bytes do not all lie within the text.
size_t wholeUtf8Characters(std::string_view s) {
    auto length = static_cast<int32_t>(s.size());
    U8_TRUNCATE_IF_INCOMPLETE(reinterpret_cast<const uint8_t*>(s.data()), 0, length);
    return static_cast<size_t>(length);
}

// The same for GBK: before a last lead byte whose trail byte is not in the text.
size_t wholeGbkCharacters(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        if (!isGbkLeadByte(static_cast<unsigned char>(s[i]))) {
            ++i;
        } else if (i + 1 < s.size()) {
            i += 2;
        } else {
            break;
        }
    }
    return i;
}

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};

}  // namespace

// UTF-16 bytes to UTF-16 code units through ICU, keeping a cut code unit or surrogate pair in the
// converter and in held until the next block.
struct GbkStreamDecoder::Utf16 {
    explicit Utf16(bool bigEndian) {
        UErrorCode status = U_ZERO_ERROR;
        conv.reset(ucnv_open(bigEndian ? "UTF-16BE" : "UTF-16LE", &status));
        if (U_FAILURE(status)) {
            throw std::runtime_error(std::string("cannot open the UTF-16 converter: ") +
                                     u_errorName(status));
        }
    }

    void convert(std::string_view bytes, bool last, std::string& out) {
        std::vector<UChar> units(held.begin(), held.end());
        held.clear();
        const size_t start = units.size();
        units.resize(start + bytes.size() / 2 + 4);
        UChar* target = units.data() + start;
        const char* source = bytes.data();
        UErrorCode status = U_ZERO_ERROR;
        ucnv_toUnicode(conv.get(), &target, units.data() + units.size(), &source,
                       bytes.data() + bytes.size(), nullptr, last, &status);
        if (U_FAILURE(status)) {
            throw std::runtime_error(std::string("UTF-16 conversion failed: ") +
                                     u_errorName(status));
        }
        units.resize(static_cast<size_t>(target - units.data()));
        if (!last && !units.empty() && U16_IS_LEAD(units.back())) {
            held.push_back(units.back());
            units.pop_back();
        }
        if (units.empty()) return;
        int32_t length = 0;
        status = U_ZERO_ERROR;
        u_strToUTF8WithSub(nullptr, 0, &length, units.data(), static_cast<int32_t>(units.size()),
                           0xFFFD, nullptr, &status);
        std::string utf8(static_cast<size_t>(length), '\0');
        status = U_ZERO_ERROR;
        u_strToUTF8WithSub(utf8.data(), length, &length, units.data(),
                           static_cast<int32_t>(units.size()), 0xFFFD, nullptr, &status);
        if (toUtf8) {
            out += utf8;
        } else {
            out += utf8ToGbk(utf8);
        }
    }

    std::unique_ptr<UConverter, ConverterCloser> conv;
    std::vector<UChar> held;
    bool toUtf8 = false;
};

TextEncoding detectEncoding(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom)) return TextEncoding::Utf8Bom;
    if (bytes.starts_with(kUtf16LeBom)) return TextEncoding::Utf16Le;
    if (bytes.starts_with(kUtf16BeBom)) return TextEncoding::Utf16Be;
    const Utf8Scan scan = scanUtf8(bytes);
    return scan.validEnd == bytes.size() && scan.multibyte ? TextEncoding::Utf8 : TextEncoding::Gbk;
}

GbkText toGbkText(std::string bytes) {
    GbkText text;
    text.detected = detectEncoding(bytes);
    if (text.detected == TextEncoding::Gbk) {
        text.gbk = std::move(bytes);
        return text;
    }
    // The whole file as one block decides as detectEncoding does.
    GbkStreamDecoder decoder;
    decoder.feed(bytes, text.gbk);
    decoder.finish(text.gbk);
    return text;
}

GbkStreamDecoder::GbkStreamDecoder(Target target) : target_(target) {}
GbkStreamDecoder::~GbkStreamDecoder() { delete utf16_; }

void GbkStreamDecoder::feed(std::string_view block, std::string& out) {
    if (decided_) {
        convert(block, false, out);
        return;
    }
    pending_.append(block);
    if (!started_) {
        // A byte-order mark, or the start of one that the next block may complete.
        const std::string_view p = pending_;
        for (const std::string_view bom : {kUtf8Bom, kUtf16LeBom, kUtf16BeBom}) {
            if (p.size() < bom.size() && bom.starts_with(p)) return;
        }
        if (p.starts_with(kUtf8Bom)) {
            encoding_ = TextEncoding::Utf8Bom;
            pending_.erase(0, kUtf8Bom.size());
        } else if (p.starts_with(kUtf16LeBom) || p.starts_with(kUtf16BeBom)) {
            encoding_ = p.starts_with(kUtf16LeBom) ? TextEncoding::Utf16Le : TextEncoding::Utf16Be;
            utf16_ = new Utf16(encoding_ == TextEncoding::Utf16Be);
            utf16_->toUtf8 = target_ == Target::Utf8;
            pending_.erase(0, 2);
        }
        if (encoding_ != TextEncoding::Gbk) {
            decided_ = true;
            std::string rest;
            rest.swap(pending_);
            convert(rest, false, out);
            return;
        }
    }
    const Utf8Scan scan = scanUtf8(pending_);
    if (scan.validEnd == pending_.size() && !scan.multibyte) {
        // ASCII so far: the same bytes in every encoding.
        out += pending_;
        pending_.clear();
        started_ = true;
        return;
    }
    if (scan.incompleteTail && !scan.multibyte) {
        // The first non-ASCII character is cut by the end of the block: wait for the rest.
        out.append(pending_, 0, scan.validEnd);
        pending_.erase(0, scan.validEnd);
        started_ = true;
        return;
    }
    const bool utf8 = scan.multibyte && (scan.validEnd == pending_.size() || scan.incompleteTail);
    encoding_ = utf8 ? TextEncoding::Utf8 : TextEncoding::Gbk;
    decided_ = true;
    started_ = true;
    std::string rest;
    rest.swap(pending_);
    convert(rest, false, out);
}

void GbkStreamDecoder::finish(std::string& out) {
    if (!decided_) {
        // Only ASCII, or a cut character at the very end: taken as GBK.
        out += target_ == Target::Gbk ? pending_ : gbkToUtf8(pending_);
        pending_.clear();
        return;
    }
    convert({}, true, out);
}

void GbkStreamDecoder::convert(std::string_view bytes, bool last, std::string& out) {
    switch (encoding_) {
        case TextEncoding::Gbk:
        case TextEncoding::Utf8:
        case TextEncoding::Utf8Bom: {
            const bool gbk = encoding_ == TextEncoding::Gbk;
            if (gbk && target_ == Target::Gbk) {  // as it is
                out.append(bytes);
                return;
            }
            std::string joined;
            std::string_view text = bytes;
            if (!pending_.empty()) {
                joined = pending_ + std::string(bytes);
                pending_.clear();
                text = joined;
            }
            const size_t whole = last  ? text.size()
                                 : gbk ? wholeGbkCharacters(text)
                                       : wholeUtf8Characters(text);
            if (gbk) {
                out += gbkToUtf8(text.substr(0, whole));
            } else if (target_ == Target::Gbk) {
                out += utf8ToGbk(text.substr(0, whole));
            } else {
                out.append(text.substr(0, whole));
            }
            pending_.assign(text.substr(whole));
            return;
        }
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be:
            utf16_->convert(bytes, last, out);
            return;
    }
}

namespace {

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a)));
    }
    std::string out(units.size() * 3 + 4, '\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length, units.data(),
                       static_cast<int32_t>(units.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status)) {
        throw std::runtime_error(std::string("UTF-16 conversion failed: ") + u_errorName(status));
    }
    out.resize(static_cast<size_t>(length));
    return out;
}

}  // namespace

std::string decodeToUtf8(std::string_view bytes) {
    switch (detectEncoding(bytes)) {
        case TextEncoding::Utf8:
            return std::string(bytes);
        case TextEncoding::Utf8Bom:
            return std::string(bytes.substr(kUtf8Bom.size()));
        case TextEncoding::Utf16Le:
            return utf16ToUtf8(bytes.substr(kUtf16LeBom.size()), false);
        case TextEncoding::Utf16Be:
            return utf16ToUtf8(bytes.substr(kUtf16BeBom.size()), true);
        case TextEncoding::Gbk:
            break;
    }
    return gbkToUtf8(bytes);
}

}  // namespace quenvil
