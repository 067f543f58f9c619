// Import line tokenizer.
#include "semi_auto_naming/import_line.h"

#include "text/gbk.h"

namespace quenvil {
namespace {

bool isSeparator(unsigned char b) { return b <= 0x20; }

// Steps over one character: two bytes for a GBK lead byte that has a byte after it.
size_t charLength(std::string_view s, size_t i) {
    return (isGbkLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}

}  // namespace

std::vector<std::string> splitImportLine(std::string_view s) {
    std::vector<std::string> tokens;
    size_t i = 0;
    auto skipSeparators = [&] {
        while (i < s.size() && isSeparator(static_cast<unsigned char>(s[i]))) ++i;
    };
    skipSeparators();
    while (i < s.size()) {
        std::string token;
        if (s[i] == '"') {
            ++i;
            while (i < s.size()) {
                if (s[i] == '"') {
                    if (i + 1 < s.size() && s[i + 1] == '"') {
                        token += '"';
                        i += 2;
                        continue;
                    }
                    ++i;  // closing quote
                    break;
                }
                const size_t n = charLength(s, i);
                token.append(s.substr(i, n));
                i += n;
            }
        } else {
            while (i < s.size() && !isSeparator(static_cast<unsigned char>(s[i]))) {
                const size_t n = charLength(s, i);
                token.append(s.substr(i, n));
                i += n;
            }
        }
        tokens.push_back(std::move(token));
        skipSeparators();
    }
    return tokens;
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
