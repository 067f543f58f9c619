// Fixture databases for tests, built with the same builder as the real data.Mdb.
#pragma once

#include <filesystem>
#include <string>
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

// Writes bytes to a file.
void writeFile(const std::filesystem::path& file, const std::string& bytes);

// The real program folder of the build (data.Mdb, xm/, help/).
std::filesystem::path programDir();
std::filesystem::path sourceDir();
// Files committed for the tests (tests/data).
std::filesystem::path testDataDir();

// UTF-8 -> GBK shorthand.
std::string G(const char* utf8);

}  // namespace quenvil::test
