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
            throw DatabaseCorruptError(
                std::string(empty ? "the database file is empty"
                                  : "not a character database of this program") +
                " (no table " + table + "): " + file.string());
        }
    }
}

}  // namespace

void Database::open(const std::filesystem::path& programDir) {
    strokes.dropIndex();
    readOnlyReason.clear();
    connection.open(programDir / kDatabaseFileName, kDatabasePassword);
    checkAndIndex();
}

void Database::openReadOnly(const std::filesystem::path& folder, std::string reason) {
    strokes.dropIndex();
    readOnlyReason = std::move(reason);
    connection.open(folder / kDatabaseFileName, kDatabasePassword, Connection::Access::ReadOnly);
    checkAndIndex();
}

void Database::checkAndIndex() {
    checkTables(connection, connection.file());
    strokes.buildIndex(connection);
}

void Database::requireWritable() const {
    if (!readOnlyReason.empty()) throw NoUserCopyError(readOnlyReason);
}

}  // namespace quenvil
