// Text-to-integer conversion with the rules of the stroke fields.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quenvil {

// Optional leading blanks, an optional sign, then decimal digits or hexadecimal digits after
// "$", "x" or "0x"; nothing after the digits; the value must fit a 32-bit signed integer.
std::optional<int32_t> parseInteger(std::string_view text);

// Raised when a text is not an integer; the message is "'TEXT' is not a valid integer value"
// with TEXT in UTF-8.
class ConversionError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// parseInteger for a GBK text, raising ConversionError when it fails.
int32_t toInteger(std::string_view gbkText);

}  // namespace quenvil
