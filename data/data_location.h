// Where the program finds its shipped data (data.Mdb, xm/, help/) and which data.Mdb it opens.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quenvil {

// The shipped data folder of an installed program, relative to the folder of its executable
// ("../share/quenvil" for the usual bin/ and share/ layout; set when the build is configured).
extern const char* const kInstalledDataRelative;

// Which data.Mdb holds the user's names.
enum class DatabaseHome {
    Program,     // data.Mdb beside the program, used where it is (a build folder)
    UserCopy,    // the user's own copy in the user's data folder
    NoUserCopy,  // the copy cannot be made: the shipped file is read, read-only, and nothing can
                 // be imported
};

struct DataLocation {
    std::filesystem::path shipped;   // data.Mdb, xm/ and help/ as built or installed
    std::filesystem::path system;    // the folder whose xm/ holds the name lists
    std::filesystem::path database;  // the folder of the data.Mdb to open
    DatabaseHome home = DatabaseHome::Program;
    // NoUserCopy: why the user's copy cannot be made (English, with the system's reason).
    std::string problem;
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
// root; or a read-only program folder) the per-user copy in userFolder is made when it does not
// exist yet (prepareUserFolder of data/user_database.h), and opened instead; when it cannot be
// made (no user folder, a folder that cannot be written) the home is NoUserCopy. Nothing is
// opened here: openDatabase of data/user_database.h checks the copy and refreshes it.
DataLocation locateData(const std::filesystem::path& programDir,
                        const std::filesystem::path& userFolder);
DataLocation locateData(const std::filesystem::path& programDir);  // userDataFolder()

}  // namespace quenvil
