// Finding a damaged per-user copy of data.Mdb, and taking the user's own tables over from it.
#pragma once

#include <cstddef>
#include <filesystem>

#include "data/connection.h"

namespace quenvil {

// Reads every page of the database that cn holds open, so that a damaged page is found when the
// file is opened rather than when a window first needs it: every table and index is walked
// (with SQLCipher every page carries a check sum of its own, which a read verifies), and the file
// must be as long as the database says. Throws DatabaseCorruptError with what is wrong.
void checkEveryPage(Connection& cn);

// Copies the user's own tables (kUserTables of reference_data.h: the names xm and xm2 and the
// shortlist) from a damaged database file into the database that cn holds open, in their order,
// as far as the engine can still read them: each table is read from its first row forward and
// from its last row backward, up to the first damaged page either way. Returns the rows of xm
// taken over. Nothing is taken when the file does not open at all.
size_t recoverUserTables(const std::filesystem::path& damaged, Connection& cn);

}  // namespace quenvil
