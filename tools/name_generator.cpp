// Name-list generation.
#include "tools/name_generator.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>

#include "auto_naming/stroke_pair_table.h"
#include "text/gbk.h"

namespace quenvil {
namespace {

std::vector<std::string> contentLines(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> characters(const std::string& utf8) {
    std::vector<std::string> out;
    const auto* s = reinterpret_cast<const uint8_t*>(utf8.data());
    const auto n = static_cast<int32_t>(utf8.size());
    for (int32_t i = 0; i < n;) {
        const int32_t start = i;
        UChar32 cp;
        U8_NEXT(s, i, n, cp);
        out.push_back(utf8.substr(static_cast<size_t>(start), static_cast<size_t>(i - start)));
    }
    return out;
}

std::string field(const std::string& line, size_t index) {
    std::istringstream in(line);
    std::string f;
    for (size_t i = 0; i <= index; ++i) {
        if (!std::getline(in, f, '\t')) return {};
    }
    return f;
}

uint32_t seedOf(const std::string& s) {
    uint32_t h = 2166136261u;  // FNV-1a
    for (unsigned char ch : s) h = (h ^ ch) * 16777619u;
    return h;
}

template <typename T>
void shuffle(std::vector<T>& v, std::mt19937& rng) {
    for (size_t i = v.size(); i > 1; --i) std::swap(v[i - 1], v[rng() % i]);
}

int32_t countOf(const NameSources& s, const std::string& ch) {
    const auto it = s.strokes.find(ch);
    return it == s.strokes.end() ? 0 : it->second;
}

}  // namespace

NameSources readNameSources(const std::filesystem::path& resources) {
    NameSources s;
    s.surnames = contentLines(resources / "surnames.txt");
    std::set<std::string> excluded;
    for (const auto& line : contentLines(resources / "given_name_exclusions.txt")) {
        excluded.insert(field(line, 0));
    }
    std::set<std::string> seen;
    for (const auto& line : contentLines(resources / "given_name_chars.txt")) {
        GivenNameChar g;
        g.character = field(line, 0);
        const std::string kind = field(line, 1);
        g.kind = kind.empty() ? 'n' : kind[0];
        if (excluded.count(g.character) || !seen.insert(g.character).second) continue;
        s.givenChars.push_back(g);
    }
    for (const auto& line : contentLines(resources / "fantizi.tsv")) {
        const int32_t count = std::stoi(field(line, 0));
        for (const std::string& ch : characters(field(line, 1))) s.strokes.emplace(ch, count);
    }
    return s;
}

std::vector<std::string> generateNames(const NameSources& s, const std::string& surname,
                                       size_t target) {
    std::mt19937 rng(seedOf(surname));
    const std::vector<std::string> surnameChars = characters(surname);
    std::vector<std::string> names;
    if (surnameChars.size() >= 2) {
        // A two-character surname takes one given-name character.
        for (const auto& g : s.givenChars) names.push_back(surname + g.character);
        shuffle(names, rng);
        if (names.size() > target) names.resize(target);
        return names;
    }
    const int32_t a = countOf(s, surname);
    const StrokePairTable& table = StrokePairTable::filters();
    const auto& chars = s.givenChars;
    std::vector<int32_t> counts;
    for (const auto& g : chars) counts.push_back(countOf(s, g.character));
    // Pairs of character indexes: favourable ones and the others.
    std::vector<std::pair<uint16_t, uint16_t>> favourable, other;
    for (size_t x = 0; x < chars.size(); ++x) {
        for (size_t y = 0; y < chars.size(); ++y) {
            if (x == y) continue;
            if (chars[x].kind != 'n' && chars[y].kind != 'n' && chars[x].kind != chars[y].kind) {
                continue;
            }
            auto& into = table.matches(a, counts[x], counts[y]) > 0 ? favourable : other;
            into.emplace_back(static_cast<uint16_t>(x), static_cast<uint16_t>(y));
        }
    }
    shuffle(favourable, rng);
    if (favourable.size() > target / 2) favourable.resize(target / 2);
    // A partial shuffle picks the rest at random.
    const size_t rest = std::min(other.size(), target - favourable.size());
    for (size_t i = 0; i < rest; ++i) std::swap(other[i], other[i + rng() % (other.size() - i)]);
    other.resize(rest);
    std::vector<std::pair<uint16_t, uint16_t>> chosen = std::move(favourable);
    chosen.insert(chosen.end(), other.begin(), other.end());
    shuffle(chosen, rng);
    names.reserve(chosen.size());
    for (const auto& [x, y] : chosen) {
        names.push_back(surname + chars[x].character + chars[y].character);
    }
    return names;
}

void writeNameLists(const NameSources& s, const std::filesystem::path& folder, size_t target) {
    std::filesystem::create_directories(folder);
    for (const std::string& surname : s.surnames) {
        std::string text;
        for (const std::string& name : generateNames(s, surname, target)) {
            text += name;
            text += "\r\n";
        }
        const std::string gbk = utf8ToGbk(text);
        std::ofstream out(folder / (surname + ".txt"), std::ios::binary | std::ios::trunc);
        out.write(gbk.data(), static_cast<std::streamsize>(gbk.size()));
        if (!out) throw std::runtime_error("cannot write the list of " + surname);
    }
}

}  // namespace quenvil
