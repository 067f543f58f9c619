// The score of a name; the formula is described in score.h.
#include "naming/score.h"

#include <algorithm>

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
    std::array<const Syllable*, 4> syllables{};
    std::array<uint16_t, 4> toneless{};
};

bool readName(const NamingData& data, std::string_view name, Reading& r, ScoreFailure* why) {
    auto fail = [&](ScoreFailure f) {
        if (why) *why = f;
        return false;
    };
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
    if (!walked || n < 2 || n > 4) return fail(ScoreFailure::Length);
    if (bad) return fail(ScoreFailure::Unknown);
    r.characters = n;
    r.surnameCharacters = n >= 3 && data.isCompoundSurname(r.cps[0], r.cps[1]) ? 2 : 1;
    if (n == 4 && r.surnameCharacters != 2) return fail(ScoreFailure::Length);
    for (int i = 0; i < n; ++i) {
        r.strokes[i] = data.strokes(r.cps[i]);
        const uint16_t id = data.readingId(r.cps[i]);
        if (r.strokes[i] <= 0 || id == 0) return fail(ScoreFailure::Unknown);
        r.syllables[i] = &data.syllable(id);
    }
    // A surname with a reviewed reading reads that way ("曾" zēng, "尉迟" yù chí).
    const int sl = r.surnameCharacters;
    if (const auto* reading = data.surnameReading(r.cps[0], sl == 2 ? r.cps[1] : 0)) {
        for (int i = 0; i < sl; ++i) r.syllables[i] = &data.syllable((*reading)[i]);
    }
    for (int i = 0; i < n; ++i) r.toneless[i] = r.syllables[i]->tonelessId;
    return true;
}

FiveGrids gridsOf(const Reading& r) {
    const std::span<const int32_t> all(r.strokes.data(), static_cast<size_t>(r.characters));
    return computeGrids(all.first(r.surnameCharacters), all.subspan(r.surnameCharacters));
}

// The score, and with out the whole ScoredName with its notes.
int score(const NamingData& data, const Reading& r, ScoredName* out, bool* badSound) {
    const FiveGrids g = gridsOf(r);
    const Ratings& ratings = data.ratings();
    const std::array<LuckClass, 5> classes = {ratings.number(g.heaven), ratings.number(g.person),
                                              ratings.number(g.earth), ratings.number(g.total),
                                              ratings.number(g.outer)};
    const std::span<const uint16_t> toneless(r.toneless.data(), static_cast<size_t>(r.characters));
    const std::vector<const BadSound*> hits =
        data.sounds().hits(toneless, static_cast<size_t>(r.surnameCharacters));
    if (badSound) *badSound = !hits.empty();
    std::vector<Note>* notes = out ? &out->notes : nullptr;
    if (notes) {
        notes->clear();
        for (const BadSound* h : hits) notes->push_back({"谐音:" + h->word, kBadSoundPenalty});
    }
    int total = 0;
    constexpr int kFull[5] = {0, kPersonPoints, kEarthPoints, kTotalPoints, kOuterPoints};
    const bool judgeOuter = outerJudged(static_cast<size_t>(r.surnameCharacters),
                                        static_cast<size_t>(r.characters - r.surnameCharacters));
    for (int i = 1; i < 5; ++i) {
        const int points = i == 4 && !judgeOuter ? kFull[i] : gridPoints(classes[i], kFull[i]);
        total += points;
        if (notes && points < kFull[i]) {
            notes->push_back({std::string(kGridNames[i]) + " " +
                                  std::string(classes[i] == LuckClass::Half ? "半吉" : "凶"),
                              kFull[i] - points});
        }
    }
    const SancaiLevel level = ratings.sancai(g);
    const int sancaiPoints = kSancaiLevelPoints[static_cast<int>(level)];
    total += sancaiPoints;
    if (notes && sancaiPoints < kSancaiPoints) {
        notes->push_back(
            {"三才 " + std::string(sancaiLevelName(level)), kSancaiPoints - sancaiPoints});
    }
    const std::span<const Syllable* const> syllables(r.syllables.data(),
                                                     static_cast<size_t>(r.characters));
    const int soundLost = notes ? soundNotes(syllables, data.initials(), data.finals(), *notes)
                                : soundCost(syllables);
    total += std::max(0, kSoundPoints - soundLost);
    int charLost = 0;
    for (int i = r.surnameCharacters; i < r.characters; ++i) {
        if (data.rarity(r.cps[i]) == 0) continue;
        charLost += kRareCharCost;
        if (notes) {
            std::string text = "生僻字:";
            const char32_t cp = r.cps[i];
            char buf[4];
            int32_t len = 0;
            U8_APPEND_UNSAFE(reinterpret_cast<uint8_t*>(buf), len, static_cast<UChar32>(cp));
            text.append(buf, static_cast<size_t>(len));
            notes->push_back({std::move(text), kRareCharCost});
        }
    }
    total += std::max(0, kCharPoints - charLost);
    total -= kBadSoundPenalty * static_cast<int>(hits.size());
    total = std::max(0, total);
    if (out) {
        out->characters = r.characters;
        out->surnameCharacters = r.surnameCharacters;
        out->codePoints = r.cps;
        out->strokes = r.strokes;
        for (int i = 0; i < 4; ++i) {
            out->pinyin[i] =
                i < r.characters ? std::string_view(r.syllables[i]->toned) : std::string_view();
        }
        out->grids = g;
        out->gridClasses = classes;
        out->sancai = threeTalentsKey(g);
        out->sancaiLevel = level;
        out->badSound = !hits.empty();
        out->score = total;
    }
    return total;
}

// The byte length of the first count characters of a UTF-8 text.
size_t prefixBytes(std::string_view s, int count) {
    size_t bytes = 0;
    int seen = 0;
    forEachCodePoint(s, [&](int32_t, std::string_view ch) {
        if (seen == count) return false;
        ++seen;
        bytes += ch.size();
        return true;
    });
    return bytes;
}

}  // namespace

bool scoreName(const NamingData& data, std::string_view name, ScoredName& out, ScoreFailure* why) {
    Reading r;
    if (!readName(data, name, r, why)) return false;
    if (why) *why = ScoreFailure::None;
    out.name.assign(name);
    score(data, r, &out, nullptr);
    return true;
}

int scoreOnly(const NamingData& data, std::string_view name, bool* badSound) {
    Reading r;
    if (!readName(data, name, r, nullptr)) return -1;
    return score(data, r, nullptr, badSound);
}

void sortByScore(std::vector<ScoredName>& names) {
    std::stable_sort(names.begin(), names.end(),
                     [](const ScoredName& a, const ScoredName& b) { return a.score > b.score; });
}

std::vector<ScoredName> scoreNames(const NamingData& data, std::span<const std::string> names,
                                   std::vector<std::string>* unscored) {
    std::vector<ScoredName> out;
    out.reserve(names.size());
    for (const std::string& name : names) {
        ScoredName s;
        if (scoreName(data, name, s)) {
            out.push_back(std::move(s));
        } else if (unscored) {
            unscored->push_back(name);
        }
    }
    sortByScore(out);
    return out;
}

std::string_view ScoredName::surname() const {
    return std::string_view(name).substr(0, prefixBytes(name, surnameCharacters));
}

std::string_view ScoredName::givenName() const {
    return std::string_view(name).substr(prefixBytes(name, surnameCharacters));
}

std::string ScoredName::pinyinText() const {
    std::string s;
    for (int i = 0; i < characters; ++i) {
        if (i) s += ' ';
        s += pinyin[i];
    }
    return s;
}

std::string ScoredName::strokesText() const {
    std::string s;
    for (int i = 0; i < characters; ++i) {
        if (i) s += ',';
        s += std::to_string(strokes[i]);
    }
    return s;
}

std::string ScoredName::gridsText() const {
    return std::to_string(grids.heaven) + ' ' + std::to_string(grids.person) + ' ' +
           std::to_string(grids.earth) + ' ' + std::to_string(grids.total) + ' ' +
           std::to_string(grids.outer);
}

std::string ScoredName::sancaiText() const {
    return sancai + ' ' + std::string(sancaiLevelName(sancaiLevel));
}

std::string ScoredName::notesText() const {
    std::string s;
    for (size_t i = 0; i < notes.size(); ++i) {
        if (i) s += ';';
        s += notes[i].text;
    }
    return s;
}

namespace {

void appendNumber(std::string& out, int32_t v) {
    char buf[16];
    int len = 0;
    bool negative = v < 0;
    uint32_t u = negative ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
    do {
        buf[len++] = static_cast<char>('0' + u % 10);
        u /= 10;
    } while (u);
    if (negative) out += '-';
    while (len) out += buf[--len];
}

}  // namespace

void appendLine(const ScoredName& n, std::string& out) {
    out += n.name;
    out += '\t';
    appendNumber(out, n.score);
    out += '\t';
    for (int i = 0; i < n.characters; ++i) {
        if (i) out += ' ';
        out += n.pinyin[i];
    }
    out += '\t';
    for (int i = 0; i < n.characters; ++i) {
        if (i) out += ',';
        appendNumber(out, n.strokes[i]);
    }
    out += '\t';
    const int32_t grids[5] = {n.grids.heaven, n.grids.person, n.grids.earth, n.grids.total,
                              n.grids.outer};
    for (int i = 0; i < 5; ++i) {
        if (i) out += ' ';
        appendNumber(out, grids[i]);
    }
    out += '\t';
    out += n.sancai;
    out += ' ';
    out += sancaiLevelName(n.sancaiLevel);
    out += '\t';
    for (size_t i = 0; i < n.notes.size(); ++i) {
        if (i) out += ';';
        out += n.notes[i].text;
    }
    out += '\n';
}

std::string formatLine(const ScoredName& n) {
    std::string s;
    appendLine(n, s);
    s.pop_back();
    return s;
}

}  // namespace quenvil
