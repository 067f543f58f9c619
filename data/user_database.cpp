// Making and refreshing the per-user copy of data.Mdb.
#include "data/user_database.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

#include "data/connection.h"
#include "data/database.h"
#include "data/reference_data.h"
#include "data/shortlist.h"

namespace quenvil {
namespace {

[[noreturn]] void failErrno(const std::string& what, const std::filesystem::path& file) {
    throw std::system_error(errno, std::generic_category(), what + " " + file.string());
}

// A file descriptor closed at the end of its scope.
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

void writeAll(int fd, const char* data, size_t size, const std::filesystem::path& file) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            failErrno("cannot write", file);
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
}

void syncFolder(const std::filesystem::path& folder) {
    Fd dir{::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (dir.fd >= 0) ::fsync(dir.fd);  // best effort: some file systems refuse it for folders
}

int integerQuery(Connection& cn, const std::string& sql) {
    Statement stmt(cn.handle(), sql);
    return stmt.step() ? static_cast<int>(stmt.integer(0)) : 0;
}

// Attaches the shipped file as "shipped", keyed with the program's password and read with the
// connection's own cipher page size. SQLCipher reads the first page of an attached file while
// attaching, with the process-wide default page size, so that default is set for the moment.
void attachShipped(Connection& cn, const std::filesystem::path& shipped) {
    const int pageSize = integerQuery(cn, "pragma cipher_page_size");
    const int previousDefault = integerQuery(cn, "pragma cipher_default_page_size");
    const auto setDefault = [&](int size) {
        cn.execute("pragma cipher_default_page_size = " + std::to_string(size));
    };
    setDefault(pageSize);
    try {
        cn.execute("attach database ? as shipped key ?",
                   {Param::utf8(shipped.string()), Param::utf8(kDatabasePassword)});
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
    cn.execute("drop table if exists main." + table);
    // Unqualified, the definitions create their table and indexes in main.
    for (const std::string& sql : definitions) cn.execute(sql);
    cn.execute("insert into main." + table + " select * from shipped." + table);
}

}  // namespace

void copyFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to) {
    Fd in{::open(from.c_str(), O_RDONLY | O_CLOEXEC)};
    if (in.fd < 0) failErrno("cannot open", from);

    std::string temporary =
        (to.parent_path() / ("." + to.filename().string() + ".XXXXXX")).string();
    Fd out{::mkostemp(temporary.data(), O_CLOEXEC)};
    if (out.fd < 0) failErrno("cannot create a temporary file in", to.parent_path());
    struct RemoveUnlessRenamed {
        const std::string& file;
        bool renamed = false;
        ~RemoveUnlessRenamed() {
            if (!renamed) ::unlink(file.c_str());
        }
    } cleanup{temporary};

    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t n = ::read(in.fd, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            failErrno("cannot read", from);
        }
        if (n == 0) break;
        writeAll(out.fd, buffer.data(), static_cast<size_t>(n), temporary);
    }
    if (::fsync(out.fd) != 0) failErrno("cannot flush", temporary);
    if (::close(out.fd) != 0) {
        out.fd = -1;
        failErrno("cannot write", temporary);
    }
    out.fd = -1;

    // Never replace a file that another process has made and may already be using.
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) {
        if (errno == EEXIST) return;  // the temporary file is removed by cleanup
        if (errno != EINVAL && errno != ENOSYS) failErrno("cannot rename to", to);
        // A file system without the no-replace rename.
        if (::rename(temporary.c_str(), to.c_str()) != 0) failErrno("cannot rename to", to);
    }
    cleanup.renamed = true;
    syncFolder(to.parent_path());
}

int referenceDataVersion(const std::filesystem::path& databaseFile) {
    Connection cn;
    cn.open(databaseFile, kDatabasePassword);
    return integerQuery(cn, "pragma user_version");
}

bool refreshReferenceData(const std::filesystem::path& copy, const std::filesystem::path& shipped) {
    Connection cn;
    cn.open(copy, kDatabasePassword);
    attachShipped(cn, shipped);
    // The versions are read inside the transaction: of two programs starting at once, the
    // second finds the copy refreshed already. "begin immediate" would also ask for the write
    // lock of the shipped file, which fails where that file is read-only; a write that changes
    // nothing takes the lock of the copy alone, before anything is read.
    cn.execute("begin");
    bool refreshed = false;
    try {
        cn.execute("delete from main." + std::string(kUserTables[0]) + " where 0");
        // A copy made before the shortlist existed gets the empty table.
        createShortlistTable(cn);
        const int shippedVersion = integerQuery(cn, "pragma shipped.user_version");
        if (shippedVersion > integerQuery(cn, "pragma main.user_version")) {
            for (const std::string& table : shippedReferenceTables(cn)) replaceTable(cn, table);
            cn.execute("pragma main.user_version = " + std::to_string(shippedVersion));
            refreshed = true;
        }
        cn.commit();
    } catch (...) {
        cn.rollback();
        throw;
    }
    cn.execute("detach database shipped");
    return refreshed;
}

std::filesystem::path prepareUserDatabase(const std::filesystem::path& shippedFile,
                                          const std::filesystem::path& userFolder) {
    std::filesystem::create_directories(userFolder);
    const std::filesystem::path copy = userFolder / kDatabaseFileName;
    std::error_code ec;
    if (std::filesystem::exists(copy, ec)) {
        refreshReferenceData(copy, shippedFile);
    } else {
        copyFileAtomically(shippedFile, copy);
    }
    return copy;
}

}  // namespace quenvil
