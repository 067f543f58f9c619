// The surname folder of the automatic naming window.
#include <gtest/gtest.h>

#include "auto_naming/name_list.h"
#include "support/fixture_db.h"

namespace quenvil {
namespace {

using Lines = std::vector<std::string>;

TEST(NameListFolder, SortedInPinyinOrderWithFirstCharacters) {
    test::TempDir dir;
    for (const char* name : {"张.txt", "李.txt", "欧阳.txt", "欧.TXT", "王.txt", "安.txt",
                             "notes.md", "Zhao.txt", "an.txt"}) {
        test::writeFile(dir.path() / name, "");
    }
    std::filesystem::create_directory(dir.path() / "folder.txt");
    const Lines files = listNameListFiles(dir.path());
    // Chinese collation puts Han characters, in pinyin order, before Latin letters.
    EXPECT_EQ(files, (Lines{"安.txt", "李.txt", "欧.TXT", "欧阳.txt", "王.txt", "张.txt", "an.txt",
                            "Zhao.txt"}));
    EXPECT_EQ(surnameEntries(dir.path()), (Lines{"安", "李", "欧", "欧", "王", "张", "a", "Z"}));
    EXPECT_THROW(listNameListFiles(dir.path() / "missing"), std::filesystem::filesystem_error);
}

}  // namespace
}  // namespace quenvil
