// SQLCipher-backed connection, statements and data sets.
#define SQLITE_HAS_CODEC 1
#include "data/connection.h"

#include <sqlcipher/sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

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

bool isBusy(int rc) {
    const int primary = rc & 0xFF;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

// The engine's text, and for a file that cannot be written because its folder is read-only (the
// journal beside it cannot be created) a text that says so; readOnly tells which.
std::string describe(sqlite3* db, int rc, bool* readOnly = nullptr) {
    std::string message = sqlite3_errmsg(db);
    const int primary = rc & 0xFF;
    if (primary == SQLITE_CANTOPEN || primary == SQLITE_READONLY || primary == SQLITE_IOERR) {
        const char* name = sqlite3_db_filename(db, "main");
        if (name && *name) {
            const std::filesystem::path file(name);
            const std::filesystem::path folder =
                file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
            if (readOnly) *readOnly = true;
            if (::access(folder.c_str(), W_OK) != 0) {
                return "cannot write the database: its folder " + folder.string() +
                       " is read-only, so the journal file " + file.filename().string() +
                       "-journal cannot be created there (" + message + ")";
            }
            if (::access(file.c_str(), W_OK) != 0) {
                return "cannot write the database: the file " + file.string() + " is read-only (" +
                       message + ")";
            }
            if (readOnly) *readOnly = false;
        }
    }
    return message;
}

[[noreturn]] void raise(const std::string& message, int rc, bool readOnly) {
    if (isBusy(rc)) throw DatabaseBusyError(message);
    if (readOnly) throw DatabaseReadOnlyError(message);
    throw DatabaseError(message);
}

[[noreturn]] void fail(sqlite3* db, int rc) {
    bool readOnly = false;
    const std::string message = describe(db, rc, &readOnly);
    raise(message, rc, readOnly);
}

}  // namespace

ConnectionParts parseConnectionString(std::string_view s) {
    ConnectionParts parts;
    while (!s.empty()) {
        const size_t eq = s.find_first_of(";=");
        if (eq == std::string_view::npos || s[eq] == ';') {  // an item without '='
            s = eq == std::string_view::npos ? std::string_view{} : s.substr(eq + 1);
            continue;
        }
        const std::string_view key = trimControl(s.substr(0, eq));
        s = s.substr(eq + 1);
        std::string value;
        if (!s.empty() && s[0] == '"') {
            size_t i = 1;
            while (i < s.size()) {
                if (s[i] == '"') {
                    if (i + 1 < s.size() && s[i + 1] == '"') {
                        value += '"';
                        i += 2;
                        continue;
                    }
                    ++i;  // the closing quote
                    break;
                }
                value += s[i++];
            }
            // Whatever follows the closing quote up to the next ';' is not part of the value.
            const size_t semi = s.find(';', i);
            s = semi == std::string_view::npos ? std::string_view{} : s.substr(semi + 1);
        } else {
            const size_t semi = s.find(';');
            value = std::string(s.substr(0, semi));
            s = semi == std::string_view::npos ? std::string_view{} : s.substr(semi + 1);
        }
        if (equalsNoCase(key, "Data Source")) {
            parts.file = std::move(value);
        } else if (equalsNoCase(key, "Jet OLEDB:Database Password")) {
            parts.password = std::move(value);
        }
    }
    return parts;
}

std::string connectionStringValue(std::string_view value) {
    if (value.find(';') == std::string_view::npos && (value.empty() || value[0] != '"')) {
        return std::string(value);
    }
    std::string quoted = "\"";
    for (const char ch : value) {
        if (ch == '"') quoted += '"';
        quoted += ch;
    }
    quoted += '"';
    return quoted;
}

Connection::~Connection() { close(); }

void Connection::open() {
    close();
    const ConnectionParts parts = parseConnectionString(connectionString_);
    if (parts.file.empty()) {
        lastOpenError_ = "the connection string names no data source";
        throw DatabaseError(lastOpenError_);
    }
    std::error_code ec;
    if (std::filesystem::is_directory(parts.file, ec)) {
        lastOpenError_ = "unable to open database file: " + parts.file + " is a folder";
        throw DatabaseError(lastOpenError_);
    }
    sqlite3* db = nullptr;
    auto failOpen = [&](const std::string& why, int rc) {
        lastOpenError_ = why + ": " + parts.file;
        sqlite3_close(db);
        openWhenUsed_ = isBusy(rc);
        if (isBusy(rc)) throw DatabaseBusyError(lastOpenError_);
        throw DatabaseError(lastOpenError_);
    };
    int rc = sqlite3_open_v2(parts.file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    if (rc != SQLITE_OK) failOpen(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc), rc);
    // Before the first read: a file that another program is writing is waited for, not failed.
    sqlite3_busy_timeout(db, busyTimeoutMs_);
    rc = sqlite3_key(db, parts.password.data(), static_cast<int>(parts.password.size()));
    if (rc != SQLITE_OK) failOpen(std::string("cannot set the key: ") + sqlite3_errmsg(db), rc);
    auto pragma = [&](const char* sql) {
        char* err = nullptr;
        const int prc = sqlite3_exec(db, sql, nullptr, nullptr, &err);
        if (prc != SQLITE_OK) {
            const std::string why = std::string(sql) + ": " + (err ? err : sqlite3_errmsg(db));
            sqlite3_free(err);
            failOpen(why, prc);
        }
    };
    // Pages of 4 KiB: a quarter of the pages to encrypt and to walk as with SQLCipher's 1 KiB.
    pragma("pragma cipher_page_size = 4096");
    // The key is only checked when the first page is read.
    char* err = nullptr;
    rc = sqlite3_exec(db, "select count(*) from sqlite_master", nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const std::string why = err ? err : sqlite3_errmsg(db);
        sqlite3_free(err);
        failOpen(why, rc);
    }
    // Sorting for distinct rows and large batches stay in memory.
    pragma("pragma temp_store=memory");
    pragma("pragma cache_size=-32768");
    lastOpenError_.clear();
    openWhenUsed_ = false;
    db_ = db;
}

void Connection::setBusyTimeout(int ms) {
    busyTimeoutMs_ = ms;
    if (db_) sqlite3_busy_timeout(db_, ms);
}

void Connection::close() {
    openWhenUsed_ = false;
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

sqlite3* Connection::handle() {
    if (!db_ && openWhenUsed_) {
        try {
            open();
        } catch (const DatabaseError&) {
            // reported below, as the closed connection with the reason
        }
    }
    if (!db_) {
        throw DatabaseError(lastOpenError_.empty()
                                ? std::string("the database connection is closed")
                                : "the database connection is closed (" + lastOpenError_ + ")");
    }
    return db_;
}

void Connection::beginTransaction() { execute("begin exclusive"); }
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
    const int rc =
        sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK) fail(db, rc);
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
        if (rc != SQLITE_OK) fail(db_, rc);
    }
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    bool readOnly = false;
    const std::string message = describe(db_, rc, &readOnly);
    sqlite3_reset(stmt_);
    raise(message, rc, readOnly);
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
    released_ = false;
    keptRow_.clear();
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
    if (released_) return keptField(column)->integer;
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
