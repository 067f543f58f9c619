// The engine's data from resources/.
#include "tools/naming_sources.h"

#include <set>

#include "tools/source_file.h"

namespace quenvil {

std::vector<GivenNameChar> readCuratedNameChars(const std::filesystem::path& resources) {
    std::set<std::string> excluded;
    for (const SourceLine& line : readSource(resources / "given_name_exclusions.txt")) {
        excluded.insert(line.fields[0]);
    }
    std::set<std::string> seen;
    std::vector<GivenNameChar> out;
    for (const SourceLine& line : readSource(resources / "given_name_chars.txt")) {
        GivenNameChar g;
        g.character = line.fields[0];
        g.kind = line.fields.size() > 1 && !line.fields[1].empty() ? line.fields[1][0] : 'n';
        if (excluded.count(g.character) || !seen.insert(g.character).second) continue;
        out.push_back(g);
    }
    return out;
}

NamingData readNamingData(const std::filesystem::path& resources) {
    NamingData d;
    const auto fantizi = resources / "fantizi.tsv";
    for (const SourceLine& line : readSource(fantizi, 2)) {
        d.addStrokeRow(integerField(fantizi, line, 0), line.fields[1]);
    }
    for (const SourceLine& line : readSource(resources / "pinyin.tsv", 2, 3)) {
        d.addReading(line.fields[0], line.fields[1]);
    }
    for (const SourceLine& line : readSource(resources / "surname_readings.tsv", 2)) {
        d.addSurnameReading(line.fields[0], line.fields[1]);
    }
    for (const SourceLine& line : readSource(resources / "compound_surnames.txt", 1)) {
        d.addCompoundSurname(line.fields[0]);
    }
    for (const SourceLine& line : readSource(resources / "bad_sounds.tsv", 3)) {
        d.addBadSound(line.fields[0], line.fields[1], line.fields[2]);
    }
    int rank = 0;
    for (const GivenNameChar& g : readCuratedNameChars(resources)) {
        d.addNameChar(g.character, g.kind, rank++);
    }
    const auto wuge = resources / "wuge.tsv";
    for (const SourceLine& line : readSource(wuge, 3)) {
        d.setNumber(integerField(wuge, line, 0), line.fields[1], line.fields[2]);
    }
    for (const SourceLine& line : readSource(resources / "sancai.tsv", 3)) {
        d.setSancai(line.fields[0], line.fields[1], line.fields[2]);
    }
    d.finish();
    return d;
}

}  // namespace quenvil
