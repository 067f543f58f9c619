// The naming score; the formula is described in naming_score.h.
#include "naming/naming_score.h"

#include <algorithm>

#include "text/utf8.h"

namespace quenvil {
namespace {

std::string textOf(char32_t cp) {
    std::string s;
    appendUtf8(s, cp);
    return s;
}

constexpr const char* kTierNames[5] = {"", "首选", "雅", "平", "避"};

// Whether an attested name given to `given` fits a list of sex `sex`.
bool sexFits(char given, char sex) { return given == 'n' || sex == 'n' || given == sex; }

// The naming score of one name, in parts; notes are written only when asked for.
class Scorer {
  public:
    Scorer(const NamingData& data, std::span<const char32_t> cps, size_t surnameCharacters,
           char sex, std::vector<Note>* notes)
        : data_(data),
          cps_(cps),
          surnameLast_(cps[surnameCharacters - 1]),
          given_(cps.subspan(surnameCharacters)),
          sex_(sex),
          notes_(notes) {}

    // A famous name, a doubled character the list does not allow, a refusing word rule.
    void refusals(NamingResult& result, size_t surnameCharacters) {
        if (const std::string* famous = data_.famous().find(cps_, surnameCharacters)) {
            note([&] { return "与名人同名:" + *famous; }, 0);
            result.usable = false;
        }
        if (given_.size() == 2 && given_[0] == given_[1]) {
            const NameChar* c = data_.nameChar(given_[0]);
            if (!c || !c->doubled) {
                note([&] { return "叠字:" + textOf(given_[0]) + textOf(given_[1]); }, 0);
                result.usable = false;
            }
        }
        words(result);
    }

    // 用字: each given character by its tier; a single one counts twice.
    void characters() {
        const int weight = given_.size() == 1 ? 2 : 1;
        for (const char32_t cp : given_) {
            const NameChar* c = data_.nameChar(cp);
            const int earned =
                c ? kTierPoints[c->tier] : (data_.rarity(cp) == 0 ? kUncuratedCommonPoints : 0);
            points_ += earned * weight;
            if (c && c->tier < 3) continue;
            note(
                [&] {
                    return "用字:" + textOf(cp) + "(" + (c ? kTierNames[c->tier] : "未收录") + ")";
                },
                (kTierPoints[1] - earned) * weight);
        }
    }

    // 搭配 and 位置: how the two given characters go together; the classical line of the pair.
    void pair(NamingResult& result) {
        if (given_.size() == 1) {
            points_ += kSingleGivenPairPoints;
            return;
        }
        const AttestedNames::Name* name = data_.attested().find(given_[0], given_[1]);
        const bool attested = name && sexFits(name->sex, sex_);
        const ClassicLines::Pair* classic = data_.classics().find(given_[0], given_[1]);
        if (classic) result.sourceLine = classic->firstLine();
        if (attested && name->overused) {
            points_ += kOverusedPairPoints;
            note([&] { return "常见:" + textOf(given_[0]) + textOf(given_[1]); },
                 kAttestedPairPoints - kOverusedPairPoints);
        } else {
            points_ +=
                attested ? kAttestedPairPoints : (classic ? kClassicPairPoints : kOtherPairPoints);
        }
        for (size_t i = 0; i < 2 && !name; ++i) {
            const NameChar* c = data_.nameChar(given_[i]);
            const CharPlace wrong = i == 0 ? CharPlace::Last : CharPlace::First;
            if (c && c->place == wrong) lose([&] { return "位置:" + c->text; }, kPlaceCost);
        }
    }

    // 音律 and 性别.
    void soundAndSex(int soundCost) {
        points_ += std::max(0, kNamingSoundPoints - 2 * soundCost);
        if (sex_ != 'm' && sex_ != 'f') return;
        for (const char32_t cp : given_) {
            const NameChar* c = data_.nameChar(cp);
            if (c && c->lean != 0 && c->lean != sex_) {
                lose([&] { return "性别:" + c->text; }, kLeanCost);
            }
        }
    }

    int points() const { return points_; }

  private:
    // The word rules: a refusing one makes the name unusable, a marking one costs points.
    void words(NamingResult& result) {
        if (!notes_) {
            bool refuse = false;
            if (!data_.wordRules().any(surnameLast_, given_, sex_, &refuse)) return;
        }
        std::vector<const WordRule*> rules;
        data_.wordRules().hits(surnameLast_, given_, sex_, rules);
        for (const WordRule* r : rules) {
            const auto text = [&] {
                return r->reason + ":" +
                       (r->surnameScope ? textOf(surnameLast_) + textOf(given_[0])
                                        : textOf(given_[0]) + textOf(given_[1]));
            };
            if (r->action == RuleAction::Refuse) {
                note(text, 0);
                result.usable = false;
            } else {
                lose(text, kMarkedWordCost);
            }
        }
    }
    template <typename Text>
    void note(Text&& text, int cost) {
        if (notes_) notes_->push_back({text(), cost, true});
    }
    template <typename Text>
    void lose(Text&& text, int cost) {
        points_ -= cost;
        note(std::forward<Text>(text), cost);
    }

    const NamingData& data_;
    std::span<const char32_t> cps_;
    char32_t surnameLast_;
    std::span<const char32_t> given_;
    char sex_;
    std::vector<Note>* notes_;
    int points_ = 0;
};

}  // namespace

NamingResult namingScore(const NamingData& data, std::span<const char32_t> cps,
                         size_t surnameCharacters, int soundCost, bool badSound, char sex,
                         std::vector<Note>* notes) {
    NamingResult result;
    result.usable = !badSound;
    Scorer s(data, cps, surnameCharacters, sex, notes);
    s.refusals(result, surnameCharacters);
    s.characters();
    s.pair(result);
    s.soundAndSex(soundCost);
    result.points = result.usable ? std::clamp(s.points(), 0, 100) : 0;
    return result;
}

}  // namespace quenvil
