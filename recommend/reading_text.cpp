// The reading of scored names as text.
#include "recommend/reading_text.h"

#include "naming/classics.h"
#include "recommend/result_rows.h"
#include "text/utf8.h"

namespace quenvil {

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

}  // namespace quenvil
