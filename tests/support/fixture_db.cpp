// Fixture databases.
#include "support/fixture_db.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>

#include "data/database.h"
#include "text/gbk.h"
#include "tools/database_builder.h"

namespace quenvil::test {

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("quenvil-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void writeFile(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

namespace {

// A built fixture's name in the cache: a hash of everything the file is made from. The fixture's
// own tables by their text; the real sources by their sizes and times; the builder's code by the
// size and time of this test program, which is linked again whenever that code changes.
std::filesystem::path cachedFixturePath(const std::string& fixtureText,
                                        const std::vector<std::filesystem::path>& realSources) {
    std::string made = fixtureText;
    std::vector<std::filesystem::path> files = realSources;
    files.push_back(std::filesystem::read_symlink("/proc/self/exe"));
    for (const auto& file : files) {
        made += '\n' + file.string() + ' ' + std::to_string(std::filesystem::file_size(file)) +
                ' ' +
                std::to_string(std::filesystem::last_write_time(file).time_since_epoch().count());
    }
    char name[32];
    std::snprintf(name, sizeof name, "%016zx.Mdb", std::hash<std::string>{}(made));
    return programDir().parent_path() / "test-fixtures" / name;
}

// Keeps a copy of a built file under its cache name: written aside, then renamed, so that a test
// running at the same time reads either nothing or the whole file. A failure only loses the copy.
void keepInCache(const std::filesystem::path& built, const std::filesystem::path& cached) {
    static std::atomic<int> counter{0};
    std::error_code ec;
    std::filesystem::create_directories(cached.parent_path(), ec);
    const auto aside =
        cached.string() + "." + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    if (std::filesystem::copy_file(built, aside, ec)) {
        std::filesystem::rename(aside, cached, ec);
    }
    if (ec) std::filesystem::remove(aside, ec);
}

}  // namespace

// Building data.Mdb from the real naming sources takes a third of a second, and ten times that
// under the sanitizers; most tests of the suite start from one of a few fixtures, each test in a
// process of its own. So a built fixture is kept in the build folder and copied from there.
void buildFixtureDb(const std::filesystem::path& dir, const FixtureData& data) {
    const auto sources = dir / "sources";
    std::filesystem::create_directories(sources);
    std::string fantizi = "# fixture\n";
    for (const auto& [count, hanzi] : data.fantizi) {
        fantizi += std::to_string(count) + "\t" + hanzi + "\n";
    }
    writeFile(sources / "fantizi.tsv", fantizi);
    auto rows = [](const std::vector<std::vector<std::string>>& r) {
        std::string text;
        for (const auto& row : r) text += row.at(0) + "\t" + row.at(1) + "\t" + row.at(2) + "\n";
        return text;
    };
    writeFile(sources / "wuge.tsv", rows(data.wuge));
    writeFile(sources / "sancai.tsv", rows(data.sancai));
    // The recommendation engine's sources are the real ones.
    std::vector<std::filesystem::path> realSources;
    for (const char* file :
         {"pinyin.tsv", "surname_readings.tsv", "compound_surnames.txt", "bad_sounds.tsv",
          "given_name_chars.txt", "given_name_exclusions.txt", "name_readings.tsv",
          "name_words.tsv", "famous_people.tsv", "given_names.tsv", "classics.tsv"}) {
        realSources.push_back(sourceDir() / "resources" / file);
        std::filesystem::copy_file(realSources.back(), sources / file,
                                   std::filesystem::copy_options::overwrite_existing);
    }
    const auto cached =
        cachedFixturePath(fantizi + rows(data.wuge) + rows(data.sancai), realSources);
    std::error_code ec;
    if (std::filesystem::copy_file(cached, dir / kDatabaseFileName,
                                   std::filesystem::copy_options::overwrite_existing, ec)) {
        return;
    }
    buildDatabase(sources, dir / kDatabaseFileName);
    keepInCache(dir / kDatabaseFileName, cached);
}

FixtureData standardFixture() {
    FixtureData d;
    d.fantizi = {
        {1, "一乙"},        {2, "二丁人"}, {3, "三小子"}, {4, "王文方"}, {5, "四平石"},
        {6, "朱米"},        {7, "李吴何"}, {8, "明林周"}, {9, "思俊美"}, {10, "高马孙徐"},
        {11, "张海伟国浩"}, {12, "黄婷"},  {13, "杨"},    {14, "赵"},    {15, "刘"},
        {16, "陈"},         {17, "阳"},    {19, "郑"},    {20, "罗"},    {11, "梁"},
        {99, "海"},  // a later row never wins over the first
    };
    for (int n = 1; n <= 81; ++n) {
        d.wuge.push_back({std::to_string(n), n % 2 ? "吉" : "凶", "数" + std::to_string(n)});
    }
    for (const char* key : {"金金木", "火木木", "土火土", "木水木"}) {
        d.sancai.push_back({key, "吉", std::string("配置") + key});
    }
    return d;
}

namespace {
const char* const kNumbered[] = {"一", "二", "三", "四", "五", "六", "七", "八", "九", "十",
                                 "壹", "贰", "叁", "肆", "伍", "陆", "柒", "捌", "玖", "拾",
                                 "甲", "乙", "丙", "丁", "戊", "己", "庚", "辛", "壬", "癸"};
}  // namespace

std::string charOf(int strokes) { return kNumbered[strokes - 1]; }

std::string nameOf(int a, int b, int c) { return G((charOf(a) + charOf(b) + charOf(c)).c_str()); }

FixtureData numberedFixture() {
    FixtureData d;
    for (int n = 1; n <= 30; ++n) d.fantizi.emplace_back(n, charOf(n));
    return d;
}

std::filesystem::path programDir() { return QUENVIL_PROGRAM_DIR; }
std::filesystem::path sourceDir() { return QUENVIL_SOURCE_DIR; }
std::filesystem::path testDataDir() { return QUENVIL_TEST_DATA_DIR; }

std::string G(const char* utf8) { return utf8ToGbk(utf8); }

bool databaseIsIdle(const std::filesystem::path& dir) {
    Connection other;
    other.open(dir / kDatabaseFileName, kDatabasePassword);
    other.setBusyTimeout(0);
    try {
        other.execute("begin exclusive");
    } catch (const DatabaseBusyError&) {
        return false;
    }
    other.execute("rollback");
    return true;
}

ReadOnlyFolder::ReadOnlyFolder(std::filesystem::path folder) : folder_(std::move(folder)) {
    std::filesystem::permissions(
        folder_, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                     std::filesystem::perms::group_read | std::filesystem::perms::group_exec |
                     std::filesystem::perms::others_read | std::filesystem::perms::others_exec);
    if (::geteuid() == 0) {
        // Root writes through the mode bits; the immutable attribute stops it too.
        const std::string command = "chattr +i '" + folder_.string() + "' 2>/dev/null";
        immutable_ = std::system(command.c_str()) == 0;
    }
    const auto probe = folder_ / ".probe";
    std::ofstream out(probe);
    ok_ = !out;
    if (out) {
        out.close();
        std::filesystem::remove(probe);
    }
}

ReadOnlyFolder::~ReadOnlyFolder() {
    if (immutable_) {
        const std::string command = "chattr -i '" + folder_.string() + "' 2>/dev/null";
        if (std::system(command.c_str()) != 0) return;
    }
    std::error_code ec;
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_all, ec);
}

SmallFileSystem::SmallFileSystem(std::filesystem::path folder, size_t kib)
    : folder_(std::move(folder)) {
    std::filesystem::create_directories(folder_);
    if (::geteuid() != 0) return;
    const std::string command = "mount -t tmpfs -o size=" + std::to_string(kib) + "k tmpfs '" +
                                folder_.string() + "' 2>/dev/null";
    ok_ = std::system(command.c_str()) == 0;
}

SmallFileSystem::~SmallFileSystem() {
    if (!ok_) return;
    const std::string command = "umount '" + folder_.string() + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) return;
}

void SmallFileSystem::fill() const {
    std::ofstream out(folder_ / "filler", std::ios::binary);
    const std::string block(4096, 'f');
    while (out.write(block.data(), static_cast<std::streamsize>(block.size()))) {
    }
}

}  // namespace quenvil::test
