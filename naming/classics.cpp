// Lines of the classics and the given names they hold.
#include "naming/classics.h"

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
    ClassicLine line;
    if (!parseBook(book, line.book) || text.empty()) {
        throw NamingDataError("classic line of an unknown book or empty: " + std::string(book) +
                              " " + std::string(text));
    }
    line.title = title;
    line.author = author;
    line.text = text;
    lines_.push_back(std::move(line));
}

int32_t ClassicLines::Pair::firstLine() const {
    for (int32_t id : lines) {
        if (id != kNone) return id;
    }
    return kNone;
}

void ClassicLines::index(const std::function<bool(char32_t)>& usable) {
    pairs_.clear();
    pairIndex_.clear();
    std::vector<char32_t> chars;
    for (size_t id = 0; id < lines_.size(); ++id) {
        const ClassicLine& line = lines_[id];
        chars.clear();
        forEachCodePoint(line.text, [&](int32_t cp, std::string_view) {
            if (cp > 0 && usable(static_cast<char32_t>(cp))) chars.push_back(static_cast<char32_t>(cp));
        });
        const auto book = static_cast<size_t>(line.book);
        for (size_t i = 0; i < chars.size(); ++i) {
            for (size_t j = i + 1; j < chars.size(); ++j) {
                const uint64_t k = key(chars[i], chars[j]);
                const auto [it, added] =
                    pairIndex_.emplace(k, static_cast<uint32_t>(pairs_.size()));
                if (added) {
                    Pair p{chars[i], chars[j], {}};
                    p.lines.fill(kNone);
                    pairs_.push_back(p);
                }
                int32_t& first = pairs_[it->second].lines[book];
                if (first == kNone) first = static_cast<int32_t>(id);
            }
        }
    }
}

const ClassicLines::Pair* ClassicLines::find(char32_t a, char32_t b) const {
    const auto it = pairIndex_.find(key(a, b));
    return it == pairIndex_.end() ? nullptr : &pairs_[it->second];
}

std::string ClassicLines::citation(int32_t id) const {
    const ClassicLine& l = line(id);
    std::string s(bookName(l.book));
    if (!l.title.empty()) s += "·" + l.title;
    if (!l.author.empty()) s += "（" + l.author + "）";
    s += ": ";
    s += l.text;
    return s;
}

std::optional<std::pair<size_t, size_t>> ClassicLines::positions(int32_t id, char32_t a,
                                                                  char32_t b) const {
    const std::string& text = line(id).text;
    std::optional<size_t> first, second;
    size_t offset = 0;
    forEachCodePoint(text, [&](int32_t cp, std::string_view bytes) {
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
