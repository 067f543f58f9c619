// Cutting a list of names that a user hands in: one per line, or separated by blanks or commas.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quenvil {

// Cuts a text (UTF-8) into names: line breaks, blanks (also the ideographic space U+3000) and
// commas (also the full-width comma ， and the enumeration comma 、) separate them; empty pieces
// are skipped. next() returns false at the end.
class NameCutter {
  public:
    explicit NameCutter(std::string_view text) : text_(text) {}
    bool next(std::string_view& name);
    size_t position() const { return pos_; }  // bytes of the text consumed

  private:
    // The length of the separator at pos (0 when none).
    size_t separatorAt(size_t pos) const;
    std::string_view text_;
    size_t pos_ = 0;
};

// Longer pieces of a list are no name (a name is four characters of at most four bytes): they are
// skipped, never kept whole.
inline constexpr size_t kLongestNameBytes = 64;

// NameCutter for a list that arrives in pieces (a file read in blocks, as UTF-8 of whole
// characters): a name cut by the end of a piece is joined with the rest of it. A piece of text
// longer than kLongestNameBytes is handed to onTooLong once, as its first characters and its
// length, and is never held whole, however long it is.
class NameStream {
  public:
    // onName(std::string_view) for each name; onTooLong(std::string_view start, size_t bytes).
    template <typename OnName, typename OnTooLong>
    void feed(std::string_view text, OnName&& onName, OnTooLong&& onTooLong);
    // The end of the list: hands over what is held.
    template <typename OnName, typename OnTooLong>
    void finish(OnName&& onName, OnTooLong&& onTooLong);

  private:
    static constexpr size_t kShownBytes = 24;
    void startSkip(std::string_view start);
    std::string carry_;  // the start of a name that the piece's end cut
    bool skipping_ = false;
    size_t skipped_ = 0;        // bytes of the long piece so far
    std::string skippedStart_;  // its first characters
};

template <typename OnName, typename OnTooLong>
void NameStream::feed(std::string_view text, OnName&& onName, OnTooLong&& onTooLong) {
    std::string joined;
    std::string_view t = text;
    if (!carry_.empty()) {
        joined = carry_ + std::string(text);
        carry_.clear();
        t = joined;
    }
    auto endSkip = [&] {
        skipping_ = false;
        onTooLong(std::string_view(skippedStart_), skipped_);
    };
    bool continuing = skipping_;  // the piece may go on with the long piece before it
    NameCutter cutter(t);
    for (std::string_view name; cutter.next(name);) {
        const bool atStart = name.data() == t.data();
        const bool atEnd = name.data() + name.size() == t.data() + t.size();
        if (continuing) {
            continuing = false;
            if (atStart) {
                skipped_ += name.size();
                if (atEnd) return;
                endSkip();
                continue;
            }
            endSkip();
        }
        if (atEnd) {
            if (name.size() > kLongestNameBytes) {
                startSkip(name);
            } else {
                carry_.assign(name);
            }
            return;
        }
        if (name.size() > kLongestNameBytes) {
            startSkip(name);
            endSkip();
        } else {
            onName(name);
        }
    }
    if (continuing && !t.empty()) endSkip();
}

template <typename OnName, typename OnTooLong>
void NameStream::finish(OnName&& onName, OnTooLong&& onTooLong) {
    if (skipping_) {
        skipping_ = false;
        onTooLong(std::string_view(skippedStart_), skipped_);
    }
    if (!carry_.empty()) onName(std::string_view(carry_));
    carry_.clear();
}

}  // namespace quenvil
