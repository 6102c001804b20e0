// The program the animation benchmark measures (scripts/bench-cartoon.sh):
// by default a form with one playing GIF object in an animation box; with
// the argument "bare", only a hidden window with a 5 ms timer, the floor any
// such timer costs.

#include <windows.h>

#include <cstring>

#include "CartoonBenchForm.h"
#include "extunits/cartoon/win/cartoon_box.h"
#include "extunits/cartoon/win/cartoon_object.h"
#include "extunits/cartoon/win/library.h"
#include "extunits/media/win/library.h"
#include "extunits/win/picture_win.h"
#include "forms/win/framework.h"
#include "runtime/application.h"
#include "runtime/value.h"
#include "units/win/library.h"

namespace {

constexpr uint32_t kFormId = 0x52010001;
constexpr uint32_t kBox = 0x16010001;
constexpr uint32_t kTemplate = 0x16010002;

rt::RoutineResult Loaded(const uintptr_t*, int32_t) {
  rt::ArgRecord args[] = {rt::MakeUnitRef(kFormId, kBox, cartoon::kCartoonBoxTypeCode),
                          rt::MakeUnitRef(kFormId, kTemplate, cartoon::kCartoonObjectTypeCode),
                          rt::MakeInt(160), rt::MakeInt(0)};
  rt::ArgRecord result{};
  cartoon::CreateObject(&result, 4, args);
  return {};
}

int32_t ReturnsZero() { return 0; }
void ReturnsAtOnce() {}

const rt::Routine kRoutines[] = {
#define BENCH_ROUTINE(name) name,
    CARTOON_BENCH_FORM_ROUTINES(BENCH_ROUTINE)};
const rt::CodeBase kCodeBase = {kRoutines, kCartoonBenchFormRoutineCount, ReturnsZero,
                                ReturnsAtOnce};

rt::LibraryDescriptor EmptyLibrary() {
  rt::LibraryDescriptor d{};
  d.formatMarker = rt::kLibraryFormatMarker;
  return d;
}
const rt::LibraryDescriptor kEmpty = EmptyLibrary();
const rt::LibraryDescriptor* const kLibraries[] = {&units::CoreLibrary(),
                                                   &cartoon::Library(),
                                                   &kEmpty,
                                                   &kEmpty,
                                                   &kEmpty,
                                                   &media::Library(),
                                                   &kEmpty};
const rt::ProgramHeader kHeader = {3,
                                   0,
                                   0x100a4,
                                   &kCodeBase,
                                   nullptr,
                                   0,
                                   kCartoonBenchFormTemplate,
                                   kCartoonBenchFormTemplateSize,
                                   7,
                                   kLibraries,
                                   0,
                                   nullptr,
                                   nullptr};

int32_t Entry() {
  const rt::HelperTable& helpers = rt::Helpers();
  helpers.otherHelp->initialize();
  helpers.loadStartupForm(kFormId);
  helpers.messageLoop();
  return 0;
}

int RunBareTimer() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = ::DefWindowProcA;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = "BareTimerWindow";
  ::RegisterClassA(&wc);
  HWND window = ::CreateWindowA(wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                                nullptr, wc.hInstance, nullptr);
  ::SetTimer(window, 1, 5, nullptr);
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  if (commandLine != nullptr && std::strstr(commandLine, "bare") != nullptr) return RunBareTimer();
  forms::InstallFramework();
  ext::InstallPictureService();
  rt::RunApplication(kHeader, Entry);
}
