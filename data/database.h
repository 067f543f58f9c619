// The database components that the main window owns and lends to every window.
#pragma once

#include <filesystem>
#include <string>

#include "data/connection.h"
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

    // Forms the connection string from the program's folder and opens it; builds the stroke
    // index. Throws DatabaseError with the engine's text on failure.
    void open(const std::filesystem::path& programDir);
};

// "Data Source=<file>;Jet OLEDB:Database Password=<the program's password>"; a file name that holds
// ';' is quoted: Data Source="<file>".
std::string connectionStringFor(const std::filesystem::path& databaseFile);

}  // namespace quenvil
