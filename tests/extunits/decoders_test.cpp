// Kind detection and the still-picture decoders: pixel layouts by kind and
// what they refuse.

#include <gtest/gtest.h>

#include "extunits/picture/decoders.h"
#include "extunits/picture/icon.h"
#include "extunits/picture/picture.h"
#include "extunits/picture/png.h"
#include "tests/extunits/picture_builders.h"

namespace {

using ext::PictureData;
using ext::PictureKind;
using test_pictures::Bytes;

PictureKind Kind(const Bytes& b) { return ext::DetectKind(b.data(), b.size()); }

std::vector<uint32_t> Pixels(const PictureData& p) {
  std::vector<uint32_t> pixels;
  EXPECT_TRUE(ext::StillPixels(p, pixels));
  return pixels;
}

TEST(Kind, FirstMatchingRuleWins) {
  const Bytes pad = {0, 0, 0, 0};
  auto with = [&](Bytes start) {
    start.insert(start.end(), pad.begin(), pad.end());
    return start;
  };
  EXPECT_EQ(Kind(with({'B', 'M'})), PictureKind::kBmp);
  EXPECT_EQ(Kind(with({0xFF, 0xD8})), PictureKind::kJpeg);
  EXPECT_EQ(Kind(with({0, 0, 1, 0, 1, 0})), PictureKind::kIcon);
  EXPECT_EQ(Kind(with({0, 0, 2, 0, 1, 0})), PictureKind::kCursor);
  EXPECT_EQ(Kind(with({0, 0, 1, 0, 0, 0})), PictureKind::kNone);  // no images
  EXPECT_EQ(Kind(with({'G', 'I', 'F', '8', '7', 'a'})), PictureKind::kGif);
  EXPECT_EQ(Kind(with({'G', 'I', 'F', '8', '8', 'a'})), PictureKind::kNone);
  EXPECT_EQ(Kind(with({0x0A, 5, 1, 8})), PictureKind::kPcx8);
  EXPECT_EQ(Kind(with({0x0A, 6, 1, 8})), PictureKind::kNone);
  EXPECT_EQ(Kind(with({0x0A, 3, 1, 1})), PictureKind::kPcx1);
  EXPECT_EQ(Kind(with({0x0A, 5, 1, 1})), PictureKind::kNone);  // one bit: version 3 only
  EXPECT_EQ(Kind(with({0x89, 'P', 'N', 'G'})), PictureKind::kNone);
  // Five bytes are never enough, six are.
  EXPECT_EQ(Kind({'B', 'M', 0, 0, 0}), PictureKind::kNone);
  EXPECT_EQ(Kind({'B', 'M', 0, 0, 0, 0}), PictureKind::kBmp);
  EXPECT_EQ(ext::DetectKind(nullptr, 100), PictureKind::kNone);
}

// ---- BMP ---------------------------------------------------------------------

const std::vector<uint32_t> kPalette = {0x102030, 0xFFFFFF, 0x00FF00, 0xFF0000};

TEST(Bmp, EveryDepthBecomesBottomUpBgr) {
  // 3 x 2 pixels, odd widths force row padding.
  const std::vector<uint32_t> indices = {0, 1, 2, 3, 2, 1};
  const std::vector<uint32_t> colors = {0x102030, 0xFFFFFF, 0x00FF00, 0xFF0000, 0x00FF00, 0xFFFFFF};
  for (int bits : {1, 4, 8, 24, 32}) {
    SCOPED_TRACE(bits);
    const bool indexed = bits <= 8;
    std::vector<uint32_t> values = indexed ? indices : colors;
    if (bits == 1) values = {0, 1, 1, 0, 0, 1};
    const Bytes file =
        test_pictures::BuildBmp(3, 2, bits, values, indexed ? kPalette : std::vector<uint32_t>{});
    PictureData p;
    ASSERT_TRUE(ext::DecodeBmp(file.data(), file.size(), p));
    EXPECT_EQ(p.kind, PictureKind::kBmp);
    EXPECT_EQ(p.width, 3);
    EXPECT_EQ(p.height, 2);
    ASSERT_EQ(p.data.size(), 18u);
    const uint32_t first = bits == 1 ? kPalette[0] : colors[0];
    // Bottom-up: the top-left pixel is the first of the last row.
    EXPECT_EQ(p.data[9], first & 0xFF);
    EXPECT_EQ(p.data[10], first >> 8 & 0xFF);
    EXPECT_EQ(p.data[11], first >> 16);
    std::vector<uint32_t> expected = colors;
    if (bits == 1) {
      for (size_t i = 0; i < values.size(); ++i) expected[i] = kPalette[values[i]];
    }
    EXPECT_EQ(Pixels(p), expected);  // 0xRRGGBB is a pixel with bytes blue, green, red
  }
}

TEST(Bmp, TopDownRowsAndShortColorTables) {
  const std::vector<uint32_t> colors = {0x010203, 0x040506, 0x070809, 0x0A0B0C};
  const Bytes topDown = test_pictures::BuildBmp(2, 2, 24, colors, {}, true);
  PictureData p;
  ASSERT_TRUE(ext::DecodeBmp(topDown.data(), topDown.size(), p));
  EXPECT_EQ(Pixels(p), colors);
  // Two colours used of 256: indices past the table are black.
  const Bytes shortTable =
      test_pictures::BuildBmp(2, 2, 8, {0, 1, 2, 255}, {0x111111, 0x222222}, false, 2);
  ASSERT_TRUE(ext::DecodeBmp(shortTable.data(), shortTable.size(), p));
  EXPECT_EQ(Pixels(p), (std::vector<uint32_t>{0x111111, 0x222222, 0, 0}));
}

TEST(Bmp, RefusesWhatItCannotDecode) {
  const Bytes good = test_pictures::BuildBmp(4, 4, 8, std::vector<uint32_t>(16, 1), kPalette);
  PictureData p;
  ASSERT_TRUE(ext::DecodeBmp(good.data(), good.size(), p));
  auto refused = [&](Bytes b) {
    PictureData out;
    out.width = 99;
    const bool ok = ext::DecodeBmp(b.data(), b.size(), out);
    EXPECT_EQ(out.width, 0);  // nothing partial is left
    return !ok;
  };
  Bytes rle = good;
  rle[30] = 1;
  EXPECT_TRUE(refused(rle));
  Bytes bits16 = good;
  bits16[28] = 16;
  EXPECT_TRUE(refused(bits16));
  Bytes core = good;  // a 12-byte OS/2 header
  core[14] = 12;
  EXPECT_TRUE(refused(core));
  EXPECT_TRUE(refused(Bytes(good.begin(), good.end() - 1)));  // rows run past the end
  Bytes offset = good;
  offset[10] = 0xFF, offset[11] = 0xFF, offset[12] = 0xFF, offset[13] = 0xFF;
  EXPECT_TRUE(refused(offset));
  Bytes header = good;  // an info header so large the colour table lies past the end
  header[17] = 0xFF;
  EXPECT_TRUE(refused(header));
  for (uint32_t width : {0u, 0x80000000u, 100000u}) {
    Bytes size = good;
    size[18] = static_cast<uint8_t>(width), size[19] = static_cast<uint8_t>(width >> 8);
    size[20] = static_cast<uint8_t>(width >> 16), size[21] = static_cast<uint8_t>(width >> 24);
    EXPECT_TRUE(refused(size)) << width;
  }
  Bytes minHeight = good;  // -2^31 rows
  minHeight[22] = 0, minHeight[23] = 0, minHeight[24] = 0, minHeight[25] = 0x80;
  EXPECT_TRUE(refused(minHeight));
  EXPECT_TRUE(refused(Bytes(good.begin(), good.begin() + 53)));
}

// ---- PCX ---------------------------------------------------------------------

TEST(Pcx, EightBitsWithAndWithoutPalette) {
  const Bytes indices = {0, 1, 2, 3, 3, 3, 3, 3, 3, 2, 1, 0, 200, 200, 200};
  const Bytes file = test_pictures::BuildPcx(5, 3, 8, indices, kPalette);
  PictureData p;
  ASSERT_TRUE(ext::DecodePcx(file.data(), file.size(), p));
  EXPECT_EQ(p.kind, PictureKind::kPcx8);
  EXPECT_EQ(p.width, 5);
  EXPECT_EQ(p.height, 3);
  ASSERT_EQ(p.data.size(), ext::kDibInfoSize + 8 * 3);  // rows padded to 4 bytes
  std::vector<uint32_t> expected;
  for (uint8_t i : indices) expected.push_back(i < kPalette.size() ? kPalette[i] : 0);
  EXPECT_EQ(Pixels(p), expected);
  // Without the palette marker the indices show as a grey ramp.
  const Bytes grey = test_pictures::BuildPcx(5, 3, 8, indices);
  ASSERT_TRUE(ext::DecodePcx(grey.data(), grey.size(), p));
  EXPECT_EQ(Pixels(p)[12], 0xC8C8C8u);
}

TEST(Pcx, OneBitIsBlackAndWhite) {
  const Bytes bits = {1, 0, 1, 1, 0, 0, 0, 0, 1, 1, 0, 1, 0, 0, 0, 0, 1, 1};  // 9 x 2
  const Bytes file = test_pictures::BuildPcx(9, 2, 1, bits, {}, 3);
  PictureData p;
  ASSERT_TRUE(ext::DecodePcx(file.data(), file.size(), p));
  EXPECT_EQ(p.kind, PictureKind::kPcx1);
  ASSERT_EQ(p.data.size(), 4u);  // two rows of two bytes
  const std::vector<uint32_t> pixels = Pixels(p);
  for (size_t i = 0; i < bits.size(); ++i) EXPECT_EQ(pixels[i], bits[i] ? 0xFFFFFFu : 0u) << i;
}

TEST(Pcx, RefusesWhatItCannotDecode) {
  const Bytes good = test_pictures::BuildPcx(5, 3, 8, Bytes(15, 7), kPalette);
  PictureData p;
  ASSERT_TRUE(ext::DecodePcx(good.data(), good.size(), p));
  auto refused = [&](const Bytes& b) { return !ext::DecodePcx(b.data(), b.size(), p); };
  Bytes maxBelowMin = good;
  maxBelowMin[4] = 9;  // x-min 9 > x-max 4
  EXPECT_TRUE(refused(maxBelowMin));
  Bytes planes = good;
  planes[65] = 3;
  EXPECT_TRUE(refused(planes));
  Bytes lineBytes = good;  // fewer bytes per line than pixels
  lineBytes[66] = 2;
  EXPECT_TRUE(refused(lineBytes));
  Bytes huge = good;  // 16000 rows of 65535 bytes claimed by a small file
  huge[10] = 0x7F, huge[11] = 0x3E, huge[66] = 0xFF, huge[67] = 0xFF;
  EXPECT_TRUE(refused(huge));
  EXPECT_TRUE(refused(Bytes(good.begin(), good.begin() + 128)));
  EXPECT_TRUE(refused(Bytes(good.begin(), good.begin() + 130)));  // data ends in the rows
  Bytes run = good;  // a run byte as the very last byte
  run.resize(128);
  run.push_back(0xC5);
  EXPECT_TRUE(refused(run));
}

// ---- Icons -------------------------------------------------------------------

test_pictures::IconFileEntry Entry(int size, int colors, int bits) {
  const size_t n = static_cast<size_t>(size * size);
  return {size,
          size,
          colors,
          1,
          static_cast<uint16_t>(bits),
          test_pictures::BuildIconImage(
              size, size, bits, std::vector<uint32_t>(n, 1), Bytes(n, 0),
              bits <= 8 ? std::vector<uint32_t>(1u << bits, 0x808080) : std::vector<uint32_t>{})};
}

TEST(Icon, DirectoryChoice) {
  PictureData p;
  auto chosenWidth = [&](const Bytes& file) {
    return ext::DecodeIconFile(file.data(), file.size(), p) ? p.width : -1;
  };
  // The first 32-pixel entry with more than 15 colours...
  EXPECT_EQ(chosenWidth(test_pictures::BuildIconFile(
                1, {Entry(16, 16, 4), Entry(32, 15, 4), Entry(32, 16, 4), Entry(48, 16, 4)})),
            32);
  EXPECT_EQ(p.data.size(), Entry(32, 16, 4).image.size());
  EXPECT_EQ(p.iconBits, 4);
  // A count of 0 stands for 256 colours or more (true colour among them).
  EXPECT_EQ(chosenWidth(test_pictures::BuildIconFile(
                1, {Entry(16, 0, 32), Entry(32, 0, 32), Entry(48, 16, 4)})),
            32);
  // ...else the last entry read.
  EXPECT_EQ(chosenWidth(test_pictures::BuildIconFile(1, {Entry(32, 2, 1), Entry(24, 0, 32)})), 24);
  EXPECT_EQ(chosenWidth(test_pictures::BuildIconFile(1, {Entry(16, 0, 32)})), 16);
  // Cursors keep the hot spot of the entry.
  test_pictures::IconFileEntry cursor = Entry(32, 0, 24);
  cursor.planes = 5, cursor.bitCount = 7;
  ASSERT_EQ(chosenWidth(test_pictures::BuildIconFile(2, {cursor})), 32);
  EXPECT_EQ(p.kind, PictureKind::kCursor);
  EXPECT_EQ(p.hotspotX, 5);
  EXPECT_EQ(p.hotspotY, 7);
}

TEST(Icon, RefusesImagesOutsideTheFileAndBadHeaders) {
  PictureData p;
  Bytes file = test_pictures::BuildIconFile(1, {Entry(16, 0, 8)});
  ASSERT_TRUE(ext::DecodeIconFile(file.data(), file.size(), p));
  Bytes past = file;
  past[14] = 0xFF;  // image size beyond the file
  EXPECT_FALSE(ext::DecodeIconFile(past.data(), past.size(), p));
  Bytes offset = file;
  offset[21] = 0xFF;  // offset beyond the file
  EXPECT_FALSE(ext::DecodeIconFile(offset.data(), offset.size(), p));
  Bytes noEntry = {0, 0, 1, 0, 1, 0, 16, 16, 0, 0};
  EXPECT_FALSE(ext::DecodeIconFile(noEntry.data(), noEntry.size(), p));
  Bytes compressed = file;
  compressed[22 + 16] = 1;
  EXPECT_FALSE(ext::DecodeIconFile(compressed.data(), compressed.size(), p));
  // The header may be fine while the bits are short.
  Bytes shortBits = file;
  shortBits.resize(shortBits.size() - 10);
  shortBits[14] = static_cast<uint8_t>(shortBits[14] - 10);
  EXPECT_FALSE(ext::DecodeIconFile(shortBits.data(), shortBits.size(), p));
}

TEST(Icon, PixelsWithMaskAndAlphaDrawnOnWhite) {
  // 2 x 2: masked black, opaque red / masked (screen inverted) blue, opaque green.
  const Bytes mask = {1, 0, 1, 0};
  const std::vector<uint32_t> colors = {0x000000, 0xFF0000, 0x0000FF, 0x00FF00};
  ext::IconBitmap icon;
  const Bytes image = test_pictures::BuildIconImage(2, 2, 24, colors, mask);
  ASSERT_TRUE(ext::DecodeIconImage(image.data(), image.size(), icon));
  EXPECT_FALSE(icon.hasAlpha);
  EXPECT_EQ(ext::IconOnWhite(icon),
            (std::vector<uint32_t>{0xFFFFFF, 0xFF0000, 0xFFFF00, 0x00FF00}));
  EXPECT_EQ(ext::IconWithTransparency(icon)[0], 0xFF000000u);
  // 32 bits with alpha: blended onto white, the mask no longer counts.
  const std::vector<uint32_t> argb = {0x00000000, 0xFFFF0000, 0x800000FF, 0x4000FF00};
  const Bytes alpha = test_pictures::BuildIconImage(2, 2, 32, argb, Bytes(4, 0));
  ASSERT_TRUE(ext::DecodeIconImage(alpha.data(), alpha.size(), icon));
  EXPECT_TRUE(icon.hasAlpha);
  EXPECT_EQ(ext::IconOnWhite(icon),
            (std::vector<uint32_t>{0xFFFFFF, 0xFF0000, 0x7F7FFF, 0xBFFFBF}));
  EXPECT_EQ(ext::IconWithTransparency(icon)[2], 0x7F0000FFu);
}

TEST(Icon, EmbeddedPngImages) {
  const std::vector<uint32_t> argb = {0xFFFF0000, 0x00000000, 0x8000FF00, 0xFF0000FF};
  const Bytes png = test_pictures::EncodePng(2, 2, argb, {});
  Bytes file = test_pictures::BuildIconFile(1, {{2, 2, 0, 1, 32, png}});
  PictureData p;
  ASSERT_TRUE(ext::DecodeIconFile(file.data(), file.size(), p));
  EXPECT_EQ(p.width, 2);
  EXPECT_EQ(p.iconBits, 0);
  EXPECT_EQ(Pixels(p), (std::vector<uint32_t>{0xFF0000, 0xFFFFFF, 0x7FFF7F, 0x0000FF}));
}

// ---- GIF, JPEG and PNG through the picture layer -------------------------------

TEST(StillGif, FirstImageOnTheLogicalScreen) {
  const Bytes gif = test_pictures::GifBuilder(4, 3, kPalette)
                        .Image(1, 1, 2, 2, {0, 1, 2, 3})
                        .Image(0, 0, 4, 3, Bytes(12, 3))
                        .Finish();
  PictureData p;
  ASSERT_TRUE(ext::DecodePicture(gif.data(), gif.size(), p));
  EXPECT_EQ(p.kind, PictureKind::kGif);
  EXPECT_EQ(p.width, 4);
  EXPECT_EQ(p.height, 3);
  EXPECT_EQ(p.data.size(), ext::kDibInfoSize + 2 * 4);
  // The image at its place, the rest of the screen black.
  EXPECT_EQ(Pixels(p), (std::vector<uint32_t>{0, 0, 0, 0, 0, 0x102030, 0xFFFFFF, 0, 0, 0x00FF00,
                                              0xFF0000, 0}));
  const Bytes six = {'G', 'I', 'F', '8', '9', 'a'};
  EXPECT_FALSE(ext::DecodePicture(six.data(), six.size(), p));
}

TEST(Jpeg, DecodesAndRefusesBrokenData) {
  const Bytes jpeg =
      test_pictures::EncodeJpeg(16, 8, std::vector<uint32_t>(128, 0x2080C0), 95, true);
  PictureData p;
  ASSERT_TRUE(ext::DecodePicture(jpeg.data(), jpeg.size(), p));
  EXPECT_EQ(p.kind, PictureKind::kJpeg);
  ASSERT_EQ(p.data.size(), 16u * 8 * 3);
  for (uint32_t pixel : Pixels(p)) {  // red, green and blue in their places
    ASSERT_NEAR(int(pixel >> 16), 0x20, 3);
    ASSERT_NEAR(int(pixel >> 8 & 0xFF), 0x80, 3);
    ASSERT_NEAR(int(pixel & 0xFF), 0xC0, 3);
  }
  // Data that ends inside the scan, or before the end marker: libjpeg would
  // fill the rest with grey and only warn.
  std::vector<uint32_t> noise(64 * 64);
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<uint32_t>(i * 2654435761u);
  const Bytes large = test_pictures::EncodeJpeg(64, 64, noise, 90, false);
  ASSERT_TRUE(ext::DecodePicture(large.data(), large.size(), p));
  for (size_t cut : {large.size() * 9 / 10, large.size() - 2}) {
    EXPECT_FALSE(ext::DecodePicture(large.data(), cut, p)) << cut;
    EXPECT_EQ(p.kind, PictureKind::kNone);
  }
  Bytes garbage = jpeg;
  for (size_t i = 2; i < 40; ++i) garbage[i] = 0x55;
  EXPECT_FALSE(ext::DecodePicture(garbage.data(), garbage.size(), p));
}

TEST(Png, DecodesWithTransparencyAndRefusesBrokenData) {
  const std::vector<uint32_t> argb = {0xFF102030, 0x00405060, 0x80708090, 0xFFA0B0C0};
  const Bytes png = test_pictures::EncodePng(2, 2, argb, {});
  int32_t w = 0, h = 0;
  std::vector<uint32_t> pixels;
  ASSERT_TRUE(
      ext::DecodePngPixels(png.data(), png.size(), ext::PngBackground::kApply, w, h, pixels));
  EXPECT_EQ(pixels, (std::vector<uint32_t>{0x00102030, 0xFF405060, 0x7F708090, 0x00A0B0C0}));
  for (size_t cut : {png.size() - 20, size_t{40}, size_t{8}}) {
    EXPECT_FALSE(ext::DecodePngPixels(png.data(), cut, ext::PngBackground::kApply, w, h, pixels));
    EXPECT_TRUE(pixels.empty());
  }
  Bytes crc = png;
  crc[20] ^= 1;  // inside the header chunk
  EXPECT_FALSE(
      ext::DecodePngPixels(crc.data(), crc.size(), ext::PngBackground::kApply, w, h, pixels));
  const Bytes huge = test_pictures::EncodePng(20000, 1, std::vector<uint32_t>(20000), {});
  EXPECT_FALSE(
      ext::DecodePngPixels(huge.data(), huge.size(), ext::PngBackground::kApply, w, h, pixels));
}

}  // namespace
