// The connection to the character database and the data sets that every window shares:
// a thin layer over SQLCipher that keeps the close / set command text / open protocol.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace quenvil {

// An error of the database engine, carrying the engine's own text (UTF-8).
class DatabaseError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The database stayed locked by another connection for the whole busy timeout.
class DatabaseBusyError : public DatabaseError {
  public:
    using DatabaseError::DatabaseError;
};

// The database cannot be written: its folder or the file itself is read-only (the journal that
// every change writes beside the file cannot be created).
class DatabaseReadOnlyError : public DatabaseError {
  public:
    using DatabaseError::DatabaseError;
};

// How long a statement waits for a lock that another program holds before it gives up with
// DatabaseBusyError. Readers of this program hold their lock only while a statement runs, so a
// few seconds are plenty; an import that finds the file busy for longer stops and changes nothing.
inline constexpr int kBusyTimeoutMs = 3000;

// The parts of a connection string: "Data Source=<file>;Jet OLEDB:Database Password=<password>".
// Keys are matched without regard to case; a value that begins with a double quote runs to its
// closing quote, may hold ';', and a doubled quote inside stands for one quote.
struct ConnectionParts {
    std::string file;
    std::string password;
};
ConnectionParts parseConnectionString(std::string_view s);

// A value as a connection string holds it: quoted (Data Source="a;b") when it holds ';' or begins
// with a double quote, as it is otherwise.
std::string connectionStringValue(std::string_view value);

// A value bound to a statement parameter. Text is GBK; it is converted to UTF-8 for the engine.
struct Param {
    enum class Kind { Integer, Gbk, Utf8 } kind;
    int64_t integer = 0;
    std::string text;

    static Param of(int64_t v) { return Param{Kind::Integer, v, {}}; }
    static Param gbk(std::string_view s) { return Param{Kind::Gbk, 0, std::string(s)}; }
    static Param utf8(std::string_view s) { return Param{Kind::Utf8, 0, std::string(s)}; }
};

// connection: the one connection to data.Mdb.
class Connection {
  public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // "Data Source=<file>;Jet OLEDB:Database Password=<password>"
    void setConnectionString(std::string s) { connectionString_ = std::move(s); }
    const std::string& connectionString() const { return connectionString_; }

    // Opens the file named by the connection string with its password. Throws DatabaseError with
    // the engine's text when the file is missing or the password is wrong, DatabaseBusyError
    // when another program keeps the file locked for longer than the busy timeout.
    void open();
    void close();
    bool connected() const { return db_ != nullptr; }

    // The open handle; throws DatabaseError when the connection is closed. A connection whose
    // last open found the file busy (another program writing it for longer than the timeout)
    // tries to open again here, so that a window started during an import gets its database
    // with the first action after the import.
    sqlite3* handle();

    // Milliseconds a statement waits for another connection's lock; set before the first read.
    void setBusyTimeout(int ms);
    int busyTimeout() const { return busyTimeoutMs_; }

    // Takes the database for writing at once (an exclusive lock, waiting at most the busy
    // timeout for readers to finish): once it has begun, nothing another program does can make
    // the transaction wait, and a busy file is reported before anything has changed.
    void beginTransaction();
    void commit();
    void rollback();

    // Runs a statement that returns no rows.
    void execute(const std::string& sql, const std::vector<Param>& params = {});

  private:
    std::string connectionString_;
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
    void append();
    void setField(std::string_view column, std::string_view gbkText);
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
    // Appended rows, flat: the fields of row r are pendingFields_[rowStarts_[r] ...].
    std::vector<std::pair<std::string, std::string>> pendingFields_;  // column, GBK text
    std::vector<size_t> rowStarts_;
};

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
