// The database components that the main window owns and lends to every window.
#pragma once

#include <filesystem>
#include <string>

#include "data/data_set.h"
#include "data/stroke_lookup.h"

namespace quenvil {

inline constexpr const char* kDatabaseFileName = "data.Mdb";
inline constexpr const char* kDatabasePassword = "quillon6085";

struct Database {
    Connection connection;
    DataSet characterQuery{connection};
    DataSet importedNames{connection};
    Command importCommand{connection};
    StrokeLookup strokes{characterQuery};

    // Why nothing may be written to the open database (the shipped file, open read-only because
    // the user's copy cannot be used); empty when it may be written.
    std::string readOnlyReason;

    // Opens data.Mdb of the program's folder with the program's password (closing what was
    // open) and checks that it holds the program's tables; builds the stroke index. Throws
    // DatabaseError with the engine's text on failure (DatabaseCorruptError for a file that is
    // not a database of this program).
    void open(const std::filesystem::path& programDir);
    // The same for a file that must not be written (the connection is read-only): reason says
    // why, and is what requireWritable reports.
    void openReadOnly(const std::filesystem::path& folder, std::string reason);
    // The same on a connection that is open already, for the steps of opening a user's copy.
    void checkAndIndex();

    // Throws NoUserCopyError with readOnlyReason when the database must not be written.
    void requireWritable() const;
};

}  // namespace quenvil
