// Fixture databases for tests, built with the same builder as the real data.Mdb.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quenvil::test {

// A fresh temporary folder, removed with its contents at the end of the test.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

struct FixtureData {
    // fantizi rows in table order: {bihua, hanzi} (UTF-8)
    std::vector<std::pair<int, std::string>> fantizi;
    // wuge rows: {shuzi, jixiong, hanyi}; sancai rows: {sancai, jixiong, hanyi}
    std::vector<std::vector<std::string>> wuge;
    std::vector<std::vector<std::string>> sancai;
};

// Writes the sources into dir/sources and builds dir/data.Mdb with the program's password.
void buildFixtureDb(const std::filesystem::path& dir, const FixtureData& data);

// A small character table that covers the tests' names: 王4 李7 张11 海11 婷12 思9 黄12 ...
FixtureData standardFixture();

// One character per stroke count from 1 to 30, each in its own row: charOf(n) has n strokes.
FixtureData numberedFixture();
std::string charOf(int strokes);  // UTF-8
// A GBK name whose three characters have the given stroke counts in numberedFixture().
std::string nameOf(int a, int b, int c);

// Writes bytes to a file; reads a whole file (empty when it cannot be read).
void writeFile(const std::filesystem::path& file, const std::string& bytes);
std::string readFile(const std::filesystem::path& file);

// The real program folder of the build (data.Mdb, xm/, help/).
// Whether text has the shape of pattern: '9' stands for any ASCII digit, every other byte for
// itself ("9999-99-99T99:99:99Z" for a UTC time). std::regex is not used in the tests: GCC 12
// warns inside it when built for the sanitizers.
inline bool hasShape(std::string_view text, std::string_view pattern) {
    if (text.size() != pattern.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (pattern[i] == '9' ? (text[i] < '0' || text[i] > '9') : text[i] != pattern[i]) {
            return false;
        }
    }
    return true;
}

std::filesystem::path programDir();
std::filesystem::path sourceDir();
// Files committed for the tests (tests/data).
std::filesystem::path testDataDir();

// True when another connection can take the database in dir exclusively at once: nobody holds a
// read (or write) transaction on it.
bool databaseIsIdle(const std::filesystem::path& dir);

// Makes a folder read-only even for root (mode 0555 and, where the file system allows, the
// immutable attribute) for the life of the object. ok() is false when the folder stayed writable.
class ReadOnlyFolder {
  public:
    explicit ReadOnlyFolder(std::filesystem::path folder);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
    bool ok() const { return ok_; }

  private:
    std::filesystem::path folder_;
    bool immutable_ = false;
    bool ok_ = false;
};

// A file system of a few KiB mounted on folder (a tmpfs) for the life of the object, to fill it up;
// mounting needs root. ok() is false when nothing was mounted (the test is then skipped).
class SmallFileSystem {
  public:
    SmallFileSystem(std::filesystem::path folder, size_t kib);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;
    bool ok() const { return ok_; }
    // Writes a file that takes the space that is left.
    void fill() const;

  private:
    std::filesystem::path folder_;
    bool ok_ = false;
};

// UTF-8 -> GBK shorthand.
std::string G(const char* utf8);

}  // namespace quenvil::test
