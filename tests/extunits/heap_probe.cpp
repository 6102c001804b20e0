#include "tests/extunits/heap_probe.h"

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define HEAP_PROBE 1
// The sanitizer runtime's own interface (GCC installs no header for it).
extern "C" {
size_t __sanitizer_get_current_allocated_bytes();
int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*, size_t),
                                              void (*onFree)(const volatile void*));
}
#else
#define HEAP_PROBE 0
#endif

namespace heap_probe {

#if HEAP_PROBE

namespace {

// The sanitizer takes hooks but never lets them go, so one pair stays
// installed and only records while `recording` is set.
bool recording = false;
size_t largest = 0;

void OnMalloc(const volatile void*, size_t size) {
  if (recording && size > largest) largest = size;
}
void OnFree(const volatile void*) {}

}  // namespace

bool Available() { return true; }

size_t LiveBytes() { return __sanitizer_get_current_allocated_bytes(); }

size_t LargestAllocation(const std::function<void()>& work) {
  static const bool installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
  if (!installed) return 0;
  largest = 0;
  recording = true;
  work();
  recording = false;
  return largest;
}

#else

bool Available() { return false; }
size_t LiveBytes() { return 0; }
size_t LargestAllocation(const std::function<void()>& work) {
  work();
  return 0;
}

#endif

}  // namespace heap_probe
