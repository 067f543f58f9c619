// Surname name-list files: the folder listing for the surname chooser and reading one file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quenvil {

// Splits text into lines at CR, LF or CR LF. A single break after the last line adds no empty
// line; two breaks add one.
std::vector<std::string> splitLines(std::string_view text);

// Reads a whole file (bytes, GBK) and splits it into lines. Throws std::runtime_error with the
// system's text when the file cannot be read.
std::vector<std::string> readLinesFile(const std::filesystem::path& file);
std::string readWholeFile(const std::filesystem::path& file);

// File names (UTF-8, without folder) of the "*.txt" files in a folder (extension matched without
// regard to case), sorted case-insensitively in Chinese (pinyin) collation. Throws
// std::filesystem::filesystem_error when the folder cannot be listed.
std::vector<std::string> listNameListFiles(const std::filesystem::path& folder);

// The first character (a whole code point) of a UTF-8 file name.
std::string firstCharacter(std::string_view utf8Name);

// The chooser entries of a folder: the first character of each listed file name, in order.
std::vector<std::string> surnameEntries(const std::filesystem::path& folder);

}  // namespace quenvil
