// Windows XP compatibility. The static thread library of the toolchain calls
// GetTickCount64, which Windows XP's kernel32 lacks; an executable importing
// it does not start there. This file fills the import slot itself: the system
// function where it exists, a GetTickCount-based count elsewhere. It must be
// linked as an object of each executable (not from an archive), so that the
// linker takes this slot before it searches the kernel32 import library.

#include <windows.h>

namespace {

ULONGLONG WINAPI TickCount64() {
  using Fn = ULONGLONG(WINAPI*)();
  static Fn system = reinterpret_cast<Fn>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "GetTickCount64")));
  if (system) return system();
  // Counts the wraps of the 32-bit tick; callers only measure short waits.
  static volatile LONG lastLow = 0;
  static volatile LONG wraps = 0;
  DWORD now = ::GetTickCount();
  DWORD before = static_cast<DWORD>(::InterlockedExchange(&lastLow, static_cast<LONG>(now)));
  if (now < before) ::InterlockedIncrement(&wraps);
  return (static_cast<ULONGLONG>(static_cast<DWORD>(wraps)) << 32) | now;
}

}  // namespace

#if defined(_WIN64)
#define PROJECT_IMPORT_SLOT "__imp_GetTickCount64"
#else
#define PROJECT_IMPORT_SLOT "__imp__GetTickCount64@0"
#endif

extern "C" ULONGLONG(WINAPI* const projectTickCount64Slot)() __asm__(PROJECT_IMPORT_SLOT);
extern "C" ULONGLONG(WINAPI* const projectTickCount64Slot)() = TickCount64;
