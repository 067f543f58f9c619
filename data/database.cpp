// Opening the character database beside the program.
#include "data/database.h"

namespace quenvil {

std::string connectionStringFor(const std::filesystem::path& databaseFile) {
    return "Data Source=" + databaseFile.string() +
           ";Jet OLEDB:Database Password=" + kDatabasePassword;
}

void Database::open(const std::filesystem::path& programDir) {
    if (!ADOCN.connectionString().empty()) {
        ADOCN.close();
        ADOCN.setConnectionString({});
    }
    strokes.dropIndex();
    ADOCN.setConnectionString(connectionStringFor(programDir / kDatabaseFileName));
    ADOCN.open();
    strokes.buildIndex(ADOCN);
}

}  // namespace quenvil
