// Name-list generation.
#include "tools/name_generator.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <stdexcept>

#include "naming/score.h"
#include "naming/stroke_pair_table.h"
#include "text/gbk.h"
#include "text/utf8.h"
#include "tools/naming_sources.h"
#include "tools/source_file.h"

namespace quenvil {
namespace {

std::vector<std::string> characters(const std::string& utf8) {
    std::vector<std::string> out;
    for (const std::string_view ch : utf8Characters(utf8)) out.emplace_back(ch);
    return out;
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

// True when the engine's sound check finds a bad-sounding sequence in the name.
bool soundsBad(const NameSources& s, const std::string& name) {
    if (!s.naming) return false;
    bool bad = false;
    scoreOnly(*s.naming, name, &bad);
    return bad;
}

}  // namespace

NameSources readNameSources(const std::filesystem::path& resources) {
    NameSources s;
    for (const SourceLine& line : readSource(resources / "surnames.txt")) {
        s.surnames.push_back(line.fields[0]);
    }
    s.givenChars = readCuratedNameChars(resources);
    const auto fantizi = resources / "fantizi.tsv";
    for (const SourceLine& line : readSource(fantizi, 2)) {
        const int32_t count = integerField(fantizi, line, 0);
        for (const std::string& ch : characters(line.fields[1])) s.strokes.emplace(ch, count);
    }
    s.naming = std::make_shared<const NamingData>(readNamingData(resources));
    return s;
}

std::vector<std::string> generateNames(const NameSources& s, const std::string& surname,
                                       size_t target) {
    std::mt19937 rng(seedOf(surname));
    const std::vector<std::string> surnameChars = characters(surname);
    std::vector<std::string> names;
    if (surnameChars.size() >= 2) {
        // A two-character surname takes one given-name character.
        for (const auto& g : s.givenChars) {
            std::string name = surname + g.character;
            if (!soundsBad(s, name)) names.push_back(std::move(name));
        }
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
    auto nameOf = [&](const std::pair<uint16_t, uint16_t>& p) {
        return surname + chars[p.first].character + chars[p.second].character;
    };
    shuffle(favourable, rng);
    // The first target / 2 of them that sound right.
    size_t kept = 0;
    for (size_t i = 0; i < favourable.size() && kept < target / 2; ++i) {
        if (!soundsBad(s, nameOf(favourable[i]))) favourable[kept++] = favourable[i];
    }
    favourable.resize(kept);
    // A partial shuffle picks the rest at random, passing over the names that sound bad.
    const size_t rest = std::min(other.size(), target - favourable.size());
    size_t taken = 0;
    for (size_t i = 0; i < other.size() && taken < rest; ++i) {
        std::swap(other[i], other[i + rng() % (other.size() - i)]);
        if (!soundsBad(s, nameOf(other[i]))) other[taken++] = other[i];
    }
    other.resize(taken);
    std::vector<std::pair<uint16_t, uint16_t>> chosen = std::move(favourable);
    chosen.insert(chosen.end(), other.begin(), other.end());
    shuffle(chosen, rng);
    names.reserve(chosen.size());
    for (const auto& p : chosen) names.push_back(nameOf(p));
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
        const std::filesystem::path file = folder / (surname + ".txt");
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(gbk.data(), static_cast<std::streamsize>(gbk.size()));
        out.close();  // the last block is written here; a full disk shows up here too
        if (!out)
            throw std::runtime_error("cannot write the list of " + surname + ": " + file.string());
    }
}

}  // namespace quenvil
