// FrameImage loads: the animated GIF canvas rules, PNG and the still path.

#include <gtest/gtest.h>

#include "extunits/picture/frame_load.h"
#include "extunits/picture/kind.h"
#include "tests/extunits/picture_builders.h"

namespace {

using ext::FrameImage;
using ext::kNoColor;
using test_pictures::Bytes;
using test_pictures::GifBuilder;

constexpr uint32_t kClear = 0xFFFFFFFF;  // white, fully transparent
// Palette 0xRRGGBB; as pixels the same values with transparency 0.
const std::vector<uint32_t> kColors = {0x000000, 0xFF0000, 0x00FF00, 0xFF0000};
constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlack = 0;

FrameImage Load(const Bytes& b, uint32_t transparent = kNoColor, bool take = false) {
  FrameImage image;
  ext::LoadFrameImageWith(image, b.data(), b.size(), transparent, take, ext::LoadStillPortable);
  return image;
}

TEST(GifAnimation, DisposalTwoAndThreeRestoreWhatLayUnderTheImage) {
  for (int disposal : {2, 3}) {
    SCOPED_TRACE(disposal);
    // 3 x 1 screen: a green pixel at 0, then a red 2 x 1 image over 0..1
    // that is disposed, then a black pixel at 2.
    const Bytes gif = GifBuilder(3, 1, kColors)
                          .Control(1, false, 0, 0)
                          .Image(0, 0, 1, 1, {2})
                          .Control(disposal, false, 0, 0)
                          .Image(0, 0, 2, 1, {1, 1})
                          .Control(0, false, 0, 0)
                          .Image(2, 0, 1, 1, {0})
                          .Finish();
    const FrameImage image = Load(gif);
    ASSERT_EQ(image.FrameCount(), 3);
    EXPECT_EQ(image.At(0).pixels, (std::vector<uint32_t>{kGreen, kClear, kClear}));
    EXPECT_EQ(image.At(1).pixels, (std::vector<uint32_t>{kRed, kRed, kClear}));
    EXPECT_EQ(image.At(2).pixels, (std::vector<uint32_t>{kGreen, kClear, kBlack}));
  }
  // Disposal 1 (and none) keeps the image on the canvas.
  const Bytes keep = GifBuilder(2, 1, kColors)
                         .Control(1, false, 0, 0)
                         .Image(0, 0, 1, 1, {2})
                         .Image(1, 0, 1, 1, {1})
                         .Finish();
  EXPECT_EQ(Load(keep).At(1).pixels, (std::vector<uint32_t>{kGreen, kRed}));
}

TEST(GifAnimation, TransparentPixelsAreComparedByColor) {
  // Index 1 is transparent; index 3 has the same colour and is skipped too.
  const Bytes gif = GifBuilder(4, 1, kColors)
                        .Image(0, 0, 4, 1, {2, 2, 2, 2})
                        .Control(0, true, 1, 0)
                        .Image(0, 0, 4, 1, {0, 1, 2, 3})
                        .Finish();
  const FrameImage image = Load(gif);
  ASSERT_EQ(image.FrameCount(), 2);
  EXPECT_EQ(image.At(1).pixels, (std::vector<uint32_t>{kBlack, kGreen, kGreen, kGreen}));
  // A local table decides the transparent colour of its image.
  const Bytes local = GifBuilder(2, 1, kColors)
                          .Control(0, true, 0, 0)
                          .Image(0, 0, 2, 1, {0, 1}, {0x0000FF, 0x000000})
                          .Finish();
  EXPECT_EQ(Load(local).At(0).pixels, (std::vector<uint32_t>{kClear, kBlack}));
}

TEST(GifAnimation, DelaysAndTransparentColors) {
  const Bytes gif = GifBuilder(2, 2, kColors)
                        .Control(0, false, 0, 0)
                        .Image(1, 1, 1, 1, {1})
                        .Control(0, false, 0, 25)
                        .Image(0, 0, 1, 1, {2})
                        .Finish();
  FrameImage image = Load(gif, 0x123456);
  ASSERT_EQ(image.FrameCount(), 2);
  EXPECT_EQ(image.Width(), 2);
  EXPECT_EQ(image.At(0).delay, 50u);  // a delay of 0 shows for 50 ms
  EXPECT_EQ(image.At(1).delay, 250u);
  EXPECT_EQ(image.At(0).transparentColor, 0x123456u);
  // Taken from each frame's top-left pixel: first the white canvas, then green.
  image = Load(gif, 0x123456, true);
  EXPECT_EQ(image.At(0).transparentColor, 0xFFFFFFu);
  EXPECT_EQ(image.At(1).transparentColor, 0x00FF00u);
}

TEST(GifAnimation, ImagesOutsideTheScreenAreClipped) {
  const Bytes gif = GifBuilder(2, 2, kColors)
                        .Control(2, false, 0, 0)
                        .Image(1, 1, 3, 3, Bytes(9, 1))
                        .Image(5, 5, 1, 1, {2})
                        .Finish();
  const FrameImage image = Load(gif);
  ASSERT_EQ(image.FrameCount(), 2);
  EXPECT_EQ(image.At(0).pixels, (std::vector<uint32_t>{kClear, kClear, kClear, kRed}));
  EXPECT_EQ(image.At(1).pixels, std::vector<uint32_t>(4, kClear));
}

TEST(GifAnimation, BrokenStreamsKeepTheFramesMadeBefore) {
  GifBuilder builder(2, 1, kColors);
  builder.Image(0, 0, 2, 1, {1, 2}).Image(0, 0, 2, 1, {2, 1});
  Bytes cut = builder.bytes();
  cut.resize(cut.size() - 2);
  EXPECT_EQ(Load(cut).FrameCount(), 1);
  EXPECT_TRUE(Load({'G', 'I', 'F', '8', '9', 'a'}).Empty());
  EXPECT_TRUE(Load(GifBuilder(2, 1, kColors).Finish()).Empty());  // no image at all
  FrameImage image = Load(builder.bytes());
  ASSERT_EQ(image.FrameCount(), 2);
  ext::LoadFrameImageWith(image, nullptr, 0, kNoColor, false, ext::LoadStillPortable);
  EXPECT_TRUE(image.Empty());  // a new load always empties the image first
}

TEST(GifAnimation, FramesStopAtTheMemoryLimit) {
  // A 4096 x 4096 screen costs 64 MiB a frame: three fit the 256 MiB limit.
  GifBuilder builder(4096, 4096, kColors);
  for (int i = 0; i < 6; ++i) builder.Image(i, 0, 1, 1, {1});
  const FrameImage image = Load(builder.Finish());
  EXPECT_EQ(image.FrameCount(), 3);
}

TEST(PngFrame, AlphaBackgroundAndTakenColor) {
  const std::vector<uint32_t> argb = {0xFF102030, 0x00405060, 0x80FFFFFF, 0xFF000000};
  FrameImage image = Load(test_pictures::EncodePng(2, 2, argb, {}), 0x42, false);
  ASSERT_EQ(image.FrameCount(), 1);
  EXPECT_EQ(image.At(0).delay, 0u);
  EXPECT_EQ(image.At(0).transparentColor, 0x42u);
  EXPECT_EQ(image.At(0).pixels, (std::vector<uint32_t>{0x00102030, 0xFF405060, 0x7FFFFFFF, 0}));
  // With a background colour chunk the pixels are blended onto it.
  test_pictures::PngOptions o;
  o.background = true;
  o.backgroundRgb = 0x0000FF;
  image = Load(test_pictures::EncodePng(2, 2, argb, o), kNoColor, true);
  EXPECT_EQ(image.At(0).pixels, (std::vector<uint32_t>{0x00102030, 0x000000FF, 0x008080FF, 0}));
  EXPECT_EQ(image.At(0).transparentColor, 0x302010u);  // top-left as COLORREF
  // Grey, palette and 16-bit images come out as 8-bit colour.
  o = {};
  o.colorType = 0;
  o.bitDepth = 2;
  image = Load(test_pictures::EncodePng(2, 1, {0xFF555555, 0xFFAAAAAA}, o));
  EXPECT_EQ(image.At(0).pixels, (std::vector<uint32_t>{0x555555, 0xAAAAAA}));
  o.colorType = 3;
  o.bitDepth = 1;
  image = Load(test_pictures::EncodePng(2, 1, {0xFF123456, 0x00ABCDEF}, o));
  EXPECT_EQ(image.At(0).pixels, (std::vector<uint32_t>{0x00123456, 0xFFABCDEF}));
  o.colorType = 2;
  o.bitDepth = 16;
  o.interlaced = true;
  image = Load(test_pictures::EncodePng(3, 3, std::vector<uint32_t>(9, 0xFF8040C0), o));
  EXPECT_EQ(image.At(0).pixels, std::vector<uint32_t>(9, 0x8040C0));
  Bytes broken = test_pictures::EncodePng(2, 2, argb, {});
  broken.resize(broken.size() / 2);
  EXPECT_TRUE(Load(broken).Empty());
}

TEST(StillFrame, OtherKindsComeThroughTheStillLoader) {
  const Bytes bmp = test_pictures::BuildBmp(2, 1, 24, {0x112233, 0x445566});
  FrameImage image = Load(bmp, 0x777777, false);
  ASSERT_EQ(image.FrameCount(), 1);
  EXPECT_EQ(image.At(0).pixels, (std::vector<uint32_t>{0x112233, 0x445566}));
  EXPECT_EQ(image.At(0).transparentColor, 0x777777u);
  EXPECT_EQ(Load(bmp, 0x777777, true).At(0).transparentColor, 0x332211u);
  const Bytes jpeg =
      test_pictures::EncodeJpeg(8, 8, std::vector<uint32_t>(64, 0x2080C0), 100, false);
  image = Load(jpeg, kNoColor, true);
  ASSERT_EQ(image.FrameCount(), 1);
  EXPECT_EQ(image.At(0).transparentColor, ext::PixelColor(image.At(0).pixels[0]));
  EXPECT_NEAR(int(image.At(0).transparentColor & 0xFF), 0x20, 3);  // red of COLORREF
  // A loader that fails, or none, or a size that does not match: empty.
  auto failing = [](const uint8_t*, size_t, int32_t&, int32_t&, std::vector<uint32_t>&) {
    return false;
  };
  ext::LoadFrameImageWith(image, bmp.data(), bmp.size(), kNoColor, false, failing);
  EXPECT_TRUE(image.Empty());
  ext::LoadFrameImageWith(image, bmp.data(), bmp.size(), kNoColor, false, nullptr);
  EXPECT_TRUE(image.Empty());
  auto lying = [](const uint8_t*, size_t, int32_t& w, int32_t& h, std::vector<uint32_t>& p) {
    w = 100, h = 100, p.assign(3, 0);
    return true;
  };
  ext::LoadFrameImageWith(image, bmp.data(), bmp.size(), kNoColor, false, lying);
  EXPECT_TRUE(image.Empty());
  EXPECT_TRUE(Load({'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'}).Empty());
}

}  // namespace
