#include <cstdlib>

#include "runtime/heap_backend.h"

namespace rt::backend {

// malloc(0) may answer null; a heap block of size 0 is still a block.
void* HeapAllocate(size_t size) { return std::malloc(size ? size : 1); }
void* HeapReallocate(void* block, size_t size) { return std::realloc(block, size ? size : 1); }
void HeapFree(void* block) { std::free(block); }

}  // namespace rt::backend
