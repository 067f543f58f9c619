// Candidate names for a surname.
#include "naming/recommend.h"

#include <algorithm>
#include <map>
#include <optional>

#include "naming/naming_score.h"
#include "text/utf8.h"

namespace quenvil {
namespace {

bool usable(const NamingData& data, char32_t cp) {
    return data.strokes(cp) > 0 && data.readingId(cp) != 0;
}

// Two characters may stand in one given name unless one is for boys and the other for girls.
bool kindsAgree(char a, char b) { return a == 'n' || b == 'n' || a == b; }

char sexOf(Gender g) {
    switch (g) {
        case Gender::Male:
            return 'm';
        case Gender::Female:
            return 'f';
        case Gender::Any:
            break;
    }
    return 'n';
}

// A character that may stand in a slot of the given name: a curated one, or the fixed one.
struct Choice {
    char32_t cp;
    std::string_view text;
    char kind;  // the fixed character counts as 'n'
    int rank;   // -1 for the fixed character
    int tier;   // the fixed character counts as 1: the family chose it
    CharPlace place;
};

// The choices of one slot by stroke count.
using ChoicesByCount = std::vector<std::vector<const Choice*>>;

// A usable name found, kept small: a common surname has tens of thousands of them.
struct Candidate {
    uint32_t order = 0;  // the overall, naming and numerology score, a byte each: larger first
    int16_t rank1 = 0, rank2 = 0;  // the characters' ranks (-1: the fixed character, or none)
    uint8_t strokes1 = 0, strokes2 = 0;
    uint16_t turn = 0;
    char32_t cp1 = 0, cp2 = 0;  // cp2 0 for a single given character
};

uint32_t orderOf(const Ranking& r) {
    return (static_cast<uint32_t>(r.overall) << 16) | (static_cast<uint32_t>(r.naming) << 8) |
           static_cast<uint32_t>(r.numerology);
}

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
    if (!o.with.empty()) {
        const std::vector<char32_t> cps = utf8CodePoints(o.with);
        if (cps.size() != 1 || !usable(data, cps[0])) {
            throw RecommendError("--with takes one character with a stroke count and a reading: " +
                                 o.with);
        }
    }
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
    return Choice{cps[0], o.fixed, 'n', -1, 1, CharPlace::Any};
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
            pool_.push_back({c.codePoint, c.text, c.kind, c.rank, c.tier, c.place});
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

// Whether a pair's classical source satisfies the options.
bool sourceFits(const NamingData& data, char32_t a, char32_t b, const RecommendOptions& o) {
    if (o.source == RecommendOptions::Source::All) return true;
    const ClassicLines::Pair* p = b == 0 ? nullptr : data.classics().find(a, b);
    if (!p) return false;
    if (o.source == RecommendOptions::Source::AnyClassic) return true;
    return p->lines[static_cast<size_t>(o.book)] != ClassicLines::kNone;
}

// Whether a given name may be recommended before it is scored: characters of tier 1 to 3, each
// where it sits well, or a given name that parents really give to the list's sex (一诺 with the
// 一 of tier 4). The fixed character is the family's and stays as it is.
bool worthScoring(const NamingData& data, const Choice& a, const Choice* b, char sex) {
    if (!b) return a.tier <= 3;
    const char attested = data.attested().sex(a.cp, b->cp);
    if (attested != 0 && (attested == 'n' || sex == 'n' || attested == sex)) return true;
    const bool sitsWell =
        (a.rank < 0 || a.place != CharPlace::Last) && (b->rank < 0 || b->place != CharPlace::First);
    return a.tier <= 3 && b->tier <= 3 && sitsWell;
}

// Every usable name of favourable stroke counts that the slots and options allow, ranked.
std::vector<Candidate> findCandidates(const NamingData& data, std::string_view surname,
                                      const RecommendOptions& o, const Slots& slots) {
    std::vector<int32_t> surnameStrokes;
    for (char32_t cp : utf8CodePoints(surname)) surnameStrokes.push_back(data.strokes(cp));
    const char sex = sexOf(o.gender);
    const char32_t with = o.with.empty() ? 0 : utf8CodePoints(o.with)[0];
    std::vector<Candidate> found;
    found.reserve(1 << 14);  // a common surname's usable names, without growing
    std::vector<char32_t> name = utf8CodePoints(surname);
    const size_t surnameLength = name.size();
    auto consider = [&](const Choice& a, const Choice* b) {
        if (with != 0 && a.cp != with && (!b || b->cp != with)) return;
        if (!sourceFits(data, a.cp, b ? b->cp : 0, o) || !worthScoring(data, a, b, sex)) return;
        name.resize(surnameLength);
        name.push_back(a.cp);
        if (b) name.push_back(b->cp);
        Ranking ranking;
        if (!rankName(data, name, ranking, sex) || !ranking.usable) return;
        Candidate c;
        c.order = orderOf(ranking);
        c.rank1 = static_cast<int16_t>(a.rank);
        c.rank2 = static_cast<int16_t>(b ? b->rank : -1);
        c.strokes1 = static_cast<uint8_t>(std::clamp(data.strokes(a.cp), 0, 255));
        c.strokes2 = static_cast<uint8_t>(b ? std::clamp(data.strokes(b->cp), 0, 255) : 0);
        c.cp1 = a.cp;
        c.cp2 = b ? b->cp : 0;
        found.push_back(c);
    };
    for (const GivenCounts& counts :
         favourableCounts(surnameStrokes, o.length, data.ratings(), slots.maxStrokes())) {
        for (const Choice* a : slots.slot(2)[static_cast<size_t>(counts.first)]) {
            if (o.length == 1) {
                consider(*a, nullptr);
                continue;
            }
            for (const Choice* b : slots.slot(3)[static_cast<size_t>(counts.second)]) {
                if (kindsAgree(a->kind, b->kind)) consider(*a, b);
            }
        }
    }
    return found;
}

// Best first: the order key, then the naming score, then the numerology score; within a tie the
// first given-name characters take turns (each one's best pair by rank, then each one's second
// ...), so that one character does not fill the list.
void orderTakingTurns(std::vector<Candidate>& found) {
    std::sort(found.begin(), found.end(), [](const Candidate& x, const Candidate& y) {
        if (x.order != y.order) return x.order > y.order;
        if (x.rank1 != y.rank1) return x.rank1 < y.rank1;
        return x.rank2 < y.rank2;
    });
    for (size_t i = 0; i < found.size();) {
        size_t end = i;
        while (end < found.size() && found[end].order == found[i].order) ++end;
        uint16_t turn = 0;
        for (size_t j = i; j < end; ++j) {
            turn =
                j > i && found[j].rank1 == found[j - 1].rank1 ? static_cast<uint16_t>(turn + 1) : 0;
            found[j].turn = turn;
        }
        std::stable_sort(found.begin() + static_cast<std::ptrdiff_t>(i),
                         found.begin() + static_cast<std::ptrdiff_t>(end),
                         [](const Candidate& x, const Candidate& y) { return x.turn < y.turn; });
        i = end;
    }
}

// Makes each block of kVarietyBlock names over the first kVarietyDepth varied: no given-name
// character more than kVarietyCharLimit times in a block, and at least kVarietyPatterns stroke
// patterns where the remaining names have them. Names that do not fit a block move down, in
// their order; nothing is dropped.
// One block of varied names from the positions of found not yet taken, best first.
std::vector<size_t> variedBlock(const std::vector<Candidate>& found, const std::vector<bool>& taken,
                                size_t first) {
    std::vector<size_t> picked;
    std::map<char32_t, int> uses;
    for (size_t i = first; i < found.size() && picked.size() < kVarietyBlock; ++i) {
        const Candidate& c = found[i];
        if (taken[i] || uses[c.cp1] >= kVarietyCharLimit ||
            (c.cp2 != 0 && uses[c.cp2] >= kVarietyCharLimit)) {
            continue;
        }
        picked.push_back(i);
        ++uses[c.cp1];
        if (c.cp2 != 0) ++uses[c.cp2];
    }
    // Too few stroke patterns: the best name of each missing pattern replaces the last name of
    // a pattern that the block holds more than once.
    auto pattern = [&](size_t i) { return std::pair(found[i].strokes1, found[i].strokes2); };
    std::map<std::pair<int32_t, int32_t>, int> patterns;
    for (size_t i : picked) ++patterns[pattern(i)];
    for (size_t i = first; i < found.size() && patterns.size() < kVarietyPatterns; ++i) {
        if (taken[i] || patterns.count(pattern(i))) continue;
        const auto victim = std::find_if(picked.rbegin(), picked.rend(),
                                         [&](size_t j) { return patterns[pattern(j)] > 1; });
        if (victim == picked.rend() && picked.size() >= kVarietyBlock) break;
        if (victim != picked.rend()) {
            --patterns[pattern(*victim)];
            picked.erase(std::next(victim).base());
        }
        picked.push_back(i);
        ++patterns[pattern(i)];
    }
    std::sort(picked.begin(), picked.end());
    return picked;
}

// Makes each block of kVarietyBlock names over the first kVarietyDepth varied: no given-name
// character more than kVarietyCharLimit times in a block, and at least kVarietyPatterns stroke
// patterns where the remaining names have them. Names that do not fit a block move down, in
// their order; nothing is dropped.
void makeVaried(std::vector<Candidate>& found) {
    std::vector<bool> taken(found.size(), false);
    std::vector<size_t> order;
    order.reserve(found.size());
    size_t first = 0;  // every position before it is taken
    while (order.size() < kVarietyDepth && order.size() < found.size()) {
        while (first < found.size() && taken[first]) ++first;
        const std::vector<size_t> block = variedBlock(found, taken, first);
        if (block.empty()) break;
        for (size_t i : block) {
            taken[i] = true;
            order.push_back(i);
        }
    }
    for (size_t i = first; i < found.size(); ++i) {
        if (!taken[i]) order.push_back(i);
    }
    std::vector<Candidate> varied;
    varied.reserve(found.size());
    for (size_t i : order) varied.push_back(found[i]);
    found = std::move(varied);
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
    const Slots slots(data, o, fixed);
    std::vector<Candidate> found = findCandidates(data, surname, o, slots);
    orderTakingTurns(found);
    if (o.varied) makeVaried(found);
    std::vector<ScoredName> result(o.top == 0 ? found.size() : std::min(o.top, found.size()));
    std::string name;
    for (size_t i = 0; i < result.size(); ++i) {
        name.assign(surname);
        appendUtf8(name, found[i].cp1);
        if (found[i].cp2 != 0) appendUtf8(name, found[i].cp2);
        scoreName(data, name, result[i], nullptr, sexOf(o.gender));
        // A name asked for from one book cites that book's line.
        const ClassicLines::Pair* p = data.classics().find(found[i].cp1, found[i].cp2);
        if (o.source == RecommendOptions::Source::OneBook && p) {
            result[i].sourceLine = p->lines[static_cast<size_t>(o.book)];
        }
    }
    return result;
}

}  // namespace quenvil
