// The Button unit: its type record and interface, creation with its picture,
// properties, the click and the focus events.

#include "forms/win/unit_type.h"
#include "units/win/button.h"

#include <string>
#include <utility>
#include <vector>

#include "forms/events.h"
#include "runtime/win/icons.h"
#include "units/blocks.h"
#include "units/common_properties.h"
#include "units/control_texts.h"
#include "units/win/control_style.h"
#include "units/win/picture_bitmap.h"
#include "units/win/prop_value.h"
#include "units/window_rules.h"

namespace units {

namespace bf = buttonfield;
namespace bp = buttonprop;

namespace {

constexpr size_t kFieldOf[bp::kCount] = {bf::kPicture,   bf::kDefaultButton, bf::kCaption,
                                         bf::kAlignment, bf::kVertAlignment, bf::kFont};
constexpr uint32_t kHorizontal[3] = {BS_LEFT, BS_CENTER, BS_RIGHT};
constexpr uint32_t kVertical[3] = {BS_TOP, BS_VCENTER, BS_BOTTOM};
constexpr uint32_t kButtonTypeMask = 0x1F;

}  // namespace

uint32_t ButtonStyle(int32_t defaultButton, int32_t alignment, int32_t vertAlignment) {
  return WS_CHILD | WS_CLIPSIBLINGS | BS_MULTILINE | (defaultButton == 1 ? BS_DEFPUSHBUTTON : 0) |
         kHorizontal[Clamp(alignment, 0, 2)] | kVertical[Clamp(vertAlignment, 0, 2)];
}

ButtonObject::ButtonObject(uint32_t formId, uint32_t unitId, forms::PropertyValues values)
    : UnitObject(formId, unitId), values_(std::move(values)) {}

int32_t ButtonObject::Int(int32_t number) const { return values_.Int(kFieldOf[number]); }

// An icon or cursor file becomes an icon; any other picture a bitmap made by
// the picture service (it belongs to a higher layer). The style bit of what
// was made, 0 when the bytes give neither: the button then shows its text.
uint32_t ButtonObject::LoadPicture() {
  const std::vector<uint8_t>& bytes = values_.Bytes(bf::kPicture);
  if (bytes.empty()) return 0;
  icon_ = rt::IconFromFile(bytes.data(), bytes.size(), 32);
  if (icon_) return BS_ICON;
  bitmap_ = BitmapFromPicture(bytes);
  return bitmap_ ? BS_BITMAP : 0;
}

bool ButtonObject::CreateControl(const forms::CreateRequest& r) {
  const uint32_t style =
      r.style | ButtonStyle(Int(bp::kDefaultButton), Int(bp::kAlignment), Int(bp::kVertAlignment)) |
      LoadPicture();
  HWND hwnd = AttachingCreate(0, "BUTTON", values_.Text(bf::kCaption).c_str(), style, r.left, r.top,
                              r.width, r.height, r.parent,
                              reinterpret_cast<HMENU>(static_cast<uintptr_t>(r.controlId)));
  if (hwnd == nullptr) return false;
  ApplyFontRule(hwnd, values_.Bytes(bf::kFont), font_);
  if (icon_) {
    ::SendMessageA(hwnd, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon_.get()));
  } else if (bitmap_) {
    ::SendMessageA(hwnd, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap_.get()));
  }
  return true;
}

int32_t ButtonObject::SetProperty(int32_t number, const rt::PropValue& value) {
  const auto v = static_cast<int32_t>(value.value);
  switch (number) {
    case bp::kPicture: values_.SetBytes(bf::kPicture, BytesOf(value)); return 1;
    case bp::kCaption: {
      const std::string text = TextOf(value);
      values_.SetText(bf::kCaption, text);
      ::SetWindowTextA(hwnd(), text.c_str());
      return 0;
    }
    case bp::kFont:
      values_.SetBytes(bf::kFont, BytesOf(value));
      ApplyFontRule(hwnd(), values_.Bytes(bf::kFont), font_);
      return 0;
    case bp::kDefaultButton:
      values_.SetInt(bf::kDefaultButton, StoredButtonField(bf::kDefaultButton, v));
      ChangeWindowStyle(hwnd(), GWL_STYLE, BS_DEFPUSHBUTTON,
                        Int(bp::kDefaultButton) ? BS_DEFPUSHBUTTON : 0);
      break;
    case bp::kAlignment:
      values_.SetInt(bf::kAlignment, StoredButtonField(bf::kAlignment, v));
      ChangeWindowStyle(hwnd(), GWL_STYLE, BS_CENTER, kHorizontal[Int(bp::kAlignment)]);
      break;
    case bp::kVertAlignment:
      values_.SetInt(bf::kVertAlignment, StoredButtonField(bf::kVertAlignment, v));
      ChangeWindowStyle(hwnd(), GWL_STYLE, BS_VCENTER, kVertical[Int(bp::kVertAlignment)]);
      break;
    default: return 0;
  }
  ::InvalidateRect(hwnd(), nullptr, TRUE);
  return 0;
}

bool ButtonObject::GetProperty(int32_t number, rt::PropValue& value) const {
  if (number < 0 || number >= bp::kCount) return false;
  if (number == bp::kCaption) {
    value = TextValue(values_.Text(bf::kCaption));
  } else if (number == bp::kPicture || number == bp::kFont) {
    value = BytesValue(values_.Bytes(kFieldOf[number]));
  } else {
    value = IntValue(Int(number));
  }
  return true;
}

bool ButtonObject::IsDefault() const {
  return (static_cast<uint32_t>(::GetWindowLongA(hwnd(), GWL_STYLE)) & kButtonTypeMask) ==
         BS_DEFPUSHBUTTON;
}

LRESULT ButtonObject::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallOriginalRaisingFocus(message, wParam, lParam);
}

bool ButtonObject::Reflected(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
  forms::RaiseWordEvent(formId(), unitId(), forms::event::kMain);
  result = 0;
  return true;
}

// ---- The type ------------------------------------------------------------------------------

namespace {

forms::UnitObject* CreateButton(const forms::CreateRequest& r) {
  forms::PropertyValues values(kButtonBlock);
  if (forms::ReadBlock(r.data, r.length, values, kButtonClamps) != forms::BlockStatus::kOk) {
    return nullptr;
  }
  auto* button = new ButtonObject(r.formId, r.unitId, std::move(values));
  if (button->CreateControl(r)) return button;
  delete button;
  return nullptr;
}

int32_t SetButtonProperty(forms::UnitObject* unit, int32_t number, rt::PropValue* value) {
  return static_cast<ButtonObject*>(unit)->SetProperty(number, *value);
}

bool GetButtonProperty(forms::UnitObject* unit, int32_t number, rt::PropValue* value) {
  return static_cast<ButtonObject*>(unit)->GetProperty(number, *value);
}

std::vector<uint8_t> ButtonPropertyData(forms::UnitObject* unit) {
  return forms::WriteBlock(static_cast<ButtonObject*>(unit)->values());
}

std::vector<uint8_t> ButtonTexts(const uint8_t* data, uint32_t length, forms::TextVisitor visit,
                                 void* context) {
  return RewriteBlockTexts(kButtonBlock, data, length, {{bf::kCaption}, {bf::kFont, true}}, visit,
                           context);
}

int32_t IsDefaultButton(forms::UnitObject* unit) {
  return static_cast<ButtonObject*>(unit)->IsDefault() ? 1 : 0;
}

namespace pt = rt::proptype;
constexpr uint32_t kInt = pt::kInteger, kText = pt::kText, kPicture = pt::kPicture,
                   kFontType = pt::kFont;

const rt::PropertyInfo kButtonOwnProperties[bp::kCount] = {
    {"图片", "Picture", nullptr, kPicture, nullptr},
    {"默认按钮", "DefaultButton", nullptr, kInt, nullptr},
    {"标题", "Caption", nullptr, kText, nullptr},
    {"横向对齐方式", "Alignment", nullptr, kInt, nullptr},
    {"纵向对齐方式", "VertAlignment", nullptr, kInt, nullptr},
    {"字体", "Font", nullptr, kFontType, nullptr},
};
constexpr auto kButtonProperties = WithCommonProperties(kButtonOwnProperties);

namespace tf = rt::typeflag;
constexpr forms::UnitTypeDescription kButtonDescription = {
    "按钮",
    "Button",
    tf::kAlwaysSet | tf::kButtonKind | tf::kWindowUnit,
    kButtonProperties.data(),
    kButtonProperties.size(),
    &CreateButton,
    &SetButtonProperty,
    &ButtonPropertyData,
    &GetButtonProperty,
    &ButtonTexts,
    nullptr,
    nullptr,
    &IsDefaultButton};

}  // namespace

const rt::UnitTypeRecord& ButtonType() { return forms::TypeRecordOf<kButtonDescription>(); }

}  // namespace units
