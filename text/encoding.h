// Telling the encoding of a text file that a user hands in, and converting it to UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace quenvil {

enum class TextEncoding { Utf8, Utf8Bom, Utf16LE, Utf16BE, Gbk };

// The encoding of bytes: a UTF-8 BOM, a UTF-16 BOM (either order), else UTF-8 when the bytes are
// well-formed UTF-8 (plain ASCII included), else GBK.
TextEncoding detectEncoding(std::string_view bytes);

// The bytes as UTF-8 (without a BOM), by detectEncoding. Sequences that are not valid in the
// detected encoding become U+FFFD.
std::string decodeToUtf8(std::string_view bytes);

}  // namespace quenvil
