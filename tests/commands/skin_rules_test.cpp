// The skin engine's rules: which windows become which kind, what the
// window procedure does with each message, and the colour choices.

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
      {"Button", 0x50010000, true, false, Kind::kPushButton},
      {"BUTTON", 0x50010001, true, false, Kind::kPushButton},  // default push, any case
      {"Button", 0x40010000, false, false, Kind::kNone},       // bare, no caption
      {"Button", 0x40010000, true, false, Kind::kPushButton},
      {"Button", 0x50010003, true, false, Kind::kCheckBox},
      {"Button", 0x50011003, true, false, Kind::kPushButton},  // push-like check box
      {"Button", 0x50010006, true, false, Kind::kCheckBox},
      {"Button", 0x50010009, true, false, Kind::kRadioButton},
      {"Button", 0x50011004, true, false, Kind::kPushButton},
      {"Button", 0x50010007, true, false, Kind::kGroupBox},
      {"Button", 0x50010080, true, false, Kind::kNone},  // bitmap
      {"Button", 0x50010008, true, false, Kind::kNone},  // user
      {"Button", 0x5001000B, true, false, Kind::kNone},  // owner-draw
      {"Edit", 0x50010000, false, false, Kind::kEdit},
      {"Edit", 0x50010000, false, true, Kind::kNone},
      {"ComboBox", 0x50010001, false, false, Kind::kNone},  // simple
      {"ComboBox", 0x50010003, false, false, Kind::kComboBox},
      {"ComboLBox", 0, false, false, Kind::kComboList},
      {"msctls_updown32", 0, false, false, Kind::kUpDown},
      {"msctls_trackbar32", 0, false, false, Kind::kTrackBar},
      {"ListBox", 0, false, false, Kind::kNone},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(skin::KindOf({c.name, c.style, c.caption, c.inIpAddress}), c.kind)
        << c.name << " " << std::hex << c.style;
  }
  EXPECT_TRUE(skin::IsSkinned(Kind::kComboList));
  EXPECT_FALSE(skin::IsSkinned(Kind::kTrackBar));
}

TEST(SkinRules, ButtonsFollowTheDecisionTable) {
  constexpr uint32_t own = a::kOwnFirst, ownPaint = a::kOwnFirst | a::kPaint;
  const struct {
    uint32_t flags, message;
    uint64_t w;
    uint32_t next, actions;
    bool track;
  } cases[] = {
      {0, m::kPaint, 0, 0, a::kDefaultFirst | a::kPaint, false},
      {0, m::kSetText, 0, 0, a::kDefaultFirst | a::kPaint, false},
      {0, m::kEraseBackground, 0, 0, own, false},
      {f::kIndeterminate, m::kSetCheck, 1, f::kChecked, ownPaint, false},
      {f::kChecked, m::kSetCheck, 2, f::kIndeterminate, ownPaint, false},
      {0, m::kSetState, 1, f::kPressed, ownPaint, false},
      {f::kPressed, m::kSetState, 0, 0, ownPaint, false},
      {0, m::kSetStyle, 0x50010001, f::kDefault, ownPaint, false},
      {f::kDefault, m::kSetStyle, 0x50010000, 0, ownPaint, false},
      {0, m::kSetFocus, 0, f::kFocused, ownPaint, false},
      {f::kFocused, m::kKillFocus, 0, 0, ownPaint, false},
      {0, m::kEnable, 0, f::kDisabled, ownPaint, false},
      {f::kDisabled, m::kEnable, 1, 0, ownPaint, false},
      {0, m::kMouseMove, 0, f::kHot, ownPaint, true},
      {f::kHot, m::kMouseMove, 0, f::kHot, own, false},
      {0, m::kMouseMove, skin::kLeftButtonHeld, 0, own, false},  // held: not hot
      {f::kHot, m::kMouseLeave, 0, 0, ownPaint, false},
      {0, m::kMouseLeave, 0, 0, own, false},
      {0, 0x0100, 0, 0, own, false},
  };
  for (Kind kind : {Kind::kPushButton, Kind::kCheckBox, Kind::kRadioButton}) {
    for (const auto& c : cases) {
      const skin::Decision d = skin::Decide(kind, c.flags, c.message, c.w);
      EXPECT_EQ(d.flags, c.next) << std::hex << c.message;
      EXPECT_EQ(d.actions, c.actions) << std::hex << c.message;
      EXPECT_EQ(d.trackLeave, c.track) << std::hex << c.message;
    }
  }
}

TEST(SkinRules, OtherKindsRepaintOnTheirOwnMessages) {
  constexpr uint32_t ownPaint = a::kOwnFirst | a::kPaint;
  EXPECT_EQ(skin::Decide(Kind::kEdit, 0, m::kVScroll, 0).actions, ownPaint);
  const skin::Decision hot = skin::Decide(Kind::kEdit, 0, m::kNcMouseMove, 0);
  EXPECT_EQ(hot.flags, f::kHot);
  EXPECT_TRUE(hot.trackLeave);
  EXPECT_EQ(skin::Decide(Kind::kEdit, f::kHot, m::kNcMouseLeave, 0).flags, 0u);
  EXPECT_EQ(skin::Decide(Kind::kComboBox, 0, m::kLButtonDown, 0).flags, f::kPressed);
  EXPECT_EQ(skin::Decide(Kind::kComboBox, f::kPressed, m::kLButtonUp, 0).flags, 0u);
  const skin::Decision erase = skin::Decide(Kind::kUpDown, 0, m::kEraseBackground, 0);
  EXPECT_EQ(erase.actions, a::kReturnFixed);
  EXPECT_EQ(erase.fixed, 1);
  EXPECT_EQ(skin::Decide(Kind::kUpDown, 0, m::kMouseMove, 0, true).flags, f::kHot | f::kDefault);
  EXPECT_EQ(skin::Decide(Kind::kGroupBox, 0, m::kNcPaint, 0).actions, ownPaint);
  EXPECT_EQ(skin::Decide(Kind::kComboList, 0, m::kMouseMove, 0).flags, f::kHot);
}

TEST(SkinRules, StatesPickTheirGradientsAndColours) {
  const struct {
    uint32_t flags;
    int face, inner;
  } cases[] = {
      {f::kPressed | f::kHot | f::kFocused, 0, 5},
      {f::kHot | f::kChecked, 1, 5},
      {f::kIndeterminate | f::kDefault, 2, 5},
      {f::kDefault, 3, 6},
      {f::kFocused, 3, 6},
      {0, 4, 6},
      {f::kDisabled, 4, -1},
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
  EXPECT_EQ(skin::Darker(0xC8D0D4, 0x20), 0xA8B0B4u);
  EXPECT_EQ(skin::Darker(0x10FF05, 0x11), 0x00EE00u);
  EXPECT_EQ(skin::ButtonTextFlags(0x50010000), 0x25u);  // centred, single line
  EXPECT_EQ(skin::ButtonTextFlags(0x50010900), 0x28u);  // left, bottom
  EXPECT_EQ(skin::ButtonTextFlags(0x50012200), 0x12u);  // right, multi-line
  EXPECT_EQ(skin::MultiLineTextTop(0x50012000, 32, 12), 10);
  EXPECT_EQ(skin::MultiLineTextTop(0x50012C00, 32, 12), 10);
  EXPECT_EQ(skin::MultiLineTextTop(0x50012800, 32, 12), 20);
  EXPECT_EQ(skin::MultiLineTextTop(0x50012400, 32, 12), 0);
}

}  // namespace
