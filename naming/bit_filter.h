// Bit sets that answer "certainly not" cheaply before a hash or a binary search: most names
// hit no word rule and stand in no line of a classic, and ranking millions of names asks
// for each of them.
#pragma once

#include <cstdint>
#include <vector>

namespace quenvil {

// The characters of the basic plane, one bit each; a character beyond it is always "maybe".
class CharacterBits {
  public:
    CharacterBits() : bits_(kWords, 0) {}
    void set(char32_t cp) {
        if (cp < kLimit) bits_[cp >> 6] |= uint64_t{1} << (cp & 63);
    }
    bool maybe(char32_t cp) const { return cp >= kLimit || (bits_[cp >> 6] >> (cp & 63) & 1) != 0; }

  private:
    static constexpr char32_t kLimit = 0x10000;
    static constexpr size_t kWords = kLimit / 64;
    std::vector<uint64_t> bits_;
};

// Pairs of characters hashed into 2^20 bits (128 KiB): false for a pair never set; true for one
// set and, rarely, for one that was not.
class PairBits {
  public:
    PairBits() : bits_(kWords, 0) {}
    void set(char32_t a, char32_t b) {
        const uint32_t h = hash(a, b);
        bits_[h >> 6] |= uint64_t{1} << (h & 63);
    }
    bool maybe(char32_t a, char32_t b) const {
        const uint32_t h = hash(a, b);
        return (bits_[h >> 6] >> (h & 63) & 1) != 0;
    }

  private:
    static constexpr uint32_t kBits = 20;
    static constexpr size_t kWords = (size_t{1} << kBits) / 64;
    static uint32_t hash(char32_t a, char32_t b) {
        const uint64_t k = ((uint64_t{a} << 21) | b) * 0x9E3779B97F4A7C15ull;
        return static_cast<uint32_t>(k >> (64 - kBits));
    }
    std::vector<uint64_t> bits_;
};

}  // namespace quenvil
