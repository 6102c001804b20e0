#pragma once
// Event records a unit fills to raise an event (services 2008 and 2031), and
// small helpers that do it.

#include <cstdint>
#include <initializer_list>
#include <optional>

#include "runtime/value.h"

namespace forms {

// Word arguments; an address fills one word.
struct WordEvent {
  uint32_t formId = 0;
  uint32_t unitId = 0;  // 0: the form's window unit
  int32_t event = 0;
  int32_t argCount = 0;
  uintptr_t args[5] = {};
  int32_t hasResult = 0;
  uint64_t result = 0;
};

// Typed arguments, each widened by its type when handed to the routine.
struct TypedEvent {
  uint32_t formId = 0;
  uint32_t unitId = 0;
  int32_t event = 0;
  int32_t argCount = 0;
  rt::EventArg args[12] = {};
  int32_t hasResult = 0;
  uint32_t resultLow = 0;
  uint32_t resultHigh = 0;
};

// Raises an event with word arguments through the service entry; the
// handler's result when it ran and returned one.
std::optional<uint64_t> RaiseWordEvent(uint32_t formId, uint32_t unitId, int32_t event,
                                       std::initializer_list<uintptr_t> args = {});

}  // namespace forms
