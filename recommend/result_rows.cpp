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

namespace {

// The line a name comes from, its two given-name characters marked 【】.
std::string markedSource(const NamingData& data, const ScoredName& s) {
    const int given = s.characters - s.surnameCharacters;
    if (s.sourceLine < 0 || given != 2) return {};
    const ClassicLines& classics = data.classics();
    const auto at = classics.positions(s.sourceLine, s.codePoints[s.surnameCharacters],
                                       s.codePoints[s.surnameCharacters + 1]);
    std::string text = classics.citation(s.sourceLine);
    if (!at) return text;
    const std::string_view line = classics.text(s.sourceLine);
    const size_t offset = text.size() - line.size();  // the citation ends with the line
    const auto length = [&](size_t pos) {
        return static_cast<size_t>(U8_LENGTH(
            static_cast<UChar32>(s.codePoints[s.surnameCharacters + (pos == at->first ? 0 : 1)])));
    };
    for (const size_t pos : {at->second, at->first}) {  // the later one first: offsets stay
        text.insert(offset + pos + length(pos), "】");
        text.insert(offset + pos, "【");
    }
    return text;
}

void appendNotes(std::string& out, const ScoredName& s) {
    if (s.notes.empty()) {
        out += "说明：没有扣分\n";
        return;
    }
    out += "说明：\n";
    for (const Note& n : s.notes) {
        out += "  " + n.text;
        if (n.points > 0) {
            out +=
                std::string(n.naming ? "（取名 -" : "（数理 -") + std::to_string(n.points) + "）";
        }
        out += "\n";
    }
}

}  // namespace

std::vector<std::vector<std::string>> comparisonRows(const NamingData& data,
                                                     const std::vector<ScoredName>& names) {
    static constexpr std::array<std::string_view, 5> kGrids = {"天格", "人格", "地格", "总格",
                                                               "外格"};
    std::vector<std::vector<std::string>> rows;
    auto row = [&](std::string caption, auto&& cell) {
        std::vector<std::string> r{std::move(caption)};
        for (const ScoredName& s : names) r.push_back(cell(s));
        rows.push_back(std::move(r));
    };
    row("名字", [](const ScoredName& s) { return s.name; });
    row("评分", [](const ScoredName& s) { return std::to_string(s.overall); });
    row("数理分", [](const ScoredName& s) { return std::to_string(s.score); });
    row("取名分", [](const ScoredName& s) { return std::to_string(s.naming); });
    row("拼音", [&](const ScoredName& s) {
        std::string out;
        for (int i = 0; i < s.characters; ++i) {
            if (i) out += ' ';
            out += data.syllable(s.syllables[static_cast<size_t>(i)]).toned;
        }
        return out;
    });
    row("声调", [&](const ScoredName& s) {
        std::string out;
        for (int i = 0; i < s.characters; ++i) {
            const int tone = data.syllable(s.syllables[static_cast<size_t>(i)]).tone;
            out += tone == 1 || tone == 2 ? "平" : (tone == 0 ? "轻" : "仄");
        }
        return out;
    });
    row("笔画", [](const ScoredName& s) {
        std::string out;
        for (int i = 0; i < s.characters; ++i) {
            if (i) out += ',';
            out += std::to_string(s.strokes[static_cast<size_t>(i)]);
        }
        return out;
    });
    const auto gridNumbers = [](const ScoredName& s) {
        return std::array<int32_t, 5>{s.grids.heaven, s.grids.person, s.grids.earth, s.grids.total,
                                      s.grids.outer};
    };
    for (size_t g = 0; g < kGrids.size(); ++g) {
        row(std::string(kGrids[g]), [&](const ScoredName& s) {
            const int32_t n = gridNumbers(s)[g];
            return std::to_string(n) + " " + std::string(data.numberRating(n));
        });
    }
    row("三才", [](const ScoredName& s) {
        return s.sancai + " " + std::string(sancaiLevelName(s.sancaiLevel));
    });
    row("字义",
        [&](const ScoredName& s) { return meaningsText(data, s.name, s.surnameCharacters); });
    row("出处", [&](const ScoredName& s) { return markedSource(data, s); });
    row("说明", [](const ScoredName& s) {
        std::string out;
        for (const Note& n : s.notes) out += (out.empty() ? "" : ";") + n.text;
        return out.empty() ? std::string("没有扣分") : out;
    });
    return rows;
}

std::string comparisonText(const std::vector<std::vector<std::string>>& rows) {
    std::string out;
    for (const auto& r : rows) {
        for (size_t i = 0; i < r.size(); ++i) {
            if (i) out += '\t';
            out += r[i];
        }
        out += '\n';
    }
    return out;
}

std::string detailText(const NamingData& data, const ScoredName& s) {
    static constexpr std::array<std::string_view, 5> kGrids = {"天格", "人格", "地格", "总格",
                                                               "外格"};
    std::string out = s.name + "    评分 " + std::to_string(s.overall) + "（数理 " +
                      std::to_string(s.score) + "，取名 " + std::to_string(s.naming) + "）\n";
    std::string notes;
    const ResultRow row = rowOf(s, notes);
    out += "拼音：";
    appendColumnText(out, data, row, notes, kPinyinColumn);
    out += "\n";
    out += "笔画：";
    const std::vector<std::string_view> chars = utf8Characters(s.name);
    for (size_t i = 0; i < chars.size() && i < 4; ++i) {
        if (i) out += "，";
        out += std::string(chars[i]) + " " + std::to_string(s.strokes[i]);
    }
    out += "\n";
    if (const std::string meanings = meaningsText(data, s.name, s.surnameCharacters);
        !meanings.empty()) {
        out += "字义：" + meanings + "\n";
    }
    if (const std::string source = markedSource(data, s); !source.empty()) {
        out += "出处：" + source + "\n";
    }
    out += "\n";
    const std::array<int32_t, 5> numbers = {s.grids.heaven, s.grids.person, s.grids.earth,
                                            s.grids.total, s.grids.outer};
    for (size_t i = 0; i < numbers.size(); ++i) {
        out += std::string(kGrids[i]) + " " + std::to_string(numbers[i]) + "（" +
               std::string(data.numberRating(numbers[i])) + "）：" +
               std::string(data.numberMeaning(numbers[i])) + "\n";
    }
    out += "\n三才 " + s.sancai + "（" + std::string(sancaiLevelName(s.sancaiLevel)) + "）：" +
           std::string(data.sancaiMeaning(s.sancai)) + "\n\n";
    appendNotes(out, s);
    return out;
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
