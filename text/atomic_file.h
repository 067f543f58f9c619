// Files written whole or not at all.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace quenvil {

// A file that replaces its target only once it is complete: the bytes go to a temporary file in
// the target's folder (".<name>.XXXXXX"), which is flushed to disk and then renamed onto the
// target. Until commit() the target keeps its old bytes, whatever fails (a full disk, a kill);
// without commit() the temporary file is removed. Errors are std::system_error with the file's
// name and the system's reason.
class AtomicFile {
  public:
    // Creates the temporary file. A new target gets mode less the process's umask; a target that
    // is replaced keeps its own mode.
    explicit AtomicFile(std::filesystem::path target, mode_t mode = 0666);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void write(std::string_view bytes);

    // What commit does when the target exists by then.
    enum class Existing { Replace, Keep };
    // Flushes the bytes to disk and renames the temporary file onto the target. With Keep, a
    // target that another process has made meanwhile stays as it is and the temporary file goes;
    // returns whether the target now holds these bytes.
    bool commit(Existing existing = Existing::Replace);

    const std::filesystem::path& temporary() const { return temporary_; }

  private:
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    int fd_ = -1;
    bool committed_ = false;
};

// Whether file is one of the temporary files of AtomicFile for target (".<name>.XXXXXX" beside
// it).
bool isTemporaryFileOf(const std::filesystem::path& file, const std::filesystem::path& target);

}  // namespace quenvil
