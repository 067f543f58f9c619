// The recommendation engine's data read straight from resources/: the rows that the database
// builder writes into data.Mdb, and the same data loaded for the generators (no database
// needed).
#pragma once

#include <filesystem>
#include <vector>

#include "naming/naming_data.h"
#include "tools/name_generator.h"
#include "tools/source_file.h"

namespace quenvil {

// The rows of every source of the engine's tables, checked for their number of fields.
struct NamingSources {
    std::vector<SourceLine> fantizi;          // bihua, hanzi
    std::vector<SourceLine> wuge, sancai;     // key, rating, meaning
    std::vector<SourceLine> pinyin;           // hanzi, pinyin[, every reading of a polyphone]
    std::vector<SourceLine> nameReadings;     // hanzi, pinyin, note
    std::vector<SourceLine> surnameReadings;  // surname, pinyin
    std::vector<SourceLine> compounds;        // surname
    std::vector<SourceLine> badSounds;        // syllables, tones, word, category, example
    std::vector<SourceLine> nameWords;        // pattern, applies, gender, action, reason
    std::vector<SourceLine> famous;           // name, who
    std::vector<SourceLine> givenNames;       // given name, sex
    std::vector<SourceLine> classics;         // book, title, author, line
    std::vector<GivenNameChar> nameChars;     // less the excluded ones, without repeats
};

// Reads the sources from resources/. Throws SourceError for a missing or malformed file, and
// for a curated given-name character with several readings (pinyin.tsv's third column) but no
// reviewed reading in name_readings.tsv: every such character is named.
NamingSources readNamingSources(const std::filesystem::path& resources);

// The engine's data from the rows. Throws NamingDataError for inconsistent data.
NamingData namingDataOf(const NamingSources& sources);
// The same, read from resources/.
NamingData readNamingData(const std::filesystem::path& resources);

// The curated given-name characters in file order, without the excluded ones and without
// repeats: the rows of table name_char and the generator's characters.
std::vector<GivenNameChar> readCuratedNameChars(const std::filesystem::path& resources);

}  // namespace quenvil
