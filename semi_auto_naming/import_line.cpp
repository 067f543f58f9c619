// Import line tokenizer.
#include "semi_auto_naming/import_line.h"

#include "text/gbk.h"

namespace quenvil {
namespace {

bool isSeparator(unsigned char b) { return b <= 0x20; }

bool isGbkTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

// Steps over one character: two bytes for a GBK lead byte followed by a possible trail byte.
size_t charLength(std::string_view s, size_t i) {
    return (isGbkLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() &&
            isGbkTrailByte(static_cast<unsigned char>(s[i + 1])))
               ? 2
               : 1;
}

}  // namespace

void forEachImportToken(std::string_view s, const std::function<void(std::string_view)>& f) {
    std::string unquoted;  // a quoted token whose doubled quotes stand for one
    size_t i = 0;
    auto skipSeparators = [&] {
        while (i < s.size() && isSeparator(static_cast<unsigned char>(s[i]))) ++i;
    };
    skipSeparators();
    while (i < s.size()) {
        if (s[i] == '"') {
            ++i;
            const size_t start = i;
            bool doubled = false;
            unquoted.clear();
            size_t end = s.size();
            while (i < s.size()) {
                if (s[i] == '"') {
                    if (i + 1 < s.size() && s[i + 1] == '"') {
                        if (!doubled) unquoted.assign(s.substr(start, i - start));
                        doubled = true;
                        unquoted += '"';
                        i += 2;
                        continue;
                    }
                    end = i;
                    ++i;  // closing quote
                    break;
                }
                const size_t n = charLength(s, i);
                if (doubled) unquoted.append(s.substr(i, n));
                i += n;
            }
            f(doubled ? std::string_view(unquoted) : s.substr(start, end - start));
        } else {
            const size_t start = i;
            while (i < s.size() && !isSeparator(static_cast<unsigned char>(s[i]))) {
                i += charLength(s, i);
            }
            f(s.substr(start, std::min(i, s.size()) - start));
        }
        skipSeparators();
    }
}

void ImportLineStream::feed(std::string_view piece) {
    for (const char ch : piece) {
        const bool separator = isSeparator(static_cast<unsigned char>(ch));
        switch (state_) {
            case State::QuoteSeen:
                if (ch == '"') {  // a doubled quote stands for one
                    add(ch);
                    state_ = State::Quoted;
                    break;
                }
                emit();  // the closing quote: the byte opens what follows
                [[fallthrough]];
            case State::Between:
                if (separator) break;
                if (ch == '"') {
                    state_ = State::Quoted;
                } else {
                    state_ = State::Plain;
                    add(ch);
                }
                break;
            case State::Plain:
                if (separator) {
                    emit();
                } else {
                    add(ch);
                }
                break;
            case State::Quoted:
                if (ch == '"') {
                    state_ = State::QuoteSeen;
                } else {
                    add(ch);
                }
                break;
        }
    }
}

void ImportLineStream::finish() {
    if (state_ != State::Between) emit();  // an unclosed quote runs to the end of the line
}

void ImportLineStream::emit() {
    onToken_(kept_, length_);
    kept_.clear();
    length_ = 0;
    state_ = State::Between;
}

std::string previewLine(const std::string& gbk, size_t maxBytes) {
    if (gbk.size() <= maxBytes) return gbk;
    size_t end = 0;
    while (end < gbk.size()) {
        const size_t next = end + charLength(gbk, end);
        if (next > maxBytes) break;
        end = next;
    }
    return gbk.substr(0, end) + utf8ToGbk("……（此行共 " + std::to_string(gbk.size()) +
                                          " 字节，预览只显示开头部分，导入时读取整行）");
}

}  // namespace quenvil
