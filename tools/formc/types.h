#pragma once
// The unit types a form source may name: every type with a property block
// description, the menu type, and any other type given by its hex code.

#include <cstdint>
#include <string_view>

#include "forms/property_block.h"

namespace formc {

struct UnitType {
  uint32_t code = 0;
  const char* name = nullptr;                  // null for a type known only by its code
  const forms::BlockLayout* layout = nullptr;  // null: no description (raw fields only)
};

// By type table name (exact) or by code ("0x0001000B"); false when neither.
bool FindType(std::string_view nameOrCode, UnitType& type);

}  // namespace formc
