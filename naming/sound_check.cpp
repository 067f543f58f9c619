// Bad sounds and the milder sound notes.
#include "naming/sound_check.h"

#include <algorithm>

#include "naming/pinyin.h"

namespace quenvil {

uint64_t SoundChecker::key(std::span<const uint16_t> ids) {
    // Syllable ids start at 1, so a packed key never equals one of a different length.
    uint64_t k = 0;
    for (uint16_t id : ids) k = (k << 16) | id;
    return k;
}

bool SoundChecker::add(std::span<const uint16_t> ids, BadSound entry) {
    if (ids.empty() || ids.size() > kMaxSyllables) return false;
    if (std::find(ids.begin(), ids.end(), uint16_t{0}) != ids.end()) return false;
    const auto index = static_cast<uint32_t>(entries_.size());
    const auto [it, added] = index_.emplace(key(ids), index);
    if (!added) {
        // Another entry of the same syllables: chained after it, unless its tones are the same.
        uint32_t i = it->second;
        while (true) {
            if (entries_[i].tones == entry.tones) return false;
            if (next_[i] == 0) break;
            i = next_[i] - 1;
        }
        next_[i] = index + 1;
    }
    entries_.push_back(std::move(entry));
    next_.push_back(0);
    longest_ = std::max(longest_, ids.size());
    if (ids[0] >= starts_.size()) {
        starts_.resize(ids[0] + 1u, false);
        single_.resize(ids[0] + 1u, 0);
    }
    if (ids.size() == 1) {
        if (single_[ids[0]] == 0) single_[ids[0]] = index + 1;
    } else {
        starts_[ids[0]] = true;
    }
    return true;
}

bool SoundChecker::tonesMatch(const BadSound& e, std::span<const uint8_t> tones, size_t at) {
    for (size_t k = 0; k < e.tones.size(); ++k) {
        if (e.tones[k] != 0 && (at + k >= tones.size() || tones[at + k] != e.tones[k])) {
            return false;
        }
    }
    return true;
}

void SoundChecker::collect(uint32_t i, std::span<const uint8_t> tones, size_t at,
                           std::vector<const BadSound*>& found) const {
    while (true) {
        const BadSound* entry = &entries_[i];
        if (tonesMatch(*entry, tones, at) &&
            std::find(found.begin(), found.end(), entry) == found.end()) {
            found.push_back(entry);
        }
        if (next_[i] == 0) return;
        i = next_[i] - 1;
    }
}

std::vector<const BadSound*> SoundChecker::hits(std::span<const uint16_t> ids,
                                                std::span<const uint8_t> tones,
                                                size_t surnameCount) const {
    std::vector<const BadSound*> found;
    for (size_t i = 0; i < ids.size(); ++i) {
        const uint16_t first = ids[i];
        if (first >= starts_.size()) continue;  // no entry starts with this syllable
        if (i >= surnameCount && single_[first] != 0) collect(single_[first] - 1, tones, i, found);
        if (!starts_[first]) continue;
        for (size_t n = 2; n <= longest_ && i + n <= ids.size(); ++n) {
            // One syllable (above): a given-name syllable only. Longer: not wholly inside the
            // surname.
            if (i + n <= surnameCount) continue;
            const auto it = index_.find(key(ids.subspan(i, n)));
            if (it != index_.end()) collect(it->second, tones, i, found);
        }
    }
    return found;
}

namespace {

// Appends a note (when notes are wanted) and counts its cost.
class Notes {
  public:
    explicit Notes(std::vector<Note>* notes) : notes_(notes) {}
    template <typename MakeText>
    void add(MakeText&& makeText, int points) {
        if (notes_) notes_->push_back({makeText(), points});
        cost_ += points;
    }
    int cost() const { return cost_; }

  private:
    std::vector<Note>* notes_;
    int cost_ = 0;
};

// The tones: one tone throughout (-5), else all 仄 (-3) or all 平 (-2); two fourth tones in a row
// (-2) unless every tone is the same.
void checkTones(std::span<const Syllable* const> s, Notes& notes) {
    const size_t n = s.size();
    bool allEqual = n >= 3;
    bool allOblique = n >= 3;  // 仄
    bool allLevel = n >= 3;    // 平
    for (size_t i = 0; i < n; ++i) {
        if (s[i]->tone != s[0]->tone) allEqual = false;
        if (isLevelTone(s[i]->tone)) {
            allOblique = false;
        } else {
            allLevel = false;
        }
    }
    if (allEqual) {
        constexpr std::string_view kCount[] = {"", "", "二", "三", "四", "五", "六", "七", "八"};
        notes.add([&] { return "声调:" + std::string(kCount[n]) + "字同调"; }, 5);
        return;
    }
    if (allOblique || allLevel) {
        notes.add(
            [&] {
                std::string text = "声调:";
                for (size_t i = 0; i < n; ++i) text += allOblique ? "仄" : "平";
                return text;
            },
            allOblique ? 3 : 2);
    }
    for (size_t i = 0; i + 1 < n; ++i) {
        if (s[i]->tone == 4 && s[i + 1]->tone == 4) {
            notes.add([] { return std::string("声调:去声相连"); }, 2);
            return;
        }
    }
}

// Initials and finals that neighbouring syllables repeat, each initial or final once (-1 each).
void checkRepeats(std::span<const Syllable* const> s, std::span<const std::string> initials,
                  std::span<const std::string> finals, Notes& notes) {
    uint16_t initialSeen[8] = {};
    uint16_t finalSeen[8] = {};
    size_t initialCount = 0, finalCount = 0;
    for (size_t i = 0; i + 1 < s.size(); ++i) {
        const uint16_t in = s[i]->initialId;
        if (in != 0 && in == s[i + 1]->initialId &&
            std::find(initialSeen, initialSeen + initialCount, in) == initialSeen + initialCount) {
            initialSeen[initialCount++] = in;
            notes.add([&] { return "声母重复:" + initials[in]; }, 1);
        }
        const uint16_t fi = s[i]->finalId;
        if (fi != 0 && fi == s[i + 1]->finalId &&
            std::find(finalSeen, finalSeen + finalCount, fi) == finalSeen + finalCount) {
            finalSeen[finalCount++] = fi;
            notes.add([&] { return "韵母重复:" + finals[fi]; }, 1);
        }
    }
}

// The sound notes; with notes null only their cost is counted (no text is made).
int checkSounds(std::span<const Syllable* const> syllables, std::span<const std::string> initials,
                std::span<const std::string> finals, std::vector<Note>* notes) {
    const std::span<const Syllable* const> s =
        syllables.first(std::min<size_t>(syllables.size(), 8));
    Notes found(notes);
    checkTones(s, found);
    checkRepeats(s, initials, finals, found);
    return found.cost();
}

}  // namespace

int soundNotes(std::span<const Syllable* const> syllables, std::span<const std::string> initials,
               std::span<const std::string> finals, std::vector<Note>& notes) {
    return checkSounds(syllables, initials, finals, &notes);
}

int soundCost(std::span<const Syllable* const> syllables) {
    return checkSounds(syllables, {}, {}, nullptr);
}

}  // namespace quenvil
