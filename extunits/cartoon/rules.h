#pragma once
// The animation units' own property numbers, the stored block field of each,
// and what a set stores (clamps). Portable, shared by the units and tests.

#include <cstddef>
#include <cstdint>

#include "forms/property_block.h"

namespace cartoon {

// CartoonBox own properties (after the common eight); the code names them
// by their block field, extunits::cartoonboxfield.
inline constexpr int32_t kBoxPropertyCount = 13;

inline constexpr int32_t kObjectPropertyCount = 24;  // CartoonObject own properties

// The block field (extunits::cartoonboxfield / cartoonobjectfield) of an own
// property number.
size_t BoxField(int32_t number);
size_t ObjectField(int32_t number);

// The value an integer property stores when set to `value`.
int32_t StoredBoxField(int32_t field, int32_t value);     // by block field
int32_t StoredObjectField(int32_t field, int32_t value);  // by block field

// The same clamps, for loading a block.
extern const forms::IntClamps kBoxClamps;
extern const forms::IntClamps kObjectClamps;

}  // namespace cartoon
