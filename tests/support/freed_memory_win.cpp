// Replaces the program's operator new and delete: see freed_memory.h.

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "tests/support/freed_memory.h"

namespace testing_support {

namespace {

// Every block starts with a header saying where it came from.
struct alignas(16) Header {
  uint64_t magic;
  uint64_t size;
};
constexpr uint64_t kHeapBlock = 0x4B434F4C42504548;     // from malloc
constexpr uint64_t kGuardedBlock = 0x4B434F4C42445247;  // from pages of its own

std::atomic<int> guards{0};
std::atomic<int64_t> newCalls{0};
std::atomic<bool> failNext{false};

void* Allocate(size_t size) noexcept {
  ++newCalls;
  const size_t total = sizeof(Header) + (size ? size : 1);
  const bool guarded = guards.load() > 0;
  void* base = guarded ? ::VirtualAlloc(nullptr, total, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE)
                       : std::malloc(total);
  if (base == nullptr) return nullptr;
  auto* header = static_cast<Header*>(base);
  header->magic = guarded ? kGuardedBlock : kHeapBlock;
  header->size = total;
  return header + 1;
}

void Release(void* block) noexcept {
  if (block == nullptr) return;
  Header* header = static_cast<Header*>(block) - 1;
  if (header->magic == kGuardedBlock) {
    // Decommitted but still reserved: the address faults and is never reused.
    ::VirtualFree(header, header->size, MEM_DECOMMIT);
  } else if (header->magic == kHeapBlock) {
    header->magic = 0;
    std::free(header);
  } else {
    std::abort();  // not a block of ours, or freed twice
  }
}

void* AllocateOrThrow(size_t size) {
  if (failNext.exchange(false)) throw std::bad_alloc();
  void* block = Allocate(size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

}  // namespace

GuardFreedMemory::GuardFreedMemory() { ++guards; }
GuardFreedMemory::~GuardFreedMemory() { --guards; }
int64_t OperatorNewCount() { return newCalls.load(); }
void FailNextAllocation() { failNext = true; }

}  // namespace testing_support

using testing_support::Allocate;
using testing_support::AllocateOrThrow;
using testing_support::Release;

void* operator new(size_t size) { return AllocateOrThrow(size); }
void* operator new[](size_t size) { return AllocateOrThrow(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, size_t) noexcept { Release(block); }
void operator delete[](void* block, size_t) noexcept { Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Release(block); }
