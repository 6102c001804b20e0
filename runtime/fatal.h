#pragma once
// The runtime's one way to fail: a fatal runtime error tells the user in a
// message box and ends the program with exit code -1.

#include <cstddef>
#include <cstdint>
#include <new>

#include "runtime/seams.h"

namespace rt {

[[noreturn]] void FatalError(const char* text, int32_t code = 0);

// FatalError with a printf-style text and code 0.
[[noreturn]] void FatalErrorFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Helper slot 0: the runtime error table's text for the number, which is also
// shown as the error code. Numbers outside the table show the code alone.
[[noreturn]] void RuntimeError(int32_t number);
const char* RuntimeErrorText(int32_t number);  // null outside 1..11

[[noreturn]] void FatalAllocationFailure(int64_t size);

// A C++ allocation that failed, carrying the size it asked for, so that the
// fatal path can name it.
class AllocationFailure : public std::bad_alloc {
 public:
  explicit AllocationFailure(size_t size) : size_(size) {}
  size_t size() const { return size_; }

 private:
  size_t size_;
};

// The body of the program's operator new: `allocate` (malloc) for `size`
// bytes, asking the new handler for room while it fails as the standard
// operator does; with no handler, AllocationFailure with the size.
void* NewBlock(size_t size, void* (*allocate)(size_t));

// The message box text for a fatal error, written into `out` (cut to fit,
// always terminated). Allocates nothing, so an allocation failure can be told.
void FatalMessageText(const char* text, int32_t code, char* out, size_t capacity);

// For the catch block at a Win32 callback boundary: the exception being
// handled becomes a fatal runtime error (an AllocationFailure with its
// size, or the exception's own text).
[[noreturn]] void FatalFromCurrentException();

// Runs the body of a window procedure, hook or other callback so that no C++
// exception leaves it: any exception ends in the fatal error path. Only a
// replaced end of the process (in tests) unwinds through.
template <typename Body>
auto GuardCallback(Body&& body) -> decltype(body()) {
  try {
    return body();
  } catch (const ProcessEndUnwind&) {
    throw;
  } catch (...) {
    FatalFromCurrentException();
  }
}

// An optional routine that tells the user itself; a non-zero answer skips the
// message box. It is never entered again while it runs.
using ErrorHook = int32_t (*)(int32_t code, const char* text);
void SetErrorHook(ErrorHook hook);

}  // namespace rt
