// Writing appended rows many to a statement.
#include "data/pending_rows.h"

#include <algorithm>
#include <memory>

#include "data/connection.h"

namespace quenvil {

void PendingRows::setField(std::string_view column, std::string_view gbkText) {
    if (rowStarts_.empty()) throw DatabaseError("the data set is not in append mode");
    fields_.emplace_back(std::string(column), std::string(gbkText));
}

void PendingRows::clear() {
    fields_.clear();
    rowStarts_.clear();
}

size_t PendingRows::rowStart(size_t row) const {
    return row < rowStarts_.size() ? rowStarts_[row] : fields_.size();
}

bool PendingRows::sameColumns(size_t a, size_t b) const {
    if (columnCount(a) != columnCount(b)) return false;
    for (size_t i = 0; i < columnCount(a); ++i) {
        if (fields_[rowStart(a) + i].first != fields_[rowStart(b) + i].first) return false;
    }
    return true;
}

std::string PendingRows::insertSql(const std::string& table, size_t row, size_t count) const {
    const size_t columns = columnCount(row);
    std::string sql = "insert into " + table;
    if (columns == 0) return sql + " default values";
    std::string marks = "(?";
    for (size_t i = 1; i < columns; ++i) marks += ",?";
    marks += ")";
    sql += "(";
    for (size_t i = 0; i < columns; ++i) sql += (i ? "," : "") + fields_[rowStart(row) + i].first;
    sql += ") values" + marks;
    for (size_t k = 1; k < count; ++k) sql += "," + marks;
    return sql;
}

void PendingRows::insertInto(sqlite3* db, const std::string& table) {
    constexpr size_t kMaxParameters = 999;
    std::unique_ptr<Statement> insert;
    std::string insertedSql;
    std::vector<Param> params;
    for (size_t r = 0; r < rowStarts_.size();) {
        const size_t columns = columnCount(r);
        const size_t perStatement =
            columns == 0 ? 1 : std::min<size_t>(256, kMaxParameters / columns);
        size_t n = 1;
        while (n < perStatement && r + n < rowStarts_.size() && sameColumns(r, r + n)) ++n;
        std::string sql = insertSql(table, r, n);
        if (!insert || sql != insertedSql) {
            insert = std::make_unique<Statement>(db, sql);
            insertedSql = std::move(sql);
        }
        params.clear();
        for (size_t f = rowStart(r); f < rowStart(r + n); ++f) {
            params.push_back(Param::gbk(fields_[f].second));
        }
        insert->bind(params);
        insert->step();
        insert->reset();
        r += n;
    }
    clear();
}

}  // namespace quenvil
