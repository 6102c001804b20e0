#pragma once
// The transparent label (`TransLabel`, type number 5 of the extended UI
// library 1): a child window with no background of its own. Whatever lies
// beneath shows through: the window is WS_EX_TRANSPARENT, its class brush is
// the null brush, and before it paints its glyphs it makes the windows
// beneath repaint its area (Refresh).

#include <windows.h>

#include <cstdint>

#include "forms/property_block.h"
#include "forms/win/unit.h"
#include "runtime/program.h"

namespace translabel {

inline constexpr uint32_t kTransLabelTypeNumber = 5;
inline constexpr uint32_t kTransLabelTypeCode = 0x00040005;

// The type record, for slot 5 of the extended UI library 1.
const rt::UnitTypeRecord& TransLabelType();

class TransLabelObject : public forms::UnitObject {
 public:
  TransLabelObject(uint32_t formId, uint32_t unitId, forms::PropertyValues values);

  const forms::PropertyValues& values() const { return values_; }

  // By own property number; every write ends with Refresh, even one of an
  // unknown number. Get is false for an unknown number.
  void SetProperty(int32_t number, const rt::PropValue& value);
  bool GetProperty(int32_t number, rt::PropValue& value) const;

  // Repaints what lies beneath the label (its top window, then every
  // visible window it overlaps, last in the depth-first list first), then
  // invalidates the label itself so its text goes on top.
  void Refresh();

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Paint(HDC dc);

  forms::PropertyValues values_;
};

}  // namespace translabel
