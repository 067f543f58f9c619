// Splitting the first line of a user's name-list file into name tokens.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quenvil {

// Hands the tokens of a line to f one by one as views: into the line, or for a quoted token with
// a doubled quote into a buffer that the next token reuses. Nothing is kept per token.
// Tokens are separated by runs of bytes 0 to 32 (blanks and control characters); such bytes at
// both ends are ignored. A token that begins with a double quote runs to its closing quote and may
// hold blanks; a doubled quote inside stands for one quote; an unclosed quote runs to the end of
// the line. Double-byte GBK characters are stepped over whole, so their second byte never splits
// or closes a token; a lead byte followed by a byte that cannot be a GBK trail byte (0x40 to 0x7E,
// 0x80 to 0xFE) is a byte of its own, so a blank after it still separates.
void forEachImportToken(std::string_view line, const std::function<void(std::string_view)>& f);

// forEachImportToken for a line that arrives in pieces (a file read in blocks), with the same
// tokens: a GBK trail byte (0x40 and up) is never a blank or a quote, so the line can be cut byte
// by byte. Each token is handed over as its first bytes (at most kKeptBytes) and its length: a
// token of megabytes is never held whole, and a name (six bytes) is always whole.
class ImportLineStream {
  public:
    static constexpr size_t kKeptBytes = 8;
    using OnToken = std::function<void(std::string_view firstBytes, size_t length)>;
    explicit ImportLineStream(OnToken onToken) : onToken_(std::move(onToken)) {}
    // The next piece of the line (without its line break).
    void feed(std::string_view piece);
    // The end of the line.
    void finish();

  private:
    enum class State { Between, Plain, Quoted, QuoteSeen };
    void add(char ch) {
        if (kept_.size() < kKeptBytes) kept_ += ch;
        ++length_;
    }
    void emit();
    OnToken onToken_;
    State state_ = State::Between;
    std::string kept_;
    size_t length_ = 0;
};

// A line as the preview shows it: a line longer than maxBytes is cut after its last whole
// character within maxBytes and ends in a note, so that a first line of megabytes does not freeze
// the window. The import always reads the whole line.
std::string previewLine(const std::string& gbk, size_t maxBytes);

// Only tokens of exactly six bytes (three double-byte characters) become names.
inline bool isImportableName(std::string_view token) { return token.size() == 6; }

}  // namespace quenvil
