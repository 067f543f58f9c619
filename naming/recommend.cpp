// Candidate names for a surname.
#include "naming/recommend.h"

#include <algorithm>
#include <optional>

#include "text/utf8.h"

namespace quenvil {
namespace {

bool usable(const NamingData& data, char32_t cp) {
    return data.strokes(cp) > 0 && data.readingId(cp) != 0;
}

// Two characters may stand in one given name unless one is for boys and the other for girls.
bool kindsAgree(char a, char b) { return a == 'n' || b == 'n' || a == b; }

// A character that may stand in a slot of the given name: a curated one, or the fixed one.
struct Choice {
    char32_t cp;
    std::string_view text;
    char kind;  // the fixed character counts as 'n'
    int rank;   // -1 for the fixed character
};

// The choices of one slot by stroke count.
using ChoicesByCount = std::vector<std::vector<const Choice*>>;

struct Candidate {
    int score;
    int rank1, rank2;
    std::string name;
    int turn = 0;
};

// Checks the options against the data; the fixed character's choice, if any. Throws
// RecommendError.
std::optional<Choice> checkOptions(const NamingData& data, std::string_view surname,
                                   const RecommendOptions& o) {
    if (!isKnownSurname(data, surname)) {
        throw RecommendError("unknown surname: " + std::string(surname) +
                             " (neither a compound surname of the list nor a character with a "
                             "stroke count)");
    }
    if (o.length != 1 && o.length != 2) throw RecommendError("the length is 1 or 2");
    if (o.fixed.empty()) return std::nullopt;
    const std::vector<char32_t> cps = utf8CodePoints(o.fixed);
    if (cps.size() != 1 || !usable(data, cps[0])) {
        throw RecommendError(
            "the fixed character must be one character with a stroke count and a reading: " +
            o.fixed);
    }
    if (o.fixedAt != 2 && o.fixedAt != 3) throw RecommendError("--at is 2 or 3");
    if (o.fixedAt == 3 && o.length != 2) {
        throw RecommendError("a fixed character at 3 needs a given name of two characters");
    }
    return Choice{cps[0], o.fixed, 'n', -1};
}

// What each slot of the given name may hold: the curated characters that fit the gender rule
// (less the fixed one), or in the fixed character's slot the fixed character alone.
class Slots {
  public:
    Slots(const NamingData& data, const RecommendOptions& o, const std::optional<Choice>& fixed)
        : fixed_(fixed) {
        for (const NameChar& c : data.nameChars()) {
            if (!fitsGender(c.kind, o.gender)) continue;
            if (fixed && c.codePoint == fixed->cp) continue;
            pool_.push_back({c.codePoint, c.text, c.kind, c.rank});
        }
        maxStrokes_ = fixed ? data.strokes(fixed->cp) : 1;
        for (const Choice& c : pool_) maxStrokes_ = std::max(maxStrokes_, data.strokes(c.cp));
        byCount_.resize(static_cast<size_t>(maxStrokes_) + 1);
        for (const Choice& c : pool_)
            byCount_[static_cast<size_t>(data.strokes(c.cp))].push_back(&c);
        if (fixed_) {
            fixedByCount_.resize(byCount_.size());
            fixedByCount_[static_cast<size_t>(data.strokes(fixed_->cp))].push_back(&*fixed_);
        }
        fixedAt_ = fixed ? o.fixedAt : 0;
    }
    Slots(const Slots&) = delete;
    Slots& operator=(const Slots&) = delete;

    int32_t maxStrokes() const { return maxStrokes_; }
    // The choices of the first (slot 2 of the full name) or second (slot 3) given character.
    const ChoicesByCount& slot(int at) const { return at == fixedAt_ ? fixedByCount_ : byCount_; }

  private:
    std::optional<Choice> fixed_;
    std::vector<Choice> pool_;
    int32_t maxStrokes_ = 1;
    ChoicesByCount byCount_, fixedByCount_;
    int fixedAt_ = 0;
};

// Every name of favourable stroke counts that the slots allow, scored, without bad sounds.
std::vector<Candidate> findCandidates(const NamingData& data, std::string_view surname, int length,
                                      const Slots& slots) {
    std::vector<int32_t> surnameStrokes;
    for (char32_t cp : utf8CodePoints(surname)) surnameStrokes.push_back(data.strokes(cp));
    std::vector<Candidate> found;
    std::string name;
    auto consider = [&](const Choice& a, const Choice* b) {
        name.assign(surname);
        name += a.text;
        if (b) name += b->text;
        bool badSound = false;
        const int s = scoreOnly(data, name, &badSound);
        if (s < 0 || badSound) return;
        found.push_back({s, a.rank, b ? b->rank : -1, name, 0});
    };
    for (const GivenCounts& counts :
         favourableCounts(surnameStrokes, length, data.ratings(), slots.maxStrokes())) {
        for (const Choice* a : slots.slot(2)[static_cast<size_t>(counts.first)]) {
            if (length == 1) {
                consider(*a, nullptr);
                continue;
            }
            for (const Choice* b : slots.slot(3)[static_cast<size_t>(counts.second)]) {
                if (a->cp == b->cp || !kindsAgree(a->kind, b->kind)) continue;
                consider(*a, b);
            }
        }
    }
    return found;
}

// Best score first; within one score, the first given-name characters take turns (each one's best
// pair, then each one's second ...), so that one character does not fill the list.
void orderTakingTurns(std::vector<Candidate>& found) {
    std::sort(found.begin(), found.end(), [](const Candidate& x, const Candidate& y) {
        if (x.score != y.score) return x.score > y.score;
        if (x.rank1 != y.rank1) return x.rank1 < y.rank1;
        return x.rank2 < y.rank2;
    });
    for (size_t i = 0; i < found.size();) {
        size_t end = i;
        while (end < found.size() && found[end].score == found[i].score) ++end;
        int turn = 0;
        for (size_t j = i; j < end; ++j) {
            turn = j > i && found[j].rank1 == found[j - 1].rank1 ? turn + 1 : 0;
            found[j].turn = turn;
        }
        std::stable_sort(found.begin() + static_cast<std::ptrdiff_t>(i),
                         found.begin() + static_cast<std::ptrdiff_t>(end),
                         [](const Candidate& x, const Candidate& y) { return x.turn < y.turn; });
        i = end;
    }
}

}  // namespace

bool fitsGender(char kind, Gender gender) {
    switch (gender) {
        case Gender::Male:
            return kind != 'f';
        case Gender::Female:
            return kind != 'm';
        case Gender::Any:
            break;
    }
    return true;
}

bool isKnownSurname(const NamingData& data, std::string_view surname) {
    const std::vector<char32_t> cps = utf8CodePoints(surname);
    if (cps.size() == 2) return data.isCompoundSurname(cps[0], cps[1]);
    return cps.size() == 1 && usable(data, cps[0]);
}

std::vector<ScoredName> recommend(const NamingData& data, std::string_view surname,
                                  const RecommendOptions& o) {
    const std::optional<Choice> fixed = checkOptions(data, surname, o);
    std::vector<ScoredName> result;
    if (o.top == 0) return result;
    const Slots slots(data, o, fixed);
    std::vector<Candidate> found = findCandidates(data, surname, o.length, slots);
    orderTakingTurns(found);
    result.resize(std::min(o.top, found.size()));
    for (size_t i = 0; i < result.size(); ++i) scoreName(data, found[i].name, result[i]);
    return result;
}

}  // namespace quenvil
