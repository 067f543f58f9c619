// The naming score; the formula is described in naming_score.h.
#include "naming/naming_score.h"

#include <algorithm>

#include "text/utf8.h"

namespace quenvil {
namespace {

std::string textOf(char32_t cp) {
    char buf[4];
    int32_t len = 0;
    U8_APPEND_UNSAFE(reinterpret_cast<uint8_t*>(buf), len, static_cast<UChar32>(cp));
    return std::string(buf, static_cast<size_t>(len));
}

constexpr const char* kTierNames[5] = {"", "首选", "雅", "平", "避"};

// Whether an attested name given to `given` fits a list of sex `sex`.
bool sexFits(char given, char sex) { return given == 'n' || sex == 'n' || given == sex; }

struct Scorer {
    const NamingData& data;
    std::vector<Note>* notes;
    int points = 0;

    void lose(std::string text, int cost) {
        if (notes) notes->push_back({std::move(text), cost, true});
    }
    void refuse(std::string text) {
        if (notes) notes->push_back({std::move(text), 0, true});
    }

    // 用字: the points of one character; single counts it twice.
    void character(char32_t cp, bool single) {
        const int weight = single ? 2 : 1;
        const NameChar* c = data.nameChar(cp);
        int earned = 0;
        if (c) {
            earned = kTierPoints[c->tier];
            if (c->tier >= 3) {
                lose("用字:" + c->text + "(" + kTierNames[c->tier] + ")",
                     (kTierPoints[1] - earned) * weight);
            }
        } else {
            earned = data.rarity(cp) == 0 ? kUncuratedCommonPoints : 0;
            lose("用字:" + textOf(cp) + "(未收录)", (kTierPoints[1] - earned) * weight);
        }
        points += earned * weight;
    }
};

}  // namespace

NamingResult namingScore(const NamingData& data, std::span<const char32_t> cps,
                         size_t surnameCharacters, int soundCost, bool badSound, char sex,
                         std::vector<Note>* notes) {
    NamingResult result;
    Scorer s{data, notes};
    const std::span<const char32_t> given = cps.subspan(surnameCharacters);
    const bool single = given.size() == 1;

    // What makes a name unusable whatever its points.
    if (badSound) result.usable = false;
    if (const std::string* famous = data.famous().find(cps, surnameCharacters)) {
        s.refuse("与名人同名:" + *famous);
        result.usable = false;
    }
    if (!single && given[0] == given[1]) {
        const NameChar* c = data.nameChar(given[0]);
        if (!c || !c->doubled) {
            s.refuse("叠字:" + textOf(given[0]) + textOf(given[1]));
            result.usable = false;
        }
    }
    std::vector<const WordRule*> rules;
    data.wordRules().hits(cps[surnameCharacters - 1], given, sex, rules);
    int marked = 0;
    for (const WordRule* r : rules) {
        const std::string matched = r->surnameScope
                                        ? textOf(cps[surnameCharacters - 1]) + textOf(given[0])
                                        : textOf(given[0]) + textOf(given[1]);
        if (r->action == RuleAction::Refuse) {
            s.refuse(r->reason + ":" + matched);
            result.usable = false;
        } else {
            s.lose(r->reason + ":" + matched, kMarkedWordCost);
            ++marked;
        }
    }

    for (const char32_t cp : given) s.character(cp, single);
    if (single) {
        s.points += kSingleGivenPairPoints;
    } else {
        const AttestedNames::Name* name = data.attested().find(given[0], given[1]);
        const char attested = name ? name->sex : 0;
        const ClassicLines::Pair* classic = data.classics().find(given[0], given[1]);
        if (classic) result.sourceLine = classic->firstLine();
        if (attested != 0 && sexFits(attested, sex)) {
            if (name->overused) {
                s.points += kOverusedPairPoints;
                s.lose("常见:" + textOf(given[0]) + textOf(given[1]),
                       kAttestedPairPoints - kOverusedPairPoints);
            } else {
                s.points += kAttestedPairPoints;
            }
        } else if (classic) {
            s.points += kClassicPairPoints;
        } else {
            s.points += kOtherPairPoints;
        }
        for (size_t i = 0; i < 2; ++i) {
            const NameChar* c = data.nameChar(given[i]);
            if (!c) continue;
            const bool misplaced = (i == 0 && c->place == CharPlace::Last) ||
                                   (i == 1 && c->place == CharPlace::First);
            if (misplaced && attested == 0) {
                s.points -= kPlaceCost;
                s.lose("位置:" + c->text, kPlaceCost);
            }
        }
    }
    s.points += std::max(0, kNamingSoundPoints - 2 * soundCost);
    if (sex == 'm' || sex == 'f') {
        for (const char32_t cp : given) {
            const NameChar* c = data.nameChar(cp);
            if (c && c->lean != 0 && c->lean != sex) {
                s.points -= kLeanCost;
                s.lose("性别:" + c->text, kLeanCost);
            }
        }
    }
    s.points -= kMarkedWordCost * marked;
    result.points = result.usable ? std::clamp(s.points, 0, 100) : 0;
    return result;
}

}  // namespace quenvil
