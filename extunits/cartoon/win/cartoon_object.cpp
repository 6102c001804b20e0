// The CartoonObject unit: type record, creation, properties and the
// template image build.

#include "forms/win/unit_type.h"
#include "extunits/cartoon/win/cartoon_object.h"

#include <utility>

#include "extunits/blocks.h"
#include "extunits/cartoon/rules.h"
#include "extunits/cartoon/win/cartoon_box.h"
#include "extunits/win/frame_image_win.h"
#include "runtime/win/handles.h"
#include "units/common_properties.h"
#include "units/control_texts.h"
#include "units/win/prop_value.h"

namespace cartoon {

namespace of = extunits::cartoonobjectfield;

namespace {

constexpr size_t kLogFontSize = 60;

bool IsText(size_t f) { return f == of::kText; }
bool IsBytes(size_t f) {
  return f == of::kFont || f == of::kPicture || f == of::kCreateSound || f == of::kDestroySound ||
         f == of::kCollidedSound;
}
// Properties whose change rebuilds the template image.
bool RemakesImage(size_t f) {
  return f == of::kText || f == of::kTextColor || f == of::kPicture ||
         f == of::kAutoGetTransColor || f == of::kTransparentColor;
}

const char kObjectClass[] = "CartoonObjectUnitWindow";

const char* ObjectClass() { return forms::RegisterUnitClass(kObjectClass, CS_DBLCLKS); }

}  // namespace

CartoonObjectUnit::CartoonObjectUnit(uint32_t formId, uint32_t unitId, forms::PropertyValues values)
    : UnitObject(formId, unitId), values_(std::move(values)) {}

int32_t CartoonObjectUnit::Int(size_t field) const { return values_.Int(field); }

void CartoonObjectUnit::Prepare() {
  MakeFont();
  BuildImage();
}

void CartoonObjectUnit::MakeFont() {
  if (values_.Bytes(of::kFont).size() == kLogFontSize)
    font_ = FontFromBlock(values_.Bytes(of::kFont));
}

void CartoonObjectUnit::BuildImage() {
  const std::string& text = values_.Text(of::kText);
  if (!text.empty()) {
    ext::FrameImageFromText(image_, text.c_str(), font_.get(),
                            static_cast<COLORREF>(Int(of::kTextColor)));
    return;
  }
  const std::vector<uint8_t>& picture = values_.Bytes(of::kPicture);
  if (picture.empty()) {
    image_.Clear();
    return;
  }
  ext::LoadFrameImage(image_, picture.data(), picture.size(),
                      static_cast<uint32_t>(Int(of::kTransparentColor)),
                      Int(of::kAutoGetTransColor) != 0);
}

ObjectSettings CartoonObjectUnit::Settings() const {
  ObjectSettings s;
  s.type = Int(of::kType);
  s.text = values_.Text(of::kText);
  s.textColor = static_cast<uint32_t>(Int(of::kTextColor));
  if (values_.Bytes(of::kFont).size() == kLogFontSize) s.font = values_.Bytes(of::kFont);
  s.base = image_;
  s.playGif = Int(of::kPlayGif) != 0;
  s.gifDelay = Int(of::kGifDelay);
  s.plays = Int(of::kGifAutoDestroy);
  s.trendColor = static_cast<uint32_t>(Int(of::kTrendColor));
  s.trendDepth = Int(of::kTrendDepth);
  s.light = Int(of::kLight);
  s.alpha = Int(of::kAlpha);
  s.zoomX = s.zoomY = Int(of::kZoom);
  s.layer = Int(of::kLayer);
  s.angle = Int(of::kAngle);
  s.rotateFollow = Int(of::kRotateFollow) != 0;
  s.turnType = Int(of::kTurnType);
  s.existTime = Int(of::kExistTime);
  s.createSound = values_.Bytes(of::kCreateSound);
  s.destroySound = values_.Bytes(of::kDestroySound);
  s.collidedSound = values_.Bytes(of::kCollidedSound);
  s.collideAllowed = Int(of::kCollideAllowed) != 0;
  return s;
}

void CartoonObjectUnit::SetProperty(int32_t number, const rt::PropValue& value) {
  if (number < 0 || number >= kObjectPropertyCount) return;
  const size_t field = ObjectField(number);
  if (IsText(field)) {
    values_.SetText(field, units::TextOf(value));
  } else if (IsBytes(field)) {
    values_.SetBytes(field, units::BytesOf(value));
    if (field == of::kFont && values_.Bytes(field).size() == kLogFontSize) {
      MakeFont();
      BuildImage();
    }
  } else {
    values_.SetInt(
        field, StoredObjectField(static_cast<int32_t>(field), static_cast<int32_t>(value.value)));
  }
  if (RemakesImage(field)) BuildImage();
}

bool CartoonObjectUnit::GetProperty(int32_t number, rt::PropValue& value) const {
  if (number < 0 || number >= kObjectPropertyCount) return false;
  const size_t field = ObjectField(number);
  if (IsText(field)) {
    value = units::TextValue(values_.Text(field));
  } else if (IsBytes(field)) {
    value = units::BytesValue(values_.Bytes(field));
  } else {
    value = units::IntValue(Int(field));
  }
  return true;
}

// At run time the window paints nothing (the design-time preview is not
// part of this program).
LRESULT CartoonObjectUnit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    rt::PaintDc paint(hwnd());
    return 0;
  }
  if (message == WM_ERASEBKGND) return 1;
  return CallOriginal(message, wParam, lParam);
}

// ---- The type ------------------------------------------------------------------------

namespace {

forms::UnitObject* CreateCartoonObject(const forms::CreateRequest& r) {
  forms::PropertyValues values(extunits::kCartoonObjectBlock);
  const char* windowClass = ObjectClass();
  if (forms::ReadBlock(r.data, r.length, values, kObjectClamps) != forms::BlockStatus::kOk ||
      !windowClass) {
    return nullptr;
  }
  auto* unit = new CartoonObjectUnit(r.formId, r.unitId, std::move(values));
  HWND hwnd = unit->AttachingCreate(0, windowClass, nullptr, r.style | WS_CHILD | WS_CLIPSIBLINGS,
                                    r.left, r.top, r.width, r.height, r.parent,
                                    reinterpret_cast<HMENU>(static_cast<uintptr_t>(r.controlId)));
  if (hwnd == nullptr) {
    delete unit;
    return nullptr;
  }
  unit->Prepare();
  return unit;
}

int32_t SetObjectProperty(forms::UnitObject* unit, int32_t number, rt::PropValue* value) {
  static_cast<CartoonObjectUnit*>(unit)->SetProperty(number, *value);
  return 0;
}

bool GetObjectProperty(forms::UnitObject* unit, int32_t number, rt::PropValue* value) {
  return static_cast<CartoonObjectUnit*>(unit)->GetProperty(number, *value);
}

std::vector<uint8_t> ObjectPropertyData(forms::UnitObject* unit) {
  return forms::WriteBlock(static_cast<CartoonObjectUnit*>(unit)->values());
}

std::vector<uint8_t> ObjectTexts(const uint8_t* data, uint32_t length, forms::TextVisitor visit,
                                 void* context) {
  return units::RewriteBlockTexts(extunits::kCartoonObjectBlock, data, length,
                                  {{of::kText}, {of::kFont, true}}, visit, context);
}

namespace pt = rt::proptype;

const rt::PropertyInfo kOwnProperties[kObjectPropertyCount] = {
    {"文字", "text", nullptr, pt::kText, nullptr},
    {"字体", "font", nullptr, pt::kFont, nullptr},
    {"文本颜色", "TextColor", nullptr, pt::kColour, nullptr},
    {"图片", "picture", nullptr, pt::kPicture, nullptr},
    {"自动取透明色", "AutoGetTransColor", nullptr, pt::kLogical, nullptr},
    {"透明色", "TransparentColor", nullptr, pt::kColourOrNone, nullptr},
    {"播放动画", "PlayGIF", nullptr, pt::kLogical, nullptr},
    {"动画间隔时间", "GIFDelay", nullptr, pt::kInteger, nullptr},
    {"动画自动销毁", "GIFAutoDestroy", nullptr, pt::kInteger, nullptr},
    {"趋向色", "TrendColor", nullptr, pt::kColour, nullptr},
    {"趋向程度", "TrendDepth", nullptr, pt::kInteger, nullptr},
    {"亮度", "light", nullptr, pt::kInteger, nullptr},
    {"透明度", "alpha", nullptr, pt::kInteger, nullptr},
    {"缩放比", "zoom", nullptr, pt::kInteger, nullptr},
    {"层次", "layer", nullptr, pt::kInteger, nullptr},
    {"角度", "angle", nullptr, pt::kInteger, nullptr},
    {"旋转跟随", "RotateFollow", nullptr, pt::kLogical, nullptr},
    {"翻转", "TurnType", nullptr, pt::kPickIndex, nullptr},
    {"生存时间", "ExistTime", nullptr, pt::kInteger, nullptr},
    {"创建声音", "CreateSound", nullptr, pt::kSound, nullptr},
    {"销毁声音", "DestroySound", nullptr, pt::kSound, nullptr},
    {"允许碰撞", "CollideAllowed", nullptr, pt::kLogical, nullptr},
    {"碰撞声音", "CollidedSound", nullptr, pt::kSound, nullptr},
    {"类型值", "type", nullptr, pt::kInteger, nullptr},
};
constexpr auto kProperties = units::WithCommonProperties(kOwnProperties);

constexpr forms::UnitTypeDescription kObjectDescription = {
    "动画物体",
    "CartoonObject",
    rt::typeflag::kAlwaysSet | rt::typeflag::kNoWindowShown | rt::typeflag::kWindowUnit,
    kProperties.data(),
    kProperties.size(),
    &CreateCartoonObject,
    &SetObjectProperty,
    &ObjectPropertyData,
    &GetObjectProperty,
    &ObjectTexts};

}  // namespace

const rt::UnitTypeRecord& CartoonObjectType() { return forms::TypeRecordOf<kObjectDescription>(); }

}  // namespace cartoon
