// quenvil-cli entry.
#include <iostream>

#include "cli/commands.h"
#include "data/data_location.h"
#include "data/folders.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    // Output that would be lost without a word: refused before anything is done.
    if (!quenvil::standardStreamOpen(1)) {
        std::cerr << "quenvil-cli: standard output is closed; nothing was done\n";
        return 1;
    }
    quenvil::keepStandardStreamsTaken();
    std::vector<std::string> args(argv + 1, argv + argc);
    const quenvil::DataLocation data = quenvil::locateData(quenvil::programFolder());
    return quenvil::cli::run(args, data, std::cout, std::cerr);
}
