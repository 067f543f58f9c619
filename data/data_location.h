// Where the program finds its shipped data (data.Mdb, xm/, help/) and which data.Mdb it opens.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quenvil {

// The shipped data folder of an installed program, relative to the folder of its executable
// ("../share/quenvil" for the usual bin/ and share/ layout; set when the build is configured).
extern const char* const kInstalledDataRelative;

struct DataLocation {
    std::filesystem::path shipped;   // data.Mdb, xm/ and help/ as built or installed
    std::filesystem::path system;    // the folder whose xm/ holds the name lists
    std::filesystem::path database;  // the folder of the data.Mdb to open
    // Why the per-user copy could not be made; the shipped file is opened then, read-only for
    // most users, so that everything but the import works.
    std::string warning;
};

// The folders searched for data.Mdb, in order: beside the program, then the installed data
// folder relative to it.
std::vector<std::filesystem::path> shippedFolderCandidates(
    const std::filesystem::path& programDir,
    const std::filesystem::path& installedRelative = kInstalledDataRelative);

// The first candidate that holds data.Mdb; the program's folder when none does (opening the
// database then reports the missing file there).
std::filesystem::path findShippedFolder(
    const std::filesystem::path& programDir,
    const std::filesystem::path& installedRelative = kInstalledDataRelative);

// ${XDG_DATA_HOME:-$HOME/.local/share}/quenvil. A relative or empty XDG_DATA_HOME is ignored,
// as the XDG base directory rules say; empty when neither variable gives a folder.
std::filesystem::path userDataFolder(const char* xdgDataHome, const char* home);
std::filesystem::path userDataFolder();  // from the environment

// Whether this process may write the database in folder: create its journal beside it, and
// write data.Mdb itself when it exists.
bool databaseWritable(const std::filesystem::path& folder);

// Finds the shipped data and decides which data.Mdb to open. The build folder, or any folder
// with data.Mdb beside the program that the user may write, is used as it is. Otherwise (an
// installed program, whose data folder belongs to the package and is never written, even by
// root; or a read-only program folder) the per-user copy in userFolder is made or refreshed
// from the shipped file and opened instead.
DataLocation locateData(const std::filesystem::path& programDir,
                        const std::filesystem::path& userFolder);
DataLocation locateData(const std::filesystem::path& programDir);  // userDataFolder()

}  // namespace quenvil
