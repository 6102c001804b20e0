#pragma once
// The core library's `Label` unit (type number 10): a self-painted child
// window showing a colour, picture or gradient background, an optional
// gradient frame and its caption with an optional relief or shadow. It also
// carries the cross-thread hand-off: message 0x8075 raises its event 0.

#include <windows.h>

#include <cstdint>
#include <string>

#include "forms/property_block.h"
#include "forms/win/unit.h"
#include "runtime/program.h"
#include "runtime/win/handles.h"
#include "units/label_paint.h"

namespace units {

inline constexpr uint32_t kLabelTypeNumber = 10;
inline constexpr uint32_t kLabelTypeCode = 0x0001000A;
inline constexpr UINT kMsgFeedback = 0x8075;

// The type record, for slot 10 of the core library's type table.
const rt::UnitTypeRecord& LabelType();

// Fills `box` with gradient mode 1..8 over `colours` (at least two), in
// 50 x 50 tiles cut down to the DC's clip box.
void FillGradient(HDC dc, int32_t mode, const Box& box, const std::vector<uint32_t>& colours);

std::string WindowTextOf(HWND window);

// Registers a label window class on first use: redrawn whole on resizing,
// double clicks, the arrow cursor and the null brush (nothing erased).
// The name, or null when registering fails.
const char* RegisterLabelClass(const char* name);

// Draws `text` in `rc` on a transparent background: the effect pass first
// (1: white one pixel down-right; 2: white in place, the text one pixel
// down-right; 3: black two pixels down-right), then the text in `colour`.
void DrawEffectText(HDC dc, const std::string& text, RECT rc, UINT flags, int32_t effect,
                    COLORREF colour);

class LabelObject : public forms::UnitObject {
 public:
  LabelObject(uint32_t formId, uint32_t unitId, forms::PropertyValues values);

  const forms::PropertyValues& values() const { return values_; }
  int32_t Int(int32_t ownNumber) const;

  // Set and get by own property number; get is false for an unknown number.
  void SetProperty(int32_t number, const rt::PropValue& value);
  bool GetProperty(int32_t number, rt::PropValue& value) const;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Paint(HDC dc);
  bool DrawFrame(HDC dc, const Box& r);
  bool DrawBackPicture(HDC dc, const Box& r, HRGN remaining);
  void DrawCaption(HDC dc, const Box& r);

  forms::PropertyValues values_;
  rt::GdiBitmap picture_;  // from BackPicture, made on first paint
  bool pictureTried_ = false;
};

}  // namespace units
