// A program that runs one start-up or exit scenario for real: the runtime
// starts, the scenario's entry routine runs, and the process ends as the
// runtime ends it. Messages and notifications go to standard output, where
// the test that started this program reads them.
//
// Usage: runtime_scenarios.exe NAME

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "runtime/application.h"
#include "runtime/runtime.h"
#include "runtime/seams.h"

namespace {

using rt::Helpers;

void Say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

int32_t PrintMessage(void*, const char* text, const char* caption, uint32_t style) {
  Say(std::string("MSG|") + caption + "|" + text + "|" + std::to_string(style));
  return IDOK;
}

intptr_t NotifyA(int32_t code, uintptr_t, uintptr_t) {
  Say("notify A " + std::to_string(code));
  return 0;
}

rt::LibraryDescriptor MakeLibrary(rt::NotifyFn notify) {
  rt::LibraryDescriptor d{};
  d.formatMarker = rt::kLibraryFormatMarker;
  d.notify = notify;
  return d;
}

const rt::LibraryDescriptor kLibA = MakeLibrary(NotifyA);
const rt::LibraryDescriptor kLibB = MakeLibrary(nullptr);
const rt::LibraryDescriptor* const kLibraries[] = {&kLibA, &kLibB};

int32_t ReturnsZero() { return 0; }
void ReturnsAtOnce() {}
const rt::CodeBase kCodeBase = {nullptr, 0, ReturnsZero, ReturnsAtOnce};

const rt::ProgramHeader kHeader = {3, 0, 0x100a4,    &kCodeBase, nullptr, 0,      nullptr,
                                   0, 2, kLibraries, 0,          nullptr, nullptr};

void Initialize() { Helpers().otherHelp->initialize(); }

void WaitForMessages() {
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
  Say("message loop ended");
}

std::string scenario;

int32_t Entry() {
  Initialize();
  const rt::HelperTable& h = Helpers();
  if (scenario == "no-template") {
    h.otherHelp->registerExitRoutine([] { Say("exit routine"); });
    h.loadStartupForm(0x52010001);
    h.messageLoop();
  } else if (scenario == "exit-order") {
    h.otherHelp->registerExitRoutine([] { Say("first exit routine"); });
    h.otherHelp->registerExitRoutine([] { Say("exit routine"); });
    h.exitProgram(7);
  } else if (scenario == "exit-in-exit-routine") {
    h.otherHelp->registerExitRoutine([] {
      Say("exit routine");
      Helpers().exitProgram(9);
    });
    h.exitProgram(1);
  } else if (scenario == "other-thread-exit") {
    h.otherHelp->registerExitRoutine(
        [] { Say(rt::OnMainThread() ? "exit routine on main" : "exit routine elsewhere"); });
    std::thread([] { Helpers().exitProgram(5); }).detach();
    WaitForMessages();
  } else if (scenario == "exit-request-message") {
    ::PostMessageA(static_cast<HWND>(rt::RuntimeWindow()), rt::kExitRequestMessage, 3, 0);
    WaitForMessages();
  } else if (scenario == "entry-returns") {
    h.otherHelp->registerExitRoutine([] { Say("exit routine"); });
  } else if (scenario == "runtime-error") {
    h.runtimeError(4);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  scenario = argc > 1 ? argv[1] : "";
  _setmode(_fileno(stdout), _O_BINARY);
  rt::SetMessageBoxSeam(PrintMessage);
  rt::RunApplication(kHeader, Entry);
}
