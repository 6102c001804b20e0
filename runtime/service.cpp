#include "runtime/service.h"

#include <cstring>

#include "runtime/fatal.h"
#include "runtime/heap.h"
#include "runtime/messages.h"
#include "runtime/runtime.h"
#include "runtime/value.h"

namespace rt {

namespace {

constexpr uint32_t kBlockSize = 64;

uintptr_t Address(const void* p) { return reinterpret_cast<uintptr_t>(p); }

// Copies one of the runtime's texts into the caller's buffer.
uint64_t CopyRuntimeText(uintptr_t which, uintptr_t buffer) {
  auto* out = reinterpret_cast<char*>(buffer);
  if (out == nullptr) return 0;
  const std::string* text = nullptr;
  if (which == 1 || which == 2001) text = &ProgramDirectoryWithBackslash();
  if (which == 2002) text = &ProgramFileName();
  size_t n = text ? std::min<size_t>(text->size(), kRuntimeTextBufferSize - 1) : 0;
  if (n) std::memcpy(out, text->data(), n);
  out[n] = '\0';
  return 0;
}

// The runtime's own services; the framework and the platform add theirs.
ServiceHandler RuntimeHandler(uint32_t code) {
  switch (code) {
    case svc::kUnitTypeRecord:
      return [](uintptr_t type, uintptr_t) -> uint64_t {
        return Address(FindUnitType(static_cast<uint32_t>(type)));
      };
    case svc::kAnswerFive: return [](uintptr_t, uintptr_t) -> uint64_t { return 5; };
    case svc::kCopyRuntimeText: return CopyRuntimeText;
    case svc::kValueToInt:
      return [](uintptr_t value, uintptr_t) -> uint64_t {
        return static_cast<uint32_t>(ValueToInt(*reinterpret_cast<const ArgRecord*>(value)));
      };
    case svc::kProgramDirectory:
      return [](uintptr_t, uintptr_t) -> uint64_t { return Address(ProgramDirectory().c_str()); };
    case svc::kProgramFileName:
      return [](uintptr_t, uintptr_t) -> uint64_t { return Address(ProgramFileName().c_str()); };
    case svc::kEnterBusy: return [](uintptr_t, uintptr_t) -> uint64_t { return EnterBusy(), 0; };
    case svc::kLeaveBusy: return [](uintptr_t, uintptr_t) -> uint64_t { return LeaveBusy(), 0; };
    case svc::kFreeValue:
      return [](uintptr_t value, uintptr_t type) -> uint64_t {
        return FreeValue(value, static_cast<uint32_t>(type)), 0;
      };
    case svc::kAllocate:
      return [](uintptr_t size, uintptr_t) -> uint64_t {
        return Address(Allocate(static_cast<int32_t>(size)));
      };
    case svc::kFree:
      return [](uintptr_t block, uintptr_t) -> uint64_t {
        return Free(reinterpret_cast<void*>(block)), 0;
      };
    case svc::kReallocate:
      return [](uintptr_t block, uintptr_t size) -> uint64_t {
        return Address(Reallocate(reinterpret_cast<void*>(block), static_cast<int32_t>(size)));
      };
    case svc::kFatalError:
      return [](uintptr_t text, uintptr_t) -> uint64_t {
        FatalError(reinterpret_cast<const char*>(text), 0);
      };
    case svc::kExitProgram:
      return [](uintptr_t code, uintptr_t) -> uint64_t { ExitProgram(static_cast<int32_t>(code)); };
    case svc::kHeaderWord0: return [](uintptr_t, uintptr_t) -> uint64_t { return HeaderWord(0); };
    // Until the form framework is installed no unit is loaded.
    case svc::kFindUnitOrFail:
      return [](uintptr_t, uintptr_t) -> uint64_t { FatalError(msg::kUnitNotLoaded, 0); };
    default: return nullptr;
  }
}

struct HandlerTable {
  ServiceHandler low[kBlockSize] = {};   // 1000..1063
  ServiceHandler high[kBlockSize] = {};  // 2000..2063
  HandlerTable() {
    for (uint32_t i = 0; i < kBlockSize; ++i) {
      low[i] = RuntimeHandler(1000 + i);
      high[i] = RuntimeHandler(2000 + i);
    }
  }
  ServiceHandler* Slot(uint32_t code) {
    if (code >= 1000 && code < 1000 + kBlockSize) return &low[code - 1000];
    if (code >= 2000 && code < 2000 + kBlockSize) return &high[code - 2000];
    return nullptr;
  }
};

HandlerTable& Handlers() {
  static HandlerTable table;
  return table;
}

}  // namespace

uint64_t Service(uint32_t code, uintptr_t arg1, uintptr_t arg2) {
  ServiceHandler* slot = Handlers().Slot(code);
  return slot && *slot ? (*slot)(arg1, arg2) : 0;
}

void SetServiceHandler(uint32_t code, ServiceHandler handler) {
  if (ServiceHandler* slot = Handlers().Slot(code)) *slot = handler;
}

}  // namespace rt
