#pragma once
// The full core library (index 0 of the program's library table): the
// units' 51 type slots and notify function from `units::CoreLibrary()`, with
// the 14 commands in slot order: ShowMessage, GetItemText, TextLeft,
// GetItemCount, GetRunDirectory, ReadConfigItem, ToInteger, SetTrayIcon,
// GetWindowHandle, AddItem, WriteConfigItem, RaiseFeedbackEvent, ToText,
// Destroy. `units::CoreLibrary()` stays the types-only descriptor.

#include "commands/core_slots.h"
#include "runtime/program.h"

namespace commands {

const rt::LibraryDescriptor& CoreLibrary();

}  // namespace commands
