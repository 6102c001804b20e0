#pragma once
// The runtime's own state and lifecycle: the busy counter, the program's
// identity, the libraries, the exit routine and the shutdown sequence. The
// form framework and the platform layer plug into it through hook tables, so
// that this part stays free of both.

#include <cstdint>
#include <string>

#include "runtime/program.h"

namespace rt {

// ---- Busy counter --------------------------------------------------------
// While it is above 0 no event reaches a handler of the program.
void EnterBusy();
void LeaveBusy();  // never below 0
int32_t BusyCount();

// ---- The program --------------------------------------------------------
// Takes the header: header words 0..2 (word 2 plus one), the constant-data
// range, the code base, the libraries with one zeroed word each.
void AdoptProgram(const ProgramHeader& header);
const ProgramHeader* Program();  // null before AdoptProgram
uint32_t HeaderWord(int index);  // the kept words 0, 1 and 2

// Records the module's file name: the directory (up to, not including, the
// last backslash), the file name after it, and the directory with its
// backslash. A name without a backslash has an empty directory.
void SetProgramPath(const char* modulePath);
const std::string& ProgramDirectory();
const std::string& ProgramFileName();
const std::string& ProgramDirectoryWithBackslash();

// ---- Libraries ----------------------------------------------------------
uint32_t LibraryCount();
const LibraryDescriptor* Library(uint32_t index);
// Notify code 1 with the service entry to every library that has a notify
// function, in index order.
void NotifyLibrariesStart();
// The type record for ((library + 1) << 16) | number; null for empty slots
// and codes that name nothing.
const UnitTypeRecord* FindUnitType(uint32_t typeCode);

// ---- Exit ------------------------------------------------------------------
void RegisterExitRoutine(ExitRoutine routine);  // replaces the previous one
ExitRoutine RegisteredExitRoutine();
// Runs the shutdown sequence, then ends the process with the code.
[[noreturn]] void ExitProgram(int32_t code);
// The shutdown sequence alone; each of its steps runs at most once, also
// when the exit path is entered again from inside the exit routine.
void Shutdown(int32_t code);
bool ShutdownStarted();

// The main thread is the one that initialised the runtime.
void MarkMainThread();
bool OnMainThread();

// The quit message's code that ended the main message loop.
void SetQuitCode(int32_t code);
int32_t QuitCode();

// ---- Hooks ----------------------------------------------------------------
// The form framework: reading the template data, forms, properties, the
// message loop and its share of the shutdown. Until it is installed, the
// runtime answers as for a program without forms.
struct FrameworkHooks {
  void (*readTemplate)(const uint8_t* data, uint32_t size, const CodeBase* codeBase) = nullptr;
  void (*loadStartupForm)(uint32_t formId) = nullptr;
  void (*messageLoop)() = nullptr;
  PropValue (*readProperty)(uint32_t formId, uint32_t unitId, int32_t index,
                            int32_t element) = nullptr;
  void (*writeProperty)(uint32_t formId, uint32_t unitId, int32_t index, int32_t element,
                        PropValue value) = nullptr;
  void (*releaseForms)() = nullptr;  // empties idle lists, releases all forms
};
void InstallFramework(const FrameworkHooks& hooks);
const FrameworkHooks& Framework();

// The platform: the exit hand-off to the main thread and the release of the
// runtime's own resources at the end of shutdown.
struct PlatformHooks {
  void (*handOffExit)(int32_t code) = nullptr;
  void (*releaseResources)() = nullptr;
};
void InstallPlatform(const PlatformHooks& hooks);

// Layers that keep something running until the end (the sound players and
// their threads) stop it in a step of their own: the steps run once, in the
// order added, at the end of shutdown before the runtime's own resources go.
// Adding a step twice keeps one.
void AddShutdownStep(void (*step)());

// The helpers the program calls the runtime through.
const HelperTable& Helpers();

// Call stubs (helpers 2 and 3): a zeroed result, the command, the result.
ArgRecord CallCoreCommand(CommandFn fn, int32_t count, ArgRecord* args);
ArgRecord CallLibraryCommand(CommandFn fn, int32_t library, int32_t count, ArgRecord* args);

// Returns the runtime to its state before start-up; for tests.
void ResetRuntimeForTest();

}  // namespace rt
