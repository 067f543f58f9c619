// Lines of the classics and the given names they hold.
#include "naming/classics.h"

#include <algorithm>

#include "naming/naming_data.h"
#include "text/utf8.h"

namespace quenvil {
namespace {

constexpr std::string_view kBookNames[kBookCount] = {"诗经", "楚辞", "论语",
                                                     "唐诗", "宋词", "古文"};

}  // namespace

std::string_view bookName(Book b) { return kBookNames[static_cast<size_t>(b)]; }

bool parseBook(std::string_view name, Book& out) {
    for (size_t i = 0; i < kBookCount; ++i) {
        if (kBookNames[i] == name) {
            out = static_cast<Book>(i);
            return true;
        }
    }
    return false;
}

void ClassicLines::add(std::string_view book, std::string_view title, std::string_view author,
                       std::string_view text) {
    Book b;
    if (!parseBook(book, b) || text.empty()) {
        throw NamingDataError("classic line of an unknown book or empty: " + std::string(book) +
                              " " + std::string(text));
    }
    if (pieces_.empty() || pieces_.back().book != b || pieces_.back().title != title ||
        pieces_.back().author != author) {
        pieces_.push_back({b, std::string(title), std::string(author)});
    }
    lines_.push_back({static_cast<uint32_t>(texts_.size()), static_cast<uint32_t>(text.size()),
                      static_cast<uint32_t>(pieces_.size() - 1)});
    texts_ += text;
}

int32_t ClassicLines::Pair::firstLine() const {
    for (int32_t id : lines) {
        if (id != kNone) return id;
    }
    return kNone;
}

void ClassicLines::index(const std::function<bool(char32_t)>& usable) {
    // Every (pair, line) found, then the pairs in key order with their first line of each book.
    struct Found {
        uint64_t key;
        int32_t line;
        bool operator<(const Found& o) const { return key != o.key ? key < o.key : line < o.line; }
    };
    std::vector<Found> found;
    for (size_t id = 0; id < lines_.size(); ++id) {
        forEachNamePair(text(static_cast<int32_t>(id)), usable, [&](char32_t a, char32_t b) {
            found.push_back({key(a, b), static_cast<int32_t>(id)});
        });
    }
    std::sort(found.begin(), found.end());
    keys_.clear();
    pairs_.clear();
    for (const Found& f : found) {
        if (keys_.empty() || keys_.back() != f.key) {
            Pair p{static_cast<char32_t>(f.key >> 21), static_cast<char32_t>(f.key & 0x1FFFFF), {}};
            p.lines.fill(kNone);
            keys_.push_back(f.key);
            pairs_.push_back(p);
        }
        int32_t& first = pairs_.back().lines[static_cast<size_t>(pieceOf(f.line).book)];
        if (first == kNone) first = f.line;
    }
}

const ClassicLines::Pair* ClassicLines::find(char32_t a, char32_t b) const {
    const auto it = std::lower_bound(keys_.begin(), keys_.end(), key(a, b));
    if (it == keys_.end() || *it != key(a, b)) return nullptr;
    return &pairs_[static_cast<size_t>(it - keys_.begin())];
}

std::string ClassicLines::citation(int32_t id) const {
    const ClassicPiece& p = pieceOf(id);
    std::string s(bookName(p.book));
    if (!p.title.empty()) s += "·" + p.title;
    if (!p.author.empty()) s += "（" + p.author + "）";
    s += ": ";
    s += text(id);
    return s;
}

std::optional<std::pair<size_t, size_t>> ClassicLines::positions(int32_t id, char32_t a,
                                                                 char32_t b) const {
    const std::string_view line = text(id);
    std::optional<size_t> first, second;
    size_t offset = 0;
    forEachCodePoint(line, [&](int32_t cp, std::string_view bytes) {
        if (!first && cp == static_cast<int32_t>(a)) {
            first = offset;
        } else if (first && cp == static_cast<int32_t>(b)) {
            second = offset;
            return false;
        }
        offset += bytes.size();
        return true;
    });
    if (!first || !second) return std::nullopt;
    return std::make_pair(*first, *second);
}

}  // namespace quenvil
