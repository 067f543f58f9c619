// Program and system folders.
#include "data/folders.h"

#ifdef _WIN32
#include <shlobj.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace quenvil {

std::filesystem::path programFolder() {
#ifdef _WIN32
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return std::filesystem::path(std::wstring(buffer, n)).parent_path();
#else
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path();
    return exe.parent_path();
#endif
}

std::filesystem::path systemFolder() {
#ifdef _WIN32
    wchar_t buffer[MAX_PATH];
    if (SHGetSpecialFolderPathW(nullptr, buffer, 0x25, FALSE)) return std::filesystem::path(buffer);
    return programFolder();
#else
    return programFolder();
#endif
}

bool standardStreamOpen(int fd) {
#ifdef _WIN32
    return fd >= 0;
#else
    return ::fcntl(fd, F_GETFD) >= 0;
#endif
}

void keepStandardStreamsTaken() {
#ifndef _WIN32
    for (const int fd : {0, 1, 2}) {
        if (standardStreamOpen(fd)) continue;
        // open takes the lowest free number: this one.
        const int opened = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != fd) ::close(opened);
    }
#endif
}

}  // namespace quenvil
