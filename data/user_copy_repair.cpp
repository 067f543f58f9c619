// Checking every page of a copy, and recovering the user's tables from a damaged one.
#include "data/user_copy_repair.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "data/database.h"
#include "data/database_error.h"
#include "data/reference_data.h"

namespace quenvil {
namespace {

// The columns of a table of the database cn holds open, in their order.
std::vector<std::string> columnsOf(Connection& cn, const std::string& table) {
    std::vector<std::string> columns;
    Statement stmt(cn.handle(), "pragma main.table_info(" + quotedName(table) + ")");
    while (stmt.step()) columns.emplace_back(stmt.text(1));
    return columns;
}

using Row = std::pair<int64_t, std::vector<std::string>>;  // rowid, the columns' texts

// Reads the rows of table (the columns listed) of the open file in rowid order, forward or
// backward, up to the end or the first row the engine cannot read; hands each to keep, which
// returns false to stop.
template <typename Keep>
void readRows(Connection& from, const std::string& table, const std::string& columns, size_t count,
              bool backward, Keep keep) {
    try {
        Statement stmt(from.handle(), "select rowid, " + columns + " from " + quotedName(table) +
                                          " order by rowid" + (backward ? " desc" : ""));
        while (stmt.step()) {
            Row row{stmt.integer(0), {}};
            for (size_t c = 0; c < count; ++c) {
                row.second.emplace_back(stmt.text(static_cast<int>(c) + 1));
            }
            if (!keep(std::move(row))) return;
        }
    } catch (const DatabaseError&) {
        // The damaged page, or a table the damaged file lacks: what was read so far is kept.
    }
}

}  // namespace

void checkEveryPage(Connection& cn) {
    // A file cut short: the engine would read the missing pages as zeros, or not at all.
    const auto pageSize = firstInteger(cn, "pragma page_size");
    const auto pages = firstInteger(cn, "pragma page_count");
    std::error_code ec;
    const auto bytes = std::filesystem::file_size(cn.file(), ec);
    if (!ec && static_cast<int64_t>(bytes) < pages * pageSize) {
        throw DatabaseCorruptError("the database file is cut short: it holds " +
                                   std::to_string(bytes) + " bytes of " +
                                   std::to_string(pages * pageSize) + ": " + cn.file().string());
    }
    // Every table walked through its rows, every index through its first column in its order:
    // each reads all the pages of its tree.
    std::vector<std::string> walks;
    {
        Statement stmt(cn.handle(),
                       "select type, name, tbl_name from sqlite_master where type in ('table', "
                       "'index') and rootpage > 0");
        while (stmt.step()) {
            const std::string name(stmt.text(1));
            if (stmt.text(0) == "table") {
                walks.push_back("select count(rowid) from " + quotedName(name) + " not indexed");
                continue;
            }
            const std::string table(stmt.text(2));
            Statement columns(cn.handle(), "pragma index_info(" + quotedName(name) + ")");
            if (!columns.step() || columns.text(2).empty()) continue;  // on an expression
            const std::string column = quotedName(columns.text(2));
            walks.push_back("select count(*) from (select " + column + " from " +
                            quotedName(table) + " indexed by " + quotedName(name) + " order by " +
                            column + ")");
        }
    }
    for (const std::string& sql : walks) {
        try {
            firstInteger(cn, sql);
        } catch (const DatabaseCorruptError& e) {
            throw DatabaseCorruptError(std::string(e.what()) + ": " + cn.file().string());
        } catch (const DatabaseBusyError&) {
            throw;
        } catch (const DatabaseError&) {
            // A tree this walk cannot take (a table without rowid): left to the engine's own
            // checks when it is used.
        }
    }
}

size_t recoverUserTables(const std::filesystem::path& damaged, Connection& cn) {
    size_t recovered = 0;
    cn.beginTransaction();
    try {
        for (const std::string table : kUserTables) {
            const std::vector<std::string> columns = columnsOf(cn, table);
            if (columns.empty()) continue;
            std::string list, marks;
            for (const std::string& c : columns) {
                list += (list.empty() ? "" : ", ") + quotedName(c);
                marks += marks.empty() ? "?" : ", ?";
            }
            // Forward to the first damaged page, then backward to it; each pass on a connection of
            // its own, since a damaged page may leave a connection unusable.
            std::vector<Row> rows;
            try {
                Connection from;
                from.open(damaged, kDatabasePassword);
                readRows(from, table, list, columns.size(), false, [&](Row&& row) {
                    rows.push_back(std::move(row));
                    return true;
                });
                const size_t forward = rows.size();
                from.open(damaged, kDatabasePassword);
                const int64_t last = forward ? rows.back().first : INT64_MIN;
                readRows(from, table, list, columns.size(), true, [&](Row&& row) {
                    if (row.first <= last) return false;
                    rows.push_back(std::move(row));
                    return true;
                });
                std::reverse(rows.begin() + static_cast<std::ptrdiff_t>(forward), rows.end());
            } catch (const DatabaseError&) {
                // The file does not open at all: nothing to take over.
            }
            if (rows.empty()) continue;
            cn.execute("delete from main." + quotedName(table));
            Statement insert(cn.handle(), "insert or ignore into main." + quotedName(table) + "(" +
                                              list + ") values(" + marks + ")");
            std::vector<Param> params;
            for (const Row& row : rows) {
                params.clear();
                for (const std::string& value : row.second) params.push_back(Param::utf8(value));
                insert.bind(params);
                insert.step();
                insert.reset();
            }
            if (table == kUserTables[0]) recovered = rows.size();
        }
        cn.commit();
    } catch (...) {
        cn.rollback();
        throw;
    }
    return recovered;
}

}  // namespace quenvil
