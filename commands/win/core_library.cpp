#include "commands/win/core_library.h"

#include "commands/core_commands.h"
#include "commands/win/unit_commands.h"
#include "units/win/library.h"

namespace commands {

namespace {

const rt::CommandFn kCommands[coreslot::kCount] = {
    ShowMessage,     GetItemText,        TextLeft,    GetItemCount,    GetRunDirectory,
    ReadConfigItem,  ToInteger,          SetTrayIcon, GetWindowHandle, AddItem,
    WriteConfigItem, RaiseFeedbackEvent, ToText,      Destroy,
};
static_assert(coreslot::kCount == units::kCoreCommandCount, "the core library has 14 commands");

rt::LibraryDescriptor MakeLibrary() {
  rt::LibraryDescriptor d = units::CoreLibrary();
  d.commandCount = coreslot::kCount;
  d.commands = kCommands;
  return d;
}

}  // namespace

const rt::LibraryDescriptor& CoreLibrary() {
  static const rt::LibraryDescriptor library = MakeLibrary();
  return library;
}

}  // namespace commands
