#pragma once
// The core library's range units: `HScrollBar` (type number 17), a
// horizontal scroll bar control, and `SliderBar` (type number 20), a track
// bar control. Both keep range and position as plain stored numbers, show
// the position clamped into the range, and raise event 0 only when the user
// moves them; the arithmetic is in units/range_rules.h.

#include <windows.h>

#include <cstdint>

#include "forms/property_block.h"
#include "forms/win/unit.h"
#include "runtime/program.h"
#include "units/blocks.h"

namespace units {

inline constexpr uint32_t kHScrollBarTypeNumber = 17;
inline constexpr uint32_t kHScrollBarTypeCode = 0x00010011;
inline constexpr uint32_t kSliderBarTypeNumber = 20;
inline constexpr uint32_t kSliderBarTypeCode = 0x00010014;

// The type records, for slots 17 and 20 of the core library's type table.
const rt::UnitTypeRecord& HScrollBarType();
const rt::UnitTypeRecord& SliderBarType();

// Own property numbers (overall number - 8) are the blocks' field positions.
namespace scrollprop {
using namespace hscrollbarfield;
inline constexpr int32_t kCount = 6;
}  // namespace scrollprop

namespace sliderprop {
using namespace sliderbarfield;
inline constexpr int32_t kCount = 12;
}  // namespace sliderprop

// What both range units share: the stored values, and the focus events
// (-7 and -8) raised after the control has handled the focus change.
class RangeUnitObject : public forms::UnitObject {
 public:
  RangeUnitObject(uint32_t formId, uint32_t unitId, forms::PropertyValues values);

  const forms::PropertyValues& values() const { return values_; }
  int32_t Int(int32_t number) const { return values_.Int(static_cast<size_t>(number)); }

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  void Store(int32_t number, int32_t value) { values_.SetInt(static_cast<size_t>(number), value); }
  LRESULT SendToControl(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageA(hwnd(), message, wParam, lParam);
  }

 private:
  forms::PropertyValues values_;
};

class ScrollBarObject : public RangeUnitObject {
 public:
  using RangeUnitObject::RangeUnitObject;

  bool CreateControl(const forms::CreateRequest& request);
  void SetProperty(int32_t number, int32_t value);
  bool Reflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void SendRange();
  void ShowPosition();
  void Scrolled(int32_t code, int32_t thumb);
};

class SliderObject : public RangeUnitObject {
 public:
  using RangeUnitObject::RangeUnitObject;

  bool CreateControl(const forms::CreateRequest& request);
  // Answers 1 when the control must be re-created.
  int32_t SetProperty(int32_t number, int32_t value);
  bool GetProperty(int32_t number, rt::PropValue& value) const;
  bool Reflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void SendRange();
  void SendSteps();
  void SendSelection();
  int32_t Step(int32_t number) const;
  // Whether the control redraws as a value changes: not before it is on the
  // screen, where it is drawn whole when it shows.
  WPARAM Redraw() const { return ::IsWindowVisible(hwnd()) ? TRUE : FALSE; }
};

}  // namespace units
