// The best-first order of scored names, for the terminal and the windows alike.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>
#include <vector>

namespace quenvil {

// Puts items best first by their score (0..100; scoreOf(item) gives it): higher scores first,
// items that could not be scored (a negative score) last, and items of equal score in the
// order they had. A counting sort: linear in the number of items, for lists of millions of names.
template <typename T, typename ScoreOf>
void sortBestFirst(std::vector<T>& items, ScoreOf scoreOf) {
    // Bucket 0 holds the score 100, bucket 100 the score 0, bucket 101 the unscored.
    constexpr size_t kUnscored = 101;
    auto bucket = [&](const T& item) {
        const int score = scoreOf(item);
        return score < 0 ? kUnscored : static_cast<size_t>(100 - std::min(score, 100));
    };
    std::array<size_t, kUnscored + 2> start{};
    for (const T& item : items) ++start[bucket(item) + 1];
    for (size_t b = 1; b < start.size(); ++b) start[b] += start[b - 1];
    std::vector<T> sorted(items.size());
    for (T& item : items) {
        const size_t b = bucket(item);
        sorted[start[b]++] = std::move(item);
    }
    items = std::move(sorted);
}

}  // namespace quenvil
