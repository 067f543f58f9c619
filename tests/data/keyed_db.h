// The tests' own view of a data.Mdb: a keyed connection that reads columns and rows, and the
// entries of a folder.
#pragma once

#include <sqlcipher/sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "data/connection.h"
#include "data/database_key.h"

namespace quenvil::test {

inline std::vector<std::string> folderEntries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// A keyed connection to a database file, for reading and changing it in the tests.
struct Db {
    explicit Db(const std::filesystem::path& file) { cn.open(file, kDatabasePassword); }
    // The first column of every row, as text.
    std::vector<std::string> column(const std::string& sql) {
        Statement stmt(cn.handle(), sql);
        std::vector<std::string> values;
        while (stmt.step()) {
            const auto* text = sqlite3_column_text(stmt.get(), 0);
            values.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
        }
        return values;
    }
    // Every row, its columns joined by tabs.
    std::vector<std::string> rows(const std::string& sql) {
        Statement stmt(cn.handle(), sql);
        std::vector<std::string> values;
        while (stmt.step()) {
            std::string row;
            for (int i = 0; i < sqlite3_column_count(stmt.get()); ++i) {
                const auto* text = sqlite3_column_text(stmt.get(), i);
                row +=
                    (i ? "\t" : "") + std::string(text ? reinterpret_cast<const char*>(text) : "");
            }
            values.push_back(row);
        }
        return values;
    }
    std::string value(const std::string& sql) {
        const auto values = column(sql);
        return values.empty() ? std::string() : values.front();
    }
    Connection cn;
};

}  // namespace quenvil::test
