// The data that ships with the program: stroke counts, meanings, name lists and the help page.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "auto_naming/name_list.h"
#include "data/database.h"
#include "support/fixture_db.h"
#include "text/gbk.h"
#include "text/lines.h"

namespace quenvil {
namespace {

using test::G;

class ShippedDatabase : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        db = new Database;
        db->open(test::programDir());
    }
    static void TearDownTestSuite() {
        delete db;
        db = nullptr;
    }
    static std::vector<std::pair<int, std::string>> fantiziRows() {
        std::vector<std::pair<int, std::string>> rows;
        db->ADODS2.close();
        db->ADODS2.setCommandText("select * from fantizi");
        db->ADODS2.open();
        for (; !db->ADODS2.eof(); db->ADODS2.next()) {
            rows.emplace_back(static_cast<int>(db->ADODS2.fieldInteger("bihua")),
                              std::string(db->ADODS2.fieldUtf8("hanzi")));
        }
        return rows;
    }
    static Database* db;
};
Database* ShippedDatabase::db = nullptr;

TEST_F(ShippedDatabase, ReferenceStrokeCounts) {
    const std::map<std::string, int> expected = {
        {"王", 4},  {"李", 7},  {"张", 11}, {"刘", 15}, {"陈", 16}, {"杨", 13}, {"黄", 12},
        {"赵", 14}, {"吴", 7},  {"周", 8},  {"徐", 10}, {"孙", 10}, {"马", 10}, {"朱", 6},
        {"林", 8},  {"何", 7},  {"高", 10}, {"罗", 20}, {"郑", 19}, {"梁", 11}, {"海", 11},
        {"明", 8},  {"伟", 11}, {"婷", 12}, {"俊", 9},  {"国", 11}, {"浩", 11}, {"張", 11},
        {"劉", 15}, {"陳", 16}, {"楊", 13}, {"黃", 12}, {"趙", 14}, {"吳", 7},  {"孫", 10},
        {"馬", 10}, {"羅", 20}, {"鄭", 19}, {"偉", 11}, {"國", 11}, {"一", 1},  {"五", 5},
        {"六", 6},  {"七", 7},  {"八", 8},  {"九", 9},  {"十", 10}, {"华", 14}, {"思", 9},
        {"叶", 15}, {"钟", 17}, {"发", 12}, {"江", 7},  {"扬", 13}, {"情", 12}, {"狄", 8},
        {"琳", 13}, {"祥", 11}, {"裕", 13}, {"胡", 11}, {"芳", 10}, {"远", 17}, {"陆", 16},
        {"邦", 11}};
    for (const auto& [ch, count] : expected) {
        EXPECT_EQ(db->strokes.strokes(G(ch.c_str())), count) << ch;
    }
}

TEST_F(ShippedDatabase, EveryGbkIdeographExactlyOnceAndNothingElse) {
    std::map<int32_t, int> seen;
    for (const auto& [count, hanzi] : fantiziRows()) {
        const std::string gbk = utf8ToGbk(hanzi);
        ASSERT_EQ(gbkToUtf8(gbk), hanzi) << "not GBK: " << hanzi;
        for (size_t i = 0; i + 1 < gbk.size(); i += 2) {
            const int32_t cp = gbkUnitCodePoint(static_cast<unsigned char>(gbk[i]),
                                                static_cast<unsigned char>(gbk[i + 1]));
            ASSERT_GE(cp, 0) << hanzi;
            ++seen[cp];
        }
        ASSERT_GT(count, 0);
    }
    auto ideograph = [](int32_t cp) {
        return (cp >= 0x3400 && cp <= 0x4DBF) || (cp >= 0x4E00 && cp <= 0x9FFF) ||
               (cp >= 0xF900 && cp <= 0xFAFF);
    };
    size_t expected = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const int32_t cp = gbkUnitCodePoint(static_cast<unsigned char>(lead),
                                                static_cast<unsigned char>(trail));
            if (!ideograph(cp)) continue;
            ++expected;
            EXPECT_EQ(seen[cp], 1) << std::hex << cp;
        }
    }
    EXPECT_GT(expected, 20000u);
    for (const auto& [cp, n] : seen) EXPECT_TRUE(ideograph(cp)) << std::hex << cp;
    EXPECT_EQ(seen.size(), expected);
}

TEST_F(ShippedDatabase, FirstRowOfEachCountHoldsTheCommonCharacters) {
    std::map<int, std::string> firstRow;
    int previous = 0;
    for (const auto& [count, hanzi] : fantiziRows()) {
        EXPECT_GE(count, previous) << "rows are ordered by count";
        previous = count;
        firstRow.emplace(count, hanzi);
    }
    for (const char* ch :
         {"王", "李", "张", "海", "明", "伟", "婷", "俊", "浩", "思", "华", "芳",
          "敏", "静", "杰", "涛", "娜", "丽", "强", "军", "洋", "勇", "磊", "文"}) {
        const int n = db->strokes.strokes(G(ch));
        EXPECT_NE(firstRow[n].find(ch), std::string::npos)
            << ch << " not in the first row of " << n;
    }
    for (int n = 1; n <= 30; ++n) EXPECT_FALSE(firstRow[n].empty()) << n;
}

TEST_F(ShippedDatabase, MeaningsOfEveryNumberAndConfiguration) {
    for (int n = 1; n <= 160; ++n) {
        db->ADODS1.close();
        db->ADODS1.setCommandText("select * from wuge where shuzi=?",
                                  {Param::gbk(std::to_string(n))});
        db->ADODS1.open();
        EXPECT_GT(db->ADODS1.fieldText("hanyi").size(), 20u) << n;
    }
    const char* elements[] = {"木", "火", "土", "金", "水"};
    for (const char* h : elements) {
        for (const char* p : elements) {
            for (const char* e : elements) {
                const std::string key = G(h) + G(p) + G(e);
                db->ADODS1.close();
                db->ADODS1.setCommandText("select * from sancai where sancai=?", {Param::gbk(key)});
                db->ADODS1.open();
                EXPECT_GT(db->ADODS1.fieldText("hanyi").size(), 20u) << gbkToUtf8(key);
            }
        }
    }
}

TEST(ShippedNameLists, EveryFileIsGbkWithThreeCharacterLines) {
    const auto folder = test::programDir() / "xm";
    const std::vector<std::string> files = listNameListFiles(folder);
    ASSERT_GE(files.size(), 104u);
    std::set<std::string> names(files.begin(), files.end());
    for (const char* compound :
         {"欧阳.txt", "司马.txt", "诸葛.txt", "上官.txt", "王.txt", "李.txt"}) {
        EXPECT_TRUE(names.count(compound)) << compound;
    }
    for (const std::string& file : files) {
        const std::string bytes = readWholeFile(folder / file);
        ASSERT_EQ(utf8ToGbk(gbkToUtf8(bytes)), bytes) << file;
        const std::vector<std::string> lines = splitLines(bytes);
        const bool compound = firstCharacter(file).size() + 4 < file.size();
        if (!compound) {
            EXPECT_GE(lines.size(), 20000u) << file;
            EXPECT_LE(lines.size(), 60000u) << file;
        }
        for (const std::string& line : lines) {
            ASSERT_EQ(line.size(), 6u) << file;
            for (size_t i = 0; i < 6; i += 2) {
                ASSERT_GE(gbkUnitCodePoint(static_cast<unsigned char>(line[i]),
                                           static_cast<unsigned char>(line[i + 1])),
                          0x3400)
                    << file;
            }
        }
    }
}

TEST(ShippedHelpPage, IsGbkWithItsCharsetDeclared) {
    const auto page = test::programDir() / "help" / "Quenvil使用教程.html";
    const std::string bytes = readWholeFile(page);
    EXPECT_EQ(utf8ToGbk(gbkToUtf8(bytes)), bytes);
    EXPECT_NE(bytes.find("charset=\"gbk\""), std::string::npos);
    const std::string text = gbkToUtf8(bytes);
    for (const char* caption : {"自动取名", "手动取名", "半自动取名", "测算名字五行", "筛选-&gt;",
                                "系统选字", "浏览....."}) {
        EXPECT_NE(text.find(caption), std::string::npos) << caption;
    }
}

}  // namespace
}  // namespace quenvil
