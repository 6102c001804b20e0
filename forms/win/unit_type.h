#pragma once
// A unit type described once: its names, flag word, property table and the
// routines of its interface. TypeRecordOf<Type>() makes the type record
// whose interface function hands out exactly the routines the description
// names, so a type writes no interface switch and no casts of its own.
//
//   constexpr forms::UnitTypeDescription kClockDescription = {
//       "时钟", "Clock", flags, kClockProperties.data(), kClockProperties.size(), &CreateClock,
//       &SetClockProperty, &ClockPropertyData, &GetClockProperty};
//   const rt::UnitTypeRecord& ClockType() { return forms::TypeRecordOf<kClockDescription>(); }

#include <cstddef>
#include <cstdint>

#include "forms/win/unit.h"
#include "runtime/program.h"

namespace forms {

struct UnitTypeDescription {
  const char* name;
  const char* englishName;
  uint32_t flags;  // rt::typeflag bits
  const rt::PropertyInfo* properties;
  size_t propertyCount;
  CreateFn create;
  SetPropertyFn setProperty = nullptr;
  PropertyDataFn propertyData = nullptr;
  GetPropertyFn getProperty = nullptr;
  ListTextsFn listTexts = nullptr;
  IconDataFn iconData = nullptr;
  ClaimsKeyFn claimsKey = nullptr;
  IsDefaultButtonFn isDefaultButton = nullptr;
  PreTranslateFn preTranslate = nullptr;
};

namespace detail {
template <typename Fn>
rt::AnyRoutine AsRoutine(Fn fn) {
  return reinterpret_cast<rt::AnyRoutine>(fn);
}
}  // namespace detail

// The interface function of a described type: the routine of each
// operation the description names, null for the others.
template <const UnitTypeDescription& Type>
rt::AnyRoutine InterfaceOf(int32_t operation) {
  using detail::AsRoutine;
  switch (operation) {
    case op::kCreate: return AsRoutine(Type.create);
    case op::kSetProperty: return AsRoutine(Type.setProperty);
    case op::kPropertyData: return AsRoutine(Type.propertyData);
    case op::kGetProperty: return AsRoutine(Type.getProperty);
    case op::kIconData: return AsRoutine(Type.iconData);
    case op::kClaimsKey: return AsRoutine(Type.claimsKey);
    case op::kListTexts: return AsRoutine(Type.listTexts);
    case op::kIsDefaultButton: return AsRoutine(Type.isDefaultButton);
    case op::kPreTranslate: return AsRoutine(Type.preTranslate);
    default: return nullptr;
  }
}

// The type record of a described type (the words the runtime keeps as
// given are zero), made once.
template <const UnitTypeDescription& Type>
const rt::UnitTypeRecord& TypeRecordOf() {
  static const rt::UnitTypeRecord type = [] {
    rt::UnitTypeRecord t{};
    t.name = Type.name;
    t.englishName = Type.englishName;
    t.flags = Type.flags;
    t.propertyCount = static_cast<uint32_t>(Type.propertyCount);
    t.properties = Type.properties;
    t.interfaceFn = InterfaceOf<Type>;
    return t;
  }();
  return type;
}

}  // namespace forms
