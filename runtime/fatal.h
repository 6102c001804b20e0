#pragma once
// The runtime's one way to fail: a fatal runtime error tells the user in a
// message box and ends the program with exit code -1.

#include <cstdint>
#include <string>

namespace rt {

[[noreturn]] void FatalError(const char* text, int32_t code = 0);

// FatalError with a printf-style text and code 0.
[[noreturn]] void FatalErrorFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Helper slot 0: the runtime error table's text for the number, which is also
// shown as the error code. Numbers outside the table show the code alone.
[[noreturn]] void RuntimeError(int32_t number);
const char* RuntimeErrorText(int32_t number);  // null outside 1..11

[[noreturn]] void FatalAllocationFailure(int64_t size);

// The message box text for a fatal error.
std::string FatalMessageText(const char* text, int32_t code);

// An optional routine that tells the user itself; a non-zero answer skips the
// message box. It is never entered again while it runs.
using ErrorHook = int32_t (*)(int32_t code, const char* text);
void SetErrorHook(ErrorHook hook);

}  // namespace rt
