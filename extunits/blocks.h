#pragma once
// The property blocks of the extension libraries' unit types: field order,
// the version each field is stored from, defaults, and the version each
// type writes. Shared by the units at run time and by the form compiler.

#include <cstddef>
#include <vector>

#include "forms/property_block.h"

namespace extunits {

extern const forms::BlockLayout kCartoonBoxBlock;
extern const forms::BlockLayout kCartoonObjectBlock;
extern const forms::BlockLayout kTransLabelBlock;
extern const forms::BlockLayout kMediaPlayBlock;  // keeps nothing

// Every extension type that can appear on a form.
const std::vector<const forms::BlockLayout*>& ExtensionBlockLayouts();

// Field positions in stored order, for PropertyValues.
namespace cartoonboxfield {
enum : size_t {
  kBorder,
  kBackColor,
  kPicDrawMode,
  kPenStyle,
  kDrawRop2,
  kPenWidth,
  kPenColor,
  kBrushStyle,
  kBrushColor,
  kTextColor,
  kTextBackColor,
  kFont,
  kPic,
};
}  // namespace cartoonboxfield

namespace cartoonobjectfield {
enum : size_t {
  kTextColor,
  kAutoGetTransColor,
  kTransparentColor,
  kAlpha,
  kZoom,
  kPlayGif,
  kGifDelay,
  kGifAutoDestroy,
  kTrendColor,
  kTrendDepth,
  kLight,
  kLayer,
  kAngle,
  kRotateFollow,
  kExistTime,
  kCollideAllowed,
  kType,
  kTurnType,
  kText,
  kFont,
  kPicture,
  kCreateSound,
  kDestroySound,
  kCollidedSound,
};
}  // namespace cartoonobjectfield

namespace translabelfield {
enum : size_t { kEffect, kTextColor, kAlignment, kVertAlignment, kWordWrap, kFont, kCaption };
}  // namespace translabelfield

}  // namespace extunits
