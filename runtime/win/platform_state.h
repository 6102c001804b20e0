#pragma once
// What the runtime keeps on Windows beside its portable state: the program
// it runs, the hidden runtime window, OLE, the default icons, the libraries
// loaded for DLL commands and the file searches handed to callers. Only the
// main thread touches it. The resources are given back at shutdown.

#include <windows.h>

#include <string>
#include <vector>

#include "runtime/application.h"
#include "runtime/win/handles.h"

namespace rt {

// Loaders of optional outside libraries. This program has none, so every
// slot points at the program's do-nothing routines and finds nothing.
struct OptionalLibrarySlot {
  int32_t (*find)() = nullptr;
  void (*release)() = nullptr;
};

struct LoadedDll {
  std::string name;
  ModuleHandle module;
};

struct PlatformState {
  const ProgramHeader* header = nullptr;
  OptionalLibrarySlot optionalSlots[4];
  HWND hiddenWindow = nullptr;
  bool oleInitialised = false;
  IconHandle bigIcon;
  IconHandle smallIcon;
  bool iconsLoaded = false;
  std::vector<LoadedDll> dlls;  // each library once, by name
  // Walks handed to callers, who keep only the handle's value.
  std::vector<FindHandle> findWalks;
};

PlatformState& Platform();

}  // namespace rt
