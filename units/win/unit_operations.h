#pragma once
// The set, get and property-data operations of a unit type whose object
// class has SetProperty, GetProperty and values(), as interface routines.

#include <cstdint>
#include <vector>

#include "forms/property_block.h"
#include "forms/win/unit.h"
#include "runtime/program.h"

namespace units {

template <typename Object>
int32_t SetPropertyOf(forms::UnitObject* unit, int32_t number, rt::PropValue* value) {
  static_cast<Object*>(unit)->SetProperty(number, *value);
  return 0;
}

template <typename Object>
bool GetPropertyOf(forms::UnitObject* unit, int32_t number, rt::PropValue* value) {
  return static_cast<Object*>(unit)->GetProperty(number, *value);
}

template <typename Object>
std::vector<uint8_t> PropertyDataOf(forms::UnitObject* unit) {
  return forms::WriteBlock(static_cast<Object*>(unit)->values());
}

}  // namespace units
