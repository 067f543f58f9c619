// The surname folder.
#include "auto_naming/name_list.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <memory>

#include "text/utf8.h"

namespace quenvil {

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
    std::string first;
    forEachCodePoint(utf8Name, [&](UChar32, std::string_view bytes) {
        first = bytes;
        return false;
    });
    return first;
}

std::vector<std::string> surnameEntries(const std::filesystem::path& folder) {
    std::vector<std::string> entries;
    for (const std::string& name : listNameListFiles(folder))
        entries.push_back(firstCharacter(name));
    return entries;
}

}  // namespace quenvil
