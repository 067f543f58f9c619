// Reading files and cutting text into lines. Bytes pass through unchanged (GBK stays GBK).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quenvil {

// Cuts text into lines at CR, LF or CR LF, also when it arrives in pieces (a file read in blocks):
// a line or a CR LF cut between two pieces is joined. A single break after the last line adds
// no empty line; two breaks add one.
class LineSplitter {
  public:
    // Hands every line that a break of this piece completes to onLine, as a view valid during the
    // call. When onLine returns false the rest is not read and feed returns false.
    template <typename OnLine>
    bool feed(std::string_view piece, OnLine&& onLine);
    // Hands over the last line when the text did not end in a break.
    template <typename OnLine>
    void finish(OnLine&& onLine);

  private:
    std::string partial_;   // the start of a line that no break has ended yet
    bool afterCr_ = false;  // the last piece ended in CR: an LF that follows belongs to it
};

// The lines of a whole text, by LineSplitter.
std::vector<std::string> splitLines(std::string_view text);

// Reads a whole file as bytes. Throws std::system_error (its text the file's name and the
// system's reason, its code the errno) when the file cannot be read, and "<file>: is a folder, not
// a file" for a folder.
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

template <typename OnLine>
bool LineSplitter::feed(std::string_view piece, OnLine&& onLine) {
    size_t start = 0;
    if (afterCr_ && !piece.empty()) {
        if (piece[0] == '\n') start = 1;
        afterCr_ = false;
    }
    for (size_t i = start; i < piece.size(); ++i) {
        const char ch = piece[i];
        if (ch != '\r' && ch != '\n') continue;
        std::string_view line = piece.substr(start, i - start);
        if (!partial_.empty()) {
            partial_.append(line);
            line = partial_;
        }
        const bool more = onLine(line);
        partial_.clear();
        if (!more) return false;
        if (ch == '\r') {
            if (i + 1 == piece.size()) {
                afterCr_ = true;
            } else if (piece[i + 1] == '\n') {
                ++i;
            }
        }
        start = i + 1;
    }
    partial_.append(piece.substr(start));
    return true;
}

template <typename OnLine>
void LineSplitter::finish(OnLine&& onLine) {
    if (!partial_.empty()) onLine(std::string_view(partial_));
    partial_.clear();
    afterCr_ = false;
}

}  // namespace quenvil
