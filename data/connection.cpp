// SQLCipher-backed connection and statements.
#define SQLITE_HAS_CODEC 1
#include "data/connection.h"

#include <sqlcipher/sqlite3.h>

#include "data/database_key.h"
#include "text/gbk.h"

namespace quenvil {

Connection::~Connection() { close(); }

void Connection::open(const std::filesystem::path& file, std::string key, Access access) {
    close();
    file_ = file;
    key_ = std::move(key);
    access_ = access;
    openFile();
}

void Connection::failOpen(sqlite3* db, const std::string& why, int rc) {
    lastOpenError_ = why + ": " + file_.string();
    sqlite3_close(db);
    openWhenUsed_ = isBusyCode(rc);
    if (isBusyCode(rc)) throw DatabaseBusyError(lastOpenError_);
    if (isCorruptCode(rc)) throw DatabaseCorruptError(lastOpenError_);
    throw DatabaseError(lastOpenError_);
}

void Connection::openFile() {
    std::error_code ec;
    if (file_.empty() || std::filesystem::is_directory(file_, ec)) {
        lastOpenError_ = file_.empty()
                             ? std::string("no database file was named")
                             : "unable to open database file: " + file_.string() + " is a folder";
        throw DatabaseError(lastOpenError_);
    }
    sqlite3* db = nullptr;
    const int mode = access_ == Access::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    int rc = sqlite3_open_v2(file_.c_str(), &db, mode | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) failOpen(db, db ? sqlite3_errmsg(db) : sqlite3_errstr(rc), rc);
    // Before the first read: a file that another program is writing is waited for, not failed.
    sqlite3_busy_timeout(db, busyTimeoutMs_);
    // The raw key when this process has derived the file's key before: no derivation again.
    const std::string raw = rawKeyOf(file_, key_);
    const std::string& key = raw.empty() ? key_ : raw;
    rc = sqlite3_key(db, key.data(), static_cast<int>(key.size()));
    if (rc != SQLITE_OK) failOpen(db, std::string("cannot set the key: ") + sqlite3_errmsg(db), rc);
    // Runs a statement of the opening; a failure names it when named.
    auto run = [&](const char* sql, bool named) {
        char* err = nullptr;
        const int src = sqlite3_exec(db, sql, nullptr, nullptr, &err);
        if (src == SQLITE_OK) return;
        const std::string why =
            (named ? std::string(sql) + ": " : std::string()) + (err ? err : sqlite3_errmsg(db));
        sqlite3_free(err);
        failOpen(db, why, src);
    };
    // Pages of 4 KiB: a quarter of the pages to encrypt and to walk as with SQLCipher's 1 KiB.
    run("pragma cipher_page_size = 4096", true);
    // The key is only checked when the first page is read.
    run("select count(*) from sqlite_master", false);
    // Sorting for distinct rows and large batches stay in memory.
    run("pragma temp_store=memory", true);
    run(("pragma cache_size=-" + std::to_string(kCacheKiB)).c_str(), true);
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
            openFile();
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
    if (rc != SQLITE_OK) throwEngineError(db, rc);
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
        if (rc != SQLITE_OK) throwEngineError(db_, rc);
    }
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    const EngineError error = engineError(db_, rc);  // before the reset clears the engine's text
    sqlite3_reset(stmt_);
    throwEngineError(error);
}

void Statement::reset() { sqlite3_reset(stmt_); }

std::string_view Statement::text(int column) const {
    const unsigned char* t = sqlite3_column_text(stmt_, column);
    if (t == nullptr) return {};
    return {reinterpret_cast<const char*>(t),
            static_cast<size_t>(sqlite3_column_bytes(stmt_, column))};
}

int64_t Statement::integer(int column) const { return sqlite3_column_int64(stmt_, column); }

int64_t firstInteger(Connection& cn, const std::string& sql) {
    Statement stmt(cn.handle(), sql);
    return stmt.step() ? stmt.integer(0) : 0;
}

std::string quotedName(std::string_view name) {
    std::string out = "\"";
    for (const char ch : name) {
        if (ch == '"') out += '"';
        out += ch;
    }
    return out + '"';
}

}  // namespace quenvil
