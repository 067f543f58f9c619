// The per-user copy of data.Mdb: made from the shipped file, checked and, where needed, repaired
// or refreshed when it is opened.
#pragma once

#include <cstddef>
#include <ctime>
#include <filesystem>
#include <string>

#include "data/data_location.h"

namespace quenvil {

struct Database;
class Connection;

// Copies from to the new file to so that to is either absent or complete (AtomicFile of
// text/atomic_file.h, readable by the user alone). When another process made to in the meantime,
// its file is kept. Throws std::system_error on failure, and leaves no temporary file behind.
void copyFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to);

// Makes userFolder and, when it has none yet, the copy userFolder/data.Mdb of shippedFile; removes
// the temporary copies that programs killed while copying left there (those older than
// startedAt, the start of this program: a younger one may belong to a program copying now).
// Returns the copy. Throws std::exception when the folder or the copy cannot be made.
std::filesystem::path prepareUserFolder(const std::filesystem::path& shippedFile,
                                        const std::filesystem::path& userFolder,
                                        std::time_t startedAt);

// When when this process started (seconds since the epoch).
std::time_t processStartTime();

// The data version (user_version) of a database file.
int referenceDataVersion(const std::filesystem::path& databaseFile);

// When shipped carries a newer data version than the database of cn, replaces its reference
// tables (every table of shipped but the user's own, kUserTables of reference_data.h: their
// definitions, indexes and rows) by those of shipped and takes over its version, in one
// transaction; the user's tables are kept, and the shortlist table is created when the copy
// lacks it. Returns whether the tables were replaced. Throws DatabaseError on an engine failure
// (the database is then unchanged).
bool refreshReferenceData(Connection& cn, const std::filesystem::path& shipped);
// The same on a database file.
bool refreshReferenceData(const std::filesystem::path& copy, const std::filesystem::path& shipped);

// What opening the database of a DataLocation found and did, for the messages of the windows and
// of the terminal (texts in English, with the engine's or the system's reason).
struct OpenReport {
    // The user's copy was damaged (damage says how): it was kept under the name setAside, a fresh
    // copy was made from the shipped file, and recoveredNames rows of xm were taken over.
    std::string damage;
    std::filesystem::path setAside;
    size_t recoveredNames = 0;
    // The copy took the reference tables of newer shipped data, or could not (refreshProblem).
    bool refreshed = false;
    std::string refreshProblem;
    // The user's copy cannot be made or used (why): the shipped file is open read-only instead,
    // for reading; nothing can be imported (Database::requireWritable throws NoUserCopyError).
    std::string readingShipped;
};

// Opens the database that location names into db:
// - Program: data.Mdb of location.database, as Database::open does;
// - UserCopy: the user's copy, with one connection that reads its data version and every page.
//   A damaged copy (not a database, a damaged page, cut short, without the program's tables) is
//   kept as data.Mdb.damaged-YYYYMMDD-HHMMSS, replaced by a fresh copy of the shipped file, and its
//   names are recovered (recoverUserTables). A copy of older reference data takes the shipped
//   tables (the shipped file is attached only then). A copy that cannot be opened otherwise (not
//   readable, and a damaged one that cannot be replaced) leaves the shipped file open read-only;
// - NoUserCopy: the shipped file, read-only.
// The shipped file is never opened for writing. Throws DatabaseBusyError when the copy stays
// locked by another program for the busy timeout (never swapped for the shipped file), and
// DatabaseError when even the shipped file cannot be opened.
OpenReport openDatabase(Database& db, const DataLocation& location);

}  // namespace quenvil
