// The keys of the encrypted database files, derived once per process.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace quenvil {

// The key of a database file in SQLCipher's raw form ("x'" + 64 hexadecimal digits + "'"), made
// from the password and the file's salt (its first 16 bytes) the way SQLCipher 3 makes it:
// PBKDF2 with HMAC-SHA1, 64,000 rounds, 32 bytes. The derivation is most of the time it takes to
// open the database, so its result is kept for the process: every further connection to the
// file, to a copy of it or to any file with the same salt opens without deriving again. Empty for
// a file that holds no salt yet (missing or shorter than the salt), where SQLCipher derives the
// key of a new file itself, and for a password that is already a raw key.
std::string rawKeyOf(const std::filesystem::path& file, const std::string& password);

// How many keys this process has derived so far.
size_t keyDerivations();

}  // namespace quenvil
