// Name-list files and the surname folder.
#include "auto_naming/name_list.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace quenvil {

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    size_t i = 0;
    while (i < text.size()) {
        const char ch = text[i];
        if (ch == '\r' || ch == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::string readWholeFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error(file.string() + ": " + std::strerror(errno));
    std::string data;
    in.seekg(0, std::ios::end);
    const auto size = in.tellg();
    if (size > 0) {
        data.resize(static_cast<size_t>(size));
        in.seekg(0);
        in.read(data.data(), size);
    }
    if (in.bad()) throw std::runtime_error(file.string() + ": " + std::strerror(errno));
    if (size < 0) {
        // Not seekable (a pipe or device): read it as a stream.
        in.clear();
        data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return data;
}

std::vector<std::string> readLinesFile(const std::filesystem::path& file) {
    return splitLines(readWholeFile(file));
}

namespace {

bool hasTxtExtension(const std::string& name) {
    if (name.size() < 4) return false;
    std::string ext = name.substr(name.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".txt";
}

}  // namespace

std::vector<std::string> listNameListFiles(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::error_code ec;
        if (!entry.is_regular_file(ec)) continue;
        const std::u8string u8 = entry.path().filename().u8string();
        const std::string name(u8.begin(), u8.end());
        if (hasTxtExtension(name)) names.push_back(name);
    }
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(
        icu::Collator::createInstance(icu::Locale("zh"), status));
    if (U_SUCCESS(status)) {
        collator->setStrength(icu::Collator::SECONDARY);  // case does not count
        std::stable_sort(names.begin(), names.end(),
                         [&](const std::string& a, const std::string& b) {
                             UErrorCode st = U_ZERO_ERROR;
                             return collator->compareUTF8(a, b, st) == UCOL_LESS;
                         });
    } else {
        std::sort(names.begin(), names.end());
    }
    return names;
}

std::string firstCharacter(std::string_view utf8Name) {
    if (utf8Name.empty()) return {};
    const auto* s = reinterpret_cast<const uint8_t*>(utf8Name.data());
    int32_t i = 0;
    UChar32 cp;
    U8_NEXT(s, i, static_cast<int32_t>(utf8Name.size()), cp);
    (void)cp;
    return std::string(utf8Name.substr(0, static_cast<size_t>(i)));
}

std::vector<std::string> surnameEntries(const std::filesystem::path& folder) {
    std::vector<std::string> entries;
    for (const std::string& name : listNameListFiles(folder))
        entries.push_back(firstCharacter(name));
    return entries;
}

}  // namespace quenvil
