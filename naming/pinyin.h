// Tone-marked pinyin syllables: tone, toneless form, initial and final, and the 平/仄 class.
#pragma once

#include <string>
#include <string_view>

namespace quenvil {

// The tone of a tone-marked syllable: 1..4, 0 for a syllable without a mark (neutral tone).
int toneOf(std::string_view syllable);

// The syllable without its tone mark (ü stays ü): "lǜ" -> "lü", "zhuāng" -> "zhuang".
std::string toneless(std::string_view syllable);

// The initial of a toneless syllable ("zh", "b", ... or "" for a syllable without one; y and w
// count as no initial) and its final (the rest; "yu"/"yue"/"yun"/"yuan" and j/q/x + u read ü).
std::string_view initialOf(std::string_view tonelessSyllable);
std::string finalOf(std::string_view tonelessSyllable);

// 平 for tones 1 and 2 (and the neutral tone), 仄 for tones 3 and 4.
inline bool isLevelTone(int tone) { return tone <= 2; }

}  // namespace quenvil
