// quenvil-cli entry.
#include <iostream>

#include "cli/commands.h"
#include "data/data_location.h"
#include "data/folders.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    const quenvil::DataLocation data = quenvil::locateData(quenvil::programFolder());
    if (!data.warning.empty()) std::cerr << "quenvil-cli: " << data.warning << '\n';
    return quenvil::cli::run(args, data.database, std::cout, std::cerr);
}
