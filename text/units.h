// Cutting GBK names into two-byte units and trimming them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quenvil {

// Removes leading and trailing bytes of value 0x20 and below (blanks and control characters).
std::string_view trimControl(std::string_view s);

// Cuts a GBK name into consecutive two-byte units from its start (bytes 1-2, 3-4, ...). The cut
// ignores character boundaries, so a single-byte character shifts every pair after it; a final
// odd byte is dropped.
std::vector<std::string> cutUnits(std::string_view gbk);

// The two-byte piece at position index (0-based) of a name, shorter or empty when the name is.
std::string_view unitAt(std::string_view gbk, size_t index);

}  // namespace quenvil
