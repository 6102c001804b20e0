#include "extunits/cartoon/rules.h"

#include <algorithm>

#include "extunits/blocks.h"

namespace cartoon {

namespace {

// The clamps are kept by field, so loading walks the fields.
size_t SameField(int32_t field) { return static_cast<size_t>(field); }

}  // namespace

namespace bf = extunits::cartoonboxfield;
namespace of = extunits::cartoonobjectfield;

size_t BoxField(int32_t number) {
  static constexpr size_t kFields[kBoxPropertyCount] = {
      bf::kBorder,    bf::kBackColor,     bf::kPic,      bf::kPicDrawMode, bf::kPenStyle,
      bf::kDrawRop2,  bf::kPenWidth,      bf::kPenColor, bf::kBrushStyle,  bf::kBrushColor,
      bf::kTextColor, bf::kTextBackColor, bf::kFont,
  };
  return kFields[number];
}

size_t ObjectField(int32_t number) {
  static constexpr size_t kFields[kObjectPropertyCount] = {
      of::kText,
      of::kFont,
      of::kTextColor,
      of::kPicture,
      of::kAutoGetTransColor,
      of::kTransparentColor,
      of::kPlayGif,
      of::kGifDelay,
      of::kGifAutoDestroy,
      of::kTrendColor,
      of::kTrendDepth,
      of::kLight,
      of::kAlpha,
      of::kZoom,
      of::kLayer,
      of::kAngle,
      of::kRotateFollow,
      of::kTurnType,
      of::kExistTime,
      of::kCreateSound,
      of::kDestroySound,
      of::kCollideAllowed,
      of::kCollidedSound,
      of::kType,
  };
  return kFields[number];
}

int32_t StoredBoxField(int32_t field, int32_t value) {
  switch (field) {
    case bf::kBorder: return std::clamp(value, 0, 5);
    case bf::kPicDrawMode: return std::clamp(value, 0, 3);
    case bf::kPenStyle: return std::clamp(value, 0, 6);
    case bf::kDrawRop2: return std::clamp(value, 0, 15);
    case bf::kPenWidth: return std::clamp(value, 0, 32767);
    case bf::kBrushStyle: return std::clamp(value, 0, 55);
    default: return value;
  }
}

int32_t StoredObjectField(int32_t field, int32_t value) {
  switch (field) {
    case of::kGifDelay:
    case of::kZoom:
    case of::kExistTime: return std::max(value, 0);
    case of::kTrendDepth:
    case of::kAlpha: return std::clamp(value, 0, 100);
    case of::kAngle: return std::clamp(value, -360, 360);
    case of::kTurnType: return std::clamp(value, 0, 3);
    default: return value;
  }
}

const forms::IntClamps kBoxClamps = {static_cast<int32_t>(bf::kPic) + 1, SameField, StoredBoxField};
const forms::IntClamps kObjectClamps = {static_cast<int32_t>(of::kType) + 1, SameField,
                                        StoredObjectField};

}  // namespace cartoon
