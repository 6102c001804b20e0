#pragma once
// The runtime heap: one heap (the process heap on Windows) shared by the
// runtime, the libraries and the program. Allocation failure is a fatal
// runtime error, so no function here returns null for a request it accepted.
// Pointers inside a registered constant range (the program's constant data)
// are never freed or resized in place.

#include <cstddef>
#include <cstdint>

namespace rt {

void* Allocate(int64_t size);                 // fatal on failure
void* Reallocate(void* block, int64_t size);  // null block: Allocate
void Free(void* block);                       // null and constants: nothing

// Constant ranges: start <= pointer < start + size.
void AddConstantRange(const void* start, size_t size);
bool IsConstant(const void* pointer);
size_t ConstantBytesFrom(const void* pointer);  // to the range's end; 0 if not constant
void ClearConstantRanges();

// Blocks allocated and not yet freed: lets tests see leaks the platform
// cannot count for them.
int64_t LiveBlockCount();

// Test switch: the n-th allocation from now fails (n >= 1); 0 switches it off.
void FailAllocationAfter(int n);

}  // namespace rt
