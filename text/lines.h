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
// text when the file cannot be read, and "<file>: is a folder, not a file" for a folder.
std::string readWholeFile(const std::filesystem::path& file);

// readWholeFile, split into lines.
std::vector<std::string> readLinesFile(const std::filesystem::path& file);

// A user's name-list file as GBK lines: UTF-8 and UTF-16 files are converted (toGbkText), GBK
// files are read byte for byte.
std::vector<std::string> readNameListLines(const std::filesystem::path& file);

// A file read block by block, with readWholeFile's errors.
class FileBlocks {
  public:
    explicit FileBlocks(const std::filesystem::path& file);
    ~FileBlocks();
    FileBlocks(const FileBlocks&) = delete;
    FileBlocks& operator=(const FileBlocks&) = delete;

    // Fills buffer with up to size bytes; 0 at the end of the file.
    size_t read(char* buffer, size_t size);
    // The size of a regular file, 0 for anything else.
    size_t sizeHint() const { return sizeHint_; }

  private:
    std::filesystem::path file_;
    int fd_ = -1;
    size_t sizeHint_ = 0;
};

}  // namespace quenvil
