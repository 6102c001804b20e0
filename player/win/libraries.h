#pragma once
// The accessors of the seven runtime libraries the program header lists.

#include "commands/win/core_library.h"
#include "commands/win/hotkey.h"
#include "commands/win/shell.h"
#include "commands/win/skin.h"
#include "extunits/cartoon/win/library.h"
#include "extunits/media/win/library.h"
#include "extunits/translabel/win/library.h"
