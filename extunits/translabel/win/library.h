#pragma once
// The extended UI library 1 (index 3 of the program's library table,
// "扩展界面支持库一"): five type slots with `TransLabel` as type 5, and no
// commands.

#include <cstdint>

#include "runtime/program.h"

namespace translabel {

inline constexpr int32_t kLibraryIndex = 3;
inline constexpr uint32_t kTypeSlots = 5;

const rt::LibraryDescriptor& Library();

}  // namespace translabel
