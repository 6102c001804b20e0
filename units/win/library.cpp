#include "units/win/library.h"

#include "units/common_properties.h"
#include "units/win/button.h"
#include "units/win/label.h"
#include "units/win/listbox.h"
#include "units/win/range_units.h"
#include "units/win/timer.h"
#include "units/win/window.h"

namespace units {

namespace {

rt::ServiceEntry serviceEntry = nullptr;

// Requests of units and commands that this program does not have (codes 2
// and 10 to 13): answered with 0, and nothing is done.
constexpr bool IsRequestOfAbsentUnits(int32_t code) {
  return code == 2 || (code >= 10 && code <= 13);
}

// Code 1 hands over the service entry; any other code is refused with -1.
intptr_t CoreNotify(int32_t code, uintptr_t arg1, uintptr_t) {
  if (code == rt::kNotifyStart) {
    serviceEntry = reinterpret_cast<rt::ServiceEntry>(arg1);
    return 0;
  }
  return IsRequestOfAbsentUnits(code) ? 0 : -1;
}

const rt::PropertyInfo kMenuProperties[] = {
    {"标题", "Caption", nullptr, 1005, nullptr},
    {"选中", "Checked", nullptr, 1003, nullptr},
    {"禁止", "Disabled", nullptr, 1003, nullptr},
    {"可视", "Visible", nullptr, 1003, nullptr},
};

// The core commands come with their own unit of work; until then their
// slots are null and the table keeps its length.
const rt::CommandFn kCommands[kCoreCommandCount] = {};

rt::LibraryDescriptor MakeLibrary() {
  static rt::UnitTypeRecord types[kCoreTypeSlots] = {};
  types[kWindowTypeNumber - 1] = WindowType();
  types[kMenuTypeNumber - 1] = MenuType();
  types[kLabelTypeNumber - 1] = LabelType();
  types[kButtonTypeNumber - 1] = ButtonType();
  types[kListBoxTypeNumber - 1] = ListBoxType();
  types[kHScrollBarTypeNumber - 1] = HScrollBarType();
  types[kSliderBarTypeNumber - 1] = SliderBarType();
  types[kTimerTypeNumber - 1] = TimerType();
  rt::LibraryDescriptor d{};
  d.formatMarker = rt::kLibraryFormatMarker;
  d.identity = "A8ACA3C9705D4AA7B878812E42A17BEE";
  d.versionMajor = 5;
  d.versionMinor = 0;
  d.versionBuild = 64;
  d.versionWords[0] = 3;
  d.versionWords[2] = 3;
  d.displayName = "系统核心支持库";
  d.alwaysOne = 1;
  d.flags = 0xC0000001;
  d.typeCount = kCoreTypeSlots;
  d.types = types;
  d.commandCount = kCoreCommandCount;
  d.commands = kCommands;
  d.notify = CoreNotify;
  return d;
}

}  // namespace

const rt::UnitTypeRecord& MenuType() {
  static const rt::UnitTypeRecord type = MakeUnitType(
      "菜单", "menu", rt::typeflag::kAlwaysSet | rt::typeflag::kMenu, 4, kMenuProperties, nullptr);
  return type;
}

const rt::LibraryDescriptor& CoreLibrary() {
  static const rt::LibraryDescriptor library = MakeLibrary();
  return library;
}

rt::ServiceEntry CoreServiceEntry() { return serviceEntry; }

}  // namespace units
