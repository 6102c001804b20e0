// The Label's portable arithmetic (clamps, text flags, gradient colours,
// positions, tiles, the frame bands) and the list-texts walk of the
// standard controls.

#include "units/label_paint.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "units/blocks.h"
#include "units/control_texts.h"

namespace {

using namespace units;
namespace lp = labelprop;

TEST(LabelPaint, StoredValuesAreClampedAndTextFlagsFollowTheAlignments) {
  struct {
    int32_t number, value, stored;
  } cases[] = {
      {lp::kFrameWidth, 2, 5},      {lp::kFrameWidth, 9, 9},     {lp::kEffect, 7, 3},
      {lp::kEffect, -1, 0},         {lp::kBorderStyle, 8, 6},    {lp::kGradientMode, 9, 8},
      {lp::kBackPictureMode, 3, 2}, {lp::kVertAlignment, -4, 0}, {lp::kTextColor, -5, -5},
  };
  for (const auto& c : cases) EXPECT_EQ(StoredLabelValue(c.number, c.value), c.stored) << c.number;
  EXPECT_EQ(LabelTextFlags(0, false, 1), 0x124u);  // the defaults: left, single line, centred
  EXPECT_EQ(LabelTextFlags(1, false, 0), 0x121u);
  EXPECT_EQ(LabelTextFlags(2, false, 2), 0x12Au);
  EXPECT_EQ(LabelTextFlags(2, true, 2), 0x116u);  // word wrap: always DT_VCENTER
}

TEST(LabelPaint, GradientColoursSplitTheLengthIntoSegments) {
  const std::vector<uint32_t> two = {0x000000, 0xFF7F03};
  EXPECT_EQ(GradientColour(50, 100, two), 0x7F3F01u);  // midpoints truncated toward the first
  EXPECT_EQ(GradientColour(0, 100, two), 0x000000u);
  EXPECT_EQ(GradientColour(100, 100, two), 0xFF7F03u);
  EXPECT_EQ(GradientColour(140, 100, two), 0xFF7F03u);
  // Falling channels truncate toward the first colour too.
  EXPECT_EQ(GradientColour(1, 4, {0x0000FF, 0x000000}), 0x0000C0u);
  const std::vector<uint32_t> three = {0x0000FF, 0x00FF00, 0xFF0000};
  EXPECT_EQ(GradientColour(25, 100, three), 0x007F80u);
  EXPECT_EQ(GradientColour(75, 100, three), 0x7F8000u);
  EXPECT_EQ(GradientColour(0, 1, three), 0x0000FFu);  // segment length 0: the first colour
  EXPECT_EQ(UsableColours({0xFF000000u, 0xFFFFFF, 0xFF000000u}), std::vector<uint32_t>{0xFFFFFF});
}

TEST(LabelPaint, EachModeMeasuresFromItsOwnCorner) {
  // A 10 x 4 box: pixel (2, 1).
  struct {
    int32_t mode, t, length;
  } cases[] = {{1, 1, 4}, {2, 2, 10}, {3, 3, 8}, {4, 8, 8},
               {5, 2, 4}, {6, 7, 10}, {7, 9, 8}, {8, 4, 8}};
  for (const auto& c : cases) {
    const GradientPlace p = GradientPosition(c.mode, 10, 4, 2, 1);
    EXPECT_EQ(p.t, c.t) << c.mode;
    EXPECT_EQ(p.length, c.length) << c.mode;
  }
  EXPECT_EQ(GradientPosition(0, 10, 4, 2, 1).length, 0);
}

TEST(LabelPaint, TilesAreFiftyPixelsCutToTheClipAndKeepBoxPositions) {
  const Box box{10, 10, 130, 70};  // 120 x 60: tiles of 50, 50, 20 by 50, 10
  EXPECT_EQ(GradientTiles(box, {0, 0, 500, 500}).size(), 6u);
  const std::vector<Box> cut = GradientTiles(box, {55, 0, 65, 65});
  ASSERT_EQ(cut.size(), 4u);
  EXPECT_EQ(cut[0], (Box{55, 10, 60, 60}));
  EXPECT_EQ(cut[3], (Box{60, 60, 65, 65}));
  // Pixels of a cut tile are measured in the box: mode 2, black to white.
  const std::vector<uint32_t> pixels =
      GradientTilePixels(2, {0, 0, 100, 1}, {50, 0, 52, 1}, {0x000000, 0xFFFFFF});
  EXPECT_EQ(pixels, (std::vector<uint32_t>{0x7F7F7F, 0x828282}));
  // A COLORREF's red lands in the DIB pixel's high byte.
  EXPECT_EQ(GradientTilePixels(1, {0, 0, 1, 1}, {0, 0, 1, 1}, {0x0000FF, 0x0000FF})[0], 0xFF0000u);
}

TEST(LabelPaint, FrameDepthIsAtMostHalfTheSide) {
  const FrameBands f = GradientFrame({0, 0, 100, 10}, 8);
  ASSERT_TRUE(f.drawn);
  EXPECT_EQ(f.inner, (Box{8, 5, 92, 5}));
  EXPECT_EQ(f.top, (Box{0, 0, 100, 5}));
  EXPECT_EQ(f.bottom, (Box{0, 5, 100, 10}));
  EXPECT_EQ(f.left, (Box{0, 0, 8, 10}));
  EXPECT_EQ(f.right, (Box{92, 0, 100, 10}));
  EXPECT_FALSE(GradientFrame({0, 0, 100, 1}, 8).drawn);
}

void Upper(void*, std::string& text) {
  for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
}
void Collect(void* context, std::string& text) {
  static_cast<std::vector<std::string>*>(context)->push_back(text);
}

TEST(ControlTexts, CaptionFaceNameAndBindingAreVisitedAndWrittenBack) {
  forms::PropertyValues values(kLabelBlock);
  std::vector<uint8_t> font(kFontBlockSize, 0);
  std::memcpy(font.data() + 28, "Arial", 5);
  values.SetBytes(labelfield::kFont, font);
  values.SetText(labelfield::kCaption, "go");
  values.SetText(labelfield::kDataField, "col");
  const std::vector<uint8_t> block = forms::WriteBlock(values);
  const std::initializer_list<TextStep> steps = {{labelfield::kCaption},
                                                 {labelfield::kFont, true},
                                                 {labelfield::kDataSource},
                                                 {labelfield::kDataField}};
  std::vector<std::string> seen;
  RewriteBlockTexts(kLabelBlock, block.data(), block.size(), steps, Collect, &seen);
  EXPECT_EQ(seen, (std::vector<std::string>{"go", "Arial", "", "col"}));
  const std::vector<uint8_t> upper =
      RewriteBlockTexts(kLabelBlock, block.data(), block.size(), steps, Upper, nullptr);
  ASSERT_EQ(forms::ReadBlock(upper, values), forms::BlockStatus::kOk);
  EXPECT_EQ(values.Text(labelfield::kCaption), "GO");
  EXPECT_EQ(FontFaceName(values.Bytes(labelfield::kFont)), "ARIAL");
  // Without a 60-byte font no face name is visited; a newer block is refused.
  seen.clear();
  const std::vector<uint8_t> plain = forms::WriteBlock(forms::PropertyValues(kButtonBlock));
  RewriteBlockTexts(kButtonBlock, plain.data(), plain.size(),
                    {{buttonfield::kCaption}, {buttonfield::kFont, true}}, Collect, &seen);
  EXPECT_EQ(seen.size(), 1u);
  const uint8_t newer[] = {3, 0, 0, 0};
  EXPECT_TRUE(RewriteBlockTexts(kLabelBlock, newer, 4, steps, Collect, &seen).empty());
}

}  // namespace
