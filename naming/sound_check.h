// How a name sounds: our reviewed list of bad-sounding syllable sequences
// (resources/bad_sounds.tsv) matched on the toneless syllables of the whole name, and the milder
// checks of tones, initials and finals.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "naming/note.h"

namespace quenvil {

// A syllable the engine knows, with what the checks need of it. Syllables are numbered by the
// NamingData that holds them; the id of a toneless syllable is shared by its tone-marked forms.
struct Syllable {
    std::string toned;     // "lǜ"
    std::string toneless;  // "lü"
    int tone = 0;          // 1..4, 0 neutral
    uint16_t tonelessId = 0;
    uint16_t initialId = 0;  // 0: no initial
    uint16_t finalId = 0;
};

// An entry of bad_sounds.tsv.
struct BadSound {
    std::string syllables;  // toneless, blank-separated: "du zi teng"
    std::string word;       // 肚子疼
    std::string category;   // 不雅 骂人 贬义 动物 不吉 疾病 犯罪
    // The tone each syllable must have (1-4), 0 where any tone matches; all 0 for "*".
    std::array<uint8_t, 4> tones{};
};

// The bad-sound list, keyed by toneless syllable ids.
class SoundChecker {
  public:
    static constexpr size_t kMaxSyllables = 4;  // the longest entry the checker accepts

    // Adds an entry whose syllables have these toneless ids. Entries longer than kMaxSyllables,
    // and an entry listed twice (the same syllables and tones), are refused (false).
    bool add(std::span<const uint16_t> tonelessIds, BadSound entry);
    size_t size() const { return entries_.size(); }

    // The entries a full name hits, by the rule of bad_sounds.tsv: an entry of two or more
    // syllables hits when it appears as consecutive syllables that take in at least one
    // syllable of the given name; an entry of one syllable hits a given-name syllable only.
    // An entry with tones hits only where every syllable has its tone. tonelessIds and tones
    // are the name's syllables, the first surnameCount of them the surname's. Each entry is
    // reported once, in order of its first position.
    std::vector<const BadSound*> hits(std::span<const uint16_t> tonelessIds,
                                      std::span<const uint8_t> tones, size_t surnameCount) const;

  private:
    static uint64_t key(std::span<const uint16_t> ids);
    // Whether the entry's tones agree with the name's from position `at`.
    static bool tonesMatch(const BadSound& e, std::span<const uint8_t> tones, size_t at);
    // Adds entry index i to found unless its tones disagree or it is there already; then
    // follows the chain of entries with the same syllables.
    void collect(uint32_t i, std::span<const uint8_t> tones, size_t at,
                 std::vector<const BadSound*>& found) const;
    std::vector<BadSound> entries_;
    std::vector<uint32_t> next_;  // the next entry with the same syllables (+1; 0 none)
    std::unordered_map<uint64_t, uint32_t> index_;  // packed ids -> first entry
    size_t longest_ = 0;
    // Fast refusals: the entry of each single syllable (+1; 0 none), and whether any longer
    // entry starts with a syllable, by toneless id.
    std::vector<uint32_t> single_;
    std::vector<bool> starts_;
};

// The milder sound notes of a full name (surname included), each with its cost:
//   "声调:三字同调" every syllable has the same tone (三, 四: how many)               (-5)
//   "声调:仄仄仄"   otherwise, every syllable 仄 (tones 3, 4), the pattern written  (-3)
//   "声调:平平平"   otherwise, every syllable 平 (tones 1, 2)                       (-2)
//   "声调:去声相连" two fourth tones in a row (when not all tones are equal)        (-2)
//   "声母重复:zh"   two neighbouring syllables with the same initial                (-1)
//   "韵母重复:ang"  two neighbouring syllables with the same final                  (-1)
// Initials and finals are reported once each. Appends to notes; returns the total cost.
int soundNotes(std::span<const Syllable* const> syllables, std::span<const std::string> initials,
               std::span<const std::string> finals, std::vector<Note>& notes);
// The total cost of those notes alone, without writing them.
int soundCost(std::span<const Syllable* const> syllables);

}  // namespace quenvil
