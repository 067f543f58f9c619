// quenvil-cli: the program's operations from a terminal.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "data/data_location.h"

namespace quenvil::cli {

// Runs one command on the database that location names. Output goes to out (UTF-8), messages to
// err; returns the exit code.
int run(const std::vector<std::string>& args, const DataLocation& location, std::ostream& out,
        std::ostream& err);

}  // namespace quenvil::cli
