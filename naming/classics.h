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
#include <unordered_map>
#include <vector>

namespace quenvil {

// The books, in the order a name's source is chosen when it stands in several.
enum class Book : uint8_t { Shijing, Chuci, Lunyu, Tangshi, Songci, Guwen };
inline constexpr size_t kBookCount = 6;

// "诗经" "楚辞" "论语" "唐诗" "宋词" "古文".
std::string_view bookName(Book b);
// The book of a name; false for any other text.
bool parseBook(std::string_view name, Book& out);

struct ClassicLine {
    Book book = Book::Shijing;
    std::string title;   // 小雅·鹿鸣
    std::string author;   // empty where the source has none
    std::string text;     // 呦呦鹿鸣，食野之苹。
};

class ClassicLines {
  public:
    static constexpr int32_t kNone = -1;

    // A row of classics.tsv. Throws NamingDataError for an unknown book or an empty line.
    void add(std::string_view book, std::string_view title, std::string_view author,
             std::string_view text);
    size_t size() const { return lines_.size(); }
    const ClassicLine& line(int32_t id) const { return lines_[static_cast<size_t>(id)]; }

    // Builds the index of the given names the lines hold: every ordered pair of characters a, b
    // of one line (a before b, a == b only where the character stands twice) that usable
    // accepts. Each pair keeps its first line in every book. Call once, after the last add.
    void index(const std::function<bool(char32_t)>& usable);

    struct Pair {
        char32_t first, second;
        std::array<int32_t, kBookCount> lines;  // the first line in each book, or kNone
        // The first line in book order (every pair has one).
        int32_t firstLine() const;
    };
    // The indexed pairs, in the order they were first found.
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
    std::vector<ClassicLine> lines_;
    std::vector<Pair> pairs_;
    std::unordered_map<uint64_t, uint32_t> pairIndex_;
};

}  // namespace quenvil
