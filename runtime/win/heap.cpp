#include <windows.h>

#include "runtime/heap_backend.h"

namespace rt::backend {

void* HeapAllocate(size_t size) { return ::HeapAlloc(::GetProcessHeap(), 0, size); }
void* HeapReallocate(void* block, size_t size) {
  return ::HeapReAlloc(::GetProcessHeap(), 0, block, size);
}
void HeapFree(void* block) { ::HeapFree(::GetProcessHeap(), 0, block); }

}  // namespace rt::backend
