#pragma once
// The core library (index 0 of the program's library table, "系统核心支持库",
// version 5.0 build 64): 51 type slots with `window` 1, `menu` 3, `Label` 10,
// `Button` 11, `ListBox` 15, `HScrollBar` 17, `SliderBar` 20 and `Timer` 32,
// and 14 command slots. Slots of types and commands not built yet are empty:
// an all-zero type record, a null command.

#include <cstdint>

#include "runtime/program.h"

namespace units {

inline constexpr uint32_t kCoreTypeSlots = 51;
inline constexpr uint32_t kCoreCommandCount = 14;
inline constexpr uint32_t kMenuTypeNumber = 3;

const rt::LibraryDescriptor& CoreLibrary();

// The menu item type: no interface function, menu items have no object.
const rt::UnitTypeRecord& MenuType();

// The service entry the runtime handed over with notify code 1 (null before).
rt::ServiceEntry CoreServiceEntry();

}  // namespace units
