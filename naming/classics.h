// Lines of the classics (resources/classics.tsv, from 诗经, 楚辞, 论语, 唐诗三百首, 宋词三百首 and
// 古文观止): the given names that two characters of one line make, in their order, and the line
// a name comes from.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/utf8.h"

namespace quenvil {

// The books, in the order a name's source is chosen when it stands in several.
enum class Book : uint8_t { Shijing, Chuci, Lunyu, Tangshi, Songci, Guwen };
inline constexpr size_t kBookCount = 6;

// "诗经" "楚辞" "论语" "唐诗" "宋词" "古文".
std::string_view bookName(Book b);
// The book of a name; false for any other text.
bool parseBook(std::string_view name, Book& out);

// A piece of a classic: a poem, a chapter, an essay.
struct ClassicPiece {
    Book book = Book::Shijing;
    std::string title;   // 小雅·鹿鸣
    std::string author;  // empty where the source has none
};

// Characters that never make a name from a classic, whatever list holds them: the particles
// and function words of classical Chinese.
inline constexpr std::u32string_view kFunctionCharacters =
    U"之乎者也矣焉哉兮其而于则乃且所与曰夫耳";

// Calls f(a, b) for every pair of characters that a name may take from a line: a before b in
// one clause (a run of CJK ideographs between punctuation marks), both accepted by usable and
// neither a function character; a == b only where the character stands twice. A pair may be
// reported more than once.
template <typename Usable, typename F>
void forEachNamePair(std::string_view line, Usable&& usable, F&& f) {
    char32_t clause[64];
    size_t n = 0;
    auto pairs = [&] {
        for (size_t i = 0; i < n; ++i) {
            for (size_t j = i + 1; j < n; ++j) f(clause[i], clause[j]);
        }
        n = 0;
    };
    forEachCodePoint(line, [&](int32_t cp, std::string_view) {
        const bool ideograph = (cp >= 0x3400 && cp <= 0x4DBF) || (cp >= 0x4E00 && cp <= 0x9FFF) ||
                               (cp >= 0xF900 && cp <= 0xFAFF);
        const auto c = static_cast<char32_t>(cp);
        if (!ideograph) {
            pairs();
        } else if (usable(c) && kFunctionCharacters.find(c) == std::u32string_view::npos &&
                   n < std::size(clause)) {
            clause[n++] = c;
        }
    });
    pairs();
}

class ClassicLines {
  public:
    static constexpr int32_t kNone = -1;

    // A row of classics.tsv; rows of one piece follow each other. Throws NamingDataError for an
    // unknown book or an empty line.
    void add(std::string_view book, std::string_view title, std::string_view author,
             std::string_view text);
    size_t size() const { return lines_.size(); }
    // Room for this many lines of this many bytes in all, before they are added.
    void reserve(size_t lines, size_t bytes) {
        lines_.reserve(lines);
        texts_.reserve(bytes);
    }
    // The text of a line (呦呦鹿鸣，食野之苹。) and the piece it belongs to.
    std::string_view text(int32_t id) const {
        const Line& l = lines_[static_cast<size_t>(id)];
        return std::string_view(texts_).substr(l.offset, l.length);
    }
    const ClassicPiece& pieceOf(int32_t id) const {
        return pieces_[lines_[static_cast<size_t>(id)].piece];
    }

    // Builds the index of the given names the lines hold: the pairs of forEachNamePair. Each
    // pair keeps its first line in every book. Call once, after the last add.
    void index(const std::function<bool(char32_t)>& usable);

    struct Pair {
        char32_t first, second;
        std::array<int32_t, kBookCount> lines;  // the first line in each book, or kNone
        // The first line in book order (every pair has one).
        int32_t firstLine() const;
    };
    // The indexed pairs, ordered by their characters' code points.
    const std::vector<Pair>& pairs() const { return pairs_; }
    // The pair a, b; nullptr when no line holds it (or index has not run).
    const Pair* find(char32_t a, char32_t b) const;

    // "诗经·小雅·鹿鸣: 呦呦鹿鸣，食野之苹。", with the author after the title where there is one
    // ("唐诗·静夜思（李白）: 床前明月光，疑是地上霜。").
    std::string citation(int32_t id) const;
    // The byte offsets in the line's text of the characters a and b of a pair (a's first
    // occurrence, then b's first after it); nullopt when the line does not hold them.
    std::optional<std::pair<size_t, size_t>> positions(int32_t id, char32_t a, char32_t b) const;

  private:
    static uint64_t key(char32_t a, char32_t b) { return (uint64_t{a} << 21) | b; }
    struct Line {
        uint32_t offset, length;  // in texts_
        uint32_t piece;           // in pieces_
    };
    std::vector<ClassicPiece> pieces_;
    std::vector<Line> lines_;
    std::string texts_;           // every line's text, one after another
    std::vector<uint64_t> keys_;  // key() of pairs_, ascending
    std::vector<Pair> pairs_;
};

}  // namespace quenvil
