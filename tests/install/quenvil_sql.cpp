// quenvil_test_sql FILE SQL [SECONDS]: runs SQL (one or more statements) on a data.Mdb with the
// program's key and prints the rows of every statement, one a line, columns separated by tabs
// (UTF-8); with SECONDS, keeps the connection (and the locks its SQL took) that long before it
// ends, after a line "holding" on standard output. The install tests read, age and lock a user's
// copy with it.
#define SQLITE_HAS_CODEC 1
#include <sqlcipher/sqlite3.h>

#include <chrono>
#include <iostream>
#include <string>
#include <thread>

#include "data/connection.h"
#include "data/database.h"

namespace {

int printRow(void*, int columns, char** values, char**) {
    for (int i = 0; i < columns; ++i) std::cout << (i ? "\t" : "") << (values[i] ? values[i] : "");
    std::cout << '\n';
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::cerr << "usage: quenvil_test_sql FILE SQL [SECONDS]\n";
        return 2;
    }
    try {
        quenvil::Connection cn;
        cn.open(argv[1], quenvil::kDatabasePassword);
        char* error = nullptr;
        if (sqlite3_exec(cn.handle(), argv[2], printRow, nullptr, &error) != SQLITE_OK) {
            std::cerr << "quenvil_test_sql: " << (error ? error : "failed") << '\n';
            sqlite3_free(error);
            return 1;
        }
        if (argc == 4) {
            std::cout << "holding" << std::endl;
            std::this_thread::sleep_for(std::chrono::seconds(std::stoi(argv[3])));
        }
    } catch (const std::exception& e) {
        std::cerr << "quenvil_test_sql: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
