// quenvil-cli entry.
#include <iostream>

#include "cli/commands.h"
#include "data/folders.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    return quenvil::cli::run(args, quenvil::programFolder(), std::cout, std::cerr);
}
