// The per-user copy of data.Mdb: made from the shipped file, refreshed when that file carries
// newer reference data.
#pragma once

#include <filesystem>

namespace quenvil {

// Copies from to the new file to so that to is either absent or complete: the bytes go to a
// temporary file in the same folder, which is flushed to disk and then renamed. When another
// process made to in the meantime, its file is kept. Throws std::system_error on failure, and
// leaves no temporary file behind.
void copyFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to);

// The data version (user_version) of a database file.
int referenceDataVersion(const std::filesystem::path& databaseFile);

// When shipped carries a newer data version than copy, replaces the reference tables of copy
// (every table of shipped but the user's own, kUserTables of reference_data.h: their
// definitions, indexes and rows) by those of shipped and takes over its version, in one
// transaction; the user's tables of copy are kept, and the shortlist table is created when the
// copy lacks it. Returns whether the tables were replaced. Throws DatabaseError on an engine
// failure (copy is then unchanged).
bool refreshReferenceData(const std::filesystem::path& copy, const std::filesystem::path& shipped);

// Makes userFolder/data.Mdb from shippedFile when it does not exist yet, otherwise refreshes its
// reference data. Returns the per-user file.
std::filesystem::path prepareUserDatabase(const std::filesystem::path& shippedFile,
                                          const std::filesystem::path& userFolder);

}  // namespace quenvil
