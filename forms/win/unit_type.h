#pragma once
// A unit type described once: its names, flag word, property table and the
// routines of its interface. TypeRecordOf<Spec>() makes the type record
// whose interface function hands out exactly the routines the description
// names, so a type writes no interface switch and no casts of its own.
//
//   constexpr forms::UnitTypeSpec kClockSpec = {
//       "时钟", "Clock", flags, kClockProperties.data(), kClockProperties.size(), &CreateClock,
//       &SetClockProperty, &ClockPropertyData, &GetClockProperty};
//   const rt::UnitTypeRecord& ClockType() { return forms::TypeRecordOf<kClockSpec>(); }

#include <cstddef>
#include <cstdint>

#include "forms/win/unit.h"
#include "runtime/program.h"

namespace forms {

struct UnitTypeSpec {
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
template <const UnitTypeSpec& Spec>
rt::AnyRoutine InterfaceOf(int32_t operation) {
  using detail::AsRoutine;
  switch (operation) {
    case op::kCreate: return AsRoutine(Spec.create);
    case op::kSetProperty: return AsRoutine(Spec.setProperty);
    case op::kPropertyData: return AsRoutine(Spec.propertyData);
    case op::kGetProperty: return AsRoutine(Spec.getProperty);
    case op::kIconData: return AsRoutine(Spec.iconData);
    case op::kClaimsKey: return AsRoutine(Spec.claimsKey);
    case op::kListTexts: return AsRoutine(Spec.listTexts);
    case op::kIsDefaultButton: return AsRoutine(Spec.isDefaultButton);
    case op::kPreTranslate: return AsRoutine(Spec.preTranslate);
    default: return nullptr;
  }
}

// The type record of a described type (the words the runtime keeps as
// given are zero), made once.
template <const UnitTypeSpec& Spec>
const rt::UnitTypeRecord& TypeRecordOf() {
  static const rt::UnitTypeRecord type = [] {
    rt::UnitTypeRecord t{};
    t.name = Spec.name;
    t.englishName = Spec.englishName;
    t.flags = Spec.flags;
    t.propertyCount = static_cast<uint32_t>(Spec.propertyCount);
    t.properties = Spec.properties;
    t.interfaceFn = InterfaceOf<Spec>;
    return t;
  }();
  return type;
}

}  // namespace forms
