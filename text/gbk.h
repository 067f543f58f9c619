// GBK (Windows code page 936) conversion. Names travel through the program as GBK bytes;
// text is converted to UTF-8 only where it meets the database, a widget or a terminal.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quenvil {

// UTF-8 -> GBK. Characters that GBK cannot hold become '?'.
std::string utf8ToGbk(std::string_view utf8);

// GBK -> UTF-8. Byte sequences that are not GBK become U+FFFD.
std::string gbkToUtf8(std::string_view gbk);

// The single code point that a two-byte GBK unit stands for, or -1 when the two bytes are not
// one double-byte GBK character (ASCII pairs, a lead byte without its trail byte, unassigned
// codes).
int32_t gbkUnitCodePoint(unsigned char lead, unsigned char trail);

// True when the byte opens a double-byte GBK character.
constexpr bool isGbkLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

}  // namespace quenvil
