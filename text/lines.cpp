// File reading and line splitting.
#include "text/lines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <system_error>

#include "text/encoding.h"

namespace quenvil {

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    auto keep = [&](std::string_view line) {
        lines.emplace_back(line);
        return true;
    };
    LineSplitter splitter;
    splitter.feed(text, keep);
    splitter.finish(keep);
    return lines;
}

namespace {

[[noreturn]] void fileError(const std::filesystem::path& file, int error) {
    // what(): "<file>: <the system's reason>", as before; the code tells the reason apart.
    throw std::system_error(error, std::generic_category(), file.string());
}

}  // namespace

FileBlocks::FileBlocks(const std::filesystem::path& file) : file_(file) {
    fd_ = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) fileError(file_, errno);
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        const int error = errno;
        ::close(fd_);
        fileError(file_, error);
    }
    if (S_ISDIR(st.st_mode)) {
        ::close(fd_);
        throw std::runtime_error(file.string() + ": is a folder, not a file");
    }
    if (S_ISREG(st.st_mode)) sizeHint_ = static_cast<size_t>(st.st_size);
}

FileBlocks::~FileBlocks() { ::close(fd_); }

size_t FileBlocks::read(char* buffer, size_t size) {
    while (true) {
        const ssize_t n = ::read(fd_, buffer, size);
        if (n >= 0) return static_cast<size_t>(n);
        if (errno != EINTR) fileError(file_, errno);
    }
}

std::string readWholeFile(const std::filesystem::path& file) {
    FileBlocks blocks(file);
    std::string data;
    // The size of a regular file is known; anything else (a pipe, a device) grows as it comes.
    size_t capacity = blocks.sizeHint() + 1;
    if (capacity < 65536) capacity = 65536;
    data.resize(capacity);
    size_t used = 0;
    while (true) {
        if (used == data.size()) data.resize(data.size() * 2);
        const size_t n = blocks.read(data.data() + used, data.size() - used);
        if (n == 0) break;
        used += n;
    }
    data.resize(used);
    return data;
}

std::vector<std::string> readLinesFile(const std::filesystem::path& file) {
    return splitLines(readWholeFile(file));
}

std::vector<std::string> readNameListLines(const std::filesystem::path& file) {
    return splitLines(toGbkText(readWholeFile(file)).gbk);
}

}  // namespace quenvil
