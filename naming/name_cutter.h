// Cutting a list of names that a user hands in: one per line, or separated by blanks or commas.
#pragma once

#include <cstddef>
#include <string_view>

namespace quenvil {

// Cuts a text (UTF-8) into names: line breaks, blanks (also the ideographic space U+3000) and
// commas (also the full-width comma ， and the enumeration comma 、) separate them; empty pieces
// are skipped. next() returns false at the end.
class NameCutter {
  public:
    explicit NameCutter(std::string_view text) : text_(text) {}
    bool next(std::string_view& name);
    size_t position() const { return pos_; }  // bytes of the text consumed

  private:
    // The length of the separator at pos (0 when none).
    size_t separatorAt(size_t pos) const;
    std::string_view text_;
    size_t pos_ = 0;
};

}  // namespace quenvil
