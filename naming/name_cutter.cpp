// Cutting lists of names.
#include "naming/name_cutter.h"

#include <algorithm>

namespace quenvil {

size_t NameCutter::separatorAt(size_t pos) const {
    const auto ch = static_cast<unsigned char>(text_[pos]);
    if (ch == '\n' || ch == '\r' || ch == ' ' || ch == '\t' || ch == ',') return 1;
    // The three wide separators are E3 80 80, EF BC 8C and E3 80 81: other bytes are compared
    // no further, which keeps the cut of millions of names fast.
    if (ch != 0xE3 && ch != 0xEF) return 0;
    const std::string_view rest = text_.substr(pos, 3);
    if (rest == "\u3000" || rest == "\uFF0C" || rest == "\u3001") return 3;
    return 0;
}

bool NameCutter::next(std::string_view& name) {
    while (pos_ < text_.size()) {
        size_t sep = separatorAt(pos_);
        if (sep) {
            pos_ += sep;
            continue;
        }
        const size_t start = pos_;
        while (pos_ < text_.size() && separatorAt(pos_) == 0) ++pos_;
        name = text_.substr(start, pos_ - start);
        return true;
    }
    return false;
}

void NameStream::startSkip(std::string_view start) {
    skipping_ = true;
    skipped_ = start.size();
    // Whole characters only: no UTF-8 continuation byte (10xxxxxx) opens the cut-off rest.
    size_t n = std::min(start.size(), kShownBytes);
    while (n > 0 && n < start.size() && (static_cast<unsigned char>(start[n]) & 0xC0) == 0x80) --n;
    skippedStart_.assign(start.substr(0, n));
}

}  // namespace quenvil
