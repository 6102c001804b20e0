#include "commands/win/hotkey.h"

#include "commands/core_commands.h"
#include "runtime/fatal.h"
#include "runtime/library.h"
#include "units/win/label.h"

namespace commands {

namespace {

// One set per process, shared by all registrations.
struct HotKeyState {
  HWND target = nullptr;  // receives the relayed hot keys; the latest call's
  int32_t count = 0;      // registrations counted, for putting the procedure back
  int32_t nextSerial = 0;
  int32_t lastId = 0;
  HWND hooked = nullptr;  // whose procedure was replaced, with the one replaced
  WNDPROC oldProc = nullptr;
};

HotKeyState& State() {
  static HotKeyState state;
  return state;
}

HWND HandleArgument(const rt::Args& a, int32_t index) {
  // Handles travel as 32-bit numbers and are sign-extended on 64-bit Windows.
  const auto value = static_cast<intptr_t>(static_cast<int32_t>(a.Word(index)));
  return reinterpret_cast<HWND>(value);
}

LRESULT CALLBACK HotKeyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return rt::GuardCallback([&]() -> LRESULT {
    const HotKeyState& s = State();
    const auto id = static_cast<int64_t>(wParam);
    if (message == WM_HOTKEY && id >= kFirstHotKeyId && id <= s.lastId)
      ::SendMessageA(s.target, units::kMsgFeedback, wParam, 0);
    return ::CallWindowProcA(s.oldProc, window, message, wParam, lParam);
  });
}

// Replaces the window's procedure unless a live window has it already. A
// window destroyed since then no longer relays, so the next one is taken.
void Hook(HWND window) {
  HotKeyState& s = State();
  if (s.hooked != nullptr && ::IsWindow(s.hooked)) return;
  s.oldProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HotKeyProc)));
  s.hooked = s.oldProc != nullptr ? window : nullptr;
}

void SetHotKey(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args) {
  HotKeyState& s = State();
  const rt::Args a(count, args);
  HWND window = HandleArgument(a, 0);
  s.target = HandleArgument(a, 1);
  const uint32_t modifiers = HotKeyModifiers(static_cast<int32_t>(a.Word(2)));
  Hook(window);
  ++s.count;
  s.lastId = kFirstHotKeyId + s.nextSerial++;
  const bool registered = ::RegisterHotKey(window, s.lastId, modifiers, a.Word(3));
  SetIntResult(*result, registered ? s.lastId : 0);
}

const rt::CommandFn kCommands[] = {SetHotKey};

}  // namespace

void ResetHotKeysForTest() {
  HotKeyState& s = State();
  if (s.count == 0) s = HotKeyState{};
}

bool RemoveHotKey(HWND window, int32_t id) {
  HotKeyState& s = State();
  const bool removed = ::UnregisterHotKey(window, id) != FALSE;
  if (s.count > 0 && --s.count == 0 && s.hooked != nullptr) {
    // Only a procedure still ours is put back: a later replacement stays.
    const auto current = ::GetWindowLongPtrA(s.hooked, GWLP_WNDPROC);
    if (current == reinterpret_cast<LONG_PTR>(&HotKeyProc))
      ::SetWindowLongPtrA(s.hooked, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s.oldProc));
    s.hooked = nullptr;
  }
  return removed;
}

const rt::LibraryDescriptor& HotKeyLibrary() {
  static const rt::LibraryDescriptor library = rt::ExtensionLibrary(
      "3C7B1E9A0D5F4B2C8A6E1F0D9B3C7A25", "扩展功能支持库一", nullptr, 0, kCommands, 1);
  return library;
}

}  // namespace commands
