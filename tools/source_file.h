// Reading the reviewed text sources in resources/: UTF-8, one record a line, fields separated by
// tabs, '#' lines and blank lines ignored.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace quenvil {

// A source that is missing or malformed; the message names the file (and the line).
class SourceError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct SourceLine {
    int number = 0;                   // 1-based line number in the file
    std::vector<std::string> fields;  // the line split at tabs
};

// The records of a source. With columns > 0 every record must have exactly that many fields.
// Throws SourceError "<file>: cannot read: <reason>" for a file that cannot be read and
// "<file>:<line>: expected N tab-separated fields, found M" for a bad line.
std::vector<SourceLine> readSource(const std::filesystem::path& file, size_t columns = 0);

// The same for a source whose records have between minColumns and maxColumns fields (pinyin.tsv:
// a third field lists the readings of a character with several); "<file>:<line>: expected N to M
// tab-separated fields, found K" for a bad line.
std::vector<SourceLine> readSource(const std::filesystem::path& file, size_t minColumns,
                                   size_t maxColumns);

// A field that holds an integer; SourceError "<file>:<line>: not a number: <text>" otherwise.
int32_t integerField(const std::filesystem::path& file, const SourceLine& line, size_t field);

}  // namespace quenvil
