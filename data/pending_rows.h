// Rows appended to a table and written in one go.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct sqlite3;

namespace quenvil {

class PendingRows {
  public:
    // Starts a new row; setField fills it (DatabaseError when no row was started).
    void startRow() { rowStarts_.push_back(fields_.size()); }
    void setField(std::string_view column, std::string_view gbkText);
    bool empty() const { return rowStarts_.empty(); }
    void clear();

    // Inserts every pending row into table, then clears them. Rows of the same columns go many to
    // a statement ("values (?), (?), ..."), which the engine runs much faster than one statement
    // a row.
    void insertInto(sqlite3* db, const std::string& table);

  private:
    size_t rowStart(size_t row) const;
    size_t columnCount(size_t row) const { return rowStart(row + 1) - rowStart(row); }
    bool sameColumns(size_t a, size_t b) const;
    // "insert into table(a,b) values(?,?),(?,?)" for count rows of the columns of row.
    std::string insertSql(const std::string& table, size_t row, size_t count) const;

    // The fields of row r are fields_[rowStarts_[r] ...]: column, GBK text.
    std::vector<std::pair<std::string, std::string>> fields_;
    std::vector<size_t> rowStarts_;
};

}  // namespace quenvil
