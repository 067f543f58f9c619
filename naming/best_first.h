// The best-first order of scored names, for the terminal and the windows alike.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>
#include <vector>

namespace quenvil {

// The largest key that orders names: orderKey of naming/naming_score.h.
inline constexpr int kBestFirstMaxKey = 201;

// Puts items best first by their key (0..kBestFirstMaxKey; keyOf(item) gives it): higher keys
// first, items that could not be scored (a negative key) last, and items of equal key in the
// order they had. A counting sort: linear in the number of items, for lists of millions of names.
template <typename T, typename KeyOf>
void sortBestFirst(std::vector<T>& items, KeyOf keyOf) {
    // Bucket 0 holds the highest key, bucket kBestFirstMaxKey the key 0, then the unscored.
    constexpr size_t kUnscored = kBestFirstMaxKey + 1;
    auto bucket = [&](const T& item) {
        const int key = keyOf(item);
        return key < 0 ? kUnscored
                       : static_cast<size_t>(kBestFirstMaxKey - std::min(key, kBestFirstMaxKey));
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
