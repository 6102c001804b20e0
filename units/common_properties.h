#pragma once
// The property table of a unit type with a window lists the eight common
// properties first (the framework keeps their values), then the type's own.

#include <array>
#include <cstddef>

#include "runtime/program.h"

namespace units {

inline constexpr size_t kCommonPropertyCount = 8;

inline constexpr rt::PropertyInfo kCommonProperties[kCommonPropertyCount] = {
    {"左边", "left", nullptr, rt::proptype::kInteger, nullptr},
    {"顶边", "top", nullptr, rt::proptype::kInteger, nullptr},
    {"宽度", "width", nullptr, rt::proptype::kInteger, nullptr},
    {"高度", "height", nullptr, rt::proptype::kInteger, nullptr},
    {"标记", "tag", nullptr, rt::proptype::kText, nullptr},
    {"可视", "visible", nullptr, rt::proptype::kLogical, nullptr},
    {"禁止", "disable", nullptr, rt::proptype::kLogical, nullptr},
    {"鼠标指针", "MousePointer", nullptr, rt::proptype::kCursor, nullptr},
};

// The common properties followed by a type's own.
template <size_t N>
constexpr std::array<rt::PropertyInfo, kCommonPropertyCount + N> WithCommonProperties(
    const rt::PropertyInfo (&own)[N]) {
  std::array<rt::PropertyInfo, kCommonPropertyCount + N> table{};
  for (size_t i = 0; i < kCommonPropertyCount; ++i) table[i] = kCommonProperties[i];
  for (size_t i = 0; i < N; ++i) table[kCommonPropertyCount + i] = own[i];
  return table;
}

// A unit type's record: names, flags, property table and interface function;
// the words the runtime keeps as given are zero.
inline rt::UnitTypeRecord MakeUnitType(const char* name, const char* englishName, uint32_t flags,
                                       uint32_t propertyCount, const rt::PropertyInfo* properties,
                                       rt::InterfaceFn interfaceFn) {
  rt::UnitTypeRecord type{};
  type.name = name;
  type.englishName = englishName;
  type.flags = flags;
  type.propertyCount = propertyCount;
  type.properties = properties;
  type.interfaceFn = interfaceFn;
  return type;
}

}  // namespace units
