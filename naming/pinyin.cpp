// Pinyin syllables.
#include "naming/pinyin.h"

#include <array>

namespace quenvil {
namespace {

struct Mark {
    std::string_view marked;
    char plain;  // 0 for ü
    int tone;
};

// Every tone-marked vowel of pinyin, with its plain vowel and tone.
constexpr std::array<Mark, 28> kMarks = {{
    {"ā", 'a', 1}, {"á", 'a', 2}, {"ǎ", 'a', 3}, {"à", 'a', 4}, {"ē", 'e', 1}, {"é", 'e', 2},
    {"ě", 'e', 3}, {"è", 'e', 4}, {"ī", 'i', 1}, {"í", 'i', 2}, {"ǐ", 'i', 3}, {"ì", 'i', 4},
    {"ō", 'o', 1}, {"ó", 'o', 2}, {"ǒ", 'o', 3}, {"ò", 'o', 4}, {"ū", 'u', 1}, {"ú", 'u', 2},
    {"ǔ", 'u', 3}, {"ù", 'u', 4}, {"ǖ", 0, 1},   {"ǘ", 0, 2},   {"ǚ", 0, 3},   {"ǜ", 0, 4},
    {"ḿ", 'm', 2}, {"ń", 'n', 2}, {"ň", 'n', 3}, {"ǹ", 'n', 4},
}};

// The mark at the start of s, or nullptr.
const Mark* markAt(std::string_view s) {
    for (const Mark& m : kMarks) {
        if (s.substr(0, m.marked.size()) == m.marked) return &m;
    }
    return nullptr;
}

}  // namespace

int toneOf(std::string_view syllable) {
    for (size_t i = 0; i < syllable.size(); ++i) {
        if (static_cast<unsigned char>(syllable[i]) < 0x80) continue;
        if (const Mark* m = markAt(syllable.substr(i))) return m->tone;
    }
    return 0;
}

std::string toneless(std::string_view syllable) {
    std::string out;
    out.reserve(syllable.size());
    for (size_t i = 0; i < syllable.size();) {
        if (static_cast<unsigned char>(syllable[i]) >= 0x80) {
            if (const Mark* m = markAt(syllable.substr(i))) {
                if (m->plain) {
                    out += m->plain;
                } else {
                    out += "ü";
                }
                i += m->marked.size();
                continue;
            }
        }
        out += syllable[i++];
    }
    return out;
}

std::string_view initialOf(std::string_view s) {
    for (std::string_view two : {"zh", "ch", "sh"}) {
        if (s.substr(0, 2) == two) return s.substr(0, 2);
    }
    constexpr std::string_view kInitials = "bpmfdtnlgkhjqxrzcs";
    if (!s.empty() && kInitials.find(s[0]) != std::string_view::npos) {
        // m, n standing alone are syllables of their own (ḿ, ń), not initials.
        if (s.size() == 1) return {};
        return s.substr(0, 1);
    }
    return {};
}

std::string finalOf(std::string_view s) {
    const std::string_view initial = initialOf(s);
    std::string rest(s.substr(initial.size()));
    if (initial.empty() && !rest.empty()) {
        // y and w only spell a final that has no initial.
        if (rest[0] == 'y') {
            if (rest.substr(0, 2) == "yu") return "ü" + rest.substr(2);
            if (rest.substr(0, 2) == "yi") return rest.substr(1);
            return "i" + rest.substr(1);
        }
        if (rest[0] == 'w') {
            if (rest.substr(0, 2) == "wu") return rest.substr(1);
            return "u" + rest.substr(1);
        }
        return rest;
    }
    // j, q, x are followed by ü written u.
    if ((initial == "j" || initial == "q" || initial == "x") && !rest.empty() && rest[0] == 'u') {
        return "ü" + rest.substr(1);
    }
    return rest;
}

}  // namespace quenvil
