// The Label unit: its type record and interface, creation, properties and
// the feedback event. Painting is in label_look.cpp.

#include "forms/win/unit_type.h"
#include "units/win/label.h"

#include <string>
#include <utility>

#include "forms/events.h"
#include "runtime/win/handles.h"
#include "units/blocks.h"
#include "units/common_properties.h"
#include "units/control_texts.h"
#include "units/win/control_style.h"
#include "units/win/prop_value.h"
#include "units/win/unit_operations.h"

namespace units {

namespace lf = labelfield;
namespace lp = labelprop;

namespace {

bool IsText(int32_t n) { return n == lp::kCaption || n == lp::kDataSource || n == lp::kDataField; }
bool IsBytes(int32_t n) { return n == lp::kFont || n == lp::kBackPicture; }

const char kLabelClass[] = "LabelUnitWindow";

}  // namespace

const char* RegisterLabelClass(const char* name) {
  return forms::RegisterUnitClass(name, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
}

LabelObject::LabelObject(uint32_t formId, uint32_t unitId, forms::PropertyValues values)
    : UnitObject(formId, unitId), values_(std::move(values)) {}

int32_t LabelObject::Int(int32_t number) const { return values_.Int(LabelField(number)); }

// Every write repaints the whole label without erasing.
void LabelObject::SetProperty(int32_t number, const rt::PropValue& value) {
  if (number < 0 || number >= lp::kCount) return;
  if (IsText(number)) {
    const std::string text = TextOf(value);
    values_.SetText(LabelField(number), text);
    if (number == lp::kCaption) ::SetWindowTextA(hwnd(), text.c_str());
  } else if (IsBytes(number)) {
    values_.SetBytes(LabelField(number), BytesOf(value));
    if (number == lp::kBackPicture) {
      picture_.Reset();
      pictureTried_ = false;
    }
  } else {
    values_.SetInt(LabelField(number), StoredLabelValue(number, static_cast<int32_t>(value.value)));
    if (number == lp::kBorderStyle) ApplyBorder(hwnd(), Int(lp::kBorderStyle));
  }
  ::InvalidateRect(hwnd(), nullptr, FALSE);
}

bool LabelObject::GetProperty(int32_t number, rt::PropValue& value) const {
  if (number < 0 || number >= lp::kCount) return false;
  if (IsText(number)) {
    value = TextValue(values_.Text(LabelField(number)));
  } else if (IsBytes(number)) {
    value = BytesValue(values_.Bytes(LabelField(number)));
  } else {
    value = IntValue(Int(number));
  }
  return true;
}

// The feedback event's arguments are the message's two 32-bit words; the
// answer is the handler's result, 0 when there is none.
LRESULT LabelObject::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kMsgFeedback: {
      const auto result = forms::RaiseWordEvent(
          formId(), unitId(), 0,
          {static_cast<uint32_t>(wParam), static_cast<uint32_t>(static_cast<uintptr_t>(lParam))});
      return static_cast<LRESULT>(result.value_or(0));
    }
    case WM_PAINT: {
      rt::PaintDc paint(hwnd());
      if (paint.get()) Paint(paint.get());
      return 0;
    }
    case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_ERASEBKGND: return 1;
    default: return CallOriginal(message, wParam, lParam);
  }
}

// ---- The type ------------------------------------------------------------------------------

namespace {

forms::UnitObject* CreateLabel(const forms::CreateRequest& r) {
  forms::PropertyValues values(kLabelBlock);
  const char* windowClass = RegisterLabelClass(kLabelClass);
  if (forms::ReadBlock(r.data, r.length, values, kLabelClamps) != forms::BlockStatus::kOk ||
      !windowClass) {
    return nullptr;
  }
  auto* label = new LabelObject(r.formId, r.unitId, std::move(values));
  const BorderStyles border = StylesOfBorder(label->Int(lp::kBorderStyle));
  HWND hwnd = label->AttachingCreate(
      border.exStyle, windowClass, label->values().Text(lf::kCaption).c_str(),
      r.style | WS_CHILD | WS_CLIPSIBLINGS | border.style, r.left, r.top, r.width, r.height,
      r.parent, reinterpret_cast<HMENU>(static_cast<uintptr_t>(r.controlId)));
  if (hwnd == nullptr) {
    delete label;
    return nullptr;
  }
  ApplyBorder(hwnd, label->Int(lp::kBorderStyle));
  return label;
}

std::vector<uint8_t> LabelTexts(const uint8_t* data, uint32_t length, forms::TextVisitor visit,
                                void* context) {
  return RewriteBlockTexts(kLabelBlock, data, length,
                           {{lf::kCaption}, {lf::kFont, true}, {lf::kDataSource}, {lf::kDataField}},
                           visit, context);
}

namespace pt = rt::proptype;
constexpr uint32_t kInt = pt::kInteger, kBool = pt::kLogical, kText = pt::kText,
                   kPicture = pt::kPicture, kFontType = pt::kFont;

const rt::PropertyInfo kLabelOwnProperties[lp::kCount] = {
    {"标题", "Caption", nullptr, kText, nullptr},
    {"效果", "Effect", nullptr, kInt, nullptr},
    {"边框", "BorderStyle", nullptr, kInt, nullptr},
    {"渐变边框宽度", "FrameWidth", nullptr, kInt, nullptr},
    {"渐变边框颜色1", "FrameColor1", nullptr, kInt, nullptr},
    {"渐变边框颜色2", "FrameColor2", nullptr, kInt, nullptr},
    {"渐变边框颜色3", "FrameColor3", nullptr, kInt, nullptr},
    {"字体", "Font", nullptr, kFontType, nullptr},
    {"文本颜色", "TextColor", nullptr, kInt, nullptr},
    {"背景颜色", "BackColor", nullptr, kInt, nullptr},
    {"底图", "BackPicture", nullptr, kPicture, nullptr},
    {"底图方式", "BackPictureMode", nullptr, kInt, nullptr},
    {"渐变背景方式", "GradientMode", nullptr, kInt, nullptr},
    {"渐变背景颜色1", "GradientColor1", nullptr, kInt, nullptr},
    {"渐变背景颜色2", "GradientColor2", nullptr, kInt, nullptr},
    {"渐变背景颜色3", "GradientColor3", nullptr, kInt, nullptr},
    {"横向对齐方式", "Alignment", nullptr, kInt, nullptr},
    {"是否自动折行", "WordWrap", nullptr, kBool, nullptr},
    {"纵向对齐方式", "VertAlignment", nullptr, kInt, nullptr},
    {"数据源", "DataSource", nullptr, kText, nullptr},
    {"数据列", "DataField", nullptr, kText, nullptr},
};
constexpr auto kLabelProperties = WithCommonProperties(kLabelOwnProperties);

namespace tf = rt::typeflag;
constexpr forms::UnitTypeDescription kLabelDescription = {
    "标签",
    "Label",
    tf::kAlwaysSet | tf::kDragsForm | tf::kNoTabFocus | tf::kLabelKind | tf::kWindowUnit,
    kLabelProperties.data(),
    kLabelProperties.size(),
    &CreateLabel,
    &SetPropertyOf<LabelObject>,
    &PropertyDataOf<LabelObject>,
    &GetPropertyOf<LabelObject>,
    &LabelTexts};

}  // namespace

const rt::UnitTypeRecord& LabelType() { return forms::TypeRecordOf<kLabelDescription>(); }

}  // namespace units
