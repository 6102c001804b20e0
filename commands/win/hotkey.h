#pragma once
// The extended function library 1 (index 4 of the program's library table,
// "扩展功能支持库一"): no types, one command, `SetHotKey`.
//
// SetHotKey(window, target, modifiers, key) registers a system-wide hot key
// for `window` with the identifier 33001 + the registration's serial (a
// failed registration still uses up its serial) and answers the identifier,
// or 0 on failure. The first registration replaces the window's procedure;
// the replacement relays each WM_HOTKEY of an identifier given out so far to
// the latest target as message 0x8075 (identifier, 0), which a Label raises
// as its feedback event.

#include <windows.h>

#include <cstdint>

#include "runtime/program.h"

namespace commands {

inline constexpr int32_t kHotKeyLibraryIndex = 4;
inline constexpr int32_t kFirstHotKeyId = 33001;

const rt::LibraryDescriptor& HotKeyLibrary();

// The reverse operation, which the player does not use: unregisters `id`
// and puts the window's procedure back once no registration is counted.
bool RemoveHotKey(HWND window, int32_t id);

// Starts the serials afresh, as in a new process, for tests that each expect
// 33001 first; registrations still counted are left as they are.
void ResetHotKeysForTest();

}  // namespace commands
