#pragma once
// The property blocks of the core library's unit types: field order, the
// version each field is stored from, defaults, and the version each type
// writes. Shared by the units at run time and by the form compiler.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "forms/property_block.h"

namespace units {

extern const forms::BlockLayout kWindowBlock;
extern const forms::BlockLayout kLabelBlock;
extern const forms::BlockLayout kButtonBlock;
extern const forms::BlockLayout kListBoxBlock;
extern const forms::BlockLayout kHScrollBarBlock;
extern const forms::BlockLayout kSliderBarBlock;
extern const forms::BlockLayout kTimerBlock;

// Every core type that keeps a property block.
const std::vector<const forms::BlockLayout*>& CoreBlockLayouts();

// What a set stores in an integer field of these types (by field
// position): a choice clamped into its range, the rest as given. Loading a
// block applies the same clamps.
int32_t StoredWindowField(int32_t field, int32_t value);
int32_t StoredButtonField(int32_t field, int32_t value);
int32_t StoredListBoxField(int32_t field, int32_t value);
extern const forms::IntClamps kWindowClamps;
extern const forms::IntClamps kButtonClamps;
extern const forms::IntClamps kListBoxClamps;

// Field positions in stored order, for PropertyValues.
namespace windowfield {
enum : size_t {
  kBorderStyle,
  kBackPictureMode,
  kBackColor,
  kMaxButton,
  kMinButton,
  kControlBox,
  kWindowState,
  kMovable,
  kMusicPlayCount,
  kEnterMovesFocus,
  kEscCloses,
  kF1OpensHelp,
  kHelpTopic,
  kShowInTaskbar,
  kDragAnywhere,
  kWindowShape,
  kAlwaysOnTop,
  kKeepTitleActive,
  kClassName,
  kBackPicture,
  kIcon,
  kBackMusic,
  kCaption,
  kHelpFile,
};
}  // namespace windowfield

// The block field of each own property number (overall number - 8): the
// properties are numbered in the order the type table lists them.
inline constexpr uint32_t kWindowPropertyCount = 24;  // own properties, after the common eight
inline constexpr size_t kWindowFieldOf[kWindowPropertyCount] = {
    windowfield::kCaption,        windowfield::kBorderStyle,     windowfield::kBackColor,
    windowfield::kBackPicture,    windowfield::kBackPictureMode, windowfield::kBackMusic,
    windowfield::kMusicPlayCount, windowfield::kControlBox,      windowfield::kMaxButton,
    windowfield::kMinButton,      windowfield::kWindowState,     windowfield::kMovable,
    windowfield::kIcon,           windowfield::kEnterMovesFocus, windowfield::kEscCloses,
    windowfield::kF1OpensHelp,    windowfield::kHelpFile,        windowfield::kHelpTopic,
    windowfield::kShowInTaskbar,  windowfield::kDragAnywhere,    windowfield::kWindowShape,
    windowfield::kAlwaysOnTop,    windowfield::kKeepTitleActive, windowfield::kClassName,
};

// The overall property number of a window field, as programs name it.
constexpr int32_t WindowPropertyNumber(size_t field) {
  for (uint32_t n = 0; n < kWindowPropertyCount; ++n) {
    if (kWindowFieldOf[n] == field) return static_cast<int32_t>(8 + n);
  }
  return -1;
}

namespace labelfield {
enum : size_t {
  kEffect,
  kFrameWidth,
  kBorderStyle,
  kFrameColor1,
  kFrameColor2,
  kFrameColor3,
  kTextColor,
  kBackColor,
  kBackPictureMode,
  kGradientMode,
  kGradientColor1,
  kGradientColor2,
  kGradientColor3,
  kAlignment,
  kVertAlignment,
  kWordWrap,
  kFont,
  kBackPicture,
  kCaption,
  kDataSource,
  kDataField,
};
}  // namespace labelfield

namespace buttonfield {
enum : size_t { kDefaultButton, kAlignment, kVertAlignment, kPicture, kFont, kCaption };
}  // namespace buttonfield

namespace listboxfield {
enum : size_t {
  kBorderStyle,
  kSorted,
  kMultiColumn,
  kRowSpacing,
  kTextColor,
  kBackColor,
  kMultiSelect,
  kCurrentIndex,
  kFont,
  kItemData,
  kItems,
  kDataSource,
  kDataField,
  kBindingFlag,
};
}  // namespace listboxfield

namespace hscrollbarfield {
enum : size_t { kMinimum, kMaximum, kPageChange, kLineChange, kPosition, kTrackDrag };
}  // namespace hscrollbarfield

namespace sliderbarfield {
enum : size_t {
  kBorderStyle,
  kOrientation,
  kTickStyle,
  kTickFrequency,
  kSelectionEnabled,
  kSelectionStart,
  kSelectionLength,
  kPageSize,
  kLineSize,
  kMinimum,
  kMaximum,
  kPosition,
};
}  // namespace sliderbarfield

namespace timerfield {
enum : size_t { kInterval };
}  // namespace timerfield

}  // namespace units
