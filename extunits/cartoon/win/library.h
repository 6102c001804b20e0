#pragma once
// The extended UI library 2 (index 1 of the program's library table): nine
// type slots with `CartoonBox` as type 8 and `CartoonObject` as type 9, and
// its one command, `CreateObject`.

#include "runtime/program.h"

namespace cartoon {

inline constexpr int32_t kLibraryIndex = 1;
inline constexpr uint32_t kTypeSlots = 9;
inline constexpr uint32_t kCommandCount = 1;

const rt::LibraryDescriptor& Library();

// CreateObject: 0 box, 1 template (optional), 2 x, 3 y, 4 visible (optional,
// default true), 5 tag text (optional); the result is the new identifier.
void CreateObject(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args);

}  // namespace cartoon
