// Ratings and the favourable rule.
#include "naming/favourable.h"

namespace quenvil {
namespace {

constexpr std::string_view kLevelNames[7] = {"大吉",     "中吉",     "吉",  "吉多于凶",
                                             "吉凶参半", "凶多于吉", "大凶"};

}  // namespace

std::string_view luckClassName(LuckClass c) {
    switch (c) {
        case LuckClass::Good:
            return "吉";
        case LuckClass::Half:
            return "半吉";
        case LuckClass::Bad:
            break;
    }
    return "凶";
}

std::string_view sancaiLevelName(SancaiLevel l) { return kLevelNames[static_cast<int>(l)]; }

bool parseLuckClass(std::string_view rating, LuckClass& out) {
    if (rating == "大吉" || rating == "吉") {
        out = LuckClass::Good;
    } else if (rating == "半吉") {
        out = LuckClass::Half;
    } else if (rating == "凶") {
        out = LuckClass::Bad;
    } else {
        return false;
    }
    return true;
}

bool parseSancaiLevel(std::string_view rating, SancaiLevel& out) {
    for (int i = 0; i < 7; ++i) {
        if (rating == kLevelNames[i]) {
            out = static_cast<SancaiLevel>(i);
            return true;
        }
    }
    return false;
}

int32_t reduceNumber(int32_t n) {
    while (n > 81) n -= 80;
    return n;
}

void Ratings::setNumber(int32_t n, LuckClass c) {
    if (n < 1 || n > 81) return;
    numbers_[n] = c;
    numberSet_[n] = true;
}

void Ratings::setSancai(int index, SancaiLevel level) {
    if (index < 0 || index >= kThreeTalentsCount) return;
    sancai_[index] = level;
    sancaiSet_[index] = true;
}

bool Ratings::complete() const {
    for (int n = 1; n <= 81; ++n) {
        if (!numberSet_[n]) return false;
    }
    for (bool set : sancaiSet_) {
        if (!set) return false;
    }
    return true;
}

bool isFavourable(const FiveGrids& g, const Ratings& r, bool judgeOuter) {
    if (r.number(g.person) != LuckClass::Good) return false;
    if (r.number(g.earth) != LuckClass::Good) return false;
    if (r.number(g.total) != LuckClass::Good) return false;
    if (judgeOuter && r.number(g.outer) == LuckClass::Bad) return false;
    const SancaiLevel level = r.sancai(g);
    return level != SancaiLevel::MostlyBad && level != SancaiLevel::Worst;
}

std::vector<GivenCounts> favourableCounts(std::span<const int32_t> surnameStrokes, int length,
                                          const Ratings& r, int32_t maxStrokes) {
    std::vector<GivenCounts> out;
    const bool judgeOuter = outerJudged(surnameStrokes.size(), static_cast<size_t>(length));
    for (int32_t a = 1; a <= maxStrokes; ++a) {
        if (length == 1) {
            const int32_t given[1] = {a};
            if (isFavourable(computeGrids(surnameStrokes, given), r, judgeOuter))
                out.push_back({a, 0});
            continue;
        }
        for (int32_t b = 1; b <= maxStrokes; ++b) {
            const int32_t given[2] = {a, b};
            if (isFavourable(computeGrids(surnameStrokes, given), r, judgeOuter))
                out.push_back({a, b});
        }
    }
    return out;
}

}  // namespace quenvil
