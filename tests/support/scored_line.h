// A scored name through the one formatter of recommend/result_rows.h: its column texts and the
// line quenvil-cli prints for it.
#pragma once

#include <string>
#include <vector>

#include "recommend/result_rows.h"

namespace quenvil::test {

inline std::vector<std::string> columnTexts(const NamingData& data, const ScoredName& s) {
    std::string notes;
    const ResultRow row = rowOf(s, notes);
    std::vector<std::string> texts(kColumnCount);
    for (int c = 0; c < kColumnCount; ++c) {
        appendColumnText(texts[static_cast<size_t>(c)], data, row, notes, c);
    }
    return texts;
}

// The line without its line break.
inline std::string lineOf(const NamingData& data, const ScoredName& s) {
    std::string notes, line;
    const ResultRow row = rowOf(s, notes);
    appendRowLine(line, data, row, notes);
    line.pop_back();
    return line;
}

// The notes joined by ';', for messages.
inline std::string notesText(const ScoredName& s) {
    std::string notes;
    rowOf(s, notes);
    return notes;
}

}  // namespace quenvil::test
