// The score of a name; the formula is described in score.h.
#include "naming/score.h"

#include <algorithm>

#include "naming/naming_score.h"
#include "text/utf8.h"

namespace quenvil {
namespace {

constexpr std::string_view kGridNames[5] = {"天格", "人格", "地格", "总格", "外格"};

constexpr int kSancaiLevelPoints[7] = {20, 17, 14, 10, 6, 2, 0};
constexpr int kRareCharCost = 2;

// Points of a grid worth full points by its class: all, half (rounded down) or none.
int gridPoints(LuckClass c, int full) {
    switch (c) {
        case LuckClass::Good:
            return full;
        case LuckClass::Half:
            return full / 2;
        case LuckClass::Bad:
            break;
    }
    return 0;
}

// A name cut and looked up: everything the score needs.
struct Reading {
    int characters = 0;
    int surnameCharacters = 0;
    std::array<char32_t, 4> cps{};
    std::array<int32_t, 4> strokes{};
    std::array<uint16_t, 4> syllableIds{};
    std::array<const Syllable*, 4> syllables{};
    std::array<uint16_t, 4> toneless{};
    std::array<uint8_t, 4> tones{};
};

// Reads the n code points already in r.cps: the surname, the strokes and the readings.
bool readCodePoints(const NamingData& data, int n, Reading& r, ScoreFailure* why) {
    auto fail = [&](ScoreFailure f) {
        if (why) *why = f;
        return false;
    };
    r.characters = n;
    r.surnameCharacters = n >= 3 && data.isCompoundSurname(r.cps[0], r.cps[1]) ? 2 : 1;
    if (n == 4 && r.surnameCharacters != 2) return fail(ScoreFailure::Length);
    for (int i = 0; i < n; ++i) {
        r.strokes[i] = data.strokes(r.cps[i]);
        // A given-name character reads as it does in names (兴 xīng, 长 cháng).
        const uint16_t id =
            i >= r.surnameCharacters ? data.givenReadingId(r.cps[i]) : data.readingId(r.cps[i]);
        if (r.strokes[i] <= 0 || id == 0) return fail(ScoreFailure::Unknown);
        r.syllableIds[i] = id;
    }
    // A surname with a reviewed reading reads that way ("曾" zēng, "尉迟" yù chí).
    const int sl = r.surnameCharacters;
    if (const auto* reading = data.surnameReading(r.cps[0], sl == 2 ? r.cps[1] : 0)) {
        for (int i = 0; i < sl; ++i) r.syllableIds[i] = (*reading)[i];
    }
    for (int i = 0; i < n; ++i) {
        r.syllables[i] = &data.syllable(r.syllableIds[i]);
        r.toneless[i] = r.syllables[i]->tonelessId;
        r.tones[i] = static_cast<uint8_t>(r.syllables[i]->tone);
    }
    return true;
}

bool readName(const NamingData& data, std::string_view name, Reading& r, ScoreFailure* why) {
    int n = 0;
    bool bad = false;
    const bool walked = forEachCodePoint(name, [&](int32_t cp, std::string_view) {
        if (n == 4) {
            n = 5;
            return false;
        }
        if (cp < 0x80 || cp >= 0x10000) bad = true;
        r.cps[n++] = cp < 0 ? 0 : static_cast<char32_t>(cp);
        return true;
    });
    const ScoreFailure failure = !walked || n < 2 || n > 4 ? ScoreFailure::Length
                                 : bad                     ? ScoreFailure::Unknown
                                                           : ScoreFailure::None;
    if (failure != ScoreFailure::None) {
        if (why) *why = failure;
        return false;
    }
    return readCodePoints(data, n, r, why);
}

FiveGrids gridsOf(const Reading& r) {
    const std::span<const int32_t> all(r.strokes.data(), static_cast<size_t>(r.characters));
    return computeGrids(all.first(r.surnameCharacters), all.subspan(r.surnameCharacters));
}

// The points of the judged grids (人格, 地格, 总格, 外格), with a note for every grid that
// earns less than its full points.
int gridsScore(const Reading& r, const std::array<LuckClass, 5>& classes,
               std::vector<Note>* notes) {
    constexpr int kFull[5] = {0, kPersonPoints, kEarthPoints, kTotalPoints, kOuterPoints};
    const bool judgeOuter = outerJudged(static_cast<size_t>(r.surnameCharacters),
                                        static_cast<size_t>(r.characters - r.surnameCharacters));
    int total = 0;
    for (int i = 1; i < 5; ++i) {
        const int points = i == 4 && !judgeOuter ? kFull[i] : gridPoints(classes[i], kFull[i]);
        total += points;
        if (notes && points < kFull[i]) {
            notes->push_back(
                {std::string(kGridNames[i]) + " " + std::string(luckClassName(classes[i])),
                 kFull[i] - points});
        }
    }
    return total;
}

int sancaiScore(SancaiLevel level, std::vector<Note>* notes) {
    const int points = kSancaiLevelPoints[static_cast<int>(level)];
    if (notes && points < kSancaiPoints) {
        notes->push_back({"三才 " + std::string(sancaiLevelName(level)), kSancaiPoints - points});
    }
    return points;
}

// 音律: the points left after the milder sound notes; lost says what they cost.
int soundScore(const NamingData& data, const Reading& r, std::vector<Note>* notes, int& lost) {
    const std::span<const Syllable* const> syllables(r.syllables.data(),
                                                     static_cast<size_t>(r.characters));
    lost = notes ? soundNotes(syllables, data.initials(), data.finals(), *notes)
                 : soundCost(syllables);
    return std::max(0, kSoundPoints - lost);
}

// Why a grid rated 凶 costs nothing: notes of no points where they apply.
void explainUnjudgedGrids(const Reading& r, const std::array<LuckClass, 5>& classes,
                          std::vector<Note>& notes) {
    if (classes[0] == LuckClass::Bad) notes.push_back({kHeavenNotJudgedNote, 0});
    if (!outerJudged(static_cast<size_t>(r.surnameCharacters),
                     static_cast<size_t>(r.characters - r.surnameCharacters))) {
        notes.push_back({kOuterNotJudgedNote, 0});
    }
}

// 用字: the given-name characters that are rare cost points, each with a note.
int charactersScore(const NamingData& data, const Reading& r, std::vector<Note>* notes) {
    int lost = 0;
    for (int i = r.surnameCharacters; i < r.characters; ++i) {
        const char32_t cp = r.cps[i];
        if (data.rarity(cp) == 0) continue;
        lost += kRareCharCost;
        if (notes) {
            std::string text = "生僻字:";
            appendUtf8(text, cp);
            notes->push_back({std::move(text), kRareCharCost});
        }
    }
    return std::max(0, kCharPoints - lost);
}

// The numerology score, and with out the whole ScoredName with its notes (scoreName adds the
// naming score). soundLost: what the milder sound notes cost, for the naming score.
int score(const NamingData& data, const Reading& r, ScoredName* out, bool* badSound,
          int* soundLost = nullptr) {
    const FiveGrids g = gridsOf(r);
    const Ratings& ratings = data.ratings();
    const std::array<LuckClass, 5> classes = {ratings.number(g.heaven), ratings.number(g.person),
                                              ratings.number(g.earth), ratings.number(g.total),
                                              ratings.number(g.outer)};
    const auto count = static_cast<size_t>(r.characters);
    const std::vector<const BadSound*> hits =
        data.sounds().hits(std::span(r.toneless.data(), count), std::span(r.tones.data(), count),
                           static_cast<size_t>(r.surnameCharacters));
    if (badSound) *badSound = !hits.empty();
    std::vector<Note>* notes = out ? &out->notes : nullptr;
    if (notes) {
        notes->clear();
        for (const BadSound* h : hits) notes->push_back({"谐音:" + h->word, kBadSoundPenalty});
    }
    const SancaiLevel level = ratings.sancai(g);
    int total = gridsScore(r, classes, notes);
    total += sancaiScore(level, notes);
    int lost = 0;
    total += soundScore(data, r, notes, lost);
    if (soundLost) *soundLost = lost;
    total += charactersScore(data, r, notes);
    total = std::max(0, total - kBadSoundPenalty * static_cast<int>(hits.size()));
    if (notes) explainUnjudgedGrids(r, classes, *notes);
    if (out) {
        out->characters = r.characters;
        out->surnameCharacters = r.surnameCharacters;
        out->codePoints = r.cps;
        out->strokes = r.strokes;
        out->syllables = r.syllableIds;
        out->grids = g;
        out->gridClasses = classes;
        out->sancai = threeTalentsKey(g);
        out->sancaiLevel = level;
        out->badSound = !hits.empty();
        out->score = total;
    }
    return total;
}

}  // namespace

namespace {

NamingResult namingOf(const NamingData& data, const Reading& r, int soundLost, bool badSound,
                      char sex, std::vector<Note>* notes) {
    return namingScore(data, std::span(r.cps.data(), static_cast<size_t>(r.characters)),
                       static_cast<size_t>(r.surnameCharacters), soundLost, badSound, sex, notes);
}

}  // namespace

bool scoreName(const NamingData& data, std::string_view name, ScoredName& out, ScoreFailure* why,
               char sex) {
    Reading r;
    if (!readName(data, name, r, why)) return false;
    if (why) *why = ScoreFailure::None;
    out.name.assign(name);
    int soundLost = 0;
    score(data, r, &out, nullptr, &soundLost);
    const NamingResult naming = namingOf(data, r, soundLost, out.badSound, sex, &out.notes);
    out.naming = naming.points;
    out.usable = naming.usable;
    out.sourceLine = naming.sourceLine;
    out.overall = overallScore(out.score, out.naming);
    return true;
}

int scoreOnly(const NamingData& data, std::string_view name, bool* badSound) {
    Reading r;
    if (!readName(data, name, r, nullptr)) return -1;
    return score(data, r, nullptr, badSound);
}

int Ranking::key() const { return orderKey(usable, overall); }

namespace {

void rank(const NamingData& data, const Reading& r, Ranking& out, char sex) {
    bool badSound = false;
    int soundLost = 0;
    out.numerology = score(data, r, nullptr, &badSound, &soundLost);
    const NamingResult naming = namingOf(data, r, soundLost, badSound, sex, nullptr);
    out.naming = naming.points;
    out.usable = naming.usable;
    out.sourceLine = naming.sourceLine;
    out.overall = overallScore(out.numerology, out.naming);
}

}  // namespace

bool rankName(const NamingData& data, std::string_view name, Ranking& out, char sex) {
    Reading r;
    if (!readName(data, name, r, nullptr)) return false;
    rank(data, r, out, sex);
    return true;
}

bool rankName(const NamingData& data, std::span<const char32_t> name, Ranking& out, char sex) {
    if (name.size() < 2 || name.size() > 4) return false;
    Reading r;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] < 0x80 || name[i] >= 0x10000) return false;
        r.cps[i] = name[i];
    }
    if (!readCodePoints(data, static_cast<int>(name.size()), r, nullptr)) return false;
    rank(data, r, out, sex);
    return true;
}

int orderKeyOnly(const NamingData& data, std::string_view name, char sex) {
    Ranking r;
    return rankName(data, name, r, sex) ? r.key() : -1;
}

}  // namespace quenvil
