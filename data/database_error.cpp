// Engine error codes as exceptions.
#define SQLITE_HAS_CODEC 1
#include "data/database_error.h"

#include <sqlcipher/sqlite3.h>
#include <unistd.h>

#include <filesystem>

namespace quenvil {

bool isBusyCode(int rc) {
    const int primary = rc & 0xFF;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

bool isCorruptCode(int rc) {
    const int primary = rc & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

EngineError engineError(sqlite3* db, int rc) {
    EngineError error{sqlite3_errmsg(db), rc, false};
    const int primary = rc & 0xFF;
    if (primary != SQLITE_CANTOPEN && primary != SQLITE_READONLY && primary != SQLITE_IOERR) {
        return error;
    }
    const char* name = sqlite3_db_filename(db, "main");
    if (!name || !*name) return error;
    const std::filesystem::path file(name);
    const std::filesystem::path folder =
        file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    if (::access(folder.c_str(), W_OK) != 0) {
        error.message = "cannot write the database: its folder " + folder.string() +
                        " is read-only, so the journal file " + file.filename().string() +
                        "-journal cannot be created there (" + error.message + ")";
        error.readOnly = true;
    } else if (::access(file.c_str(), W_OK) != 0) {
        error.message = "cannot write the database: the file " + file.string() + " is read-only (" +
                        error.message + ")";
        error.readOnly = true;
    }
    return error;
}

void throwEngineError(const EngineError& error) {
    if (isBusyCode(error.rc)) throw DatabaseBusyError(error.message);
    if (error.readOnly) throw DatabaseReadOnlyError(error.message);
    if (isCorruptCode(error.rc)) throw DatabaseCorruptError(error.message);
    throw DatabaseError(error.message);
}

}  // namespace quenvil
