// Program and system folders.
#include "data/folders.h"

#ifdef _WIN32
#include <shlobj.h>
#include <windows.h>
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

}  // namespace quenvil
