// PENDING: stand-ins for the libraries whose branches are not merged yet;
// delete this file once all of them are in. A stand-in has no types, so a
// form that uses them does not load, and one command that does nothing.

#include "player/libraries.h"
#include "units/win/library.h"

namespace {

void DoesNothing(rt::ArgRecord*, int32_t, rt::ArgRecord*) {}
const rt::CommandFn kDoesNothing[] = {DoesNothing};

[[maybe_unused]] const rt::LibraryDescriptor& Empty() {
  static const rt::LibraryDescriptor descriptor = [] {
    rt::LibraryDescriptor d{};
    d.formatMarker = rt::kLibraryFormatMarker;
    d.commandCount = 1;
    d.commands = kDoesNothing;
    return d;
  }();
  return descriptor;
}

}  // namespace

#ifdef PLAYER_PENDING_CORE_COMMANDS
const rt::LibraryDescriptor& commands::CoreLibrary() { return units::CoreLibrary(); }
#endif
#ifdef PLAYER_PENDING_HOTKEY
const rt::LibraryDescriptor& commands::HotKeyLibrary() { return Empty(); }
#endif
#ifdef PLAYER_PENDING_SHELL
const rt::LibraryDescriptor& commands::ShellLibrary() { return Empty(); }
#endif
#ifdef PLAYER_PENDING_SKIN
const rt::LibraryDescriptor& commands::SkinLibrary() { return Empty(); }
#endif
#ifdef PLAYER_PENDING_CARTOON
const rt::LibraryDescriptor& cartoon::Library() { return Empty(); }
#endif
#ifdef PLAYER_PENDING_TRANSLABEL
const rt::LibraryDescriptor& translabel::Library() { return Empty(); }
#endif
