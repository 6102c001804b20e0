// The slider unit: a track bar whose range, steps, ticks and selection come
// from the stored values.

#include <windows.h>

#include <commctrl.h>

#include <utility>

#include "forms/win/unit_type.h"
#include "forms/events.h"
#include "units/blocks.h"
#include "units/common_properties.h"
#include "units/range_rules.h"
#include "units/win/control_style.h"
#include "units/win/range_units.h"
#include "units/window_rules.h"

namespace units {

namespace sl = sliderprop;

bool SliderObject::CreateControl(const forms::CreateRequest& r) {
  ::InitCommonControls();
  const uint32_t style = r.style | SliderStyle(Int(sl::kOrientation), Int(sl::kTickStyle),
                                               Int(sl::kSelectionEnabled) != 0);
  const BorderStyles border = StylesOfBorder(Int(sl::kBorderStyle));
  HWND control = AttachingCreate(border.exStyle, TRACKBAR_CLASSA, nullptr, style | border.style,
                                 r.left, r.top, r.width, r.height, r.parent,
                                 reinterpret_cast<HMENU>(static_cast<uintptr_t>(r.controlId)));
  if (control == nullptr) return false;
  SendRange();
  SendToControl(TBM_SETPOS, Redraw(),
                ShownPosition(Int(sl::kMinimum), Int(sl::kMaximum), Int(sl::kPosition)));
  SendSteps();
  if (Int(sl::kSelectionEnabled)) SendSelection();
  ApplyBorder(control, Int(sl::kBorderStyle));
  return true;
}

void SliderObject::SendRange() {
  const Range range = SortedRange(Int(sl::kMinimum), Int(sl::kMaximum));
  SendToControl(TBM_SETRANGEMIN, Redraw(), range.low);
  SendToControl(TBM_SETRANGEMAX, Redraw(), range.high);
}

int32_t SliderObject::Step(int32_t number) const {
  return StepSize(Int(sl::kMinimum), Int(sl::kMaximum), Int(number));
}

void SliderObject::SendSteps() {
  SendToControl(TBM_SETLINESIZE, 0, Step(sl::kLineSize));
  SendToControl(TBM_SETPAGESIZE, 0, Step(sl::kPageSize));
  SendToControl(TBM_SETTICFREQ, static_cast<WPARAM>(Step(sl::kTickFrequency)), 0);
}

void SliderObject::SendSelection() {
  const Range ends = SelectionEnds(Int(sl::kMinimum), Int(sl::kMaximum), Int(sl::kSelectionStart),
                                   Int(sl::kSelectionLength));
  SendToControl(TBM_SETSELSTART, FALSE, ends.low);
  SendToControl(TBM_SETSELEND, FALSE, ends.high);
}

int32_t SliderObject::SetProperty(int32_t number, int32_t value) {
  value = StoredSliderValue(number, value);
  switch (number) {
    case sl::kBorderStyle:
      Store(number, value);
      ApplyBorder(hwnd(), Int(number));
      return 0;
    case sl::kOrientation:
    case sl::kTickStyle:
    case sl::kSelectionEnabled:
      if (value == Int(number)) return 0;
      Store(number, value);
      return 1;
    case sl::kSelectionStart:
    case sl::kSelectionLength:
      Store(number, value);
      if (Int(sl::kSelectionEnabled)) {
        SendSelection();
        ::InvalidateRect(hwnd(), nullptr, TRUE);
      }
      return 0;
    case sl::kTickFrequency:
    case sl::kPageSize:
    case sl::kLineSize: Store(number, value); break;
    case sl::kMinimum:
    case sl::kMaximum:
      Store(number, value);
      SendRange();  // the position and the selection are not sent again
      return 0;
    case sl::kPosition:
      Store(number, value);
      SendToControl(TBM_SETPOS, TRUE,
                    ShownPosition(Int(sl::kMinimum), Int(sl::kMaximum), Int(number)));
      return 0;
    default: return 0;
  }
  SendSteps();
  return 0;
}

bool SliderObject::GetProperty(int32_t number, rt::PropValue& value) const {
  if (number < 0 || number >= sl::kCount) return false;
  int32_t v = Int(number);
  if (number == sl::kSelectionStart) {
    v = static_cast<int32_t>(SendToControl(TBM_GETSELSTART));
  } else if (number == sl::kSelectionLength) {
    v = static_cast<int32_t>(SendToControl(TBM_GETSELEND) - SendToControl(TBM_GETSELSTART));
  }
  value = {static_cast<uint32_t>(v), 0};
  return true;
}

// Every notification but the end of a drag raises event 0, moved or not.
bool SliderObject::Reflected(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message != WM_HSCROLL && message != WM_VSCROLL) return false;
  if (LOWORD(wParam) != kTrackBarEndTrack) {
    Store(sl::kPosition, static_cast<int32_t>(SendToControl(TBM_GETPOS)));
    forms::RaiseWordEvent(formId(), unitId(), 0);
  }
  result = 0;
  return true;
}

// ---- The type ------------------------------------------------------------------------------

namespace {

forms::UnitObject* CreateSlider(const forms::CreateRequest& r) {
  forms::PropertyValues values(kSliderBarBlock);
  if (forms::ReadBlock(r.data, r.length, values, kSliderClamps) != forms::BlockStatus::kOk) {
    return nullptr;
  }
  auto* unit = new SliderObject(r.formId, r.unitId, std::move(values));
  if (unit->CreateControl(r)) return unit;
  delete unit;
  return nullptr;
}

int32_t SetSliderProperty(forms::UnitObject* unit, int32_t number, rt::PropValue* value) {
  return static_cast<SliderObject*>(unit)->SetProperty(number, static_cast<int32_t>(value->value));
}

bool GetSliderProperty(forms::UnitObject* unit, int32_t number, rt::PropValue* value) {
  return static_cast<SliderObject*>(unit)->GetProperty(number, *value);
}

std::vector<uint8_t> SliderPropertyData(forms::UnitObject* unit) {
  return forms::WriteBlock(static_cast<SliderObject*>(unit)->values());
}

constexpr uint32_t kInt = rt::proptype::kInteger, kBool = rt::proptype::kLogical;

const rt::PropertyInfo kSliderOwnProperties[sl::kCount] = {
    {"边框", "BorderStyle", nullptr, kInt, nullptr},
    {"方向", "Orientation", nullptr, kInt, nullptr},
    {"刻度类型", "TickStyle", nullptr, kInt, nullptr},
    {"单位刻度值", "TickFrequency", nullptr, kInt, nullptr},
    {"允许选择", "SelectionEnabled", nullptr, kBool, nullptr},
    {"选择始位置", "SelectionStart", nullptr, kInt, nullptr},
    {"选择长度", "SelectionLength", nullptr, kInt, nullptr},
    {"页改变值", "PageSize", nullptr, kInt, nullptr},
    {"行改变值", "LineSize", nullptr, kInt, nullptr},
    {"最小位置", "Minimum", nullptr, kInt, nullptr},
    {"最大位置", "Maximum", nullptr, kInt, nullptr},
    {"位置", "Position", nullptr, kInt, nullptr},
};
constexpr auto kSliderProperties = WithCommonProperties(kSliderOwnProperties);

constexpr forms::UnitTypeDescription kSliderDescription = {
    "滑块条",
    "SliderBar",
    rt::typeflag::kAlwaysSet | rt::typeflag::kWindowUnit,
    kSliderProperties.data(),
    kSliderProperties.size(),
    &CreateSlider,
    &SetSliderProperty,
    &SliderPropertyData,
    &GetSliderProperty};

}  // namespace

const rt::UnitTypeRecord& SliderBarType() { return forms::TypeRecordOf<kSliderDescription>(); }

}  // namespace units
