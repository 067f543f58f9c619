// The data that ships with the program: stroke counts, meanings, name lists and the help page.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "auto_naming/name_list.h"
#include "data/database.h"
#include "support/fixture_db.h"
#include "text/gbk.h"
#include "text/lines.h"

namespace quenvil {
namespace {

using test::G;

// The rows of a tab-separated UTF-8 source of the repository ('#' lines and blank lines skipped),
// each split at tabs.
std::vector<std::vector<std::string>> sourceRows(const std::filesystem::path& relative) {
    std::ifstream in(test::sourceDir() / relative, std::ios::binary);
    EXPECT_TRUE(in) << relative;
    std::vector<std::vector<std::string>> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        std::istringstream split(line);
        for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
        rows.push_back(std::move(fields));
    }
    return rows;
}

// The characters (UTF-8) of the first column of a resources/ list.
std::set<std::string> listedCharacters(const char* file) {
    std::set<std::string> chars;
    for (const auto& row : sourceRows(std::filesystem::path("resources") / file)) {
        chars.insert(row.at(0));
    }
    return chars;
}

// The UTF-8 characters of a string.
std::vector<std::string> utf8Characters(const std::string& utf8) {
    std::vector<std::string> out;
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        out.push_back(utf8.substr(i, length));
        i += length;
    }
    return out;
}

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
        db->importedNames.close();
        db->importedNames.setCommandText("select * from fantizi");
        db->importedNames.open();
        for (; !db->importedNames.eof(); db->importedNames.next()) {
            rows.emplace_back(static_cast<int>(db->importedNames.fieldInteger("bihua")),
                              std::string(db->importedNames.fieldUtf8("hanzi")));
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

// Simplified characters whose first Unihan variant is not the standard traditional form count the
// standard form (勋 once counted 12 from the variant 勛).
TEST_F(ShippedDatabase, SimplifiedCharactersCountTheirStandardTraditionalForm) {
    const struct {
        const char* simplified;
        const char* traditional;
        int count;
    } cases[] = {{"勋", "勳", 16}, {"净", "淨", 12}, {"钩", "鉤", 13},
                 {"鳄", "鱷", 27}, {"锈", "鏽", 21}, {"赝", "贗", 22}};
    for (const auto& c : cases) {
        EXPECT_EQ(db->strokes.strokes(G(c.simplified)), c.count) << c.simplified;
        EXPECT_EQ(db->strokes.strokes(G(c.traditional)), c.count) << c.traditional;
    }
}

// The first row of a count is what the program offers for names: nothing excluded from names.
TEST_F(ShippedDatabase, FirstRowsHoldNoCharacterExcludedFromNames) {
    const std::set<std::string> excluded = listedCharacters("given_name_exclusions.txt");
    ASSERT_GT(excluded.size(), 100u);
    std::map<int, std::string> firstRow;
    std::set<std::string> placed;
    for (const auto& [count, hanzi] : fantiziRows()) {
        firstRow.emplace(count, hanzi);
        for (const std::string& ch : utf8Characters(hanzi)) placed.insert(ch);
    }
    for (const auto& [count, row] : firstRow) {
        for (const std::string& ch : utf8Characters(row)) {
            EXPECT_FALSE(excluded.count(ch)) << ch << " in the first row of " << count;
        }
    }
    // Moved, not dropped: each keeps its place in a later row of its count.
    for (const std::string& ch : excluded) EXPECT_TRUE(placed.count(ch)) << ch;
    EXPECT_EQ(db->strokes.strokes(G("恶")), 12);
    EXPECT_EQ(db->strokes.strokes(G("鬼")), 10);
}

// Every three-talent rating is the traditional one of resources/reference/, and the meaning shown
// starts with it.
TEST_F(ShippedDatabase, ThreeTalentRatingsAreTheTraditionalOnes) {
    const auto reference = sourceRows("resources/reference/sancai_traditional.tsv");
    std::set<std::string> keys;
    for (const auto& row : reference) {
        ASSERT_EQ(row.size(), 2u);
        if (row[0] == "key") continue;
        keys.insert(row[0]);
        auto field = [&](const char* column) {
            return gbkToUtf8(queryText(db->characterQuery, "select * from sancai where sancai=?",
                                       {Param::utf8(row[0])}, column)
                                 .value_or("(no row)"));
        };
        EXPECT_EQ(field("jixiong"), row[1]) << row[0];
        EXPECT_EQ(field("hanyi").rfind("【" + row[1] + "】", 0), 0u) << row[0];
    }
    EXPECT_EQ(keys.size(), 125u);
    db->characterQuery.close();
    db->characterQuery.setCommandText("select * from sancai");
    db->characterQuery.open();
    size_t rows = 0;
    for (; !db->characterQuery.eof(); db->characterQuery.next()) ++rows;
    EXPECT_EQ(rows, 125u);
}

// Every number of 1 to 81 whose public tables agree is rated in that class (大吉 or 吉 for 吉); a
// split number is rated in one of its two classes; 82 to 160 repeat n - 80.
TEST_F(ShippedDatabase, NumberRatingsAreInTheirTraditionalClass) {
    const std::map<std::string, std::string> classOf = {
        {"大吉", "吉"}, {"吉", "吉"}, {"半吉", "半吉"}, {"凶", "凶"}};
    auto ratingOf = [](int n) {
        const auto rating = queryText(db->characterQuery, "select * from wuge where shuzi=?",
                                      {Param::utf8(std::to_string(n))}, "jixiong");
        EXPECT_TRUE(rating) << n;
        return gbkToUtf8(rating.value_or(""));
    };
    const auto reference = sourceRows("resources/reference/wuge81_traditional.tsv");
    std::set<int> seen;
    for (const auto& row : reference) {
        ASSERT_EQ(row.size(), 2u);
        if (row[0] == "number") continue;
        const int n = std::stoi(row[0]);
        seen.insert(n);
        for (const int shown : {n, n + 80}) {
            if (shown > 160) continue;
            const std::string rating = ratingOf(shown);
            ASSERT_TRUE(classOf.count(rating)) << shown << " " << rating;
            const std::string& cls = classOf.at(rating);
            if (row[1].rfind("tie:", 0) == 0) {
                const std::string pair = row[1].substr(4);
                const auto slash = pair.find('/');
                EXPECT_TRUE(cls == pair.substr(0, slash) || cls == pair.substr(slash + 1))
                    << shown << " " << rating << " not in " << pair;
            } else {
                EXPECT_EQ(cls, row[1]) << shown << " " << rating;
            }
        }
    }
    EXPECT_EQ(seen.size(), 81u);
    EXPECT_EQ(classOf.at(ratingOf(40)), "凶");
    EXPECT_EQ(classOf.at(ratingOf(72)), "半吉");
}

TEST_F(ShippedDatabase, MeaningsOfEveryNumberAndConfiguration) {
    for (int n = 1; n <= 160; ++n) {
        const auto meaning = queryText(db->characterQuery, "select * from wuge where shuzi=?",
                                       {Param::gbk(std::to_string(n))}, "hanyi");
        EXPECT_GT(meaning.value_or("").size(), 20u) << n;
    }
    const char* elements[] = {"木", "火", "土", "金", "水"};
    for (const char* h : elements) {
        for (const char* p : elements) {
            for (const char* e : elements) {
                const std::string key = G(h) + G(p) + G(e);
                const auto meaning =
                    queryText(db->characterQuery, "select * from sancai where sancai=?",
                              {Param::gbk(key)}, "hanyi");
                EXPECT_GT(meaning.value_or("").size(), 20u) << gbkToUtf8(key);
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

// The generator keeps the two characters of a given name to one kind: a character tagged m never
// meets one tagged f.
TEST(ShippedNameLists, NoNamePairsABoysCharacterWithAGirlsCharacter) {
    std::vector<char> kind(65536, '?');  // tag by the two GBK bytes of the character
    auto kindOf = [&kind](const std::string& line, size_t at) -> char& {
        return kind[static_cast<unsigned char>(line[at]) * 256u +
                    static_cast<unsigned char>(line[at + 1])];
    };
    for (const auto& row : sourceRows("resources/given_name_chars.txt")) {
        ASSERT_EQ(row.size(), 6u) << row.at(0);  // character, gender, tier, place, double, meaning
        const std::string gbk = utf8ToGbk(row[0]);
        ASSERT_EQ(gbk.size(), 2u) << row[0];
        kindOf(gbk, 0) = row[1].at(0);
    }
    ASSERT_EQ(kindOf(G("中"), 0), 'm');
    ASSERT_EQ(kindOf(G("竹"), 0), 'f');
    const auto folder = test::programDir() / "xm";
    size_t checked = 0;
    size_t oneKind = 0;
    for (const std::string& file : listNameListFiles(folder)) {
        if (firstCharacter(file).size() + 4 < file.size()) continue;  // one given-name character
        for (const std::string& line : splitLines(readWholeFile(folder / file))) {
            ASSERT_EQ(line.size(), 6u) << file;
            const char a = kindOf(line, 2);
            const char b = kindOf(line, 4);
            if (a == '?' || b == '?' || (a == 'm' && b == 'f') || (a == 'f' && b == 'm')) {
                ADD_FAILURE() << file << ": " << gbkToUtf8(line) << " (" << a << b << ")";
            }
            ++checked;
            if (a != 'n' && a == b) ++oneKind;
        }
    }
    EXPECT_GT(checked, 1000000u);
    EXPECT_GT(oneKind, 0u);
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
