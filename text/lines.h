// Reading files and cutting text into lines. Bytes pass through unchanged (GBK stays GBK).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quenvil {

// Splits text into lines at CR, LF or CR LF. A single break after the last line adds no empty
// line; two breaks add one.
std::vector<std::string> splitLines(std::string_view text);

// Reads a whole file as bytes. Throws std::runtime_error with the file's name and the system's
// text when the file cannot be read.
std::string readWholeFile(const std::filesystem::path& file);

// readWholeFile, split into lines.
std::vector<std::string> readLinesFile(const std::filesystem::path& file);

}  // namespace quenvil
