// The program's folder, the system folder and the folder of the surname name lists.
#pragma once

#include <filesystem>

namespace quenvil {

// Folder of the running program file.
std::filesystem::path programFolder();

// On Windows the system directory (shell special folder 0x25); elsewhere the program's folder.
std::filesystem::path systemFolder();

// Whether the standard stream of this number (0, 1, 2) is open.
bool standardStreamOpen(int fd);
// Points a closed standard stream at /dev/null, so that no file the program opens later
// takes its number: messages for the terminal would be written into that file.
void keepStandardStreamsTaken();

// The name-list folder under a system folder: <system folder>/xm.
inline std::filesystem::path nameListFolder(const std::filesystem::path& system) {
    return system / "xm";
}

}  // namespace quenvil
