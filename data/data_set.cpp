// Data sets over the connection.
#define SQLITE_HAS_CODEC 1
#include "data/data_set.h"

#include <sqlcipher/sqlite3.h>

#include "text/gbk.h"
#include "text/units.h"

namespace quenvil {
namespace {

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// Opens the query and lets go of its statement at once; false when it gives no row.
bool openFirstRow(DataSet& ds, std::string sql, std::vector<Param> params) {
    ds.close();
    ds.setCommandText(std::move(sql), std::move(params));
    ds.open();
    ds.release();
    return !ds.eof();
}

}  // namespace

DataSet::~DataSet() = default;

void DataSet::close() {
    if (stmt_) stmt_->reset();
    active_ = false;
    hasRow_ = false;
    released_ = false;
    keptRow_.clear();
    pending_.clear();
}

void DataSet::setCommandText(std::string sql, std::vector<Param> params) {
    sql_ = std::move(sql);
    params_ = std::move(params);
}

void DataSet::open() {
    close();
    sqlite3* db = connection_.handle();
    if (!stmt_ || preparedSql_ != sql_ || preparedOn_ != db) {
        stmt_.reset();
        preparedSql_.clear();
        lastColumnIndex_ = -1;
        stmt_ = std::make_unique<Statement>(db, sql_);
        preparedSql_ = sql_;
        preparedOn_ = db;
    }
    stmt_->bind(params_);
    hasRow_ = stmt_->step();
    active_ = true;
}

void DataSet::next() {
    if (!active_ || !hasRow_) return;
    if (released_) {
        hasRow_ = false;
        keptRow_.clear();
        return;
    }
    hasRow_ = stmt_->step();
}

void DataSet::release() {
    if (!active_ || released_) return;
    keptRow_.clear();
    if (hasRow_) {
        sqlite3_stmt* s = stmt_->get();
        const int n = sqlite3_column_count(s);
        for (int i = 0; i < n; ++i) {
            KeptField field;
            field.column = sqlite3_column_name(s, i);
            if (const unsigned char* text = sqlite3_column_text(s, i)) {
                field.text.assign(reinterpret_cast<const char*>(text),
                                  static_cast<size_t>(sqlite3_column_bytes(s, i)));
            }
            field.integer = sqlite3_column_int64(s, i);
            keptRow_.push_back(std::move(field));
        }
    }
    stmt_->reset();
    released_ = true;
}

const DataSet::KeptField* DataSet::keptField(std::string_view column) const {
    for (const KeptField& field : keptRow_) {
        if (equalsNoCase(field.column, column)) return &field;
    }
    throw DatabaseError("no such column: " + std::string(column));
}

int DataSet::columnIndex(std::string_view column) const {
    if (lastColumnIndex_ >= 0 && column == lastColumn_) return lastColumnIndex_;
    sqlite3_stmt* s = stmt_->get();
    const int n = sqlite3_column_count(s);
    for (int i = 0; i < n; ++i) {
        if (equalsNoCase(sqlite3_column_name(s, i), column)) {
            lastColumn_ = std::string(column);
            lastColumnIndex_ = i;
            return i;
        }
    }
    throw DatabaseError("no such column: " + std::string(column));
}

std::string_view DataSet::fieldUtf8(std::string_view column) const {
    if (!active_ || !hasRow_) return {};
    if (released_) return keptField(column)->text;
    return stmt_->text(columnIndex(column));
}

std::string DataSet::fieldText(std::string_view column) const {
    return utf8ToGbk(fieldUtf8(column));
}

int64_t DataSet::fieldInteger(std::string_view column) const {
    if (!active_ || !hasRow_) return 0;
    if (released_) return keptField(column)->integer;
    return stmt_->integer(columnIndex(column));
}

std::string DataSet::tableOfCommand() const {
    static constexpr std::string_view prefix = "select * from ";
    if (sql_.size() <= prefix.size() || !equalsNoCase(sql_.substr(0, prefix.size()), prefix)) {
        throw DatabaseError("rows can only be appended to a plain table: " + sql_);
    }
    std::string table = std::string(trimControl(std::string_view(sql_).substr(prefix.size())));
    for (char ch : table) {
        const bool ok = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') ||
                        (ch >= '0' && ch <= '9') || ch == '_';
        if (!ok) throw DatabaseError("rows can only be appended to a plain table: " + sql_);
    }
    return table;
}

void DataSet::updateBatch() {
    if (pending_.empty()) return;
    const std::string table = tableOfCommand();
    pending_.insertInto(connection_.handle(), table);
}

std::optional<std::string> queryText(DataSet& dataSet, std::string sql, std::vector<Param> params,
                                     std::string_view column) {
    if (!openFirstRow(dataSet, std::move(sql), std::move(params))) return std::nullopt;
    return dataSet.fieldText(column);
}

std::optional<int64_t> queryInteger(DataSet& dataSet, std::string sql, std::vector<Param> params,
                                    std::string_view column) {
    if (!openFirstRow(dataSet, std::move(sql), std::move(params))) return std::nullopt;
    return dataSet.fieldInteger(column);
}

}  // namespace quenvil
