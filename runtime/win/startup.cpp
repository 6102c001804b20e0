// Start-up and the end of the process on Windows: the application's run, the
// runtime initialisation, the hidden runtime window and the resources the
// runtime itself owns.

#include <ole2.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "runtime/application.h"
#include "runtime/fatal.h"
#include "runtime/messages.h"
#include "runtime/runtime.h"
#include "runtime/seams.h"
#include "runtime/service.h"
#include "runtime/win/handles.h"
#include "runtime/win/icons.h"
#include "runtime/win/late_import.h"
#include "runtime/win/platform_state.h"

namespace rt {

PlatformState& Platform() {
  static PlatformState state;
  return state;
}

namespace {

constexpr char kHiddenWindowClass[] = "RuntimeHiddenWindow";

void PointSlotsAtDoNothing(int first, int count) {
  const CodeBase* base = Platform().header ? Platform().header->codeBase : nullptr;
  for (int i = first; i < first + count; ++i) {
    Platform().optionalSlots[i] = {base ? base->returnsZero : nullptr,
                                   base ? base->returnsAtOnce : nullptr};
  }
}

std::string ModuleFileName() {
  char path[MAX_PATH + 1] = {};
  DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, n < MAX_PATH ? n : MAX_PATH);
}

// A bare drive ("C:") names that drive's current directory, not its root;
// the program's directory is meant, so the root is made current.
void MakeProgramDirectoryCurrent() {
  std::string dir = ProgramDirectory();
  if (dir.empty()) return;
  if (dir.size() == 2 && dir[1] == ':') dir += '\\';
  ::SetCurrentDirectoryA(dir.c_str());
}

LRESULT CALLBACK HiddenWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return GuardCallback([&] {
    if (message == kExitRequestMessage) ExitProgram(static_cast<int32_t>(wParam));
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
  });
}

// Message-only until it has to own a form (RuntimeOwnerWindow): such a
// window costs the windowing system nothing beyond its messages. It is a
// pop-up, never shown: for an overlapped window the system works out size
// limits from the screen while it is made, which under Wine takes 18
// requests to its server.
void CreateHiddenWindow() {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = HiddenWindowProc;
  wc.hInstance = instance;
  wc.hCursor = ArrowCursor();
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
  wc.lpszClassName = kHiddenWindowClass;
  ::RegisterClassA(&wc);
  Platform().hiddenWindow = ::CreateWindowExA(WS_EX_TOOLWINDOW, kHiddenWindowClass, "", WS_POPUP, 0,
                                              0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
}

// The exit request travels to the main thread, which ends the process.
void HandOffExit(int32_t code) {
  if (Platform().hiddenWindow) {
    ::SendMessageA(Platform().hiddenWindow, kExitRequestMessage, static_cast<WPARAM>(code), 0);
  }
}

void ReleaseResources() {
  PlatformState& w = Platform();
  w.dlls.clear();
  w.findWalks.clear();
  w.bigIcon.Reset();
  w.smallIcon.Reset();
  w.iconsLoaded = false;
  if (w.hiddenWindow) ::DestroyWindow(w.hiddenWindow);
  w.hiddenWindow = nullptr;
  if (w.oleInitialised) rt::ole32::OleUninitialize();
  w.oleInitialised = false;
}

// Service 1000: the program's icons, loaded once from "DEFAULT_ICON".
uint64_t DefaultIcons(uintptr_t out, uintptr_t) {
  PlatformState& w = Platform();
  if (!w.iconsLoaded) {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    w.bigIcon.Reset(
        static_cast<HICON>(::LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON, 32, 32, 0)));
    w.smallIcon.Reset(
        static_cast<HICON>(::LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON, 16, 16, 0)));
    w.iconsLoaded = true;
  }
  if (void** icons = DefaultIconsIn(out)) {
    icons[0] = w.bigIcon.get();
    icons[1] = w.smallIcon.get();
  }
  return 0;
}

void RegisterPlatformServices() {
  SetServiceHandler(svc::kDefaultIcons, DefaultIcons);
  SetServiceHandler(svc::kEnterBusy, [](uintptr_t, uintptr_t) -> uint64_t {
    PumpMessages();
    EnterBusy();
    return 0;
  });
  SetServiceHandler(svc::kLeaveBusy, [](uintptr_t, uintptr_t) -> uint64_t {
    PumpMessages();
    LeaveBusy();
    return 0;
  });
  SetServiceHandler(svc::kPumpMessages,
                    [](uintptr_t, uintptr_t) -> uint64_t { return PumpMessages(), 0; });
}

}  // namespace

void PumpMessages() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
    // A message sent from another thread, handled inside GetMessageA, may
    // post the quit message: it stays queued for the main loop.
    if (!::GetMessageA(&msg, nullptr, 0, 0)) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

void* RuntimeWindow() { return Platform().hiddenWindow; }

void* RuntimeOwnerWindow() {
  HWND hidden = Platform().hiddenWindow;
  if (hidden && ::GetAncestor(hidden, GA_PARENT) != ::GetDesktopWindow()) {
    ::SetParent(hidden, nullptr);
  }
  return hidden;
}

void InitializeRuntime() {
  PlatformState& w = Platform();
  if (w.header) AdoptProgram(*w.header);
  if (!w.oleInitialised) w.oleInitialised = SUCCEEDED(rt::ole32::OleInitialize(nullptr));
  SetProgramPath(ModuleFileName().c_str());
  MakeProgramDirectoryCurrent();
  PointSlotsAtDoNothing(1, 3);
  if (!w.hiddenWindow) CreateHiddenWindow();
  MarkMainThread();
  InstallPlatform({HandOffExit, ReleaseResources});
  RegisterPlatformServices();
  NotifyLibrariesStart();
  const ProgramHeader* header = Program();
  if (header && header->templateSize > 0 && Framework().readTemplate) {
    Framework().readTemplate(header->templateData, header->templateSize, header->codeBase);
  }
}

void BeginApplication(const ProgramHeader& header) {
  Platform().header = &header;
  SetProgramPath(ModuleFileName().c_str());
  PointSlotsAtDoNothing(0, 1);
  MarkMainThread();
}

void RunApplication(const ProgramHeader& header, EntryRoutine entry) {
  BeginApplication(header);
  // A non-zero answer asks the application to run the message loop itself.
  if (entry() != 0) Helpers().messageLoop();
  Shutdown(0);
  EndProcess(QuitCode());
}

// ---- DLL commands ---------------------------------------------------------------

namespace {

HMODULE LoadDll(const char* name) {
  std::vector<LoadedDll>& dlls = Platform().dlls;
  for (const LoadedDll& d : dlls) {
    if (::lstrcmpiA(d.name.c_str(), name) == 0) return d.module.get();
  }
  ModuleHandle module(::LoadLibraryA(name));
  if (!module) return nullptr;
  dlls.push_back({name, std::move(module)});
  return dlls.back().module.get();
}

}  // namespace

void* ResolveDllCommand(int32_t number) {
  const ProgramHeader* header = Program();
  const bool known =
      header && number >= 0 && static_cast<uint32_t>(number) < header->dllCommandCount;
  const char* library = known ? header->dllLibraryNames[number] : nullptr;
  const char* command = known ? header->dllCommandNames[number] : nullptr;
  if (!command) command = "";
  if (!library || !*library) FatalErrorFormat(msg::kDllExportMissingNoLibrary, command);
  HMODULE module = LoadDll(library);
  FARPROC address = module ? ::GetProcAddress(module, command) : nullptr;
  if (!address) FatalErrorFormat(msg::kDllExportMissing, library, command);
  return reinterpret_cast<void*>(address);
}

}  // namespace rt
