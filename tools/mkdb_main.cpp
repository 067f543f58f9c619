// quenvil-mkdb SOURCES_DIR OUT_FILE: builds data.Mdb at build time.
#include <iostream>

#include "tools/database_builder.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: quenvil-mkdb SOURCES_DIR OUT_FILE\n";
        return 2;
    }
    try {
        quenvil::buildDatabase(argv[1], argv[2]);
    } catch (const std::exception& e) {
        std::cerr << "quenvil-mkdb: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
