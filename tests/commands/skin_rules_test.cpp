// The skin engine's rules where they are easy to get wrong: which windows
// become which kind, the messages a button's procedure treats unlike the
// rest, state combinations and their gradients, colours and caption
// placement. Plain states are checked on the screen by the engine's test.

#include <gtest/gtest.h>

#include "commands/skin/rules.h"

namespace {

using skin::Kind;
namespace f = skin::flag;
namespace a = skin::action;
namespace m = skin::msg;

TEST(SkinRules, KindsComeFromClassNameAndStyle) {
  const struct {
    const char* name;
    uint32_t style;
    bool caption, inIpAddress;
    Kind kind;
  } cases[] = {
      {"BUTTON", 0x50010001, true, false, Kind::kPushButton},  // default push, any case
      {"Button", 0x40010000, false, false, Kind::kNone},       // bare, no caption
      {"Button", 0x50011003, true, false, Kind::kPushButton},  // push-like check box
      {"Button", 0x50010006, true, false, Kind::kCheckBox},
      {"Button", 0x50010009, true, false, Kind::kRadioButton},
      {"Button", 0x50010007, true, false, Kind::kGroupBox},
      {"Button", 0x50010080, true, false, Kind::kNone},     // bitmap
      {"Button", 0x5001000B, true, false, Kind::kNone},     // owner-draw
      {"Edit", 0x50010000, false, true, Kind::kNone},       // inside an IP address control
      {"ComboBox", 0x50010001, false, false, Kind::kNone},  // simple
      {"ComboBox", 0x50010003, false, false, Kind::kComboBox},
      {"ComboLBox", 0, false, false, Kind::kComboList},
      {"msctls_updown32", 0, false, false, Kind::kUpDown},
      {"ListBox", 0, false, false, Kind::kNone},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(skin::KindOf({c.name, c.style, c.caption, c.inIpAddress}), c.kind)
        << c.name << " " << std::hex << c.style;
  }
  EXPECT_TRUE(skin::IsSkinned(Kind::kComboList));
  EXPECT_FALSE(skin::IsSkinned(Kind::kTrackBar));
}

TEST(SkinRules, ProceduresTreatTheseMessagesApart) {
  constexpr uint32_t own = a::kOwnFirst, ownPaint = a::kOwnFirst | a::kPaint;
  const struct {
    uint32_t flags, message;
    uint64_t w;
    uint32_t next, actions;
  } cases[] = {
      {0, m::kPaint, 0, 0, a::kDefaultFirst | a::kPaint},
      {0, m::kSetText, 0, 0, a::kDefaultFirst | a::kPaint},
      {0, m::kEraseBackground, 0, 0, own},
      {f::kIndeterminate, m::kSetCheck, 1, f::kChecked, ownPaint},
      {f::kChecked, m::kSetCheck, 2, f::kIndeterminate, ownPaint},
      {f::kDefault, m::kSetStyle, 0x50010000, 0, ownPaint},
      {f::kHot, m::kMouseMove, 0, f::kHot, own},          // hot already: no repaint
      {0, m::kMouseMove, skin::kLeftButtonHeld, 0, own},  // held: not hot
      {0, m::kMouseLeave, 0, 0, own},
  };
  for (Kind kind : {Kind::kPushButton, Kind::kCheckBox, Kind::kRadioButton}) {
    for (const auto& c : cases) {
      const skin::Decision d = skin::Decide(kind, c.flags, c.message, c.w);
      EXPECT_EQ(d.flags, c.next) << std::hex << c.message;
      EXPECT_EQ(d.actions, c.actions) << std::hex << c.message;
      EXPECT_FALSE(d.trackLeave) << std::hex << c.message;
    }
  }
  const skin::Decision hot = skin::Decide(Kind::kEdit, 0, m::kNcMouseMove, 0);
  EXPECT_EQ(hot.flags, f::kHot);
  EXPECT_TRUE(hot.trackLeave);
  EXPECT_EQ(skin::Decide(Kind::kEdit, 0, m::kVScroll, 0).actions, ownPaint);
  EXPECT_EQ(skin::Decide(Kind::kComboBox, 0, m::kLButtonDown, 0).flags, f::kPressed);
  const skin::Decision erase = skin::Decide(Kind::kUpDown, 0, m::kEraseBackground, 0);
  EXPECT_EQ(erase.actions, a::kReturnFixed);
  EXPECT_EQ(erase.fixed, 1);
  EXPECT_EQ(skin::Decide(Kind::kUpDown, 0, m::kMouseMove, 0, true).flags, f::kHot | f::kDefault);
  EXPECT_EQ(skin::Decide(Kind::kGroupBox, 0, m::kNcPaint, 0).actions, ownPaint);
}

TEST(SkinRules, StatesColoursAndCaptionPlacement) {
  const struct {
    uint32_t flags;
    int face, inner;
  } cases[] = {
      {f::kPressed | f::kHot | f::kFocused, 0, 5},  // pressed wins
      {f::kHot | f::kChecked, 1, 5},
      {f::kIndeterminate | f::kDefault, 2, 5},
      {f::kDisabled | f::kChecked, 2, 5},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(skin::FaceGradient(c.flags), c.face) << std::hex << c.flags;
    EXPECT_EQ(skin::InnerGradient(c.flags), c.inner) << std::hex << c.flags;
  }
  EXPECT_EQ(skin::SchemeGradient(3, 6).corner[2], 0xD7C5C6u);  // 198, 197, 215
  EXPECT_EQ(skin::SchemeGradient(3, 6).corner[3], 0xFFD7C5C6u);
  EXPECT_EQ(skin::SchemeGradient(7, 0).corner[0], skin::SchemeGradient(1, 0).corner[0]);
  EXPECT_FALSE(skin::IsVerticalRectangle(skin::SchemeGradient(2, 1)));
  EXPECT_EQ(skin::ButtonBorderColour(3), 0x743C00u);
  EXPECT_EQ(skin::ButtonBorderColour(9), 0x733C00u);
  EXPECT_EQ(skin::FrameColour(2), 0x7FB9A4u);
  EXPECT_EQ(skin::Darker(0x10FF05, 0x11), 0x00EE00u);   // each channel stops at 0
  EXPECT_EQ(skin::ButtonTextFlags(0x50010000), 0x25u);  // centred, single line
  EXPECT_EQ(skin::ButtonTextFlags(0x50010900), 0x28u);  // left, bottom
  EXPECT_EQ(skin::ButtonTextFlags(0x50012200), 0x12u);  // right, multi-line
  for (const auto& [style, top] :
       {std::pair{0x50012000u, 10}, {0x50012C00u, 10}, {0x50012800u, 20}, {0x50012400u, 0}}) {
    EXPECT_EQ(skin::MultiLineTextTop(style, 32, 12), top) << std::hex << style;
  }
}

}  // namespace
