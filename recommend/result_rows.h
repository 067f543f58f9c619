// The rows of the recommendation window's table, kept small so that a list of millions of names
// fits in memory: a row holds the name and the numbers of its reading; the texts of the columns
// are made from them when shown. No widgets here.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "naming/naming_data.h"
#include "naming/score.h"

namespace quenvil {

// The columns of the table, in order.
enum ResultColumn : int {
    kNameColumn,        // 名字
    kScoreColumn,       // 评分
    kPinyinColumn,      // 拼音
    kStrokesColumn,     // 笔画
    kGridsColumn,       // 五格
    kSancaiColumn,      // 三才
    kNotesColumn,       // 说明
    kNumerologyColumn,  // 数理分: the numerology score
    kNamingColumn,      // 取名分: the naming score
    kMeaningsColumn,    // 字义: the meaning of each given-name character
    kSourceColumn,      // 出处: the line of a classic that holds the given name
    kColumnCount
};

// The captions of the columns, UTF-8.
std::string_view columnCaption(int column);

// One scored name. score (the overall score, which orders names) is -1 for a name that could not
// be scored; then notes says why and the other numbers are zero.
struct ResultRow {
    std::string name;  // UTF-8
    int8_t score = -1;
    int8_t numerology = 0;
    int8_t naming = 0;
    bool usable = true;  // as ScoredName::usable
    uint8_t surnameCharacters = 0;
    int32_t sourceLine = -1;  // a line of NamingData::classics(), or -1
    uint8_t characters = 0;
    uint8_t sancaiIndex = 0;  // as threeTalentsIndex() of analysis/grid_rule.h
    SancaiLevel sancaiLevel = SancaiLevel::Worst;
    std::array<uint8_t, 4> strokes{};     // per character
    std::array<uint16_t, 4> syllables{};  // the reading of each character, ids of NamingData
    std::array<int16_t, 5> grids{};       // 天格 人格 地格 总格 外格
    uint32_t notes = 0;                   // index into a NoteTexts

    // The key that orders rows best first: usable names above unusable ones, then the overall
    // score (orderKey of naming/naming_score.h); -1 for a name that could not be scored.
    int orderKey() const;
};

// The notes texts of a table, each stored once ("" is 0): most names share a few.
class NoteTexts {
  public:
    NoteTexts() { intern(""); }
    uint32_t intern(const std::string& text);
    const std::string& text(uint32_t id) const { return texts_[id]; }
    size_t size() const { return texts_.size(); }

  private:
    std::vector<std::string> texts_;
    std::unordered_map<std::string, uint32_t> ids_;
};

// The text that a name that cannot be scored shows in 说明.
std::string_view failureNote(ScoreFailure why);

// The row of a scored name; its notes text (the notes joined by ';') goes to notes, not interned,
// so that a worker thread can make rows without touching the table's NoteTexts.
ResultRow rowOf(const ScoredName& scored, std::string& notes);

// Makes rows from names with the engine. Holds only the NamingData, which must outlive it; may be
// used from several threads at once.
class RowMaker {
  public:
    explicit RowMaker(const NamingData& data) : data_(data) {}

    // Scores a name (UTF-8) and makes its row; a name the engine cannot score gets a row with
    // score -1 and the reason as its notes. scratch is reused between calls.
    ResultRow score(std::string_view name, std::string& notes, ScoredName& scratch) const;

    const NamingData& data() const { return data_; }

  private:
    const NamingData& data_;
};

// ---- The one formatter of scored names: the window's cells, its exports and clipboard, and
// the lines of quenvil-cli. ----

// Appends the text of a column of a row, UTF-8: the name, "98", "huáng sī tíng", "12,9,12",
// "13 21 21 33 13", "火木木 大吉", the notes text given, "100", "96", "思:思考，情思深远; 远:深远",
// "诗经·小雅·鹿鸣: 呦呦鹿鸣，食野之苹。". A name that could not be scored shows only its name
// and its notes.
void appendColumnText(std::string& out, const NamingData& data, const ResultRow& row,
                      const std::string& notes, int column);
// The same as a string, with the notes of the table.
std::string columnText(const NamingData& data, const NoteTexts& notes, const ResultRow& row,
                       int column);
// Appends every column of a row, tab-separated, and a line break: a line of quenvil-cli's
// recommend and score, and of the window's clipboard.
// "黄思婷\t98\thuáng sī tíng\t12,9,12\t13 21 21 33 13\t火木木 大吉\t声调:平平平\t98\t98\t
//  思:思考，情思深远; 婷:美好，姿态优雅\t\n"
void appendRowLine(std::string& out, const NamingData& data, const ResultRow& row,
                   const std::string& notes);

// Compares two rows by a column: <0, 0, >0. 名字 by code points, 评分 by the order key, 拼音 by
// the toneless syllables then the tones, 笔画 and 五格 by their numbers in order, 三才 by rating
// (best first) then by the elements, 说明 and 字义 by text, the two scores by number, 出处 by
// the line's place in the classics (names without one last).
int compareRows(const NamingData& data, const NoteTexts& notes, const ResultRow& a,
                const ResultRow& b, int column);

// The meanings of the given-name characters of a name ("思:思考，情思深远; 远:深远"); a character
// without one is left out.
std::string meaningsText(const NamingData& data, std::string_view name, int surnameCharacters);
// The citation of a line of the classics ("诗经·小雅·鹿鸣: 呦呦鹿鸣，食野之苹。"); empty for -1.
std::string sourceText(const NamingData& data, int32_t line);

// ---- Export. ----

// One record of a CSV file (RFC 4180): fields separated by commas, a field with a comma, a quote
// or a line break quoted with its quotes doubled, CRLF at the end. UTF-8.
void appendCsvRecord(std::string& out, std::span<const std::string> fields);
// One line of the GBK text export: fields separated by tabs (a tab or line break inside a field
// becomes a blank), CRLF at the end, converted to GBK.
void appendGbkTextLine(std::string& out, std::span<const std::string> fields);
// The two formats of an export: CSV in UTF-8 (a BOM first), or tab-separated GBK text.
enum class ExportFormat { CsvUtf8, GbkText };
// One record in either format (appendCsvRecord or appendGbkTextLine).
void appendExportRecord(std::string& out, std::span<const std::string> fields, ExportFormat format);
// The byte order mark that opens the CSV file, so that spreadsheet programs read it as UTF-8.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Reads the records of a CSV text as written by appendCsvRecord (a BOM at the start is
// skipped); for checking an export and for reading one back.
std::vector<std::vector<std::string>> parseCsv(std::string_view text);

}  // namespace quenvil
