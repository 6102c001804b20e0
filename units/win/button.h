#pragma once
// The core library's `Button` unit (type number 11): a standard push button
// ("BUTTON") showing its caption or a picture. A click (BN_CLICKED, reflected
// from the form window) raises event 0; focus changes raise -7 and -8. The
// unit owns the control's font and the icon or bitmap it shows.

#include <windows.h>

#include <cstdint>

#include "forms/property_block.h"
#include "forms/win/unit.h"
#include "runtime/program.h"
#include "runtime/win/handles.h"

namespace units {

inline constexpr uint32_t kButtonTypeNumber = 11;
inline constexpr uint32_t kButtonTypeCode = 0x0001000B;

// Own property numbers (overall number - 8).
namespace buttonprop {
enum : int32_t { kPicture, kDefaultButton, kCaption, kAlignment, kVertAlignment, kFont, kCount };
}  // namespace buttonprop

// The type record, for slot 11 of the core library's type table.
const rt::UnitTypeRecord& ButtonType();

// The button style of the stored properties, without the framework's bits
// and without the picture bits.
uint32_t ButtonStyle(int32_t defaultButton, int32_t alignment, int32_t vertAlignment);

class ButtonObject : public forms::UnitObject {
 public:
  ButtonObject(uint32_t formId, uint32_t unitId, forms::PropertyValues values);

  const forms::PropertyValues& values() const { return values_; }
  int32_t Int(int32_t ownNumber) const;
  HICON icon() const { return icon_.get(); }
  HBITMAP bitmap() const { return bitmap_.get(); }

  // Makes the button: the picture, the control, the font and the image.
  bool CreateControl(const forms::CreateRequest& request);
  // Answers 1 when the unit must be re-created (a new `Picture`).
  int32_t SetProperty(int32_t number, const rt::PropValue& value);
  bool GetProperty(int32_t number, rt::PropValue& value) const;
  // The control's button type is BS_DEFPUSHBUTTON.
  bool IsDefault() const;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool Reflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  uint32_t LoadPicture();

  forms::PropertyValues values_;
  rt::GdiFont font_;
  rt::IconHandle icon_;   // an icon or cursor `Picture`
  rt::GdiBitmap bitmap_;  // any other kind of `Picture`
};

}  // namespace units
