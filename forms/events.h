#pragma once
// Event records a unit fills to raise an event (services 2008 and 2031), and
// small helpers that do it.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>

#include "runtime/value.h"

namespace forms {

// Event numbers. What a positive number means depends on the unit type; the
// negative ones are common to every unit with a window.
namespace event {
// A unit's main event: a click, a timer tick, a label's feedback, a move.
inline constexpr int32_t kMain = 0;
// A list box's second event: a double click on a row.
inline constexpr int32_t kDoubleClick = 1;
// The form's own window unit.
inline constexpr int32_t kLoaded = 0;
inline constexpr int32_t kQueryClose = 1;
inline constexpr int32_t kDestroyed = 2;
inline constexpr int32_t kMoved = 3;
inline constexpr int32_t kResized = 4;
inline constexpr int32_t kActivated = 5;
inline constexpr int32_t kDeactivated = 6;
inline constexpr int32_t kIdle = 7;
inline constexpr int32_t kFirstActivation = 8;
inline constexpr int32_t kTrayIcon = 9;
inline constexpr int32_t kShown = 10;
inline constexpr int32_t kHidden = 11;
// Common events.
inline constexpr int32_t kLeftDown = -1;
inline constexpr int32_t kLeftUp = -2;
inline constexpr int32_t kLeftDoubleClick = -3;
inline constexpr int32_t kRightDown = -4;
inline constexpr int32_t kRightUp = -5;
inline constexpr int32_t kMouseMove = -6;
inline constexpr int32_t kFocusGained = -7;
inline constexpr int32_t kFocusLost = -8;
inline constexpr int32_t kKeyDown = -9;
inline constexpr int32_t kKeyUp = -10;
inline constexpr int32_t kCharacter = -11;
inline constexpr int32_t kWheel = -12;
}  // namespace event

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
// The same with `count` words at `args` (at most five are handed on).
std::optional<uint64_t> RaiseWordEvent(uint32_t formId, uint32_t unitId, int32_t event,
                                       const uintptr_t* args, size_t count);

}  // namespace forms
