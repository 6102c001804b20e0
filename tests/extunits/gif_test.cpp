// The GIF reader: LZW, colour tables, interlacing, extensions, graphic
// control state and where the stream ends.

#include <gtest/gtest.h>

#include <random>

#include "extunits/picture/gif.h"
#include "tests/extunits/picture_builders.h"

namespace {

using ext::GifImage;
using ext::GifReader;
using test_pictures::Bytes;
using test_pictures::GifBuilder;

const std::vector<uint32_t> kFour = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};

Bytes Pattern(size_t count, int colors, unsigned seed) {
  std::mt19937 random(seed);
  Bytes b(count);
  // Runs of repeated values make long table strings, noise keeps it honest.
  for (size_t i = 0; i < count; ++i) b[i] = static_cast<uint8_t>((i / 7 + random() % 2) % colors);
  return b;
}

std::vector<GifImage> ReadAll(const Bytes& gif) {
  GifReader reader;
  std::vector<GifImage> images;
  if (!reader.Open(gif.data(), gif.size())) return images;
  GifImage image;
  while (reader.Next(image)) images.push_back(image);
  return images;
}

TEST(GifLzw, RoundTripsEveryCodeSizeAndFullTables) {
  // 64 K pixels fill the 4096-entry table several times (deferred clears).
  for (int minCodeSize : {2, 3, 5, 8}) {
    const Bytes pixels = Pattern(65536, 1 << minCodeSize, 7u + minCodeSize);
    const Bytes data = test_pictures::LzwEncode(pixels, minCodeSize);
    Bytes out(pixels.size());
    ASSERT_TRUE(ext::DecodeLzw(minCodeSize, data.data(), data.size(), out.data(), out.size()))
        << minCodeSize;
    EXPECT_EQ(out, pixels) << minCodeSize;
  }
}

TEST(GifLzw, RefusesBrokenData) {
  const Bytes pixels = Pattern(500, 4, 1);
  const Bytes data = test_pictures::LzwEncode(pixels, 2);
  Bytes out(pixels.size());
  // Data that stops early, a code size out of range, a first code that is
  // not a literal, an end code before the image is full.
  EXPECT_FALSE(ext::DecodeLzw(2, data.data(), data.size() / 2, out.data(), out.size()));
  EXPECT_FALSE(ext::DecodeLzw(9, data.data(), data.size(), out.data(), out.size()));
  EXPECT_FALSE(ext::DecodeLzw(1, data.data(), data.size(), out.data(), out.size()));
  const Bytes undefinedCode = {0x3C};  // clear, then code 7 of an empty table
  EXPECT_FALSE(ext::DecodeLzw(2, undefinedCode.data(), undefinedCode.size(), out.data(), 2));
  const Bytes earlyEnd = {0x4C, 0x01};  // clear, 1, end
  EXPECT_FALSE(ext::DecodeLzw(2, earlyEnd.data(), earlyEnd.size(), out.data(), 2));
  // More data than pixels is fine: the extra is ignored.
  Bytes fewer(pixels.size() - 3);
  EXPECT_TRUE(ext::DecodeLzw(2, data.data(), data.size(), fewer.data(), fewer.size()));
  EXPECT_TRUE(std::equal(fewer.begin(), fewer.end(), pixels.begin()));
}

TEST(GifReader, ReadsImagesWithTheirTablesAndPlaces) {
  const Bytes first = Pattern(6 * 4, 4, 2), second = Pattern(3 * 5, 2, 3);
  const std::vector<uint32_t> local = {0x123456, 0xABCDEF};
  const Bytes gif = GifBuilder(10, 8, kFour)
                        .Image(0, 0, 6, 4, first, {}, false, 2)
                        .Image(4, 2, 3, 5, second, local, false, 2)
                        .Finish();
  const std::vector<GifImage> images = ReadAll(gif);
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].indices, first);
  EXPECT_FALSE(images[0].localTable);
  EXPECT_EQ(images[0].palette[1], 0xFF0000u);
  EXPECT_EQ(images[0].palette[4], 0u);  // beyond the table: black
  EXPECT_EQ(images[1].indices, second);
  EXPECT_TRUE(images[1].localTable);
  EXPECT_EQ(images[1].palette[1], 0xABCDEFu);
  EXPECT_EQ(images[1].left, 4);
  EXPECT_EQ(images[1].top, 2);
}

TEST(GifReader, PutsInterlacedRowsInPlace) {
  for (int height : {1, 2, 3, 5, 9, 17}) {
    const Bytes pixels = Pattern(static_cast<size_t>(7 * height), 4, 4u + height);
    const Bytes gif =
        GifBuilder(7, height, kFour).Image(0, 0, 7, height, pixels, {}, true).Finish();
    const std::vector<GifImage> images = ReadAll(gif);
    ASSERT_EQ(images.size(), 1u) << height;
    EXPECT_TRUE(images[0].interlaced);
    EXPECT_EQ(images[0].indices, pixels) << height;
  }
}

TEST(GifReader, GraphicControlStateCarriesOverExceptDisposal) {
  const Bytes px = Pattern(4, 4, 5);
  const Bytes gif = GifBuilder(2, 2, kFour)
                        .Control(2, true, 3, 25)
                        .Extension(0xFE, {'h', 'i'})
                        .Extension(0xFF, Bytes(300, 'a'))
                        .Extension(0x01, Bytes(13, 0))
                        .Image(0, 0, 2, 2, px)
                        .Image(0, 0, 2, 2, px)
                        .Control(3, false, 0, 0)
                        .Image(0, 0, 2, 2, px)
                        .Finish();
  const std::vector<GifImage> images = ReadAll(gif);
  ASSERT_EQ(images.size(), 3u);
  EXPECT_EQ(images[0].disposal, ext::kDisposeBackground);
  EXPECT_TRUE(images[0].transparent);
  EXPECT_EQ(images[0].transparentIndex, 3);
  EXPECT_EQ(images[0].delay, 25);
  // Without a control block of its own: no disposal, the rest carried over.
  EXPECT_EQ(images[1].disposal, 0);
  EXPECT_TRUE(images[1].transparent);
  EXPECT_EQ(images[1].delay, 25);
  EXPECT_EQ(images[2].disposal, ext::kDisposePrevious);
  EXPECT_FALSE(images[2].transparent);
}

TEST(GifReader, StopsAtUnknownBlocksAndKeepsWhatCameBefore) {
  const Bytes px = Pattern(4, 4, 6);
  const Bytes base = GifBuilder(2, 2, kFour).Image(0, 0, 2, 2, px).bytes();
  auto count = [&](const Bytes& tail) {
    Bytes gif = base;
    gif.insert(gif.end(), tail.begin(), tail.end());
    GifBuilder more(2, 2, kFour);
    const Bytes second = more.Image(0, 0, 2, 2, px).bytes();
    gif.insert(gif.end(), second.begin() + 13 + 12, second.end());  // the image blocks only
    return ReadAll(gif).size();
  };
  EXPECT_EQ(count({}), 2u);
  EXPECT_EQ(count({0x21, 0x02, 0x00}), 1u);  // unknown extension label
  EXPECT_EQ(count({0x00}), 1u);              // a byte that starts no block
  EXPECT_EQ(count({0x3B}), 1u);              // the trailer
  // A sub-block length that runs past the data, in an extension and in image data.
  Bytes cut = base;
  cut.insert(cut.end(), {0x21, 0xFE, 0x09, 'a'});
  EXPECT_EQ(ReadAll(cut).size(), 1u);
  Bytes cutImage = GifBuilder(2, 2, kFour).Image(0, 0, 2, 2, px).Image(0, 0, 2, 2, px).bytes();
  cutImage.resize(cutImage.size() - 3);
  EXPECT_EQ(ReadAll(cutImage).size(), 1u);
}

TEST(GifReader, RefusesHeadersItCannotUse) {
  GifReader reader;
  const Bytes ok = GifBuilder(2, 2, kFour).Image(0, 0, 2, 2, Pattern(4, 4, 7)).Finish();
  EXPECT_TRUE(reader.Open(ok.data(), ok.size()));
  Bytes six = {'G', 'I', 'F', '8', '9', 'a'};
  EXPECT_FALSE(reader.Open(six.data(), six.size()));
  Bytes fourteen = GifBuilder(2, 2).bytes();  // 13 bytes of header, no table
  EXPECT_FALSE(reader.Open(fourteen.data(), fourteen.size()));
  fourteen.push_back(0x3B);
  EXPECT_TRUE(reader.Open(fourteen.data(), fourteen.size()));
  const Bytes zero = GifBuilder(0, 5, kFour).Finish();
  EXPECT_FALSE(reader.Open(zero.data(), zero.size()));
  const Bytes huge = GifBuilder(65535, 65535, kFour).Finish();
  EXPECT_FALSE(reader.Open(huge.data(), huge.size()));
  Bytes shortTable = GifBuilder(2, 2, std::vector<uint32_t>(256)).bytes();
  shortTable.resize(13 + 700);
  EXPECT_FALSE(reader.Open(shortTable.data(), shortTable.size()));
  Bytes wrong = ok;
  wrong[4] = '8';
  EXPECT_FALSE(reader.Open(wrong.data(), wrong.size()));
}

TEST(GifReader, EndsAtImagesItCannotUse) {
  const Bytes px = Pattern(4, 4, 8);
  // Zero-sized and oversized image rectangles, and an LZW code size of 12.
  EXPECT_TRUE(ReadAll(GifBuilder(2, 2, kFour).Image(0, 0, 0, 2, {}).Finish()).empty());
  Bytes big = GifBuilder(2, 2, kFour).Image(0, 0, 2, 2, px).bytes();
  big[13 + 12 + 5] = 0xFF, big[13 + 12 + 6] = 0xFF, big[13 + 12 + 7] = 0xFF,
                big[13 + 12 + 8] = 0xFF;
  EXPECT_TRUE(ReadAll(big).empty());
  Bytes codeSize = GifBuilder(2, 2, kFour).Image(0, 0, 2, 2, px).Finish();
  codeSize[13 + 12 + 10] = 12;
  EXPECT_TRUE(ReadAll(codeSize).empty());
}

}  // namespace
