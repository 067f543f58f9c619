// Opening the character database beside the program.
#include "data/database.h"

namespace quenvil {

namespace {

// A file that opens with the password but lacks the program's tables (an empty file, another
// program's database) is named as such, instead of failing later on a missing table.
void checkTables(Connection& cn, const std::filesystem::path& file) {
    DataSet tables(cn);
    for (const char* table : {"fantizi", "wuge", "sancai", "xm", "xm2"}) {
        const auto found = queryInteger(
            tables, "select count(*) as n from sqlite_master where type='table' and name=?",
            {Param::utf8(table)}, "n");
        if (found.value_or(0) == 0) {
            tables.close();
            std::error_code ec;
            const bool empty = std::filesystem::file_size(file, ec) == 0 && !ec;
            cn.close();
            throw DatabaseError(std::string(empty ? "the database file is empty"
                                                  : "not a character database of this program") +
                                " (no table " + table + "): " + file.string());
        }
    }
}

}  // namespace

void Database::open(const std::filesystem::path& programDir) {
    strokes.dropIndex();
    const std::filesystem::path file = programDir / kDatabaseFileName;
    connection.open(file, kDatabasePassword);
    checkTables(connection, file);
    strokes.buildIndex(connection);
}

}  // namespace quenvil
