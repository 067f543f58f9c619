// Errors, arguments, output and data of quenvil-cli's commands.
#include "cli/terminal.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
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

const std::string& textArgument(const std::vector<std::string>& args, size_t i,
                                const std::string& what) {
    const bool valid =
        forEachCodePoint(args[i], [](UChar32 cp, std::string_view) { return cp >= 0; });
    if (!valid) {
        throw UsageError("the argument of '" + (what.empty() ? args[0] : what) +
                         "' is not UTF-8 text");
    }
    return args[i];
}

const std::string& nameArgument(const std::vector<std::string>& args, size_t i,
                                const std::string& what) {
    const std::string& text = textArgument(args, i, what);
    const std::string name = "the argument of '" + (what.empty() ? args[0] : what) + "'";
    if (std::all_of(text.begin(), text.end(),
                    [](char ch) { return static_cast<unsigned char>(ch) <= ' '; })) {
        throw UsageError(name + " is empty");
    }
    if (text.size() > kMaxTextArgument) {
        throw UsageError(name + " is too long (" + std::to_string(text.size()) +
                         " bytes; at most " + std::to_string(kMaxTextArgument) + ")");
    }
    forEachCodePoint(text, [&](UChar32 cp, std::string_view bytes) {
        if (cp < 0x80 || utf8ToGbk(bytes) != "?") return;
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
        throw RefusedTextError(name + " holds " + shown(bytes) + " (" + code +
                               "), a character outside GBK; names are written in GBK characters");
    });
    return text;
}

std::string shown(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    forEachCodePoint(text, [&](UChar32 cp, std::string_view bytes) {
        const bool control =
            cp < 0 || (cp < 0x20 && cp != '\t' && cp != '\n') || (cp >= 0x7F && cp < 0xA0);
        if (!control) {
            out += bytes;
            return;
        }
        for (const unsigned char b : bytes) {
            char code[5];
            std::snprintf(code, sizeof code, "\\x%02X", b);
            out += code;
        }
    });
    return out;
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
            err << "quenvil-cli: the copy of the database " << shown(databaseFile().string())
                << " was damaged (" << shown(report.damage) << ")";
            if (!report.setAside.empty()) {
                err << "; it is kept as " << shown(report.setAside.string())
                    << ", a fresh copy took its place, and " << report.recoveredNames
                    << " imported names were recovered from it";
            }
            err << '\n';
        }
        if (!report.refreshProblem.empty()) {
            err << "quenvil-cli: the copy of the database " << shown(databaseFile().string())
                << " keeps its older reference data: " << shown(report.refreshProblem) << '\n';
        }
        if (!report.readingShipped.empty()) {
            err << "quenvil-cli: reading the program's own database "
                << shown((location.shipped / kDatabaseFileName).string())
                << " (read-only, nothing can be imported): " << shown(report.readingShipped)
                << '\n';
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
