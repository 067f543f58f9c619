// The folder of surname name lists: the entries of the surname chooser.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quenvil {

// File names (UTF-8, without folder) of the "*.txt" files in a folder (extension matched without
// regard to case), sorted case-insensitively in Chinese (pinyin) collation. Throws
// std::filesystem::filesystem_error when the folder cannot be listed.
std::vector<std::string> listNameListFiles(const std::filesystem::path& folder);

// The first character (a whole code point) of a UTF-8 file name.
std::string firstCharacter(std::string_view utf8Name);

// The chooser entries of a folder: the first character of each listed file name, in order.
std::vector<std::string> surnameEntries(const std::filesystem::path& folder);

}  // namespace quenvil
