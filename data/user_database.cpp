// Making, checking, repairing and refreshing the per-user copy of data.Mdb.
#define SQLITE_HAS_CODEC 1
#include "data/user_database.h"

#include <fcntl.h>
#include <sqlcipher/sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

#include "data/connection.h"
#include "data/database.h"
#include "data/database_key.h"
#include "data/reference_data.h"
#include "data/shortlist.h"
#include "data/user_copy_repair.h"
#include "text/atomic_file.h"

namespace quenvil {
namespace {

[[noreturn]] void failErrno(const std::string& what, const std::filesystem::path& file) {
    throw std::system_error(errno, std::generic_category(), what + " " + file.string());
}

// Attaches the shipped file as "shipped", keyed with the program's password (its raw key when the
// salt is the copy's, as it is while the copy is the shipped file's bytes) and read with the
// connection's own cipher page size. SQLCipher reads the first page of an attached file while
// attaching, with the process-wide default page size, so that default is set for the moment.
void attachShipped(Connection& cn, const std::filesystem::path& shipped) {
    const auto pageSize = firstInteger(cn, "pragma cipher_page_size");
    const auto previousDefault = firstInteger(cn, "pragma cipher_default_page_size");
    const auto setDefault = [&](int64_t size) {
        cn.execute("pragma cipher_default_page_size = " + std::to_string(size));
    };
    const std::string raw = rawKeyOf(shipped, kDatabasePassword);
    setDefault(pageSize);
    try {
        cn.execute(
            "attach database ? as shipped key ?",
            {Param::utf8(shipped.string()), Param::utf8(raw.empty() ? kDatabasePassword : raw)});
    } catch (...) {
        setDefault(previousDefault);
        throw;
    }
    setDefault(previousDefault);
}

// The reference tables of the attached shipped file: every table but the user's own and the
// engine's (sqlite_...), by name.
std::vector<std::string> shippedReferenceTables(Connection& cn) {
    Statement stmt(cn.handle(),
                   "select name from shipped.sqlite_master where type = 'table' and name not "
                   "like 'sqlite\\_%' escape '\\' order by name");
    std::vector<std::string> tables;
    while (stmt.step()) {
        const std::string_view name = stmt.text(0);
        const auto& user = kUserTables;
        if (std::find(std::begin(user), std::end(user), name) == std::end(user)) {
            tables.emplace_back(name);
        }
    }
    return tables;
}

// Takes table with its indexes and rows from the attached shipped file into main.
void replaceTable(Connection& cn, const std::string& table) {
    std::vector<std::string> definitions;  // the table first, then its indexes
    {
        Statement stmt(cn.handle(),
                       "select sql from shipped.sqlite_master where tbl_name = ? and sql is not "
                       "null order by type <> 'table'");
        stmt.bind({Param::utf8(table)});
        while (stmt.step()) definitions.emplace_back(stmt.text(0));
    }
    cn.execute("drop table if exists main." + quotedName(table));
    // Unqualified, the definitions create their table and indexes in main.
    for (const std::string& sql : definitions) cn.execute(sql);
    cn.execute("insert into main." + quotedName(table) + " select * from shipped." +
               quotedName(table));
}

// Removes the temporary copies that a program killed while copying left beside copy: those not
// written since before this program started.
void removeLeftovers(const std::filesystem::path& copy, std::time_t startedAt) {
    std::error_code ec;
    std::vector<std::filesystem::path> leftovers;
    for (auto it = std::filesystem::directory_iterator(copy.parent_path(), ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        struct stat st {};
        if (isTemporaryFileOf(it->path(), copy) && ::lstat(it->path().c_str(), &st) == 0 &&
            S_ISREG(st.st_mode) && st.st_mtime < startedAt) {
            leftovers.push_back(it->path());
        }
    }
    for (const auto& file : leftovers) ::unlink(file.c_str());
}

// Renames a damaged copy, and its journal when it has one, to data.Mdb.damaged-YYYYMMDD-HHMMSS
// (with -2, -3 ... when that name is taken), never over another file. The journal goes along so
// that the fresh copy does not take it for its own, and so that reading the damaged file still
// finds it.
std::filesystem::path setAside(const std::filesystem::path& copy) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = copy.filename().string() + ".damaged-" + stamp;
    for (int n = 1;; ++n) {
        const std::filesystem::path aside =
            copy.parent_path() / (n == 1 ? base : base + "-" + std::to_string(n));
        if (::renameat2(AT_FDCWD, copy.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) {
            const std::filesystem::path journal = copy.string() + "-journal";
            if (::access(journal.c_str(), F_OK) == 0) {
                ::rename(journal.c_str(), (aside.string() + "-journal").c_str());
            }
            return aside;
        }
        if (errno != EEXIST || n == 100) failErrno("cannot set the damaged copy aside:", copy);
    }
}

// The identity of a file, to see whether another program has replaced it meanwhile.
std::pair<dev_t, ino_t> fileIdentity(const std::filesystem::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return {0, 0};
    return {st.st_dev, st.st_ino};
}

// Opens the user's copy into db with one connection: its data version, every page, newer
// reference data from the shipped file, the program's tables and the stroke index.
void openUserCopy(Database& db, const std::filesystem::path& copy,
                  const std::filesystem::path& shipped, OpenReport& report) {
    db.strokes.dropIndex();
    db.readOnlyReason.clear();
    db.connection.open(copy, kDatabasePassword);
    Connection& cn = db.connection;
    const auto version = firstInteger(cn, "pragma user_version");
    checkEveryPage(cn);
    report.refreshed = false;
    report.refreshProblem.clear();
    if (version < kReferenceDataVersion) {
        try {
            report.refreshed = refreshReferenceData(cn, shipped);
        } catch (const DatabaseBusyError&) {
            throw;
        } catch (const DatabaseError& e) {
            // A read-only copy, say: it keeps working with the reference data it has.
            report.refreshProblem = e.what();
        }
    } else {
        // A copy of this data version made before the shortlist existed gets the empty table;
        // a copy that cannot be written now gets it when a name is first kept.
        try {
            createShortlistTable(cn);
        } catch (const DatabaseError&) {
        }
    }
    db.checkAndIndex();
}

}  // namespace

void copyFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) failErrno("cannot open", from);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{in};
    AtomicFile out(to, 0600);
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            failErrno("cannot read", from);
        }
        if (n == 0) break;
        out.write(std::string_view(buffer.data(), static_cast<size_t>(n)));
    }
    out.commit(AtomicFile::Existing::Keep);
}

std::time_t processStartTime() {
    const std::time_t now = std::time(nullptr);
    std::ifstream self("/proc/self/stat");
    std::string line;
    std::getline(self, line);
    // The fields after the command, which stands in parentheses and may hold blanks: the state
    // is field 3, the start in clock ticks after the boot field 22.
    const size_t close = line.rfind(')');
    if (close == std::string::npos) return now;
    std::istringstream fields(line.substr(close + 1));
    std::string field;
    unsigned long long ticks = 0;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
        if (i == 22) ticks = std::strtoull(field.c_str(), nullptr, 10);
    }
    std::ifstream stat("/proc/stat");
    long long boot = 0;
    for (std::string key; stat >> key;) {
        if (key == "btime") {
            stat >> boot;
            break;
        }
        std::getline(stat, key);
    }
    const long hz = ::sysconf(_SC_CLK_TCK);
    if (boot <= 0 || ticks == 0 || hz <= 0) return now;
    return std::min<std::time_t>(now, static_cast<std::time_t>(boot + ticks / hz));
}

std::filesystem::path prepareUserFolder(const std::filesystem::path& shippedFile,
                                        const std::filesystem::path& userFolder,
                                        std::time_t startedAt) {
    std::filesystem::create_directories(userFolder);
    const std::filesystem::path copy = userFolder / kDatabaseFileName;
    removeLeftovers(copy, startedAt);
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(copy, ec))) return copy;
    try {
        copyFileAtomically(shippedFile, copy);
    } catch (const std::system_error& e) {
        // Another program that started later took this program's temporary copy for a
        // leftover: once more.
        if (e.code() != std::errc::no_such_file_or_directory) throw;
        copyFileAtomically(shippedFile, copy);
    }
    return copy;
}

int referenceDataVersion(const std::filesystem::path& databaseFile) {
    Connection cn;
    cn.open(databaseFile, kDatabasePassword);
    return static_cast<int>(firstInteger(cn, "pragma user_version"));
}

bool refreshReferenceData(Connection& cn, const std::filesystem::path& shipped) {
    attachShipped(cn, shipped);
    // The versions are read inside the transaction: of two programs starting at once, the
    // second finds the copy refreshed already. "begin immediate" would also ask for the write
    // lock of the shipped file, which fails where that file is read-only; a write that changes
    // nothing takes the lock of the copy alone, before anything is read.
    bool refreshed = false;
    try {
        cn.execute("begin");
        try {
            cn.execute("delete from main." + std::string(kUserTables[0]) + " where 0");
            // A copy made before the shortlist existed gets the empty table.
            createShortlistTable(cn);
            const auto shippedVersion = firstInteger(cn, "pragma shipped.user_version");
            if (shippedVersion > firstInteger(cn, "pragma main.user_version")) {
                for (const std::string& table : shippedReferenceTables(cn)) replaceTable(cn, table);
                cn.execute("pragma main.user_version = " + std::to_string(shippedVersion));
                refreshed = true;
            }
            cn.commit();
        } catch (...) {
            cn.rollback();
            throw;
        }
    } catch (...) {
        sqlite3_exec(cn.handle(), "detach database shipped", nullptr, nullptr, nullptr);
        throw;
    }
    cn.execute("detach database shipped");
    return refreshed;
}

bool refreshReferenceData(const std::filesystem::path& copy, const std::filesystem::path& shipped) {
    Connection cn;
    cn.open(copy, kDatabasePassword);
    return refreshReferenceData(cn, shipped);
}

OpenReport openDatabase(Database& db, const DataLocation& location) {
    OpenReport report;
    const std::filesystem::path shipped = location.shipped / kDatabaseFileName;
    const auto readShipped = [&](std::string why) {
        db.connection.close();
        report.readingShipped = why;
        db.openReadOnly(location.shipped, std::move(why));
    };
    switch (location.home) {
        case DatabaseHome::Program:
            db.open(location.database);
            return report;
        case DatabaseHome::NoUserCopy:
            readShipped(location.problem);
            return report;
        case DatabaseHome::UserCopy:
            break;
    }
    const std::filesystem::path copy = location.database / kDatabaseFileName;
    const auto opened = fileIdentity(copy);
    try {
        openUserCopy(db, copy, shipped, report);
        return report;
    } catch (const DatabaseBusyError&) {
        throw;
    } catch (const DatabaseCorruptError& e) {
        report.damage = e.what();
    } catch (const std::exception& e) {
        readShipped("the user's copy " + copy.string() + " cannot be opened: " + e.what());
        return report;
    }
    db.connection.close();
    try {
        // Another program may have set it aside and made a fresh copy meanwhile.
        if (fileIdentity(copy) == opened) {
            report.setAside = setAside(copy);
            copyFileAtomically(shipped, copy);
        }
        openUserCopy(db, copy, shipped, report);
        if (!report.setAside.empty()) {
            report.recoveredNames = recoverUserTables(report.setAside, db.connection);
        }
    } catch (const DatabaseBusyError&) {
        throw;
    } catch (const std::exception& e) {
        readShipped("the user's copy " + copy.string() + " is damaged (" + report.damage +
                    ") and cannot be replaced: " + e.what());
    }
    return report;
}

}  // namespace quenvil
