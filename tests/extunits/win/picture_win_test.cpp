// The Win32 picture layer under Wine: icons and cursors, bitmap views of
// every kind, drawing with raster operations and a transparent colour, the
// picture service, FrameImage loads through it and text through GDI. Every
// test also checks that the handles it made were all freed.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "extunits/picture/frame_load.h"
#include "extunits/win/frame_image_win.h"
#include "extunits/win/picture_win.h"
#include "runtime/service.h"
#include "tests/extunits/picture_builders.h"

namespace {

using ext::DecodedPicture;
using ext::PictureKind;
using test_pictures::Bytes;

class PictureWin : public ::testing::Test {
 protected:
  void SetUp() override {
    ext::InstallPictureService();
    handles_ = rt::LiveHandleCount();
  }
  void TearDown() override {
    EXPECT_EQ(rt::LiveHandleCount(), handles_) << "handles leaked";
    rt::SetServiceHandler(rt::svc::kPictureToBitmap, nullptr);
  }
  int64_t handles_ = 0;
};

// A 32-bit top-down DIB section selected into a memory DC, as a drawing target.
class Surface {
 public:
  Surface(int32_t width, int32_t height, uint32_t fill) : width_(width) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    rt::ScreenDc screen;
    dc_.Reset(CreateCompatibleDC(screen.get()));
    void* bits = nullptr;
    bitmap_.Reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    pixels_ = static_cast<uint32_t*>(bits);
    std::fill(pixels_, pixels_ + width * height, fill);
    old_ = SelectObject(dc_.get(), bitmap_.get());
  }
  ~Surface() { SelectObject(dc_.get(), old_); }
  HDC dc() const { return dc_.get(); }
  uint32_t At(int32_t x, int32_t y) const {
    GdiFlush();
    return pixels_[y * width_ + x] & 0xFFFFFF;
  }

 private:
  int32_t width_;
  rt::MemoryDc dc_;
  rt::GdiBitmap bitmap_;
  uint32_t* pixels_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// Pixels of a bitmap as 32-bit values without the fourth byte.
std::vector<uint32_t> ReadBitmap(HBITMAP bitmap, int32_t& width, int32_t& height) {
  BITMAP info{};
  GetObject(bitmap, sizeof info, &info);
  width = info.bmWidth, height = info.bmHeight;
  std::vector<uint32_t> pixels(static_cast<size_t>(width * height));
  BITMAPINFO format{};
  format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  rt::ScreenDc screen;
  GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &format,
            DIB_RGB_COLORS);
  for (uint32_t& p : pixels) p &= 0xFFFFFF;
  return pixels;
}

const std::vector<uint32_t> kPalette = {0x102030, 0xFFFFFF, 0x00FF00, 0xFF0000};

std::vector<uint32_t> Pattern(int count) {
  std::vector<uint32_t> values;
  for (int i = 0; i < count; ++i) values.push_back(static_cast<uint32_t>(i * 37 % 4));
  return values;
}

Bytes Icon32(int size, uint32_t argb) {
  const size_t n = static_cast<size_t>(size * size);
  return test_pictures::BuildIconImage(size, size, 32, std::vector<uint32_t>(n, argb), Bytes(n, 0));
}

// ---- Service 1003 against the portable decoders ----------------------------------

TEST_F(PictureWin, ServiceBitmapsShowWhatThePortableDecodersMake) {
  const Bytes mask = {1, 0, 0, 1, 0, 0, 1, 1, 0};
  const Bytes maskedIcon = test_pictures::BuildIconImage(3, 3, 4, Pattern(9), mask, kPalette);
  std::vector<uint32_t> argb;
  for (int i = 0; i < 16; ++i) argb.push_back(static_cast<uint32_t>(i * 17) << 24 | 0x3060C0);
  struct Case {
    const char* name;
    Bytes bytes;
    int tolerance;  // icons with alpha: the blend may round differently
  };
  const Case cases[] = {
      {"bmp1",
       test_pictures::BuildBmp(5, 3, 1, {0, 1, 1, 0, 1, 1, 0, 0, 0, 1, 0, 1, 1, 1, 0}, kPalette),
       0},
      {"bmp4", test_pictures::BuildBmp(5, 3, 4, Pattern(15), kPalette), 0},
      {"bmp8", test_pictures::BuildBmp(5, 3, 8, Pattern(15), kPalette), 0},
      {"bmp24", test_pictures::BuildBmp(3, 2, 24, {1, 0x123456, 0xFFFFFF, 0x808080, 0x00FF00, 7}),
       0},
      {"bmp32", test_pictures::BuildBmp(2, 2, 32, {0xFF112233, 0x445566, 0x778899, 0xAABBCC}), 0},
      {"gif",
       test_pictures::GifBuilder(6, 4, kPalette).Image(2, 1, 3, 2, {0, 1, 2, 3, 2, 1}).Finish(), 0},
      {"pcx8",
       test_pictures::BuildPcx(
           7, 3, 8, Bytes{0, 1, 2, 3, 3, 2, 1, 0, 1, 2, 3, 0, 0, 1, 2, 3, 3, 3, 2, 1, 0}, kPalette),
       0},
      {"pcx1",
       test_pictures::BuildPcx(
           10, 2, 1, Bytes{1, 0, 1, 1, 0, 0, 0, 1, 1, 0, 0, 1, 0, 1, 1, 0, 0, 0, 1, 1}, {}, 3),
       0},
      {"jpeg", test_pictures::EncodeJpeg(9, 5, std::vector<uint32_t>(45, 0x2080C0), 90, true), 0},
      {"icon", test_pictures::BuildIconFile(1, {{3, 3, 16, 1, 4, maskedIcon}}), 0},
      {"alpha icon",
       test_pictures::BuildIconFile(
           1, {{4, 4, 0, 1, 32, test_pictures::BuildIconImage(4, 4, 32, argb, Bytes(16, 0))}}),
       2},
      {"cursor", test_pictures::BuildIconFile(2, {{3, 3, 16, 1, 2, maskedIcon}}), 0},
      {"png icon",
       test_pictures::BuildIconFile(1,
                                    {{4, 4, 0, 1, 32, test_pictures::EncodePng(4, 4, argb, {})}}),
       2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int32_t width = 0, height = 0;
    std::vector<uint32_t> expected;
    ASSERT_TRUE(ext::LoadStillPortable(c.bytes.data(), c.bytes.size(), width, height, expected));
    const auto handle = rt::Service(rt::svc::kPictureToBitmap,
                                    reinterpret_cast<uintptr_t>(c.bytes.data()), c.bytes.size());
    ASSERT_NE(handle, 0u);
    rt::GdiBitmap bitmap(reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(handle)));  // ours
    int32_t w = 0, h = 0;
    const std::vector<uint32_t> pixels = ReadBitmap(bitmap.get(), w, h);
    ASSERT_EQ(w, width);
    ASSERT_EQ(h, height);
    for (size_t i = 0; i < pixels.size(); ++i) {
      for (int shift = 0; shift < 24; shift += 8) {
        ASSERT_NEAR(int(pixels[i] >> shift & 0xFF), int(expected[i] >> shift & 0xFF), c.tolerance)
            << i;
      }
    }
  }
  EXPECT_EQ(
      rt::Service(rt::svc::kPictureToBitmap, reinterpret_cast<uintptr_t>("not a picture"), 13), 0u);
}

// ---- Icons and cursors -------------------------------------------------------------

TEST_F(PictureWin, IconsAndCursorsBecomeIconHandles) {
  const Bytes file = test_pictures::BuildIconFile(1, {{16, 16, 0, 1, 32, Icon32(16, 0xFFFF0000)}});
  std::unique_ptr<DecodedPicture> icon = DecodedPicture::FromMemory(file.data(), file.size());
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->Kind(), PictureKind::kIcon);
  EXPECT_EQ(icon->Width(), 16);
  ASSERT_NE(icon->Icon(), nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon->Icon(), &info));
  EXPECT_TRUE(info.fIcon);
  rt::GdiBitmap iconColor(info.hbmColor), iconMask(info.hbmMask);  // GetIconInfo's copies

  Bytes cursorFile = test_pictures::BuildIconFile(2, {{32, 32, 0, 5, 9, Icon32(32, 0xFF00FF00)}});
  std::unique_ptr<DecodedPicture> cursor =
      DecodedPicture::FromMemory(cursorFile.data(), cursorFile.size());
  ASSERT_TRUE(cursor);
  EXPECT_EQ(cursor->Kind(), PictureKind::kCursor);
  ASSERT_TRUE(GetIconInfo(cursor->Icon(), &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 5u);
  EXPECT_EQ(info.yHotspot, 9u);
  rt::GdiBitmap cursorColor(info.hbmColor), cursorMask(info.hbmMask);

  // Drawn at its size, and stretched, over a grey background.
  Surface surface(40, 40, 0x808080);
  ext::DrawPicture(*icon, surface.dc(), 2, 2, -1, -1);
  ext::DrawPicture(*icon, surface.dc(), 20, 20, 8, 8);
  EXPECT_EQ(surface.At(2, 2), 0xFF0000u);
  EXPECT_EQ(surface.At(17, 17), 0xFF0000u);
  EXPECT_EQ(surface.At(18, 18), 0x808080u);
  EXPECT_EQ(surface.At(27, 27), 0xFF0000u);
  EXPECT_EQ(surface.At(28, 28), 0x808080u);
  // An image that is not a DIB at all gives no picture.
  Bytes broken = file;
  for (size_t i = 22 + 40; i < broken.size(); ++i) broken[i] = 0;
  broken[22 + 14] = 7;  // 7 bits per pixel
  EXPECT_FALSE(DecodedPicture::FromMemory(broken.data(), broken.size()));
}

// ---- Views and drawing ----------------------------------------------------------------

TEST_F(PictureWin, ViewsOfEveryKindDrawInNaturalSize) {
  const Bytes gif =
      test_pictures::GifBuilder(4, 3, kPalette).Image(1, 1, 2, 2, {1, 2, 3, 0}).Finish();
  std::unique_ptr<DecodedPicture> picture = DecodedPicture::FromMemory(gif.data(), gif.size());
  ASSERT_TRUE(picture);
  Surface surface(10, 10, 0x0000FF);
  ext::BitmapView view;
  ASSERT_TRUE(ext::MakeBitmapView(surface.dc(), *picture, view));
  EXPECT_EQ(rt::LiveHandleCount(), handles_ + 3);  // surface bitmap and DC, view bitmap
  EXPECT_EQ(view.width, 4);
  ext::DrawView(view, 1, 1, -1, -1, SRCCOPY);
  EXPECT_EQ(surface.At(0, 0), 0x0000FFu);
  EXPECT_EQ(surface.At(1, 1), 0u);  // the screen around the first image is black
  EXPECT_EQ(surface.At(2, 2), 0xFFFFFFu);
  EXPECT_EQ(surface.At(2, 3), 0xFF0000u);
  EXPECT_EQ(surface.At(3, 3), 0x102030u);
  EXPECT_EQ(surface.At(4, 3), 0u);
  EXPECT_EQ(surface.At(5, 3), 0x0000FFu);  // past the logical screen
  // A raster operation other than copying.
  ext::DrawView(view, 1, 1, -1, -1, DSTINVERT);
  EXPECT_EQ(surface.At(2, 2), 0x000000u);
  // Stretched to twice the size, with HALFTONE on a display deeper than 16
  // bits (which blends, so only the covered area is checked).
  ext::DrawView(view, 0, 0, 8, 6, SRCCOPY);
  EXPECT_EQ(GetStretchBltMode(surface.dc()), HALFTONE);
  EXPECT_NE(surface.At(7, 5), 0x0000FFu);
  EXPECT_EQ(surface.At(8, 0), 0x0000FFu);
  EXPECT_EQ(surface.At(0, 6), 0x0000FFu);
}

TEST_F(PictureWin, TransparentColorShowsTheTargetAndRestoresItsColors) {
  const Bytes bmp = test_pictures::BuildBmp(3, 1, 24, {0xFF0000, 0x00FF00, 0xFF0000});
  std::unique_ptr<DecodedPicture> picture = DecodedPicture::FromMemory(bmp.data(), bmp.size());
  ASSERT_TRUE(picture);
  Surface surface(5, 1, 0x123456);
  SetTextColor(surface.dc(), RGB(1, 2, 3));
  SetBkColor(surface.dc(), RGB(4, 5, 6));
  ext::BitmapView view;
  ASSERT_TRUE(ext::MakeBitmapView(surface.dc(), *picture, view));
  ext::DrawView(view, 1, 0, -1, -1, -static_cast<int32_t>(RGB(0xFF, 0, 0)));  // red transparent
  EXPECT_EQ(surface.At(1, 0), 0x123456u);
  EXPECT_EQ(surface.At(2, 0), 0x00FF00u);
  EXPECT_EQ(surface.At(3, 0), 0x123456u);
  EXPECT_EQ(GetTextColor(surface.dc()), RGB(1, 2, 3));
  EXPECT_EQ(GetBkColor(surface.dc()), RGB(4, 5, 6));
  // Black can be transparent through the typed call.
  const Bytes dark = test_pictures::BuildBmp(2, 1, 24, {0x000000, 0x0000FF});
  std::unique_ptr<DecodedPicture> second = DecodedPicture::FromMemory(dark.data(), dark.size());
  ext::BitmapView secondView;
  ASSERT_TRUE(ext::MakeBitmapView(surface.dc(), *second, secondView));
  ext::DrawViewTransparent(secondView, 0, 0, -1, -1, RGB(0, 0, 0));
  EXPECT_EQ(surface.At(0, 0), 0x123456u);
  EXPECT_EQ(surface.At(1, 0), 0x0000FFu);
}

TEST_F(PictureWin, PicturesFromFiles) {
  char path[MAX_PATH];
  GetTempPathA(MAX_PATH, path);
  const std::string file = std::string(path) + "picture_win_test.pcx";
  const Bytes pcx = test_pictures::BuildPcx(9, 2, 1, Bytes(18, 1), {}, 3);
  FILE* out = std::fopen(file.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fwrite(pcx.data(), 1, pcx.size(), out);
  std::fclose(out);
  std::unique_ptr<DecodedPicture> picture = DecodedPicture::FromFile(file.c_str());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->Kind(), PictureKind::kPcx1);
  Surface surface(9, 2, 0x123456);
  ext::DrawPicture(*picture, surface.dc(), 0, 0, -1, -1);
  EXPECT_EQ(surface.At(8, 1), 0xFFFFFFu);
  DeleteFileA(file.c_str());
  EXPECT_FALSE(DecodedPicture::FromFile(file.c_str()));
}

// ---- FrameImage ------------------------------------------------------------------------

TEST_F(PictureWin, FrameImageLoadsStillKindsThroughTheService) {
  const Bytes bmp = test_pictures::BuildBmp(3, 2, 8, {1, 2, 3, 0, 0, 1}, kPalette);
  ext::FrameImage image;
  ext::LoadFrameImage(image, bmp.data(), bmp.size(), 0x445566, false);
  ASSERT_EQ(image.FrameCount(), 1);
  EXPECT_EQ(image.At(0).pixels,
            (std::vector<uint32_t>{0xFFFFFF, 0x00FF00, 0xFF0000, 0x102030, 0x102030, 0xFFFFFF}));
  EXPECT_EQ(image.At(0).transparentColor, 0x445566u);
  const Bytes jpeg =
      test_pictures::EncodeJpeg(8, 8, std::vector<uint32_t>(64, 0x2080C0), 95, false);
  ext::LoadFrameImage(image, jpeg.data(), jpeg.size(), ext::kNoColor, true);
  ASSERT_EQ(image.FrameCount(), 1);
  EXPECT_EQ(image.At(0).delay, 0u);
  EXPECT_EQ(image.At(0).transparentColor, ext::PixelColor(image.At(0).pixels[0]));
  EXPECT_NEAR(int(image.At(0).transparentColor & 0xFF), 0x20, 3);
  // GIF and PNG do not need the service; other kinds do.
  rt::SetServiceHandler(rt::svc::kPictureToBitmap, nullptr);
  ext::LoadFrameImage(image, bmp.data(), bmp.size(), 0, false);
  EXPECT_TRUE(image.Empty());
  const Bytes png = test_pictures::EncodePng(1, 1, {0x80FF0000}, {});
  ext::LoadFrameImage(image, png.data(), png.size(), 0, false);
  EXPECT_EQ(image.At(0).pixels[0], 0x7FFF0000u);
}

TEST_F(PictureWin, FrameImageFromText) {
  ext::FrameImage image;
  ext::FrameImageFromText(image, "Ab", nullptr, RGB(255, 0, 0));
  ASSERT_EQ(image.FrameCount(), 1);
  const int32_t lineHeight = image.Height();
  EXPECT_GT(image.Width(), 4);
  EXPECT_GT(lineHeight, 4);
  EXPECT_EQ(image.At(0).transparentColor, RGB(255, 255, 255));
  int ink = 0;
  for (uint32_t p : image.At(0).pixels) {
    ASSERT_TRUE(p == 0xFFFFFF || p == 0xFF0000) << std::hex << p;  // no blended edges
    ink += p == 0xFF0000;
  }
  EXPECT_GT(ink, 5);
  // Two lines, 2 pixels apart; white text on black.
  ext::FrameImageFromText(image, "A\r\nB", nullptr, RGB(255, 255, 255));
  EXPECT_EQ(image.Height(), 2 * lineHeight + 2);
  EXPECT_EQ(image.At(0).transparentColor, RGB(0, 0, 0));
  EXPECT_EQ(image.FrameCount(), 1);
  // A bigger font makes a bigger image; an empty text none.
  LOGFONTA font{};
  font.lfHeight = -40;
  rt::UniqueHandle<HFONT, rt::GdiObjectTraits> big(CreateFontIndirectA(&font));
  ext::FrameImageFromText(image, "Ab", big.get(), RGB(0, 0, 255));
  EXPECT_GT(image.Height(), lineHeight * 2);
  ext::FrameImageFromText(image, "", nullptr, RGB(0, 0, 0));
  EXPECT_TRUE(image.Empty());
}

}  // namespace
