// The errors of the database layer, and how an error code of the engine becomes one of them.
#pragma once

#include <stdexcept>
#include <string>

struct sqlite3;

namespace quenvil {

// An error of the database engine, carrying the engine's own text (UTF-8).
class DatabaseError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The database stayed locked by another connection for the whole busy timeout.
class DatabaseBusyError : public DatabaseError {
  public:
    using DatabaseError::DatabaseError;
};

// The database cannot be written: its folder or the file itself is read-only (the journal that
// every change writes beside the file cannot be created).
class DatabaseReadOnlyError : public DatabaseError {
  public:
    using DatabaseError::DatabaseError;
};

// The file is not a database of this program or has damaged pages: the engine's "file is not a
// database" (also a wrong key) and "database disk image is malformed".
class DatabaseCorruptError : public DatabaseError {
  public:
    using DatabaseError::DatabaseError;
};

// Nothing may be written: the user's own copy of the database could not be made or used, and the
// shipped file, which is never written, is open for reading instead. The text says why.
class NoUserCopyError : public DatabaseError {
  public:
    using DatabaseError::DatabaseError;
};

// True for the engine's codes of a file that another connection keeps locked.
bool isBusyCode(int rc);
// True for the engine's codes of a file that is damaged or not a database.
bool isCorruptCode(int rc);

// What the engine said about a failed call, read before the statement is reset: its text, and
// for a file that cannot be written because it or its folder is read-only a text that says so.
struct EngineError {
    std::string message;
    int rc = 0;
    bool readOnly = false;
};
EngineError engineError(sqlite3* db, int rc);

// Throws the error as DatabaseBusyError, DatabaseReadOnlyError, DatabaseCorruptError or
// DatabaseError.
[[noreturn]] void throwEngineError(const EngineError& error);
[[noreturn]] inline void throwEngineError(sqlite3* db, int rc) {
    throwEngineError(engineError(db, rc));
}

}  // namespace quenvil
