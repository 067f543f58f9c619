// Errors, arguments, output and data of quenvil-cli's commands.
#include "cli/terminal.h"

#include <cerrno>
#include <cstring>
#include <ostream>

#include "data/user_database.h"
#include "text/gbk.h"
#include "text/utf8.h"

namespace quenvil::cli {

void checkOutput(std::ostream& out) {
    if (!out) {
        const int error = errno;
        throw OutputError(std::string("cannot write the output (standard output): ") +
                          (error ? std::strerror(error) : "write error"));
    }
}

const std::string& textArgument(const std::vector<std::string>& args, size_t i) {
    const bool valid =
        forEachCodePoint(args[i], [](UChar32 cp, std::string_view) { return cp >= 0; });
    if (!valid) {
        throw UsageError("the argument of '" + args[0] + "' is not UTF-8 text");
    }
    return args[i];
}

void printLines(std::ostream& out, const std::vector<std::string>& gbkLines) {
    std::string all;
    size_t size = 0;
    for (const auto& l : gbkLines) size += l.size() + 1;
    all.reserve(size);
    for (const auto& l : gbkLines) {
        all += l;
        all += '\n';
    }
    const std::string utf8 = gbkToUtf8(all);
    errno = 0;
    out.write(utf8.data(), static_cast<std::streamsize>(utf8.size()));
    checkOutput(out);
}

void BlockWriter::flush() {
    errno = 0;
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
    checkOutput(out_);
}

std::filesystem::path Context::databaseFile() const {
    return location.database / kDatabaseFileName;
}

Database& Context::db() {
    if (!database_) {
        auto db = std::make_unique<Database>();
        const OpenReport report = openDatabase(*db, location);
        if (!report.damage.empty()) {
            err << "quenvil-cli: the copy of the database " << databaseFile().string()
                << " was damaged (" << report.damage << ")";
            if (!report.setAside.empty()) {
                err << "; it is kept as " << report.setAside.string()
                    << ", a fresh copy took its place, and " << report.recoveredNames
                    << " imported names were recovered from it";
            }
            err << '\n';
        }
        if (!report.refreshProblem.empty()) {
            err << "quenvil-cli: the copy of the database " << databaseFile().string()
                << " keeps its older reference data: " << report.refreshProblem << '\n';
        }
        if (!report.readingShipped.empty()) {
            err << "quenvil-cli: reading the program's own database "
                << (location.shipped / kDatabaseFileName).string()
                << " (read-only, nothing can be imported): " << report.readingShipped << '\n';
        }
        database_ = std::move(db);
    }
    return *database_;
}

const NamingData& Context::naming() {
    if (!namingData_) namingData_ = std::make_unique<NamingData>(loadNamingData(db().connection));
    return *namingData_;
}

}  // namespace quenvil::cli
