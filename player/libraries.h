#pragma once
// The accessors of the seven runtime libraries the program header lists.
// Libraries not yet in this tree are declared here and stood in for by
// libraries_pending.cpp.

#include "extunits/media/win/library.h"
#include "runtime/program.h"

#if __has_include("commands/win/core_library.h")
#include "commands/win/core_library.h"
#else
#define PLAYER_PENDING_CORE_COMMANDS 1
namespace commands {
const rt::LibraryDescriptor& CoreLibrary();
}
#endif

#if __has_include("commands/win/hotkey.h")
#include "commands/win/hotkey.h"
#else
#define PLAYER_PENDING_HOTKEY 1
namespace commands {
const rt::LibraryDescriptor& HotKeyLibrary();
}
#endif

#if __has_include("commands/win/shell.h")
#include "commands/win/shell.h"
#else
#define PLAYER_PENDING_SHELL 1
namespace commands {
const rt::LibraryDescriptor& ShellLibrary();
}
#endif

#if __has_include("commands/win/skin.h")
#include "commands/win/skin.h"
#else
#define PLAYER_PENDING_SKIN 1
namespace commands {
const rt::LibraryDescriptor& SkinLibrary();
}
#endif

#if __has_include("extunits/cartoon/win/library.h")
#include "extunits/cartoon/win/library.h"
#else
#define PLAYER_PENDING_CARTOON 1
namespace cartoon {
const rt::LibraryDescriptor& Library();
}
#endif

#if __has_include("extunits/translabel/win/library.h")
#include "extunits/translabel/win/library.h"
#else
#define PLAYER_PENDING_TRANSLABEL 1
namespace translabel {
const rt::LibraryDescriptor& Library();
}
#endif
