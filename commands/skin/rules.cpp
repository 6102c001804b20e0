#include "commands/skin/rules.h"

#include <algorithm>
#include <cctype>

namespace skin {

namespace {

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// Button styles: the type in the low four bits, and two modifiers.
constexpr uint32_t kTypeMask = 0xF, kBitmapStyle = 0x80, kPushLike = 0x1000;
enum : uint32_t {
  kPush = 0,
  kDefPush,
  kCheck,
  kAutoCheck,
  kRadio,
  kThreeState,
  kAutoThreeState,
  kGroup,
  kUser,
  kAutoRadio,
  kPushBox,
  kOwnerDraw
};
constexpr uint32_t kSimpleCombo = 0x1, kComboTypeMask = 0x3;

Kind ButtonKind(const WindowFacts& w) {
  const uint32_t type = w.style & kTypeMask;
  if ((w.style & kBitmapStyle) || type == kUser || type >= kPushBox) return Kind::kNone;
  const bool pushLike = (w.style & kPushLike) != 0;
  switch (type) {
    case kPush:
    case kDefPush: return !w.hasCaption && w.style == 0x40010000 ? Kind::kNone : Kind::kPushButton;
    case kCheck:
    case kAutoCheck:
    case kThreeState:
    case kAutoThreeState: return pushLike ? Kind::kPushButton : Kind::kCheckBox;
    case kRadio:
    case kAutoRadio: return pushLike ? Kind::kPushButton : Kind::kRadioButton;
    default: return Kind::kGroupBox;
  }
}

}  // namespace

Kind KindOf(const WindowFacts& w) {
  struct Named {
    const char* name;
    Kind kind;
  };
  static const Named kRecognised[] = {
      {"msctls_updown32", Kind::kUpDown},      {"ScrollBar", Kind::kScrollBar},
      {"SysMonthCal32", Kind::kMonthCalendar}, {"SysTabControl32", Kind::kTab},
      {"msctls_progress32", Kind::kProgress},  {"msctls_trackbar32", Kind::kTrackBar},
      {"ComboLBox", Kind::kComboList}};
  if (SameName(w.className, "Button")) return ButtonKind(w);
  if (SameName(w.className, "Edit")) return w.parentIsIpAddress ? Kind::kNone : Kind::kEdit;
  if (SameName(w.className, "ComboBox")) {
    return (w.style & kComboTypeMask) == kSimpleCombo ? Kind::kNone : Kind::kComboBox;
  }
  for (const Named& n : kRecognised) {
    if (SameName(w.className, n.name)) return n.kind;
  }
  return Kind::kNone;
}

bool IsSkinned(Kind kind) {
  switch (kind) {
    case Kind::kPushButton:
    case Kind::kCheckBox:
    case Kind::kRadioButton:
    case Kind::kEdit:
    case Kind::kComboBox:
    case Kind::kUpDown:
    case Kind::kGroupBox:
    case Kind::kComboList: return true;
    default: return false;
  }
}

// ---- The window procedure's decisions ---------------------------------------------------

namespace {

constexpr uint32_t kOwnThenPaint = action::kOwnFirst | action::kPaint;

uint32_t With(uint32_t flags, uint32_t bit, bool on) { return on ? flags | bit : flags & ~bit; }

// A flag change that repaints after the own procedure; nothing changed:
// the own procedure only.
Decision Change(uint32_t flags, uint32_t next, bool trackLeave = false) {
  if (next == flags) return {flags, action::kOwnFirst, 0, false};
  return {next, kOwnThenPaint, 0, trackLeave};
}

// Focus and enable rows, shared by every kind: nullptr-like {false} when
// the message is not one of them.
bool FocusOrEnable(uint32_t flags, uint32_t message, uint64_t w, Decision& d) {
  switch (message) {
    case msg::kSetFocus: d = {flags | flag::kFocused, kOwnThenPaint}; return true;
    case msg::kKillFocus: d = {flags & ~flag::kFocused, kOwnThenPaint}; return true;
    case msg::kEnable: d = {With(flags, flag::kDisabled, w == 0), kOwnThenPaint}; return true;
    default: return false;
  }
}

// Becoming hot on a move without the left button, cold on leaving.
bool Hover(uint32_t flags, uint32_t message, uint64_t w, uint32_t moveMessage, Decision& d) {
  if (message == moveMessage) {
    const bool becomesHot = !(flags & flag::kHot) && !(w & kLeftButtonHeld);
    d = becomesHot ? Change(flags, flags | flag::kHot, true) : Change(flags, flags);
    return true;
  }
  if (message == msg::kMouseLeave || message == msg::kNcMouseLeave) {
    d = Change(flags, flags & ~flag::kHot);
    return true;
  }
  return false;
}

Decision DecideButton(uint32_t flags, uint32_t message, uint64_t w) {
  Decision d{flags, action::kOwnFirst};
  if (FocusOrEnable(flags, message, w, d) || Hover(flags, message, w, msg::kMouseMove, d)) return d;
  switch (message) {
    case msg::kPaint:
    case msg::kSetText: return {flags, action::kDefaultFirst | action::kPaint};
    case msg::kSetCheck: {
      const uint32_t next = With(With(flags, flag::kChecked, w == 1), flag::kIndeterminate, w == 2);
      return {next, kOwnThenPaint};
    }
    case msg::kSetState: return {With(flags, flag::kPressed, w != 0), kOwnThenPaint};
    case msg::kSetStyle:
      return {With(flags, flag::kDefault, (w & 0xF) == kDefaultPushStyle), kOwnThenPaint};
    default: return d;
  }
}

bool Repaints(uint32_t message, std::initializer_list<uint32_t> messages) {
  return std::find(messages.begin(), messages.end(), message) != messages.end();
}

bool PressRows(uint32_t flags, uint32_t message, Decision& d) {
  if (message == msg::kLButtonDown)
    d = {flags | flag::kPressed, kOwnThenPaint};
  else if (message == msg::kLButtonUp)
    d = {flags & ~flag::kPressed, kOwnThenPaint};
  else
    return false;
  return true;
}

Decision DecideUpDown(uint32_t flags, uint32_t message, uint64_t w, bool secondHalf) {
  Decision d{flags, action::kOwnFirst};
  if (message == msg::kEraseBackground) return {flags, action::kReturnFixed, 1};
  if (Repaints(message, {msg::kPaint, msg::kNcPaint})) return {flags, kOwnThenPaint};
  if (message == msg::kMouseMove) {
    const bool becomesHot = !(flags & flag::kHot) && !(w & kLeftButtonHeld);
    const uint32_t hot = becomesHot ? flags | flag::kHot : flags;
    return Change(flags, With(hot, flag::kDefault, secondHalf), becomesHot);
  }
  if (FocusOrEnable(flags, message, w, d) || PressRows(flags, message, d) ||
      Hover(flags, message, w, msg::kMouseMove, d)) {
    return d;
  }
  return d;
}

}  // namespace

Decision Decide(Kind kind, uint32_t flags, uint32_t message, uint64_t w, bool secondHalf) {
  Decision d{flags, action::kOwnFirst};
  switch (kind) {
    case Kind::kPushButton:
    case Kind::kCheckBox:
    case Kind::kRadioButton: return DecideButton(flags, message, w);
    case Kind::kUpDown: return DecideUpDown(flags, message, w, secondHalf);
    case Kind::kEdit:
      if (Repaints(message, {msg::kPaint, msg::kNcPaint, msg::kHScroll, msg::kVScroll})) {
        return {flags, kOwnThenPaint};
      }
      if (FocusOrEnable(flags, message, w, d) || Hover(flags, message, 0, msg::kNcMouseMove, d)) {
        return d;
      }
      return d;
    case Kind::kComboBox:
      if (Repaints(message, {msg::kPaint, msg::kNcPaint})) return {flags, kOwnThenPaint};
      if (FocusOrEnable(flags, message, w, d) || PressRows(flags, message, d)) return d;
      return d;
    case Kind::kGroupBox:
      if (Repaints(message, {msg::kPaint, msg::kNcPaint})) return {flags, kOwnThenPaint};
      FocusOrEnable(flags, message, w, d);
      return d;
    case Kind::kComboList:
      if (FocusOrEnable(flags, message, w, d) || Hover(flags, message, w, msg::kMouseMove, d)) {
        return d;
      }
      return d;
    default: return d;
  }
}

// ---- Colours ---------------------------------------------------------------------------

namespace {

constexpr uint32_t C(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }
constexpr uint32_t A(uint32_t r, uint32_t g, uint32_t b) { return C(r, g, b) | 0xFF000000u; }

// Rows shared by the schemes.
constexpr Gradient kHotRow = {{C(255, 240, 207), C(255, 240, 207), C(229, 151, 0), A(229, 151, 0)}};
constexpr Gradient kCheckedRow = {
    {C(214, 203, 189), C(214, 207, 198), C(247, 243, 239), A(247, 243, 239)}};
constexpr Gradient kBlueFocusRow = {
    {C(206, 231, 255), C(206, 231, 255), C(105, 130, 238), A(105, 130, 238)}};
constexpr Gradient kNormalRow = {
    {C(255, 255, 255), C(255, 255, 255), C(226, 223, 214), A(226, 223, 214)}};
constexpr Gradient kFlatCream = {
    {C(239, 227, 206), C(239, 227, 206), C(239, 227, 206), A(239, 227, 206)}};

constexpr Gradient kScheme1[kGradientCount] = {
    {{C(209, 204, 193), C(209, 204, 193), C(242, 241, 238), A(242, 241, 238)}},
    kHotRow,
    kCheckedRow,
    kBlueFocusRow,
    kNormalRow,
    {{C(231, 227, 222), C(231, 231, 231), C(231, 227, 222), A(231, 227, 222)}},
    {{C(252, 252, 251), C(252, 252, 251), C(236, 235, 230), A(236, 235, 230)}},
};
constexpr Gradient kScheme2[kGradientCount] = {
    kFlatCream,
    kHotRow,
    kCheckedRow,
    kHotRow,
    kNormalRow,
    kFlatCream,
    {{C(252, 252, 251), C(252, 252, 251), C(236, 225, 201), A(236, 225, 201)}},
};
constexpr Gradient kScheme3[kGradientCount] = {
    kFlatCream,
    kHotRow,
    kCheckedRow,
    kBlueFocusRow,
    kNormalRow,
    {{C(179, 178, 197), C(179, 178, 197), C(252, 252, 251), A(252, 252, 251)}},
    {{C(252, 252, 251), C(252, 252, 251), C(198, 197, 215), A(198, 197, 215)}},
};

}  // namespace

const Gradient& SchemeGradient(int scheme, int index) {
  const Gradient* table = scheme == 2 ? kScheme2 : scheme == 3 ? kScheme3 : kScheme1;
  return table[std::clamp(index, 0, kGradientCount - 1)];
}

bool IsVerticalRectangle(const Gradient& g) {
  return g.corner[0] == g.corner[1] && g.corner[2] == g.corner[3];
}

uint32_t ButtonBorderColour(int scheme) {
  return scheme == 2 ? C(55, 98, 6) : scheme == 3 ? C(0, 60, 116) : C(0, 60, 115);
}

uint32_t FrameColour(int scheme) {
  return scheme == 2 ? C(164, 185, 127) : scheme == 3 ? C(198, 197, 215) : C(123, 158, 189);
}

uint32_t Darker(uint32_t colour, int amount) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int channel = static_cast<int>((colour >> shift) & 0xFF) - amount;
    out |= static_cast<uint32_t>(std::max(channel, 0)) << shift;
  }
  return out;
}

int FaceGradient(uint32_t flags) {
  if (flags & flag::kPressed) return gradient::kPressed;
  if (flags & flag::kHot) return gradient::kHot;
  if (flags & (flag::kChecked | flag::kIndeterminate)) return gradient::kChecked;
  if (flags & (flag::kFocused | flag::kDefault)) return gradient::kFocused;
  return gradient::kNormal;
}

int InnerGradient(uint32_t flags) {
  if (flags & (flag::kPressed | flag::kChecked | flag::kIndeterminate)) {
    return gradient::kInnerPressed;
  }
  return (flags & flag::kDisabled) ? -1 : gradient::kInnerNormal;
}

namespace {
constexpr uint32_t kLeft = 0x100, kRight = 0x200, kTop = 0x400, kBottom = 0x800,
                   kMultiLine = 0x2000;
}  // namespace

int32_t MultiLineTextTop(uint32_t style, int32_t boxHeight, int32_t textHeight) {
  switch (style & (kTop | kBottom)) {
    case kTop: return 0;
    case kBottom: return boxHeight - textHeight;
    default: return (boxHeight - textHeight) / 2;
  }
}

uint32_t ButtonTextFlags(uint32_t style) {
  constexpr uint32_t kDtCentre = 0x1, kDtRight = 0x2, kDtVCentre = 0x4, kDtBottom = 0x8,
                     kDtWordBreak = 0x10, kDtSingleLine = 0x20;
  uint32_t flags = 0;
  switch (style & (kLeft | kRight)) {
    case kLeft: break;
    case kRight: flags |= kDtRight; break;
    default: flags |= kDtCentre;
  }
  if (style & kMultiLine) return flags | kDtWordBreak;
  switch (style & (kTop | kBottom)) {
    case kTop: break;
    case kBottom: flags |= kDtBottom; break;
    default: flags |= kDtVCentre;
  }
  return flags | kDtSingleLine;
}

}  // namespace skin
