// The stroke-pair table: for a surname's stroke count (2 to 19), the favourable pairs of stroke
// counts for the second and third character of the name.
#pragma once

#include <cstdint>
#include <span>

namespace quenvil {

struct StrokePair {
    int32_t second;  // B: strokes of the first given-name character
    int32_t third;   // C: strokes of the second given-name character
};

class StrokePairTable {
  public:
    static constexpr int32_t kFirstRow = 2;
    static constexpr int32_t kLastRow = 19;

    // The table of the name filters (139 entries; some rows hold one entry twice).
    static const StrokePairTable& filters();
    // The manual naming window's table: the same with four more entries in row 12 (143).
    static const StrokePairTable& manual();

    // The entries of a surname stroke count in their order; empty when the count has no row.
    std::span<const StrokePair> row(int32_t surnameStrokes) const;
    bool hasRow(int32_t surnameStrokes) const {
        return surnameStrokes >= kFirstRow && surnameStrokes <= kLastRow;
    }
    size_t size() const;

    // How many entries of the surname's row equal (second, third); each one lists the name once.
    int matches(int32_t surnameStrokes, int32_t second, int32_t third) const {
        int n = 0;
        for (const StrokePair& p : row(surnameStrokes)) {
            n += (p.second == second && p.third == third) ? 1 : 0;
        }
        return n;
    }

    struct Row {
        const StrokePair* entries;
        size_t count;
    };

  private:
    explicit StrokePairTable(const Row* rows) : rows_(rows) {}
    const Row* rows_;  // kFirstRow..kLastRow
};

}  // namespace quenvil
