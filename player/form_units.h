#pragma once
// What the player program knows of its form and its libraries: the form and
// unit identities of player.form, each unit's type code, the property numbers
// it reads and writes, and the libraries and command slots it calls.

#include <cstdint>

#include "commands/core_slots.h"

namespace player {

// A unit as commands and property access name it.
struct UnitRef {
  uint32_t id;
  uint32_t type;  // ((library index + 1) << 16) | type number
};

inline constexpr uint32_t kFormId = 0x52010001;

// Type codes.
namespace type {
inline constexpr uint32_t kWindow = 0x00010001;
inline constexpr uint32_t kLabel = 0x0001000A;
inline constexpr uint32_t kListBox = 0x0001000F;
inline constexpr uint32_t kHScrollBar = 0x00010011;
inline constexpr uint32_t kSliderBar = 0x00010014;
inline constexpr uint32_t kTimer = 0x00010020;
inline constexpr uint32_t kCartoonBox = 0x00020008;
inline constexpr uint32_t kCartoonObject = 0x00020009;
inline constexpr uint32_t kTransLabel = 0x00040005;
inline constexpr uint32_t kMediaPlay = 0x00060006;
}  // namespace type

// The units the routines use.
inline constexpr UnitRef kForm = {0x06010000, type::kWindow};
inline constexpr UnitRef kAnimationBox = {0x16010010, type::kCartoonBox};
inline constexpr UnitRef kProgressSlider = {0x16010015, type::kSliderBar};
inline constexpr UnitRef kPlayList = {0x16010020, type::kListBox};
inline constexpr UnitRef kButterfly = {0x16010023, type::kCartoonObject};
inline constexpr UnitRef kProgressRelay = {0x1601002b, type::kLabel};
inline constexpr UnitRef kHotKeyRelay = {0x1601002c, type::kLabel};
inline constexpr UnitRef kVolumeBar = {0x1601002d, type::kHScrollBar};
inline constexpr UnitRef kSongName = {0x1601002e, type::kTransLabel};
inline constexpr UnitRef kModeLabel = {0x1601002f, type::kTransLabel};
inline constexpr UnitRef kMediaPlayer = {0x1601004e, type::kMediaPlay};
inline constexpr UnitRef kTicker = {0x16010050, type::kTimer};

// Property numbers: 0..7 are common to every unit, the type's own follow.
namespace prop {
inline constexpr int32_t kVisible = 5;
inline constexpr int32_t kWindowState = 18;   // window
inline constexpr int32_t kCurrentIndex = 16;  // ListBox
inline constexpr int32_t kBarPosition = 12;   // HScrollBar
inline constexpr int32_t kMaximum = 18;       // SliderBar
inline constexpr int32_t kPosition = 19;      // SliderBar
inline constexpr int32_t kInterval = 8;       // Timer
inline constexpr int32_t kCaption = 8;        // TransLabel
}  // namespace prop

// Library indexes in the program header and the command slots the player
// calls in each.
namespace lib {
inline constexpr int32_t kCore = 0;
inline constexpr int32_t kCartoon = 1;
inline constexpr int32_t kVisualStyle = 2;
inline constexpr int32_t kHotKeys = 4;
inline constexpr int32_t kMedia = 5;
inline constexpr int32_t kShell = 6;
inline constexpr int32_t kCount = 7;
}  // namespace lib

// The core library's command slots are the commands library's own.
namespace core = ::commands::coreslot;

namespace media {
enum : int32_t {
  kGetVolume,
  kSetVolume,
  kOpen,
  kPlay,
  kTogglePause,
  kGetPosition,
  kGetLength,
};
}  // namespace media

// The one command of each of these libraries is in slot 0.
inline constexpr int32_t kCreateObject = 0;
inline constexpr int32_t kSetVisualStyle = 0;
inline constexpr int32_t kSetHotKey = 0;
inline constexpr int32_t kBrowseForFolder = 0;

}  // namespace player
