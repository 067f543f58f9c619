// A note on a scored name: why it lost points.
#pragma once

#include <string>

namespace quenvil {

struct Note {
    std::string text;     // UTF-8, short: "谐音:肚子", "声调:仄仄仄", "外格 凶"
    int points = 0;       // the points it cost (0 for a note that costs nothing)
    bool naming = false;  // points of the naming score (naming_score.h), not of the numerology

    friend bool operator==(const Note&, const Note&) = default;
};

}  // namespace quenvil
