// The connection to the character database, a thin layer over SQLCipher, and its statements.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "data/database_error.h"

struct sqlite3;
struct sqlite3_stmt;

namespace quenvil {

// How long a statement waits for a lock that another program holds before it gives up with
// DatabaseBusyError. Readers of this program hold their lock only while a statement runs, so a
// few seconds are plenty; an import that finds the file busy for longer stops and changes nothing.
inline constexpr int kBusyTimeoutMs = 3000;

// A value bound to a statement parameter. Text is GBK; it is converted to UTF-8 for the engine.
struct Param {
    enum class Kind { Integer, Gbk, Utf8 } kind;
    int64_t integer = 0;
    std::string text;

    static Param of(int64_t v) { return Param{Kind::Integer, v, {}}; }
    static Param gbk(std::string_view s) { return Param{Kind::Gbk, 0, std::string(s)}; }
    static Param utf8(std::string_view s) { return Param{Kind::Utf8, 0, std::string(s)}; }
};

// The page cache of a connection, in KiB (SQLite's cache_size when negative).
inline constexpr int kCacheKiB = 32768;

// connection: the one connection to data.Mdb.
class Connection {
  public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    enum class Access { ReadWrite, ReadOnly };

    // Opens an encrypted database file with its password (closing what was open); the key derived
    // from it is kept for the process (rawKeyOf of data/database_key.h). The file is read with
    // pages of 4 KiB, waits kBusyTimeoutMs (or setBusyTimeout's) for a lock before its first read,
    // and keeps temporary data in memory; a ReadOnly connection cannot write it, whoever runs the
    // program. Throws DatabaseError with the engine's text when the file is missing or a folder,
    // DatabaseCorruptError when it is not a database or the key is wrong, DatabaseBusyError when
    // another program keeps the file locked for longer than the busy timeout.
    void open(const std::filesystem::path& file, std::string key,
              Access access = Access::ReadWrite);
    void close();
    bool connected() const { return db_ != nullptr; }
    // The file of the last open (empty before the first).
    const std::filesystem::path& file() const { return file_; }
    bool readOnly() const { return access_ == Access::ReadOnly; }

    // The open handle; throws DatabaseError when the connection is closed. A connection whose
    // last open found the file busy (another program writing it for longer than the timeout)
    // tries to open again here, so that a window started during an import gets its database
    // with the first action after the import.
    sqlite3* handle();

    // Milliseconds a statement waits for another connection's lock; set before the first read.
    void setBusyTimeout(int ms);

    // Takes the database for writing at once (an exclusive lock, waiting at most the busy
    // timeout for readers to finish): once it has begun, nothing another program does can make
    // the transaction wait, and a busy file is reported before anything has changed.
    void beginTransaction();
    void commit();
    void rollback();

    // Runs a statement that returns no rows.
    void execute(const std::string& sql, const std::vector<Param>& params = {});

  private:
    void openFile();  // opens file_ with key_
    // Closes what openFile opened so far, remembers why and throws.
    [[noreturn]] void failOpen(sqlite3* db, const std::string& why, int rc);

    std::filesystem::path file_;
    std::string key_;
    Access access_ = Access::ReadWrite;
    std::string lastOpenError_;  // why the last open failed, for the messages of later queries
    int busyTimeoutMs_ = kBusyTimeoutMs;
    bool openWhenUsed_ = false;  // the last open failed only because the file was busy
    sqlite3* db_ = nullptr;
};

// A prepared statement; finalised when it goes out of scope.
class Statement {
  public:
    Statement(sqlite3* db, const std::string& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(const std::vector<Param>& params);
    bool step();  // true when a row is ready
    void reset();
    sqlite3_stmt* get() const { return stmt_; }

    // Columns of the current row by index: UTF-8 text straight from the engine (valid until the
    // next step; empty for null) and integers (0 for null).
    std::string_view text(int column) const;
    int64_t integer(int column) const;

  private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// The first column of the first row of a query as an integer; 0 when it gives no row.
int64_t firstInteger(Connection& cn, const std::string& sql);

// An identifier of the schema in double quotes, for statements made from table names.
std::string quotedName(std::string_view name);

}  // namespace quenvil
