#include "runtime/heap.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

#include "runtime/fatal.h"
#include "runtime/heap_backend.h"

namespace rt {

namespace {

struct ConstantRange {
  uintptr_t start;
  uintptr_t end;
};

std::vector<ConstantRange>& ConstantRanges() {
  static std::vector<ConstantRange> ranges;
  return ranges;
}

std::atomic<int64_t> liveBlocks{0};
int failCountdown = 0;

// Counts down the test switch; true when this allocation is to fail.
bool ForcedFailure() {
  if (failCountdown == 0) return false;
  return --failCountdown == 0;
}

const ConstantRange* RangeOf(const void* pointer) {
  auto p = reinterpret_cast<uintptr_t>(pointer);
  for (const ConstantRange& r : ConstantRanges()) {
    if (p >= r.start && p < r.end) return &r;
  }
  return nullptr;
}

}  // namespace

void* Allocate(int64_t size) {
  void* block = nullptr;
  if (size >= 0 && static_cast<uint64_t>(size) <= SIZE_MAX && !ForcedFailure()) {
    block = backend::HeapAllocate(static_cast<size_t>(size));
  }
  if (block == nullptr) FatalAllocationFailure(size);
  ++liveBlocks;
  return block;
}

void* Reallocate(void* block, int64_t size) {
  if (block == nullptr) return Allocate(size);
  if (size_t available = ConstantBytesFrom(block)) {
    void* copy = Allocate(size);
    std::memcpy(copy, block, std::min<uint64_t>(available, static_cast<uint64_t>(size)));
    return copy;
  }
  void* moved = nullptr;
  if (size >= 0 && static_cast<uint64_t>(size) <= SIZE_MAX && !ForcedFailure()) {
    moved = backend::HeapReallocate(block, static_cast<size_t>(size));
  }
  if (moved == nullptr) FatalAllocationFailure(size);
  return moved;
}

void Free(void* block) {
  if (block == nullptr || RangeOf(block) != nullptr) return;
  backend::HeapFree(block);
  --liveBlocks;
}

void AddConstantRange(const void* start, size_t size) {
  auto s = reinterpret_cast<uintptr_t>(start);
  if (size > 0) ConstantRanges().push_back({s, s + size});
}

bool IsConstant(const void* pointer) { return RangeOf(pointer) != nullptr; }

size_t ConstantBytesFrom(const void* pointer) {
  const ConstantRange* range = RangeOf(pointer);
  return range ? range->end - reinterpret_cast<uintptr_t>(pointer) : 0;
}
void ClearConstantRanges() { ConstantRanges().clear(); }
int64_t LiveBlockCount() { return liveBlocks; }
void FailAllocationAfter(int n) { failCountdown = n < 0 ? 0 : n; }

}  // namespace rt
