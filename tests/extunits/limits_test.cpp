// Hostile sizes: chunks, scans, lines and frames that claim more than the
// data holds must not make the loader allocate for them, while real files
// at the edges of the limits still load. Where the sanitizer runtime can
// tell (natively), allocations are measured: the largest single one, and
// the live heap bytes.

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "extunits/picture/decoders.h"
#include "extunits/picture/frame_load.h"
#include "extunits/picture/png.h"
#include "tests/extunits/picture_builders.h"

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's own interface (GCC installs no header for it).
extern "C" {
size_t __sanitizer_get_current_allocated_bytes();
int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*, size_t),
                                              void (*onFree)(const volatile void*));
}
#endif

namespace {

using ext::FrameImage;
using test_pictures::Bytes;

constexpr size_t kSmall = 1 << 20;  // far below anything a hostile header claims

// ---- Heap measures (0 where the sanitizer runtime cannot give them) -----------

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kHeapMeasured = true;
// Hooks cannot be removed once installed, so one records while `recording`.
bool recording = false;
size_t largest = 0;
void OnMalloc(const volatile void*, size_t size) {
  if (recording && size > largest) largest = size;
}
void OnFree(const volatile void*) {}
size_t LiveBytes() { return __sanitizer_get_current_allocated_bytes(); }
#else
constexpr bool kHeapMeasured = false;
size_t LiveBytes() { return 0; }
#endif

// The largest single allocation made while `work` runs.
template <typename Work>
size_t LargestAllocation(Work work) {
#if defined(__SANITIZE_ADDRESS__)
  static const bool installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
  largest = 0;
  recording = installed;
  work();
  recording = false;
  return largest;
#else
  work();
  return 0;
#endif
}

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

FrameImage Load(const Bytes& b) {
  FrameImage image;
  ext::LoadFrameImageWith(image, b.data(), b.size(), ext::kNoColor, false, ext::LoadStillPortable);
  return image;
}

// Loads `b` and tells the largest single allocation it made (0 where that
// cannot be measured).
size_t LargestWhileLoading(const Bytes& b, FrameImage& image) {
  return LargestAllocation([&] { image = Load(b); });
}

Bytes FromHex(const char* hex) {
  Bytes out;
  for (const char* p = hex; p[0] && p[1]; p += 2) {
    out.push_back(static_cast<uint8_t>(std::stoi(std::string(p, 2), nullptr, 16)));
  }
  return out;
}

TEST(PngLimits, ChunksLongerThanTheDataAreRefusedBeforeAllocating) {
  // A 256 x 256 one-bit palette image whose text chunk claims 1,885,405,184
  // bytes of a 661-byte file; the same inside an icon; a 49-byte file whose
  // international text chunk claims 2 GiB; image data claiming too much.
  Bytes text = test_pictures::PngStart(256, 256, 1, 3) +
               test_pictures::PngChunk("PLTE", {0, 0, 0, 255, 255, 255}) +
               test_pictures::PngChunk("tEXt", Bytes(20, 'a'), 0x70610000);
  text.resize(661, 0x20);
  const Bytes icon = test_pictures::BuildIconFile(1, {{0, 0, 0, 1, 32, text}});
  const Bytes itxt = FromHex(
      "89504e470d0a1a0a0000000d494844520000000300000001010300000025db56ca7fffffff69545874294e44ae"
      "42608244");
  const Bytes data = test_pictures::PngStart(2, 2, 8, 2) +
                     test_pictures::PngChunk("IDAT", test_pictures::Deflate(Bytes(14), 9), 5000);
  for (const Bytes* b : {&std::as_const(text), &icon, &itxt, &data}) {
    FrameImage image;
    EXPECT_LT(LargestWhileLoading(*b, image), kSmall) << b->size();
    EXPECT_TRUE(image.Empty()) << b->size();
  }
}

TEST(PngLimits, SizesTheDataCannotFillAreRefusedAndRealEdgesLoad) {
  // 4096 x 4096 RGBA (64 MiB of pixels) from 30 bytes of image data.
  const Bytes claim = test_pictures::PngStart(4096, 4096, 8, 6) +
                      test_pictures::PngChunk("IDAT", test_pictures::Deflate(Bytes(1000), 9)) +
                      test_pictures::PngChunk("IEND", {});
  FrameImage image;
  EXPECT_LT(LargestWhileLoading(claim, image), kSmall);
  EXPECT_TRUE(image.Empty());
  // Real files: all-zero rows compressed as far as zlib goes, and large
  // text chunks before one image data chunk of more than 64 KiB.
  const Bytes zeros =
      test_pictures::PngStart(1024, 1024, 8, 0) +
      test_pictures::PngChunk("IDAT", test_pictures::Deflate(Bytes(1025 * 1024), 9)) +
      test_pictures::PngChunk("IEND", {});
  image = Load(zeros);
  ASSERT_EQ(image.FrameCount(), 1);
  EXPECT_EQ(image.At(0).pixels[1024 * 1024 - 1], 0u);
  Bytes rows;
  for (int y = 0; y < 200; ++y) {
    rows.push_back(0);  // filter: none
    for (int x = 0; x < 200 * 3; ++x) rows.push_back(static_cast<uint8_t>(x * 7 + y * 13));
  }
  const Bytes stored = test_pictures::PngStart(200, 200, 8, 2) +
                       test_pictures::PngChunk("tEXt", Bytes(100000, 'x')) +
                       test_pictures::PngChunk("zTXt", Bytes(70000, 'y')) +
                       test_pictures::PngChunk("IDAT", test_pictures::Deflate(rows, 0)) +
                       test_pictures::PngChunk("IEND", {});
  image = Load(stored);
  ASSERT_EQ(image.FrameCount(), 1);
  EXPECT_EQ(image.At(0).pixels[1], 0x151C23u);  // RGB 15 1C 23 at x = 1, y = 0
}

TEST(JpegLimits, ScansBeyondTheLimitAreRefused) {
  std::vector<uint32_t> rgb(32 * 16);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint32_t>(i * 0x010305);
  ext::PictureData p;
  const Bytes many = test_pictures::EncodeJpegBands(32, 16, rgb, 21);  // 64 scans
  EXPECT_TRUE(ext::DecodeJpeg(many.data(), many.size(), p));
  const Bytes tooMany = test_pictures::EncodeJpegBands(32, 16, rgb, 63);  // 190 scans
  EXPECT_FALSE(ext::DecodeJpeg(tooMany.data(), tooMany.size(), p));
  EXPECT_TRUE(p.data.empty());
}

TEST(PcxLimits, BytesPerLineDoesNotSizeAllocations) {
  // Three pixels a row, each row padded to 60,000 bytes: the padding is
  // expanded and dropped a row at a time.
  Bytes values(3 * 40);
  for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<uint8_t>(i);
  const Bytes file = test_pictures::BuildPcx(3, 40, 8, values, {}, 5, 60000);
  ext::PictureData p;
  bool decoded = false;
  const size_t largest =
      LargestAllocation([&] { decoded = ext::DecodePcx(file.data(), file.size(), p); });
  ASSERT_TRUE(decoded);
  EXPECT_LE(largest, 60000u + ext::kDibInfoSize);
  std::vector<uint32_t> pixels;
  ASSERT_TRUE(ext::StillPixels(p, pixels));
  EXPECT_EQ(pixels[3 * 39 + 2], 0x777777u);  // grey ramp: index 119
}

// What the frames of `image` hold: live heap bytes where they can be
// measured, else the record array and pixel buffers by their capacities.
size_t HeldBytes(const FrameImage& image, size_t liveBefore) {
  if (kHeapMeasured) return LiveBytes() - liveBefore;
  size_t total = image.Frames().capacity() * sizeof(ext::Frame);
  for (const ext::Frame& f : image.Frames()) total += f.pixels.capacity() * sizeof(uint32_t);
  return total;
}

TEST(FrameLimits, FramesStayWithinTheirMemoryCap) {
  constexpr uint64_t kCap = 64 * 1024;
  for (int side : {1, 16}) {
    test_pictures::GifBuilder builder(side, side, {0x000000, 0xFF0000});
    for (int i = 0; i < 3000; ++i) builder.Image(0, 0, 1, 1, {1});
    const Bytes gif = builder.Finish();
    FrameImage image;
    const size_t before = LiveBytes();
    ext::LoadAnimatedGif(image, gif.data(), gif.size(), ext::kNoColor, false, kCap);
    EXPECT_LE(HeldBytes(image, before), kCap) << side;
    EXPECT_GT(image.FrameCount(), side == 1 ? 500 : 20) << side;
    EXPECT_LT(image.FrameCount(), 3000) << side;
  }
}

}  // namespace
