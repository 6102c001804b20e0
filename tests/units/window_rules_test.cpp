// The window unit's portable arithmetic: frame styles and the style sync,
// centring, the centred picture, the shape polygons and the tray rules.

#include "units/window_rules.h"

#include <gtest/gtest.h>

#include "units/blocks.h"

namespace {

using namespace units;
using namespace units::winstyle;

TEST(WindowRules, FrameAndCaptionBits) {
  struct Case {
    FrameProperties p;
    uint32_t style, exStyle, caption;
  } cases[] = {
      // The empty block: fixed dialog frame, caption and system menu for the control box.
      {{2, false, true, false, false}, kDlgFrame, 0, kCaption | kSysMenu},
      // No border: no caption even with a title; the boxes still add their bits.
      {{0, true, true, true, false}, 0, 0, kMaximizeBox},
      {{1, true, false, false, true}, kDlgFrame | kThickFrame, 0, kCaption | kMinimizeBox},
      {{3, false, false, false, false}, kDlgFrame | kThickFrame, kExToolWindow, 0},
      {{6, false, true, false, false}, kDlgFrame, kExClientEdge, kCaption | kSysMenu},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FrameStyle(c.p.borderStyle), c.style) << c.p.borderStyle;
    EXPECT_EQ(FrameExStyle(c.p.borderStyle), c.exStyle) << c.p.borderStyle;
    EXPECT_EQ(CaptionBits(c.p), c.caption) << c.p.borderStyle;
  }
}

TEST(WindowRules, StyleSyncChangesOnlyTheMaskedBits) {
  FrameProperties p{2, false, false, false, false};  // no caption: only the dialog frame
  const uint32_t current = kCaption | kSysMenu | kClipChildren | kThickFrame;
  EXPECT_EQ(SyncedStyle(current, p), kDlgFrame | kClipChildren | kThickFrame);
  p.controlBox = true;
  EXPECT_EQ(SyncedStyle(current, p), current);  // nothing to change
  p.borderStyle = 0;
  EXPECT_EQ(SyncedStyle(current, p), kClipChildren | kThickFrame);
}

TEST(WindowRules, CentringTruncatesTowardZero) {
  EXPECT_EQ(CentredOnScreen(1280, 1024, 401, 300), (Point{439, 362}));
  EXPECT_EQ(CentredOnScreen(100, 100, 301, 100), (Point{-100, 0}));  // -201 / 2
  EXPECT_EQ(Clamp(40, 0, 29), 29);
  EXPECT_EQ(Clamp(-3, 0, 6), 0);
}

TEST(WindowRules, CentredPictureShrinksToFit) {
  EXPECT_EQ(CentredPicture(100, 100, 200, 100), (Rect{0, 25, 100, 50}));
  EXPECT_EQ(CentredPicture(100, 100, 40, 20), (Rect{30, 40, 40, 20}));
  // Larger one way only: the other way keeps its offset and grows by the rest.
  EXPECT_EQ(CentredPicture(300, 50, 100, 100), (Rect{125, 0, 50, 50}));
  EXPECT_EQ(CentredPicture(50, 200, 100, 100), (Rect{0, 75, 50, 50}));
}

TEST(WindowRules, ShapePolygonsScaleWithRounding) {
  EXPECT_EQ(MulDivRounded(16383, 100, 32767), 50);  // 49.998 rounds up
  EXPECT_EQ(MulDivRounded(-7, 3, 2), -11);          // half away from zero
  EXPECT_EQ(MulDivRounded(1, 1, 0), -1);
  EXPECT_EQ(ShapePolygon(4, 100, 60), (std::vector<Point>{{50, 0}, {100, 60}, {0, 60}, {50, 0}}));
  EXPECT_EQ(ShapePolygon(5, 32767, 32767).size(), 3u);
  EXPECT_EQ(ShapePolygon(16, 100, 100).size(), 24u);
  EXPECT_EQ(ShapePolygon(29, 100, 100),
            (std::vector<Point>{{100, 50}, {57, 0}, {0, 0}, {0, 100}, {57, 100}}));
  EXPECT_TRUE(ShapePolygon(3, 100, 100).empty());
  EXPECT_TRUE(ShapePolygon(30, 100, 100).empty());
}

TEST(WindowRules, TrayTipAndCallbackMessages) {
  const std::string eighty(80, 'x');
  EXPECT_EQ(TrayTip(eighty.c_str()).size(), 62u);
  EXPECT_EQ(TrayTip("短"), "短");
  EXPECT_EQ(TrayTip(nullptr), "");
  // A character that would pass the 62nd byte is left out whole.
  EXPECT_EQ(TrayTip((std::string(61, 'x') + "短").c_str()), std::string(61, 'x'));
  EXPECT_EQ(TrayTip((std::string(60, 'x') + "短").c_str()).size(), 62u);
  // The default help file: the program's extension, found between characters.
  EXPECT_EQ(HelpFileFor("C:\\dir\\a.誠"), "C:\\dir\\a.hlp");
  EXPECT_EQ(HelpFileFor("C:\\v1.0\\player"), "C:\\v1.0\\player.hlp");
  EXPECT_EQ(HelpFileFor("C:\\衆.exe"), "C:\\衆.hlp");
  EXPECT_EQ(TrayEventArgument(0x0202), 1);
  EXPECT_EQ(TrayEventArgument(0x0203), 2);
  EXPECT_EQ(TrayEventArgument(0x0205), 3);
  EXPECT_EQ(TrayEventArgument(0x007B), 3);
  for (uint32_t other : {0x0200u, 0x0201u, 0x0204u, 0x0206u, 0x0207u}) {
    EXPECT_EQ(TrayEventArgument(other), 0) << other;
  }
}

}  // namespace

namespace {

TEST(WindowRules, DesignTimeRequestsReadAndRewriteTheBlock) {
  forms::PropertyValues values(units::kWindowBlock);
  values.SetText(units::windowfield::kCaption, "标题");
  values.SetText(units::windowfield::kClassName, "Cls");
  values.SetBytes(units::windowfield::kIcon, {1, 2, 3});
  const std::vector<uint8_t> block = forms::WriteBlock(values);
  EXPECT_EQ(units::WindowIconBytes(block.data(), block.size()), (std::vector<uint8_t>{1, 2, 3}));

  std::vector<std::string> seen;
  auto visit = [](void* context, std::string& text) {
    static_cast<std::vector<std::string>*>(context)->push_back(text);
    text += "!";
  };
  const std::vector<uint8_t> rewritten =
      units::RewriteWindowTexts(block.data(), block.size(), visit, &seen);
  EXPECT_EQ(seen, (std::vector<std::string>{"标题", "", "Cls"}));
  forms::PropertyValues read(units::kWindowBlock);
  ASSERT_EQ(forms::ReadBlock(rewritten, read), forms::BlockStatus::kOk);
  EXPECT_EQ(read.Text(units::windowfield::kHelpFile), "!");
  EXPECT_EQ(read.Bytes(units::windowfield::kIcon), (std::vector<uint8_t>{1, 2, 3}));

  std::vector<uint8_t> newer = block;
  newer[0] = 7;  // version 7 is refused
  EXPECT_TRUE(units::WindowIconBytes(newer.data(), newer.size()).empty());
  EXPECT_TRUE(units::RewriteWindowTexts(newer.data(), newer.size(), visit, &seen).empty());
}

}  // namespace
