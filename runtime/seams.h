#pragma once
// The two places where the runtime meets the user and the operating system
// at the very end: the message box and the end of the process. Tests replace
// them to read a fatal message without a window, or to see an exit code
// without losing the test process.

#include <cstdint>

namespace rt {

// Same meaning as MessageBoxA: owner window (or null), text, caption, style.
using MessageBoxFn = int32_t (*)(void* owner, const char* text, const char* caption,
                                 uint32_t style);
// Ends the process with the code. A replacement must not return normally: a
// test replacement throws ProcessEndUnwind, the one exception that callback
// boundaries let pass; if it returns, the process is aborted.
using EndProcessFn = void (*)(int32_t code);

// What a replaced end of the process throws to unwind to the test that
// caused it. The platform's end of the process never throws.
struct ProcessEndUnwind {
  int32_t code;
};

constexpr uint32_t kMbOk = 0x0;
constexpr uint32_t kMbIconStop = 0x10;

MessageBoxFn SetMessageBoxSeam(MessageBoxFn fn);  // null restores the default
EndProcessFn SetEndProcessSeam(EndProcessFn fn);  // null restores the default

int32_t ShowMessageBox(void* owner, const char* text, const char* caption, uint32_t style);
[[noreturn]] void EndProcess(int32_t code);

// The platform's own implementations.
int32_t PlatformMessageBox(void* owner, const char* text, const char* caption, uint32_t style);
[[noreturn]] void PlatformEndProcess(int32_t code);

}  // namespace rt
