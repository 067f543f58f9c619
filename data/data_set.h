// The data sets that every window shares: a cursor over a query that keeps the close / set
// command text / open protocol, the command that returns no rows, and the helper that reads one
// value of a query.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/connection.h"
#include "data/pending_rows.h"

namespace quenvil {

// characterQuery / importedNames: a data set whose command text is set before each open. The
// current row's fields are read by column name; rows can be appended and written in one batch.
class DataSet {
  public:
    explicit DataSet(Connection& connection) : connection_(connection) {}
    ~DataSet();
    DataSet(const DataSet&) = delete;
    DataSet& operator=(const DataSet&) = delete;

    void close();
    void setCommandText(std::string sql, std::vector<Param> params = {});
    void open();  // runs the command and stands on its first row
    bool eof() const { return !hasRow_; }
    void next();

    // Lets go of the statement, so that the engine holds no read lock while the program waits
    // for the user; the current row's values stay readable, and the data set ends after it. A
    // data set that has run to its end holds no lock either.
    void release();

    // Text of a column of the current row, GBK; empty when there is no row or the value is null.
    std::string fieldText(std::string_view column) const;
    // The same in UTF-8, straight from the engine (valid until the data set moves).
    std::string_view fieldUtf8(std::string_view column) const;
    // Integer value of a column of the current row; 0 when there is no row or the value is null.
    int64_t fieldInteger(std::string_view column) const;

    // Appending: append() starts a new row (storing the one before it in the pending batch),
    // setField() fills the new row, updateBatch() writes every pending row to the table that the
    // command text reads ("select * from <table>").
    void append() { pending_.startRow(); }
    void setField(std::string_view column, std::string_view gbkText) {
        pending_.setField(column, gbkText);
    }
    void updateBatch();

  private:
    int columnIndex(std::string_view column) const;
    std::string tableOfCommand() const;

    Connection& connection_;
    std::string sql_;
    std::vector<Param> params_;
    std::unique_ptr<Statement> stmt_;
    std::string preparedSql_;
    sqlite3* preparedOn_ = nullptr;   // the connection handle the statement belongs to
    mutable std::string lastColumn_;  // the column asked for last, and its index
    mutable int lastColumnIndex_ = -1;
    bool active_ = false;
    bool hasRow_ = false;
    // After release(): the values of the row it stood on.
    struct KeptField {
        std::string column;
        std::string text;  // UTF-8, empty for null
        int64_t integer = 0;
    };
    const KeptField* keptField(std::string_view column) const;
    bool released_ = false;
    std::vector<KeptField> keptRow_;
    PendingRows pending_;
};

// Runs a query through a data set and reads one column of its first row: close, set the command
// text, open and release, so that no read lock stays behind (the row's values stay readable in
// the data set). Nothing when the query gives no row. Text is GBK.
std::optional<std::string> queryText(DataSet& dataSet, std::string sql, std::vector<Param> params,
                                     std::string_view column);
std::optional<int64_t> queryInteger(DataSet& dataSet, std::string sql, std::vector<Param> params,
                                    std::string_view column);

// importCommand: a command that returns no rows.
class Command {
  public:
    explicit Command(Connection& connection) : connection_(connection) {}
    void clearSql() {
        sql_.clear();
        params_.clear();
    }
    void setSql(std::string sql, std::vector<Param> params = {}) {
        sql_ = std::move(sql);
        params_ = std::move(params);
    }
    void execSql() { connection_.execute(sql_, params_); }

  private:
    Connection& connection_;
    std::string sql_;
    std::vector<Param> params_;
};

}  // namespace quenvil
