// File reading and line splitting.
#include "text/lines.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace quenvil {

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    size_t i = 0;
    while (i < text.size()) {
        const char ch = text[i];
        if (ch == '\r' || ch == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::string readWholeFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error(file.string() + ": " + std::strerror(errno));
    std::string data;
    in.seekg(0, std::ios::end);
    const auto size = in.tellg();
    if (size > 0) {
        data.resize(static_cast<size_t>(size));
        in.seekg(0);
        in.read(data.data(), size);
    }
    if (in.bad()) throw std::runtime_error(file.string() + ": " + std::strerror(errno));
    if (size < 0) {
        // Not seekable (a pipe or device): read it as a stream.
        in.clear();
        data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return data;
}

std::vector<std::string> readLinesFile(const std::filesystem::path& file) {
    return splitLines(readWholeFile(file));
}

}  // namespace quenvil
