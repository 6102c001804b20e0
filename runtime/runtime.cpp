#include "runtime/runtime.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "runtime/heap.h"
#include "runtime/library.h"
#include "runtime/seams.h"
#include "runtime/service.h"
#include "runtime/text936.h"

namespace rt {

namespace {

struct RuntimeState {
  std::atomic<int32_t> busy{0};
  const ProgramHeader* program = nullptr;
  uint32_t headerWords[3] = {};
  std::vector<uintptr_t> libraryWords;
  std::string directory, fileName, directoryWithBackslash;
  std::atomic<ExitRoutine> exitRoutine{nullptr};
  std::thread::id mainThread;
  std::atomic<bool> shuttingDown{false};
  std::atomic<bool> formsReleased{false};
  std::atomic<bool> librariesNotified{false};
  std::atomic<bool> resourcesReleased{false};
  int32_t quitCode = 0;
  FrameworkHooks framework;
  PlatformHooks platform;
  std::vector<void (*)()> shutdownSteps;
};

RuntimeState& State() {
  static RuntimeState state;
  return state;
}

}  // namespace

// ---- Busy counter ----------------------------------------------------------

void EnterBusy() { ++State().busy; }

void LeaveBusy() {
  int32_t n = State().busy.load();
  while (n > 0 && !State().busy.compare_exchange_weak(n, n - 1)) {
  }
}

int32_t BusyCount() { return State().busy.load(); }

// ---- The program -------------------------------------------------------------

void AdoptProgram(const ProgramHeader& header) {
  RuntimeState& s = State();
  s.program = &header;
  s.headerWords[0] = header.formatValue;
  s.headerWords[1] = header.keptAsGiven;
  s.headerWords[2] = header.keptPlusOne + 1;
  AddConstantRange(header.constantData, header.constantSize);
  s.libraryWords.assign(header.libraryCount, 0);
}

const ProgramHeader* Program() { return State().program; }

uint32_t HeaderWord(int index) { return index >= 0 && index < 3 ? State().headerWords[index] : 0; }

void SetProgramPath(const char* modulePath) {
  RuntimeState& s = State();
  std::string path = modulePath ? modulePath : "";
  const size_t slash = LastCharacter(path, '\\');
  if (slash == std::string::npos) {
    s.directory.clear();
    s.fileName = path;
    s.directoryWithBackslash.clear();
  } else {
    s.directory = path.substr(0, slash);
    s.fileName = path.substr(slash + 1);
    s.directoryWithBackslash = path.substr(0, slash + 1);
  }
}

const std::string& ProgramDirectory() { return State().directory; }
const std::string& ProgramFileName() { return State().fileName; }
const std::string& ProgramDirectoryWithBackslash() { return State().directoryWithBackslash; }

// ---- Libraries -------------------------------------------------------------

uint32_t LibraryCount() { return State().program ? State().program->libraryCount : 0; }

const LibraryDescriptor* Library(uint32_t index) {
  return index < LibraryCount() ? State().program->libraries[index] : nullptr;
}

void NotifyLibrariesStart() {
  for (uint32_t i = 0; i < LibraryCount(); ++i) {
    const LibraryDescriptor* library = Library(i);
    if (library && library->notify) {
      library->notify(kNotifyStart, reinterpret_cast<uintptr_t>(&Service), 0);
    }
  }
}

namespace {

void NotifyLibrariesFarewell() {
  RuntimeState& s = State();
  for (uint32_t i = 0; i < LibraryCount(); ++i) {
    const LibraryDescriptor* library = Library(i);
    if (library && library->notify) {
      library->notify(kNotifyFarewell, i < s.libraryWords.size() ? s.libraryWords[i] : 0, 0);
    }
  }
}

}  // namespace

const UnitTypeRecord* FindUnitType(uint32_t typeCode) {
  uint32_t library = (typeCode >> 16) - 1;
  uint32_t number = typeCode & 0xFFFF;
  const LibraryDescriptor* descriptor = (typeCode >> 16) ? Library(library) : nullptr;
  if (!descriptor || number == 0 || number > descriptor->typeCount || !descriptor->types) {
    return nullptr;
  }
  const UnitTypeRecord& record = descriptor->types[number - 1];
  return IsEmptySlot(record) ? nullptr : &record;
}

// ---- Exit ----------------------------------------------------------------------

void RegisterExitRoutine(ExitRoutine routine) { State().exitRoutine = routine; }
ExitRoutine RegisteredExitRoutine() { return State().exitRoutine.load(); }
bool ShutdownStarted() { return State().shuttingDown.load(); }

void MarkMainThread() { State().mainThread = std::this_thread::get_id(); }
bool OnMainThread() { return std::this_thread::get_id() == State().mainThread; }

void SetQuitCode(int32_t code) { State().quitCode = code; }
int32_t QuitCode() { return State().quitCode; }

namespace {

// Another thread asked to exit: the main thread does the shutdown. When it
// is already doing so, this thread waits for the process to end.
[[noreturn]] void ExitFromOtherThread(int32_t code) {
  RuntimeState& s = State();
  bool running = s.shuttingDown.load();
  if (s.platform.handOffExit) s.platform.handOffExit(code);
  if (!running) EndProcess(code);
  for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
}

}  // namespace

void Shutdown(int32_t code) {
  RuntimeState& s = State();
  EnterBusy();  // raised for good: no handler runs from here on
  if (!OnMainThread()) ExitFromOtherThread(code);
  s.shuttingDown = true;
  if (!s.formsReleased.exchange(true) && s.framework.releaseForms) s.framework.releaseForms();
  // The slot is emptied before the call, so the routine runs once even when
  // it enters the exit path itself.
  if (ExitRoutine routine = s.exitRoutine.exchange(nullptr)) routine();
  if (!s.librariesNotified.exchange(true)) NotifyLibrariesFarewell();
  if (!s.resourcesReleased.exchange(true)) {
    for (void (*step)() : s.shutdownSteps) step();
    if (s.platform.releaseResources) s.platform.releaseResources();
  }
}

void ExitProgram(int32_t code) {
  Shutdown(code);
  EndProcess(code);
}

// ---- Hooks -------------------------------------------------------------------

void InstallFramework(const FrameworkHooks& hooks) { State().framework = hooks; }
const FrameworkHooks& Framework() { return State().framework; }
void InstallPlatform(const PlatformHooks& hooks) { State().platform = hooks; }

void AddShutdownStep(void (*step)()) {
  std::vector<void (*)()>& steps = State().shutdownSteps;
  if (std::find(steps.begin(), steps.end(), step) == steps.end()) steps.push_back(step);
}

ArgRecord CallCoreCommand(CommandFn fn, int32_t count, ArgRecord* args) {
  ArgRecord result;
  fn(&result, count, args);
  return result;
}

// The library index travels with the call but the command does not need it.
ArgRecord CallLibraryCommand(CommandFn fn, int32_t /*library*/, int32_t count, ArgRecord* args) {
  return CallCoreCommand(fn, count, args);
}

void ResetRuntimeForTest() {
  RuntimeState& s = State();
  s.busy = 0;
  s.program = nullptr;
  s.libraryWords.clear();
  s.exitRoutine = nullptr;
  s.shuttingDown = false;
  s.formsReleased = false;
  s.librariesNotified = false;
  s.resourcesReleased = false;
  s.quitCode = 0;
  s.framework = FrameworkHooks{};
  s.platform = PlatformHooks{};
  s.shutdownSteps.clear();
  ClearConstantRanges();
  MarkMainThread();
}

LibraryDescriptor ExtensionLibrary(const char* identity, const char* displayName,
                                   const UnitTypeRecord* types, uint32_t typeCount,
                                   const CommandFn* commands, uint32_t commandCount) {
  LibraryDescriptor d{};
  d.formatMarker = kLibraryFormatMarker;
  d.identity = identity;
  d.versionMajor = 1;
  d.displayName = displayName;
  d.alwaysOne = 1;
  d.typeCount = typeCount;
  d.types = types;
  d.commandCount = commandCount;
  d.commands = commands;
  return d;
}

}  // namespace rt
