// quenvil-mknames RESOURCES_DIR OUT_DIR: writes the surname name lists at build time.
#include <iostream>

#include "tools/name_generator.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: quenvil-mknames RESOURCES_DIR OUT_DIR\n";
        return 2;
    }
    try {
        constexpr size_t kNamesPerSurname = 30000;
        quenvil::writeNameLists(quenvil::readNameSources(argv[1]), argv[2], kNamesPerSurname);
    } catch (const std::exception& e) {
        std::cerr << "quenvil-mknames: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
