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

    // Opens data.Mdb of the program's folder with the program's password (closing what was
    // open) and checks that it holds the program's tables; builds the stroke index. Throws
    // DatabaseError with the engine's text on failure.
    void open(const std::filesystem::path& programDir);
};

}  // namespace quenvil
