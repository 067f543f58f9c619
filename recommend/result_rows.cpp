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

void appendNumber(std::string& out, int value) {
    char digits[12];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    for (const char* d = digits; d != end; ++d) out.push_back(*d);
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
            for (size_t i = 0; i < n; ++i) {
                if (i) out += ',';
                appendNumber(out, row.strokes[i]);
            }
            break;
        case kGridsColumn:
            for (size_t i = 0; i < row.grids.size(); ++i) {
                if (i) out += ' ';
                appendNumber(out, row.grids[i]);
            }
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
            out += meaningsText(data, row.name, row.surnameCharacters);
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
    int at = 0;
    forEachCodePoint(name, [&](int32_t cp, std::string_view ch) {
        if (at++ < surnameCharacters || cp < 0) return;
        const NameChar* c = data.nameChar(static_cast<char32_t>(cp));
        if (!c || c->meaning.empty()) return;
        if (!out.empty()) out += "; ";
        out += ch;
        out += ':';
        out += c->meaning;
    });
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
