#pragma once
// The XP-style UI library (index 2 of the program's library table,
// "XP风格界面库"): no types, and one command, `SetVisualStyle`, which
// switches the control skin engine (commands/skin/) on or off.

#include <cstdint>

#include "runtime/program.h"

namespace commands {

inline constexpr int32_t kSkinLibraryIndex = 2;

const rt::LibraryDescriptor& SkinLibrary();

// Argument 0: the scheme (1, 2 or 3 switch on; anything else switches off).
// Result: Int, as skin::SetVisualStyle answers.
void SetVisualStyle(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args);

}  // namespace commands
