// The rows of the recommendation table, their texts, order and export.
#include "recommend/result_rows.h"

#include <algorithm>
#include <charconv>
#include <climits>

#include "naming/naming_score.h"
#include "text/gbk.h"
#include "text/utf8.h"

namespace quenvil {
namespace {

constexpr std::array<std::string_view, kColumnCount> kCaptions = {
    "名字", "评分", "拼音", "笔画", "五格", "三才", "说明", "数理分", "取名分", "字义", "出处"};

template <typename T>
int compareValues(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// Writes value's digits at p; returns the end. Room for 11 characters.
char* writeNumber(char* p, int value) {
    if (value >= 0 && value < 100) {  // nearly every number of a row
        if (value >= 10) *p++ = static_cast<char>('0' + value / 10);
        *p++ = static_cast<char>('0' + value % 10);
        return p;
    }
    return std::to_chars(p, p + 11, value).ptr;
}

void appendNumber(std::string& out, int value) {
    char digits[12];
    out.append(digits, writeNumber(digits, value));
}

// Numbers joined by a separator, appended at once.
template <typename Numbers>
void appendNumbers(std::string& out, const Numbers& numbers, size_t count, char separator) {
    char text[64];
    char* p = text;
    for (size_t i = 0; i < count && i < 5; ++i) {
        if (i) *p++ = separator;
        p = writeNumber(p, numbers[i]);
    }
    out.append(text, p);
}

void appendMeanings(std::string& out, const NamingData& data, std::string_view name,
                    int surnameCharacters) {
    int at = 0;
    bool first = true;
    forEachCodePoint(name, [&](int32_t cp, std::string_view ch) {
        if (at++ < surnameCharacters || cp < 0) return;
        const NameChar* c = data.nameChar(static_cast<char32_t>(cp));
        if (!c || c->meaning.empty()) return;
        if (!first) out += "; ";
        first = false;
        out += ch;
        out += ':';
        out += c->meaning;
    });
}

}  // namespace

std::string_view columnCaption(int column) {
    return column >= 0 && column < kColumnCount ? kCaptions[static_cast<size_t>(column)] : "";
}

uint32_t NoteTexts::intern(const std::string& text) {
    const auto [it, added] = ids_.try_emplace(text, static_cast<uint32_t>(texts_.size()));
    if (added) texts_.push_back(text);
    return it->second;
}

std::string_view failureNote(ScoreFailure why) {
    switch (why) {
        case ScoreFailure::Length:
            return "不能评分:姓名须为姓加一到两个字";
        case ScoreFailure::Unknown:
            return "不能评分:有查不到笔画或读音的字";
        case ScoreFailure::None:
            break;
    }
    return "";
}

int ResultRow::orderKey() const { return score < 0 ? -1 : quenvil::orderKey(usable, score); }

ResultRow rowOf(const ScoredName& s, std::string& notes) {
    ResultRow row;
    row.name = s.name;
    row.score = static_cast<int8_t>(s.overall);
    row.numerology = static_cast<int8_t>(s.score);
    row.naming = static_cast<int8_t>(s.naming);
    row.usable = s.usable;
    row.surnameCharacters = static_cast<uint8_t>(s.surnameCharacters);
    row.sourceLine = s.sourceLine;
    row.characters = static_cast<uint8_t>(s.characters);
    row.sancaiIndex = static_cast<uint8_t>(threeTalentsIndex(s.grids));
    row.sancaiLevel = s.sancaiLevel;
    for (size_t i = 0; i < 4; ++i) {
        row.strokes[i] = static_cast<uint8_t>(std::clamp(s.strokes[i], 0, 255));
        row.syllables[i] = s.syllables[i];
    }
    row.grids = {static_cast<int16_t>(s.grids.heaven), static_cast<int16_t>(s.grids.person),
                 static_cast<int16_t>(s.grids.earth), static_cast<int16_t>(s.grids.total),
                 static_cast<int16_t>(s.grids.outer)};
    notes.clear();
    for (size_t i = 0; i < s.notes.size(); ++i) {
        if (i) notes += ';';
        notes += s.notes[i].text;
    }
    return row;
}

ResultRow RowMaker::score(std::string_view name, std::string& notes, ScoredName& scratch) const {
    ScoreFailure why = ScoreFailure::None;
    if (scoreName(data_, name, scratch, &why)) return rowOf(scratch, notes);
    ResultRow row;
    row.name.assign(name);
    int n = 0;
    forEachCodePoint(name, [&](int32_t, std::string_view) { ++n; });
    row.characters = static_cast<uint8_t>(std::min(n, 255));
    notes.assign(failureNote(why));
    return row;
}

void appendColumnText(std::string& out, const NamingData& data, const ResultRow& row,
                      const std::string& notes, int column) {
    if (column == kNameColumn) {
        out += row.name;
        return;
    }
    if (column == kNotesColumn) {
        out += notes;
        return;
    }
    if (row.score < 0) return;
    const size_t n = std::min<size_t>(row.characters, 4);
    switch (column) {
        case kScoreColumn:
            appendNumber(out, row.score);
            break;
        case kPinyinColumn:
            for (size_t i = 0; i < n; ++i) {
                if (i) out += ' ';
                out += data.syllable(row.syllables[i]).toned;
            }
            break;
        case kStrokesColumn:
            appendNumbers(out, row.strokes, n, ',');
            break;
        case kGridsColumn:
            appendNumbers(out, row.grids, row.grids.size(), ' ');
            break;
        case kSancaiColumn:
            out += threeTalentsKeyOfIndex(row.sancaiIndex);
            out += ' ';
            out += sancaiLevelName(row.sancaiLevel);
            break;
        case kNumerologyColumn:
            appendNumber(out, row.numerology);
            break;
        case kNamingColumn:
            appendNumber(out, row.naming);
            break;
        case kMeaningsColumn:
            appendMeanings(out, data, row.name, row.surnameCharacters);
            break;
        case kSourceColumn:
            out += sourceText(data, row.sourceLine);
            break;
        default:
            break;
    }
}

std::string meaningsText(const NamingData& data, std::string_view name, int surnameCharacters) {
    std::string out;
    appendMeanings(out, data, name, surnameCharacters);
    return out;
}

std::string sourceText(const NamingData& data, int32_t line) {
    return line < 0 ? std::string() : data.classics().citation(line);
}

std::string columnText(const NamingData& data, const NoteTexts& notes, const ResultRow& row,
                       int column) {
    std::string out;
    appendColumnText(out, data, row, notes.text(row.notes), column);
    return out;
}

void appendRowLine(std::string& out, const NamingData& data, const ResultRow& row,
                   const std::string& notes) {
    for (int c = 0; c < kColumnCount; ++c) {
        if (c) out += '\t';
        appendColumnText(out, data, row, notes, c);
    }
    out += '\n';
}

int compareRows(const NamingData& data, const NoteTexts& notes, const ResultRow& a,
                const ResultRow& b, int column) {
    switch (column) {
        case kNameColumn:
            // As a dictionary orders names: by their pinyin (罗业强 luó yè before 罗一友 luó yī),
            // then by the characters.
            if (a.score >= 0 && b.score >= 0) {
                if (const int c = compareRows(data, notes, a, b, kPinyinColumn)) return c;
            }
            return a.name.compare(b.name) < 0 ? -1 : (a.name == b.name ? 0 : 1);
        case kScoreColumn:
            return compareValues(a.orderKey(), b.orderKey());
        case kNumerologyColumn:
            return compareValues(a.numerology, b.numerology);
        case kNamingColumn:
            return compareValues(a.naming, b.naming);
        case kMeaningsColumn: {
            const int c = meaningsText(data, a.name, a.surnameCharacters)
                              .compare(meaningsText(data, b.name, b.surnameCharacters));
            return c < 0 ? -1 : (c > 0 ? 1 : 0);
        }
        case kSourceColumn: {
            // Names from the classics first, in the order of their lines.
            const auto place = [](int32_t line) { return line < 0 ? INT32_MAX : line; };
            return compareValues(place(a.sourceLine), place(b.sourceLine));
        }
        case kPinyinColumn: {
            const int n = std::min<int>(std::min(a.characters, b.characters), 4);
            for (int i = 0; i < n; ++i) {
                const Syllable& x = data.syllable(a.syllables[static_cast<size_t>(i)]);
                const Syllable& y = data.syllable(b.syllables[static_cast<size_t>(i)]);
                if (const int c = x.toneless.compare(y.toneless)) return c < 0 ? -1 : 1;
                if (const int c = compareValues(x.tone, y.tone)) return c;
            }
            return compareValues(a.characters, b.characters);
        }
        case kStrokesColumn:
            if (const int c = compareValues(a.strokes, b.strokes)) return c;
            return compareValues(a.characters, b.characters);
        case kGridsColumn:
            return compareValues(a.grids, b.grids);
        case kSancaiColumn:
            // The better rating first (Best is the lowest level), then the elements.
            if (const int c = compareValues(a.sancaiLevel, b.sancaiLevel)) return c;
            return compareValues(threeTalentsKeyOfIndex(a.sancaiIndex),
                                 threeTalentsKeyOfIndex(b.sancaiIndex));
        case kNotesColumn: {
            const int c = notes.text(a.notes).compare(notes.text(b.notes));
            return c < 0 ? -1 : (c > 0 ? 1 : 0);
        }
        default:
            return 0;
    }
}

void appendCsvRecord(std::string& out, std::span<const std::string> fields) {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i) out += ',';
        const std::string& f = fields[i];
        if (f.find_first_of(",\"\r\n") == std::string::npos) {
            out += f;
            continue;
        }
        out += '"';
        for (const char ch : f) {
            if (ch == '"') out += '"';
            out += ch;
        }
        out += '"';
    }
    out += "\r\n";
}

void appendGbkTextLine(std::string& out, std::span<const std::string> fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i) line += '\t';
        for (const char ch : fields[i]) line += ch == '\t' || ch == '\r' || ch == '\n' ? ' ' : ch;
    }
    out += utf8ToGbk(line);
    out += "\r\n";
}

void appendExportRecord(std::string& out, std::span<const std::string> fields,
                        ExportFormat format) {
    if (format == ExportFormat::CsvUtf8) {
        appendCsvRecord(out, fields);
    } else {
        appendGbkTextLine(out, fields);
    }
}

std::vector<std::vector<std::string>> parseCsv(std::string_view text) {
    if (text.starts_with(kUtf8Bom)) text.remove_prefix(kUtf8Bom.size());
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::string field;
    bool quoted = false;
    bool any = false;  // something of the current record seen
    for (size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (quoted) {
            if (ch != '"') {
                field += ch;
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else {
                quoted = false;
            }
            continue;
        }
        if (ch == '"') {
            quoted = any = true;
        } else if (ch == ',') {
            record.push_back(std::move(field));
            field.clear();
            any = true;
        } else if (ch == '\r' || ch == '\n') {
            if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            if (any || !field.empty()) {
                record.push_back(std::move(field));
                records.push_back(std::move(record));
            }
            field.clear();
            record.clear();
            any = false;
        } else {
            field += ch;
            any = true;
        }
    }
    if (any || !field.empty()) {
        record.push_back(std::move(field));
        records.push_back(std::move(record));
    }
    return records;
}

}  // namespace quenvil
