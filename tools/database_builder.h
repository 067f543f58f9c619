// Builds the encrypted character database data.Mdb from the tab-separated sources in resources/.
#pragma once

#include <filesystem>

#include "tools/source_file.h"

namespace quenvil {

// Reads fantizi.tsv, wuge.tsv and sancai.tsv, and the recommendation engine's sources (pinyin.tsv,
// surname_readings.tsv, compound_surnames.txt, bad_sounds.tsv, given_name_chars.txt less
// given_name_exclusions.txt) from sourcesDir and writes a new database file,
// keyed with the program's password. Throws SourceError for a missing or malformed source and
// DatabaseError for an engine failure.
void buildDatabase(const std::filesystem::path& sourcesDir, const std::filesystem::path& out);

}  // namespace quenvil
