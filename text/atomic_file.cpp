// Temporary file, flush, rename.
#include "text/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <system_error>

namespace quenvil {
namespace {

constexpr std::string_view kTemplateEnd = ".XXXXXX";

[[noreturn]] void failErrno(int error, const std::string& what, const std::filesystem::path& file) {
    throw std::system_error(error, std::generic_category(), what + " " + file.string());
}

// The process's umask, read without changing it (umask() would change it for every thread).
mode_t currentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("Umask:"))
            return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
    }
    return 022;
}

void syncFolder(const std::filesystem::path& folder) {
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return;
    ::fsync(dir);  // best effort: some file systems refuse it for folders
    ::close(dir);
}

}  // namespace

AtomicFile::AtomicFile(std::filesystem::path target, mode_t mode) : target_(std::move(target)) {
    const std::filesystem::path folder =
        target_.has_parent_path() ? target_.parent_path() : std::filesystem::path(".");
    std::string name = (folder / ("." + target_.filename().string())).string();
    name += kTemplateEnd;
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) failErrno(errno, "cannot create a temporary file in", folder);
    temporary_ = name;
    struct stat existing {};
    const mode_t wanted =
        ::stat(target_.c_str(), &existing) == 0 ? existing.st_mode & 07777 : mode & ~currentUmask();
    ::fchmod(fd_, wanted);  // mkostemp makes the file private (0600) until here
}

AtomicFile::~AtomicFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
}

void AtomicFile::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            failErrno(errno, "cannot write", temporary_);
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
}

bool AtomicFile::commit(Existing existing) {
    if (::fsync(fd_) != 0) failErrno(errno, "cannot write", temporary_);
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) failErrno(errno, "cannot write", temporary_);
    if (existing == Existing::Keep) {
        // Never replace a file that another process has made and may already be using.
        if (::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, target_.c_str(),
                        RENAME_NOREPLACE) == 0) {
            committed_ = true;
        } else if (errno == EEXIST) {
            ::unlink(temporary_.c_str());
            temporary_.clear();
            return false;
        } else if (errno != EINVAL && errno != ENOSYS) {
            failErrno(errno, "cannot rename to", target_);
        }
        // A file system without the no-replace rename: the plain rename below.
    }
    if (!committed_) {
        if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
            failErrno(errno, "cannot rename to", target_);
        }
        committed_ = true;
    }
    syncFolder(target_.has_parent_path() ? target_.parent_path() : std::filesystem::path("."));
    return true;
}

bool isTemporaryFileOf(const std::filesystem::path& file, const std::filesystem::path& target) {
    const std::string name = file.filename().string();
    const std::string start = "." + target.filename().string() + ".";
    return file.parent_path() == target.parent_path() && name.size() == start.size() + 6 &&
           name.starts_with(start);
}

}  // namespace quenvil
