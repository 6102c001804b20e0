#pragma once
// The `CartoonObject` unit (type 9 of the extended UI library 2): a template
// that is never shown at run time. It keeps its properties, the font made
// from `font` and its loaded FrameImage; the box copies them into live
// objects (Settings).

#include <windows.h>

#include <cstdint>

#include "extunits/cartoon/scene.h"
#include "extunits/picture/frame_image.h"
#include "forms/property_block.h"
#include "forms/win/unit.h"
#include "runtime/program.h"
#include "runtime/win/handles.h"

namespace cartoon {

inline constexpr uint32_t kCartoonObjectTypeNumber = 9;
inline constexpr uint32_t kCartoonObjectTypeCode = 0x00020009;

const rt::UnitTypeRecord& CartoonObjectType();

class CartoonObjectUnit : public forms::UnitObject {
 public:
  CartoonObjectUnit(uint32_t formId, uint32_t unitId, forms::PropertyValues values);

  const forms::PropertyValues& values() const { return values_; }
  int32_t Int(size_t field) const;  // a field of extunits::cartoonobjectfield
  const ext::FrameImage& image() const { return image_; }
  // A live object's settings as this template has them now.
  ObjectSettings Settings() const;

  void SetProperty(int32_t number, const rt::PropValue& value);
  bool GetProperty(int32_t number, rt::PropValue& value) const;
  // Makes the font of a 60-byte `font` block (else none) and the image.
  void Prepare();

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void MakeFont();
  void BuildImage();

  forms::PropertyValues values_;
  rt::GdiFont font_;
  ext::FrameImage image_;
};

}  // namespace cartoon
