#pragma once
// The OS shell library (index 6 of the program's library table,
// "操作系统界面功能支持库"): no types, one command, `BrowseForFolder`.
//
// BrowseForFolder(title, include files) shows the shell's folder dialog with
// the program's form windows disabled, and answers the chosen folder's full
// path, or the empty text when the dialog was cancelled or the choice is no
// file-system folder. Callers test for the empty text before using it.

#include <cstdint>

#include "runtime/program.h"

namespace commands {

inline constexpr int32_t kShellLibraryIndex = 6;

const rt::LibraryDescriptor& ShellLibrary();

}  // namespace commands
