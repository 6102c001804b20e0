#pragma once
// Makes use of freed memory visible in the Windows test programs, which have
// no address sanitizer: a program that links freed_memory_win.cpp gets an
// operator new that can put each block on pages of its own and make them
// inaccessible when the block is freed, so a later read or write faults at
// once instead of passing unseen; it can also be told to fail.

#include <cstdint>

namespace testing_support {

// While one of these lives, blocks from operator new are guarded as above;
// their address space is never reused. Meant for short test bodies.
class GuardFreedMemory {
 public:
  GuardFreedMemory();
  ~GuardFreedMemory();
  GuardFreedMemory(const GuardFreedMemory&) = delete;
  GuardFreedMemory& operator=(const GuardFreedMemory&) = delete;
};

// The next call of operator new on any thread fails as if memory had run out.
void FailNextAllocation();

// Calls of operator new so far (every thread).
int64_t OperatorNewCount();

}  // namespace testing_support
