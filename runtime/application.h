#pragma once
// Start-up of a program on Windows: the application object's run, the
// runtime initialisation the program asks for first, and the helper table.

#include <cstdint>

#include "runtime/program.h"

namespace rt {

// The program's entry routine; its answer is the application's first answer
// (0: go straight to the exit step).
using EntryRoutine = int32_t (*)();

// Records the program directory, points the optional-library slot at the
// program's do-nothing routines, calls the entry routine and then runs the
// exit step: shutdown with code 0 and the end of the process with the code
// of the quit message that ended the message loop.
[[noreturn]] void RunApplication(const ProgramHeader& header, EntryRoutine entry);

// The application's initialisation step alone: keeps the header for
// InitializeRuntime and records the program directory and the main thread.
void BeginApplication(const ProgramHeader& header);

// Other-help 6: heap, header words, OLE, program directory as current
// directory, hidden runtime window, constant range, DLL commands, library
// notify code 1, window template data.
void InitializeRuntime();

// The helper table of the running program.
const HelperTable& Helpers();

// Helper 1: the address of DLL command `number`, loading its library on first
// use; a library or export that cannot be found is a fatal error.
void* ResolveDllCommand(int32_t number);

// Other-help 0 and 1: the file search.
char* FindFile(const char* pattern, uint32_t attributeMask, int32_t anyFile,
               uintptr_t* searchHandle);
void EndFind(uintptr_t searchHandle);

// Fetches and dispatches waiting messages until none waits or a quit
// message is next.
void PumpMessages();

// The hidden runtime window (0 before initialisation). It starts as a
// message-only window: it only receives the exit request.
void* RuntimeWindow();

// The hidden runtime window as the owner of a form that gets no taskbar
// button: made a top-level window, still hidden, on the first such call.
void* RuntimeOwnerWindow();

// Message that carries an exit request from another thread to the hidden window.
constexpr uint32_t kExitRequestMessage = 0x83E7;

}  // namespace rt
