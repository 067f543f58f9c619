// Finding the shipped data and the database to open.
#include "data/data_location.h"

#include <unistd.h>

#include <cstdlib>
#include <exception>

#include "data/database.h"
#include "data/folders.h"
#include "data/user_database.h"

#ifndef QUENVIL_INSTALLED_DATA_RELATIVE
#define QUENVIL_INSTALLED_DATA_RELATIVE "../share/quenvil"
#endif

namespace quenvil {

const char* const kInstalledDataRelative = QUENVIL_INSTALLED_DATA_RELATIVE;

std::vector<std::filesystem::path> shippedFolderCandidates(
    const std::filesystem::path& programDir, const std::filesystem::path& installedRelative) {
    return {programDir, (programDir / installedRelative).lexically_normal()};
}

std::filesystem::path findShippedFolder(const std::filesystem::path& programDir,
                                        const std::filesystem::path& installedRelative) {
    for (const auto& folder : shippedFolderCandidates(programDir, installedRelative)) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(folder / kDatabaseFileName, ec)) return folder;
    }
    return programDir;
}

std::filesystem::path userDataFolder(const char* xdgDataHome, const char* home) {
    if (xdgDataHome && *xdgDataHome) {
        const std::filesystem::path base(xdgDataHome);
        if (base.is_absolute()) return base / "quenvil";
    }
    if (home && *home) return std::filesystem::path(home) / ".local" / "share" / "quenvil";
    return {};
}

std::filesystem::path userDataFolder() {
    return userDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

bool databaseWritable(const std::filesystem::path& folder) {
    if (::access(folder.c_str(), W_OK) != 0) return false;
    const std::filesystem::path file = folder / kDatabaseFileName;
    return ::access(file.c_str(), F_OK) != 0 || ::access(file.c_str(), W_OK) == 0;
}

DataLocation locateData(const std::filesystem::path& programDir,
                        const std::filesystem::path& userFolder) {
    DataLocation location;
    location.shipped = findShippedFolder(programDir);
#ifdef _WIN32
    location.system = systemFolder();
#else
    location.system = location.shipped;
#endif
    location.database = location.shipped;

    const std::filesystem::path shippedFile = location.shipped / kDatabaseFileName;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(shippedFile, ec)) return location;
    const bool installed = location.shipped != programDir;
    if (!installed && databaseWritable(location.shipped)) return location;

    location.home = DatabaseHome::NoUserCopy;
    if (userFolder.empty()) {
        location.problem = "neither XDG_DATA_HOME nor HOME names a folder for the user's copy of " +
                           shippedFile.string();
        return location;
    }
    try {
        location.database =
            prepareUserFolder(shippedFile, userFolder, processStartTime()).parent_path();
        location.home = DatabaseHome::UserCopy;
    } catch (const std::exception& e) {
        location.problem = "the user's copy of the database cannot be made in " +
                           userFolder.string() + ": " + e.what();
    }
    return location;
}

DataLocation locateData(const std::filesystem::path& programDir) {
    return locateData(programDir, userDataFolder());
}

}  // namespace quenvil
