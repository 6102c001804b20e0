#pragma once
// What the heap holds, where the sanitizer runtime can tell (the native
// build); elsewhere Available() is false and the others answer 0.

#include <cstddef>
#include <functional>

namespace heap_probe {

bool Available();
// Bytes allocated and not yet freed.
size_t LiveBytes();
// The largest single allocation made while `work` runs.
size_t LargestAllocation(const std::function<void()>& work);

}  // namespace heap_probe
