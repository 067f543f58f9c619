// Stroke lookup through the statement and through the index built at opening.
#include "data/stroke_lookup.h"

#include <string>
#include <unordered_map>

#include "text/gbk.h"
#include "text/utf8.h"

namespace quenvil {
namespace {

// LIKE pattern that matches the bound text literally anywhere in hanzi.
constexpr const char* kLookupSql =
    "select * from fantizi where hanzi like '%' || ? || '%' escape '\\'";

// Escapes LIKE's special characters. Done on UTF-8, where these bytes are always characters of
// their own, never parts of a multi-byte character.
std::string escapeLike(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size() + 4);
    for (const char ch : utf8) {
        if (ch == '\\' || ch == '%' || ch == '_') out += '\\';
        out += ch;
    }
    return out;
}

}  // namespace

int32_t StrokeLookup::strokesByStatement(std::string_view gbk) {
    // Only the first row counts; no read lock is kept.
    const auto count =
        queryInteger(dataSet_, kLookupSql, {Param::utf8(escapeLike(gbkToUtf8(gbk)))}, "bihua");
    return static_cast<int32_t>(count.value_or(0));
}

void StrokeLookup::buildIndex(Connection& connection) {
    index_.clear();
    // The first row, in the order a full scan delivers them, that holds a code point.
    std::unordered_map<UChar32, int32_t> firstCount;
    DataSet scan(connection);
    scan.setCommandText("select * from fantizi");
    scan.open();
    for (; !scan.eof(); scan.next()) {
        const std::string_view hanzi = scan.fieldUtf8("hanzi");
        const auto count = static_cast<int32_t>(scan.fieldInteger("bihua"));
        forEachCodePoint(hanzi, [&](UChar32 cp, std::string_view) {
            if (cp >= 0) firstCount.emplace(cp, count);
        });
    }
    std::vector<int32_t> index(65536, kNotOneCharacter);
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const int32_t cp = gbkUnitCodePoint(static_cast<unsigned char>(lead),
                                                static_cast<unsigned char>(trail));
            if (cp < 0) continue;
            const auto it = firstCount.find(cp);
            index[(lead << 8) | trail] = it == firstCount.end() ? 0 : it->second;
        }
    }
    index_ = std::move(index);
}

}  // namespace quenvil
