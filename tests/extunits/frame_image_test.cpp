// FrameImage operations and compositing.

#include <gtest/gtest.h>

#include "extunits/picture/frame_image.h"

namespace {

using ext::Frame;
using ext::FrameImage;
using ext::kNoColor;

// A width x height image whose pixel at (x, y) is 0x00YYXX plus `base`.
FrameImage Numbered(int32_t width, int32_t height, int frames = 1, uint32_t base = 0) {
  FrameImage image;
  image.Reset(width, height);
  for (int f = 0; f < frames; ++f) {
    Frame frame;
    frame.delay = 100u * static_cast<uint32_t>(f + 1);
    frame.transparentColor = 0x000001;  // COLORREF red 1: the pixel at (1, 0)
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x)
        frame.pixels.push_back(base + (uint32_t(y) << 8 | uint32_t(x)) + (uint32_t(f) << 16));
    }
    image.AddFrame(frame);
  }
  return image;
}

// The x numbers of a row after resampling.
std::vector<uint32_t> Row(const FrameImage& image, int32_t y) {
  std::vector<uint32_t> row;
  for (int32_t x = 0; x < image.Width(); ++x)
    row.push_back(image.At(0).pixels[static_cast<size_t>(y * image.Width() + x)] & 0xFF);
  return row;
}

TEST(Zoom, SizesRoundLikeMulDivAndNothingForNeutralFactors) {
  FrameImage image = Numbered(10, 7);
  const FrameImage original = image;
  image.Zoom(1000, 1000);
  image.Zoom(0, 2000);
  image.Zoom(1500, -1);
  EXPECT_EQ(image, original);
  image.Zoom(1250, 1500);  // 12.5 -> 13, 10.5 -> 11
  EXPECT_EQ(image.Width(), 13);
  EXPECT_EQ(image.Height(), 11);
  EXPECT_EQ(image.At(0).transparentColor, kNoColor);
  EXPECT_EQ(image.At(0).delay, 100u);
  image.Zoom(10, 10);  // 0.13 -> 0: empty
  EXPECT_TRUE(image.Empty());
  EXPECT_EQ(image.Width(), 0);
  image = Numbered(10, 7);
  image.Zoom(2000000, 2000000);  // 20000 x 14000 is over the size limit
  EXPECT_TRUE(image.Empty());
}

TEST(Zoom, NearestNeighbourInFixedPoint) {
  FrameImage image = Numbered(10, 4);
  image.Zoom(700, 1000);  // 7 columns, step = floor(10 / 7 * 256) = 365
  EXPECT_EQ(Row(image, 0), (std::vector<uint32_t>{0, 1, 2, 4, 5, 7, 8}));
  image = Numbered(3, 2);
  image.Zoom(3000, 1000);  // step 85: the first column four times, the last twice
  EXPECT_EQ(Row(image, 1), (std::vector<uint32_t>{0, 0, 0, 0, 1, 1, 1, 2, 2}));
  // Whole pixels are copied, transparency byte included.
  image = Numbered(2, 2, 1, 0x7F000000);
  image.Zoom(2000, 2000);
  EXPECT_EQ(image.At(0).pixels[0], 0x7F000000u);
  EXPECT_EQ(image.At(0).pixels[15], 0x7F000101u);
}

TEST(Zoom, OppositeFactorsScaleWidthFirstThenHeight) {
  FrameImage twoStep = Numbered(9, 9, 2);
  twoStep.Zoom(500, 1500);
  FrameImage byHand = Numbered(9, 9, 2);
  byHand.Zoom(500, 1000);
  byHand.Zoom(1000, 1500);
  EXPECT_EQ(twoStep, byHand);
  EXPECT_EQ(twoStep.Width(), 5);  // 4.5 rounds up
  EXPECT_EQ(twoStep.Height(), 14);
  EXPECT_EQ(twoStep.FrameCount(), 2);
}

TEST(Flip, EveryFrameEachWay) {
  const FrameImage original = Numbered(3, 2, 2);
  FrameImage image = original;
  image.Flip(1);
  EXPECT_EQ(image.At(1).pixels,
            (std::vector<uint32_t>{0x10002, 0x10001, 0x10000, 0x10102, 0x10101, 0x10100}));
  image = original;
  image.Flip(2);
  EXPECT_EQ(image.At(0).pixels, (std::vector<uint32_t>{0x100, 0x101, 0x102, 0, 1, 2}));
  image = original;
  image.Flip(3);
  EXPECT_EQ(image.At(0).pixels, (std::vector<uint32_t>{0x102, 0x101, 0x100, 2, 1, 0}));
  image.Flip(3);
  image.Flip(4);
  EXPECT_EQ(image, original);
}

FrameImage OnePixelFrames(std::vector<uint32_t> pixels, uint32_t transparent) {
  FrameImage image;
  image.Reset(static_cast<int32_t>(pixels.size()), 1);
  Frame f;
  f.pixels = std::move(pixels);
  f.transparentColor = transparent;
  image.AddFrame(f);
  return image;
}

TEST(ColorEffects, BrightnessSkipsTheTransparentColorAndClamps) {
  // Pixel 0x00A0B0C0 is COLORREF 0xC0B0A0.
  FrameImage image = OnePixelFrames({0x7F102030, 0x00A0B0C0, 0x00FFFF01}, 0xC0B0A0);
  image.Brightness(50);
  EXPECT_EQ(image.At(0).pixels, (std::vector<uint32_t>{0x7F183048, 0x00A0B0C0, 0x00FFFF01}));
  image.Brightness(-150);  // c - c * 150 / 100, clamped at 0
  EXPECT_EQ(image.At(0).pixels, (std::vector<uint32_t>{0x7F000000, 0x00A0B0C0, 0x00000000}));
  image = OnePixelFrames({0x00646464}, kNoColor);
  image.Brightness(-33);  // 100 - 33 = 67: division truncates toward zero
  EXPECT_EQ(image.At(0).pixels[0], 0x00434343u);
  image.Brightness(2000000000);  // no overflow, clamped
  EXPECT_EQ(image.At(0).pixels[0], 0x00FFFFFFu);
}

TEST(ColorEffects, TrendColorMovesTowardTheColor) {
  FrameImage image = OnePixelFrames({0x00000000, 0x00FFFFFF, 0x11808080}, 0xFFFFFF);
  image.TrendColor(0x0000FF, 50);  // toward red
  EXPECT_EQ(image.At(0).pixels, (std::vector<uint32_t>{0x007F0000, 0x00FFFFFF, 0x11BF4040}));
  FrameImage same = image;
  same.TrendColor(0x0000FF, 0);
  same.TrendColor(0x0000FF, -5);
  EXPECT_EQ(same, image);
  image.TrendColor(0x00FF00, 250);  // depth clamped to 100: the colour itself
  EXPECT_EQ(image.At(0).pixels[0], 0x0000FF00u);
  EXPECT_EQ(image.At(0).pixels[2], 0x1100FF00u);
}

TEST(FrameList, CopyMoveAndCompare) {
  FrameImage a = Numbered(4, 3, 3);
  FrameImage copy = a;
  EXPECT_EQ(copy, a);
  copy.At(1).pixels[5] ^= 1;
  EXPECT_NE(copy, a);  // a deep copy
  copy = a;
  copy.At(2).delay = 1;
  EXPECT_NE(copy, a);
  copy = a;
  copy.At(0).transparentColor = kNoColor;
  EXPECT_NE(copy, a);
  EXPECT_NE(Numbered(4, 3, 2), a);
  EXPECT_NE(Numbered(3, 4, 3), a);

  FrameImage moved;
  moved.TakeFrom(copy);
  EXPECT_TRUE(copy.Empty());
  EXPECT_EQ(copy.Width(), 0);
  EXPECT_EQ(moved.FrameCount(), 3);
  FrameImage assigned = std::move(moved);
  EXPECT_TRUE(moved.Empty());  // moving leaves the image empty
  EXPECT_EQ(assigned.Width(), 4);
  // Every operation leaves an empty image empty.
  FrameImage empty;
  empty.Zoom(2000, 2000);
  empty.Flip(3);
  empty.Brightness(10);
  empty.TrendColor(0, 50);
  EXPECT_EQ(empty, FrameImage());
}

// ---- Compositing -------------------------------------------------------------

struct Canvas {
  int32_t width, height;
  std::vector<uint32_t> pixels;
  ext::PixelBlock Block() { return {pixels.data(), width, height}; }
};

TEST(Composite, ClipsToBothImages) {
  Canvas target{4, 3, std::vector<uint32_t>(12, 0)};
  const std::vector<uint32_t> source = {1, 2, 3, 4, 5, 6};  // 3 x 2
  ext::Composite(target.Block(), -1, 2, {source.data(), 3, 2}, 0, 0, 3, 2, kNoColor, 0);
  EXPECT_EQ(target.pixels, (std::vector<uint32_t>{0, 0, 0, 0, 0, 0, 0, 0, 2, 3, 0, 0}));
  target.pixels.assign(12, 0);
  ext::Composite(target.Block(), 2, 0, {source.data(), 3, 2}, 1, -1, 9, 9, kNoColor, 0);
  EXPECT_EQ(target.pixels, (std::vector<uint32_t>{0, 0, 0, 0, 0, 0, 2, 3, 0, 0, 5, 6}));
  target.pixels.assign(12, 0);
  ext::Composite(target.Block(), 0, 0, {source.data(), 3, 2}, 3, 0, 2, 2, kNoColor, 0);
  ext::Composite(target.Block(), 2147483647, 0, {source.data(), 3, 2}, -2147483647 - 1, 0,
                 2147483647, 2, kNoColor, 0);
  EXPECT_EQ(target.pixels, std::vector<uint32_t>(12, 0));
}

TEST(Composite, TransparentColorAndOverallTransparency) {
  Canvas target{4, 1, {0x00000000, 0x00000000, 0x00FF00FF, 0x00FF00FF}};
  // COLORREF 0x0000FF (red) is pixel 0x00FF0000.
  const std::vector<uint32_t> source = {0x00FF0000, 0x00FFFFFF, 0x80FFFFFF, 0xFF00FF00};
  ext::Composite(target.Block(), 0, 0, {source.data(), 4, 1}, 0, 0, 4, 1, 0x0000FF, 0);
  // Skipped, copied whole, blended by its own transparency, left alone.
  EXPECT_EQ(target.pixels, (std::vector<uint32_t>{0x00000000, 0x00FFFFFF, 0x00FF7FFF, 0x00FF00FF}));

  Canvas half{2, 1, {0x00000000, 0x00FF0000}};
  const std::vector<uint32_t> white = {0x00FFFFFF, 0x00FFFFFF};
  ext::Composite(half.Block(), 0, 0, {white.data(), 2, 1}, 0, 0, 2, 1, kNoColor, 40);
  // o = 40 * 255 / 100 = 102: t + (s - t) * 153 / 255
  EXPECT_EQ(half.pixels, (std::vector<uint32_t>{0x00999999, 0x00FF9999}));
  ext::Composite(half.Block(), 0, 0, {white.data(), 2, 1}, 0, 0, 2, 1, kNoColor, 100);
  EXPECT_EQ(half.pixels, (std::vector<uint32_t>{0x00999999, 0x00FF9999}));
  ext::Composite(half.Block(), 0, 0, {source.data(), 2, 1}, 0, 0, 2, 1, kNoColor, -30);
  EXPECT_EQ(half.pixels, (std::vector<uint32_t>{0x00FF0000, 0x00FFFFFF}));
}

}  // namespace
