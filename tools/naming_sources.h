// The recommendation engine's data read straight from resources/, for the generators (no
// database needed): the same rows that the database builder writes into data.Mdb.
#pragma once

#include <filesystem>
#include <vector>

#include "naming/naming_data.h"
#include "tools/name_generator.h"

namespace quenvil {

// Reads fantizi.tsv, pinyin.tsv, surname_readings.tsv, compound_surnames.txt, bad_sounds.tsv,
// given_name_chars.txt (less given_name_exclusions.txt), wuge.tsv and sancai.tsv. Throws
// SourceError for a missing or malformed file and NamingDataError for inconsistent data.
NamingData readNamingData(const std::filesystem::path& resources);

// The curated given-name characters in file order, without the excluded ones and without
// repeats: the rows of table name_char and the generator's characters.
std::vector<GivenNameChar> readCuratedNameChars(const std::filesystem::path& resources);

}  // namespace quenvil
