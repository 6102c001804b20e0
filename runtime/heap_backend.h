#pragma once
// The platform heap under the runtime heap: the process heap on Windows,
// malloc elsewhere. Null on failure; the runtime heap decides what failure means.

#include <cstddef>

namespace rt::backend {

void* HeapAllocate(size_t size);
void* HeapReallocate(void* block, size_t size);
void HeapFree(void* block);

}  // namespace rt::backend
