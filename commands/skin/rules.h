#pragma once
// The control skin engine's portable rules: which controls it takes (by
// class name and style), the state flags of a skinned control, what its
// window procedure does with each message, and the colour schemes (border
// colours and the seven four-corner gradients of each). Colours are
// COLORREF values (0x00BBGGRR).

#include <cstdint>
#include <string_view>

namespace skin {

// Control kinds; only some are skinned (IsSkinned).
enum class Kind : int32_t {
  kNone = -1,
  kPushButton = 0,
  kCheckBox = 1,
  kRadioButton = 2,
  kEdit = 3,
  kComboBox = 4,
  kUpDown = 5,
  kScrollBar = 6,
  kMonthCalendar = 7,
  kTab = 8,
  kProgress = 9,
  kTrackBar = 10,
  kGroupBox = 11,
  kComboList = 12,
};

// What the kind decision reads of a window.
struct WindowFacts {
  std::string_view className;
  uint32_t style = 0;
  bool hasCaption = false;
  bool parentIsIpAddress = false;
};
Kind KindOf(const WindowFacts& window);
bool IsSkinned(Kind kind);

// State flags of a skinned control.
namespace flag {
inline constexpr uint32_t kDisabled = 0x1;
inline constexpr uint32_t kPressed = 0x2;
inline constexpr uint32_t kHot = 0x4;
inline constexpr uint32_t kFocused = 0x10;
inline constexpr uint32_t kHorizontal = 0x20;
inline constexpr uint32_t kDefault = 0x10000;  // up-downs: the mouse is over the second half
inline constexpr uint32_t kChecked = 0x20000;
inline constexpr uint32_t kIndeterminate = 0x40000;
inline constexpr uint32_t kReadOnly = 0x10000000;
}  // namespace flag

// Messages the decision reads (the platform's numbers).
namespace msg {
inline constexpr uint32_t kDestroy = 0x0002, kSetFocus = 0x0007, kKillFocus = 0x0008,
                          kEnable = 0x000A, kSetText = 0x000C, kPaint = 0x000F,
                          kEraseBackground = 0x0014, kNcPaint = 0x0085, kNcMouseMove = 0x00A0,
                          kSetCheck = 0x00F1, kSetState = 0x00F3, kSetStyle = 0x00F4,
                          kHScroll = 0x0114, kVScroll = 0x0115, kMouseMove = 0x0200,
                          kLButtonDown = 0x0201, kLButtonUp = 0x0202, kNcMouseLeave = 0x02A2,
                          kMouseLeave = 0x02A3;
}  // namespace msg
inline constexpr uint64_t kLeftButtonHeld = 0x0001;    // MK_LBUTTON in a mouse message's wParam
inline constexpr uint64_t kDefaultPushStyle = 0x0001;  // BS_DEFPUSHBUTTON

// What the engine's procedure does with one message: the actions run in
// the order of their bits, and the result is `fixed` when kReturnFixed is
// set, else that of the last procedure called.
namespace action {
inline constexpr uint32_t kOwnFirst = 0x1;
inline constexpr uint32_t kDefaultFirst = 0x2;
inline constexpr uint32_t kPaint = 0x4;
inline constexpr uint32_t kOwnAfter = 0x8;
inline constexpr uint32_t kDefaultAfter = 0x10;
inline constexpr uint32_t kReturnFixed = 0x20;
}  // namespace action
struct Decision {
  uint32_t flags = 0;  // the node's flags from now on
  uint32_t actions = action::kOwnFirst;
  intptr_t fixed = 0;
  bool trackLeave = false;  // ask for a leave notice (the control became hot)
};
// `secondHalf`: for up-downs, whether the mouse is over the second half.
Decision Decide(Kind kind, uint32_t flags, uint32_t message, uint64_t wParam,
                bool secondHalf = false);

// ---- Colours ---------------------------------------------------------------------------

// A gradient's corners: top-left, top-right, bottom-left, bottom-right; the
// low 24 bits a COLORREF, the top byte the vertex's alpha.
struct Gradient {
  uint32_t corner[4];
};
inline constexpr int kGradientCount = 7;
namespace gradient {
enum : int { kPressed, kHot, kChecked, kFocused, kNormal, kInnerPressed, kInnerNormal };
}  // namespace gradient
// Schemes other than 2 and 3 use scheme 1's table.
const Gradient& SchemeGradient(int scheme, int index);
// Whether a gradient fills as one vertical rectangle gradient (the top two
// corners equal and the bottom two equal) rather than two triangles.
bool IsVerticalRectangle(const Gradient& g);

uint32_t ButtonBorderColour(int scheme);
uint32_t FrameColour(int scheme);  // edits and combo drop lists
// Each channel lowered by `amount`, not below 0.
uint32_t Darker(uint32_t colour, int amount);

inline constexpr uint32_t kDisabledFace = 0xEAF4F5;  // 245, 244, 234
inline constexpr uint32_t kGreyText = 0x94A2A5;      // 165, 162, 148

// The gradient a push button's face is painted with, and its inner face's
// (-1: none).
int FaceGradient(uint32_t flags);
int InnerGradient(uint32_t flags);

// DrawText flags for a button's caption from its style's alignment bits.
uint32_t ButtonTextFlags(uint32_t style);
// Where a multi-line caption `textHeight` high starts in a box
// `boxHeight` high (DrawText does not place such text vertically).
int32_t MultiLineTextTop(uint32_t style, int32_t boxHeight, int32_t textHeight);

}  // namespace skin
