// SQLCipher-backed connection, statements and data sets.
#define SQLITE_HAS_CODEC 1
#include "data/connection.h"

#include <sqlcipher/sqlite3.h>

#include <algorithm>

#include "text/gbk.h"
#include "text/units.h"

namespace quenvil {
namespace {

struct ConnectionParts {
    std::string file;
    std::string password;
};

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

ConnectionParts parseConnectionString(std::string_view s) {
    ConnectionParts parts;
    while (!s.empty()) {
        const size_t semi = s.find(';');
        std::string_view item = s.substr(0, semi);
        s = semi == std::string_view::npos ? std::string_view{} : s.substr(semi + 1);
        const size_t eq = item.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view key = trimControl(item.substr(0, eq));
        const std::string_view value = item.substr(eq + 1);
        if (equalsNoCase(key, "Data Source")) {
            parts.file = std::string(value);
        } else if (equalsNoCase(key, "Jet OLEDB:Database Password")) {
            parts.password = std::string(value);
        }
    }
    return parts;
}

[[noreturn]] void fail(sqlite3* db) { throw DatabaseError(sqlite3_errmsg(db)); }

}  // namespace

Connection::~Connection() { close(); }

void Connection::open() {
    close();
    const ConnectionParts parts = parseConnectionString(connectionString_);
    if (parts.file.empty()) {
        lastOpenError_ = "the connection string names no data source";
        throw DatabaseError(lastOpenError_);
    }
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(parts.file.c_str(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        lastOpenError_ =
            std::string(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)) + ": " + parts.file;
        sqlite3_close(db);
        throw DatabaseError(lastOpenError_);
    }
    sqlite3_key(db, parts.password.data(), static_cast<int>(parts.password.size()));
    // Pages of 4 KiB: a quarter of the pages to encrypt and to walk as with SQLCipher's 1 KiB.
    sqlite3_exec(db, "pragma cipher_page_size = 4096", nullptr, nullptr, nullptr);
    // The key is only checked when the first page is read.
    char* err = nullptr;
    if (sqlite3_exec(db, "select count(*) from sqlite_master", nullptr, nullptr, &err) !=
        SQLITE_OK) {
        lastOpenError_ = std::string(err ? err : sqlite3_errmsg(db)) + ": " + parts.file;
        sqlite3_free(err);
        sqlite3_close(db);
        throw DatabaseError(lastOpenError_);
    }
    sqlite3_busy_timeout(db, 2000);
    // Sorting for distinct rows and large batches stay in memory.
    sqlite3_exec(db, "pragma temp_store=memory; pragma cache_size=-32768", nullptr, nullptr,
                 nullptr);
    lastOpenError_.clear();
    db_ = db;
}

void Connection::close() {
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

sqlite3* Connection::handle() const {
    if (!db_) {
        throw DatabaseError(lastOpenError_.empty()
                                ? std::string("the database connection is closed")
                                : "the database connection is closed (" + lastOpenError_ + ")");
    }
    return db_;
}

void Connection::beginTransaction() { execute("begin immediate"); }
void Connection::commit() { execute("commit"); }
void Connection::rollback() {
    if (db_ && !sqlite3_get_autocommit(db_))
        sqlite3_exec(db_, "rollback", nullptr, nullptr, nullptr);
}

void Connection::execute(const std::string& sql, const std::vector<Param>& params) {
    Statement stmt(handle(), sql);
    stmt.bind(params);
    while (stmt.step()) {
    }
}

Statement::Statement(sqlite3* db, const std::string& sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt_, nullptr) !=
        SQLITE_OK) {
        fail(db);
    }
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

void Statement::bind(const std::vector<Param>& params) {
    sqlite3_clear_bindings(stmt_);
    for (size_t i = 0; i < params.size(); ++i) {
        const int index = static_cast<int>(i + 1);
        int rc;
        if (params[i].kind == Param::Kind::Integer) {
            rc = sqlite3_bind_int64(stmt_, index, params[i].integer);
        } else {
            const std::string utf8 =
                params[i].kind == Param::Kind::Gbk ? gbkToUtf8(params[i].text) : params[i].text;
            rc = sqlite3_bind_text(stmt_, index, utf8.data(), static_cast<int>(utf8.size()),
                                   SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK) fail(db_);
    }
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    const std::string message = sqlite3_errmsg(db_);
    sqlite3_reset(stmt_);
    throw DatabaseError(message);
}

void Statement::reset() { sqlite3_reset(stmt_); }

std::string_view Statement::text(int column) const {
    const unsigned char* t = sqlite3_column_text(stmt_, column);
    if (t == nullptr) return {};
    return {reinterpret_cast<const char*>(t),
            static_cast<size_t>(sqlite3_column_bytes(stmt_, column))};
}

int64_t Statement::integer(int column) const { return sqlite3_column_int64(stmt_, column); }

DataSet::~DataSet() = default;

void DataSet::close() {
    if (stmt_) stmt_->reset();
    active_ = false;
    hasRow_ = false;
    pendingFields_.clear();
    rowStarts_.clear();
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
    hasRow_ = stmt_->step();
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
    const int i = columnIndex(column);
    const unsigned char* text = sqlite3_column_text(stmt_->get(), i);
    if (!text) return {};
    return {reinterpret_cast<const char*>(text),
            static_cast<size_t>(sqlite3_column_bytes(stmt_->get(), i))};
}

std::string DataSet::fieldText(std::string_view column) const {
    return utf8ToGbk(fieldUtf8(column));
}

int64_t DataSet::fieldInteger(std::string_view column) const {
    if (!active_ || !hasRow_) return 0;
    return sqlite3_column_int64(stmt_->get(), columnIndex(column));
}

void DataSet::append() { rowStarts_.push_back(pendingFields_.size()); }

void DataSet::setField(std::string_view column, std::string_view gbkText) {
    if (rowStarts_.empty()) throw DatabaseError("the data set is not in append mode");
    pendingFields_.emplace_back(std::string(column), std::string(gbkText));
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
    if (rowStarts_.empty()) return;
    const std::string table = tableOfCommand();
    sqlite3* db = connection_.handle();
    const size_t rows = rowStarts_.size();
    auto rowStart = [&](size_t r) { return r < rows ? rowStarts_[r] : pendingFields_.size(); };
    auto sameColumns = [&](size_t a, size_t b) {
        const size_t count = rowStart(a + 1) - rowStart(a);
        if (rowStart(b + 1) - rowStart(b) != count) return false;
        for (size_t i = 0; i < count; ++i) {
            if (pendingFields_[rowStart(a) + i].first != pendingFields_[rowStart(b) + i].first) {
                return false;
            }
        }
        return true;
    };
    // Rows of the same columns are written many to a statement ("values (?), (?), ..."), which
    // the engine runs much faster than one statement a row.
    constexpr size_t kMaxParameters = 999;
    std::unique_ptr<Statement> insert;
    std::string insertSql;
    std::vector<Param> params;
    for (size_t r = 0; r < rows;) {
        const size_t columns = rowStart(r + 1) - rowStart(r);
        const size_t perStatement =
            columns == 0 ? 1 : std::min<size_t>(256, kMaxParameters / columns);
        size_t n = 1;
        while (n < perStatement && r + n < rows && sameColumns(r, r + n)) ++n;
        std::string sql = "insert into " + table;
        if (columns == 0) {
            sql += " default values";
        } else {
            std::string marks = "(?";
            for (size_t i = 1; i < columns; ++i) marks += ",?";
            marks += ")";
            sql += "(";
            for (size_t i = 0; i < columns; ++i) {
                sql += (i ? "," : "") + pendingFields_[rowStart(r) + i].first;
            }
            sql += ") values" + marks;
            for (size_t k = 1; k < n; ++k) sql += "," + marks;
        }
        if (!insert || sql != insertSql) {
            insert = std::make_unique<Statement>(db, sql);
            insertSql = std::move(sql);
        }
        params.clear();
        for (size_t f = rowStart(r); f < rowStart(r + n); ++f) {
            params.push_back(Param::gbk(pendingFields_[f].second));
        }
        insert->bind(params);
        insert->step();
        insert->reset();
        r += n;
    }
    pendingFields_.clear();
    rowStarts_.clear();
}

}  // namespace quenvil
