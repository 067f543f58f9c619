// Source file reading.
#include "tools/source_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "text/integer.h"

namespace quenvil {
namespace {

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::string::size_type start = 0;
    while (true) {
        const auto tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? tab : tab - start));
        if (tab == std::string::npos) break;
        start = tab + 1;
    }
    return fields;
}

std::string where(const std::filesystem::path& file, int line) {
    return file.string() + ":" + std::to_string(line) + ": ";
}

}  // namespace

std::vector<SourceLine> readSource(const std::filesystem::path& file, size_t columns) {
    return readSource(file, columns, columns);
}

std::vector<SourceLine> readSource(const std::filesystem::path& file, size_t minColumns,
                                   size_t maxColumns) {
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) {
        throw SourceError(file.string() + ": cannot read: is a folder, not a file");
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) throw SourceError(file.string() + ": cannot read: " + std::strerror(errno));
    std::vector<SourceLine> rows;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields = splitTabs(line);
        if (minColumns > 0 && (fields.size() < minColumns || fields.size() > maxColumns)) {
            const std::string expected =
                std::to_string(minColumns) +
                (maxColumns > minColumns ? " to " + std::to_string(maxColumns) : "");
            throw SourceError(where(file, number) + "expected " + expected +
                              " tab-separated fields, found " + std::to_string(fields.size()));
        }
        rows.push_back({number, std::move(fields)});
    }
    if (in.bad()) throw SourceError(file.string() + ": cannot read: " + std::strerror(errno));
    return rows;
}

int32_t integerField(const std::filesystem::path& file, const SourceLine& line, size_t field) {
    const std::string& text = field < line.fields.size() ? line.fields[field] : std::string();
    if (const auto v = parseInteger(text)) return *v;
    throw SourceError(where(file, line.number) + "not a number: " + text);
}

}  // namespace quenvil
