// Builds the encrypted character database data.Mdb from the tab-separated sources in resources/.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace quenvil {

class SourceError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Reads fantizi.tsv, wuge.tsv and sancai.tsv (UTF-8; '#' lines are comments; a missing file gives
// an empty table) from sourcesDir and writes a new database file, keyed with the program's
// password. Throws SourceError for a malformed source and DatabaseError for an engine failure.
void buildDatabase(const std::filesystem::path& sourcesDir, const std::filesystem::path& out,
                   const std::string& password);

}  // namespace quenvil
