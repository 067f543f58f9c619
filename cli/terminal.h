// What every command of quenvil-cli uses: its errors, its arguments, its output and the data it
// opens.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "data/data_location.h"
#include "data/database.h"
#include "naming/naming_data.h"

namespace quenvil::cli {

// A usage error found in an argument: the message, and exit status 2.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A name or text that the database cannot hold (a character outside GBK): the message, and exit
// status 1.
class RefusedTextError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Results that cannot be written (a full disk, a closed pipe): the run fails.
class OutputError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Throws OutputError, with the system's reason, when the stream has failed.
void checkOutput(std::ostream& out);

// Text arguments are UTF-8; anything else is refused (UsageError) instead of being looked up as
// '?'. what names the argument in the message (the command when empty). Returns args[i].
const std::string& textArgument(const std::vector<std::string>& args, size_t i,
                                const std::string& what = {});

// The longest name or text argument taken, in bytes: a name has four characters at most, and a
// longer text is a mistake (a pasted file) rather than something to look up.
inline constexpr size_t kMaxTextArgument = 1024;

// A name or text argument (strokes, analyze, pairs, recommend and its --fixed and --with):
// textArgument's check, then neither blank nor longer than kMaxTextArgument bytes (UsageError),
// and only characters that GBK holds (RefusedTextError). Returns args[i].
const std::string& nameArgument(const std::vector<std::string>& args, size_t i,
                                const std::string& what = {});

// Text as it may be put on a terminal: UTF-8 characters, tabs and line breaks as they are; other
// control characters and bytes that are not UTF-8 as \xNN, so that nothing raw reaches it.
std::string shown(std::string_view text);

// Writes GBK lines as UTF-8, one per line, in one conversion.
void printLines(std::ostream& out, const std::vector<std::string>& gbkLines);

// Output of many lines, written in large blocks.
class BlockWriter {
  public:
    explicit BlockWriter(std::ostream& out) : out_(out) { buffer_.reserve(kBlock + 4096); }
    // What is left is written by flush(), which each command calls at its end.
    std::string& buffer() { return buffer_; }
    void maybeFlush() {
        if (buffer_.size() >= kBlock) flush();
    }
    // Writes what is buffered; throws OutputError when the output cannot take it.
    void flush();

  private:
    static constexpr size_t kBlock = 1 << 20;
    std::ostream& out_;
    std::string buffer_;
};

// One run of a command: its arguments (the command first), its streams, and the data it opens
// when it first needs them.
struct Context {
    Context(const std::vector<std::string>& arguments, const DataLocation& where,
            std::ostream& output, std::ostream& errors)
        : args(arguments), location(where), out(output), err(errors) {}

    const std::vector<std::string>& args;
    const DataLocation& location;
    std::ostream& out;
    std::ostream& err;
    // Set by a command once its change is in the database: an output that cannot be written after
    // that is reported, but the command has done its work (exit status 0).
    bool committed = false;

    // The database file that location names.
    std::filesystem::path databaseFile() const;
    // The program's database with its shared data sets, opened as location says
    // (openDatabase of data/user_database.h); what the opening found and did is said on err.
    Database& db();
    // The recommendation engine's data, read once over the database's connection.
    const NamingData& naming();

  private:
    std::unique_ptr<Database> database_;
    std::unique_ptr<NamingData> namingData_;
};

}  // namespace quenvil::cli
