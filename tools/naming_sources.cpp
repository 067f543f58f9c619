// The engine's data from resources/.
#include "tools/naming_sources.h"

#include <set>

namespace quenvil {
namespace {

// Whether pinyin.tsv lists several readings for its character.
bool polyphonic(const SourceLine& line) {
    return line.fields.size() >= 3 && line.fields[2].find(' ') != std::string::npos;
}

// Every curated character with several readings needs its reading in a given name reviewed.
void checkNameReadings(const NamingSources& s, const std::filesystem::path& resources) {
    std::set<std::string> reviewed;
    for (const SourceLine& line : s.nameReadings) reviewed.insert(line.fields[0]);
    std::set<std::string> curated;
    for (const GivenNameChar& g : s.nameChars) curated.insert(g.character);
    std::string missing;
    for (const SourceLine& line : s.pinyin) {
        const std::string& ch = line.fields[0];
        if (polyphonic(line) && curated.count(ch) && !reviewed.count(ch)) {
            missing += " " + ch + "(" + line.fields[2] + ")";
        }
    }
    if (!missing.empty()) {
        throw SourceError((resources / "name_readings.tsv").string() +
                          ": given-name characters with several readings need their reading in "
                          "a name reviewed:" +
                          missing);
    }
}

}  // namespace

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
        g.columns.assign(line.fields.begin() + 1, line.fields.end());
        if (excluded.count(g.character) || !seen.insert(g.character).second) continue;
        out.push_back(std::move(g));
    }
    return out;
}

NamingSources readNamingSources(const std::filesystem::path& resources) {
    NamingSources s;
    s.fantizi = readSource(resources / "fantizi.tsv", 2);
    s.wuge = readSource(resources / "wuge.tsv", 3);
    s.sancai = readSource(resources / "sancai.tsv", 3);
    s.pinyin = readSource(resources / "pinyin.tsv", 2, 3);
    s.nameReadings = readSource(resources / "name_readings.tsv", 3);
    s.surnameReadings = readSource(resources / "surname_readings.tsv", 2);
    s.compounds = readSource(resources / "compound_surnames.txt", 1);
    s.badSounds = readSource(resources / "bad_sounds.tsv", 5);
    s.nameWords = readSource(resources / "name_words.tsv", 5);
    s.famous = readSource(resources / "famous_people.tsv", 2);
    s.givenNames = readSource(resources / "given_names.tsv", 2, 3);
    s.classics = readSource(resources / "classics.tsv", 4);
    s.nameChars = readCuratedNameChars(resources);
    checkNameReadings(s, resources);
    return s;
}

NamingData namingDataOf(const NamingSources& s) {
    NamingData d;
    for (const SourceLine& line : s.fantizi) {
        d.addStrokeRow(integerField("fantizi.tsv", line, 0), line.fields[1]);
    }
    for (const SourceLine& line : s.pinyin) d.addReading(line.fields[0], line.fields[1]);
    for (const SourceLine& line : s.nameReadings) d.addNameReading(line.fields[0], line.fields[1]);
    for (const SourceLine& line : s.surnameReadings) {
        d.addSurnameReading(line.fields[0], line.fields[1]);
    }
    for (const SourceLine& line : s.compounds) d.addCompoundSurname(line.fields[0]);
    for (const SourceLine& line : s.badSounds) {
        d.addBadSound(line.fields[0], line.fields[1], line.fields[2], line.fields[3]);
    }
    int rank = 0;
    for (const GivenNameChar& g : s.nameChars) {
        NameCharText t;
        std::string_view* columns[] = {&t.gender, &t.tier, &t.place, &t.doubled, &t.meaning};
        for (size_t i = 0; i < g.columns.size() && i < 5; ++i) *columns[i] = g.columns[i];
        d.addNameChar(g.character, t, rank++);
    }
    for (const SourceLine& l : s.nameWords) {
        d.wordRules().add(l.fields[0], l.fields[1], l.fields[2], l.fields[3], l.fields[4]);
    }
    for (const SourceLine& l : s.famous) d.famous().add(l.fields[0], l.fields[1]);
    for (const SourceLine& l : s.givenNames) {
        d.attested().add(l.fields[0], l.fields[1], l.fields.size() > 2 ? l.fields[2] : "-");
    }
    for (const SourceLine& l : s.classics) {
        d.classics().add(l.fields[0], l.fields[1], l.fields[2], l.fields[3]);
    }
    for (const SourceLine& line : s.wuge) {
        d.setNumber(integerField("wuge.tsv", line, 0), line.fields[1], line.fields[2]);
    }
    for (const SourceLine& line : s.sancai) {
        d.setSancai(line.fields[0], line.fields[1], line.fields[2]);
    }
    d.finish();
    return d;
}

NamingData readNamingData(const std::filesystem::path& resources) {
    return namingDataOf(readNamingSources(resources));
}

}  // namespace quenvil
