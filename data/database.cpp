// Opening the character database beside the program.
#include "data/database.h"

namespace quenvil {

std::string connectionStringFor(const std::filesystem::path& databaseFile) {
    return "Data Source=" + connectionStringValue(databaseFile.string()) +
           ";Jet OLEDB:Database Password=" + kDatabasePassword;
}

namespace {

// A file that opens with the password but lacks the program's tables (an empty file, another
// program's database) is named as such, instead of failing later on a missing table.
void checkTables(Connection& cn, const std::filesystem::path& file) {
    DataSet tables(cn);
    for (const char* table : {"fantizi", "wuge", "sancai", "xm", "xm2"}) {
        tables.close();
        tables.setCommandText(
            "select count(*) as n from sqlite_master where type='table' and name=?",
            {Param::utf8(table)});
        tables.open();
        if (tables.fieldInteger("n") == 0) {
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
    if (!connection.connectionString().empty()) {
        connection.close();
        connection.setConnectionString({});
    }
    strokes.dropIndex();
    const std::filesystem::path file = programDir / kDatabaseFileName;
    connection.setConnectionString(connectionStringFor(file));
    connection.open();
    checkTables(connection, file);
    strokes.buildIndex(connection);
}

}  // namespace quenvil
