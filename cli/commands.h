// quenvil-cli: the program's operations from a terminal, on the data.Mdb beside it.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace quenvil::cli {

// Runs one command. Output goes to out (UTF-8), messages to err; returns the exit code.
int run(const std::vector<std::string>& args, const std::filesystem::path& programDir,
        std::ostream& out, std::ostream& err);

}  // namespace quenvil::cli
