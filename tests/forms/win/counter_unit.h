#pragma once
// A unit type written the way a new type is written: this header, its source
// file and one line in the test library's type list. A counter: its `Count`
// property is the one word of its property block, and a click adds one and
// raises event 0 with the new count.

#include <cstdint>

#include "runtime/program.h"

namespace testunits {

constexpr uint32_t kCounter = 0x00070009;  // type number 9 of the test library
const rt::UnitTypeRecord& CounterType();

}  // namespace testunits
