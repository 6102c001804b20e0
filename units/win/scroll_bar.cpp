// The horizontal scroll bar unit, and what it shares with the slider: the
// stored values and the focus events.

#include <utility>

#include "forms/win/unit_type.h"
#include "forms/events.h"
#include "units/blocks.h"
#include "units/common_properties.h"
#include "units/range_rules.h"
#include "units/win/range_units.h"
#include "units/window_rules.h"

namespace units {

namespace sp = scrollprop;

// ---- Both range units ----------------------------------------------------------------------

RangeUnitObject::RangeUnitObject(uint32_t formId, uint32_t unitId, forms::PropertyValues values)
    : UnitObject(formId, unitId), values_(std::move(values)) {}

LRESULT RangeUnitObject::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallOriginalRaisingFocus(message, wParam, lParam);
}

// ---- The scroll bar -------------------------------------------------------------------------

bool ScrollBarObject::CreateControl(const forms::CreateRequest& r) {
  HWND control = AttachingCreate(
      0, "SCROLLBAR", nullptr, r.style | WS_CHILD | WS_CLIPSIBLINGS | SBS_HORZ, r.left, r.top,
      r.width, r.height, r.parent, reinterpret_cast<HMENU>(static_cast<uintptr_t>(r.controlId)));
  if (control == nullptr) return false;
  SendRange();
  ShowPosition();
  return true;
}

void ScrollBarObject::SendRange() {
  const Range range = SortedRange(Int(sp::kMinimum), Int(sp::kMaximum));
  ::SetScrollRange(hwnd(), SB_CTL, range.low, range.high, TRUE);
}

void ScrollBarObject::ShowPosition() {
  ::SetScrollPos(hwnd(), SB_CTL,
                 ShownPosition(Int(sp::kMinimum), Int(sp::kMaximum), Int(sp::kPosition)), TRUE);
}

void ScrollBarObject::SetProperty(int32_t number, int32_t value) {
  value = StoredScrollBarValue(number, value);
  switch (number) {
    case sp::kMinimum:
    case sp::kMaximum:
      Store(number, value);
      SendRange();
      break;
    case sp::kPageChange:
    case sp::kLineChange: Store(number, value); break;
    case sp::kPosition: {
      Store(number, value);
      // Setting the position can enable the control again; a disabled one stays disabled.
      const bool enabled = ::IsWindowEnabled(hwnd()) != FALSE;
      ShowPosition();
      if (!enabled) ::EnableWindow(hwnd(), FALSE);
      break;
    }
    case sp::kTrackDrag: Store(number, value); break;
    default: break;
  }
}

bool ScrollBarObject::Reflected(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message != WM_HSCROLL) return false;
  Scrolled(LOWORD(wParam), HIWORD(wParam));
  result = 0;
  return true;
}

void ScrollBarObject::Scrolled(int32_t code, int32_t thumb) {
  if (code == SB_ENDSCROLL) return;
  int low = 0, high = 0;
  ::GetScrollRange(hwnd(), SB_CTL, &low, &high);
  const ScrollSteps steps{Int(sp::kPosition), Int(sp::kLineChange), Int(sp::kPageChange),
                          Int(sp::kTrackDrag) != 0};
  const std::optional<int32_t> moved = ScrolledPosition(steps, code, thumb, {low, high});
  if (!moved) return;
  Store(sp::kPosition, *moved);
  ::SetScrollPos(hwnd(), SB_CTL, *moved, TRUE);
  forms::RaiseWordEvent(formId(), unitId(), forms::event::kMain);
}

// ---- The type ------------------------------------------------------------------------------

namespace {

forms::UnitObject* CreateScrollBar(const forms::CreateRequest& r) {
  forms::PropertyValues values(kHScrollBarBlock);
  if (forms::ReadBlock(r.data, r.length, values, kScrollBarClamps) != forms::BlockStatus::kOk) {
    return nullptr;
  }
  auto* unit = new ScrollBarObject(r.formId, r.unitId, std::move(values));
  if (unit->CreateControl(r)) return unit;
  delete unit;
  return nullptr;
}

int32_t SetScrollBarProperty(forms::UnitObject* unit, int32_t number, rt::PropValue* value) {
  static_cast<ScrollBarObject*>(unit)->SetProperty(number, static_cast<int32_t>(value->value));
  return 0;
}

bool GetScrollBarProperty(forms::UnitObject* unit, int32_t number, rt::PropValue* value) {
  if (number < 0 || number >= sp::kCount) return false;
  *value = {static_cast<uint32_t>(static_cast<ScrollBarObject*>(unit)->Int(number)), 0};
  return true;
}

std::vector<uint8_t> ScrollBarPropertyData(forms::UnitObject* unit) {
  return forms::WriteBlock(static_cast<ScrollBarObject*>(unit)->values());
}

constexpr uint32_t kInt = rt::proptype::kInteger, kBool = rt::proptype::kLogical;

const rt::PropertyInfo kScrollBarOwnProperties[sp::kCount] = {
    {"最小位置", "Minimum", nullptr, kInt, nullptr},
    {"最大位置", "Maximum", nullptr, kInt, nullptr},
    {"页改变值", "PageChange", nullptr, kInt, nullptr},
    {"行改变值", "LineChange", nullptr, kInt, nullptr},
    {"位置", "Position", nullptr, kInt, nullptr},
    {"允许拖动跟踪", "TrackDrag", nullptr, kBool, nullptr},
};
constexpr auto kScrollBarProperties = WithCommonProperties(kScrollBarOwnProperties);

namespace tf = rt::typeflag;
constexpr forms::UnitTypeDescription kScrollBarDescription = {
    "横向滚动条",
    "HScrollBar",
    tf::kAlwaysSet | tf::kScrollBarMark | tf::kWindowUnit,
    kScrollBarProperties.data(),
    kScrollBarProperties.size(),
    &CreateScrollBar,
    &SetScrollBarProperty,
    &ScrollBarPropertyData,
    &GetScrollBarProperty};

}  // namespace

const rt::UnitTypeRecord& HScrollBarType() { return forms::TypeRecordOf<kScrollBarDescription>(); }

}  // namespace units
