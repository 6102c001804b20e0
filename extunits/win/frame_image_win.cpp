#include "extunits/win/frame_image_win.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "extunits/picture/frame_load.h"
#include "extunits/picture/kind.h"
#include "runtime/win/handles.h"
#include "units/win/picture_bitmap.h"

namespace ext {

BITMAPINFO TopDown32(int32_t width, int32_t height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// ---- Load through the picture service ---------------------------------------------

namespace {

// The still loader of the Windows build: picture bytes to a bitmap by the
// runtime's picture service, read back as opaque 32-bit pixels.
bool LoadStillThroughService(const uint8_t* bytes, size_t length, int32_t& width, int32_t& height,
                             std::vector<uint32_t>& pixels) {
  rt::GdiBitmap bitmap = units::BitmapFromPicture(bytes, length);
  BITMAP info{};
  if (!bitmap || !GetObject(bitmap.get(), sizeof info, &info) ||
      !SizeAllowed(info.bmWidth, info.bmHeight))
    return false;
  width = info.bmWidth;
  height = info.bmHeight;
  pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  BITMAPINFO format = TopDown32(width, height);
  rt::ScreenDc screen;
  if (GetDIBits(screen.get(), bitmap.get(), 0, static_cast<UINT>(height), pixels.data(), &format,
                DIB_RGB_COLORS) != height)
    return false;
  for (uint32_t& p : pixels) p &= 0xFFFFFF;  // still pictures are opaque
  return true;
}

}  // namespace

void LoadFrameImage(FrameImage& image, const uint8_t* bytes, size_t length,
                    uint32_t transparentColor, bool takeColor) {
  LoadFrameImageWith(image, bytes, length, transparentColor, takeColor, LoadStillThroughService);
}

// ---- Text ---------------------------------------------------------------------------

namespace {

// Lines at line feeds; a carriage return before a line feed is dropped.
std::vector<std::string> SplitLines(const char* text) {
  std::vector<std::string> lines(1);
  for (const char* p = text; *p; ++p) {
    if (*p == '\n') {
      if (!lines.back().empty() && lines.back().back() == '\r') lines.back().pop_back();
      lines.emplace_back();
    } else {
      lines.back() += *p;
    }
  }
  return lines;
}

// Line heights in the DC's font; an empty line is as high as the font.
std::vector<SIZE> Measure(HDC dc, const std::vector<std::string>& lines) {
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  std::vector<SIZE> sizes;
  for (const std::string& line : lines) {
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &size);
    if (line.empty()) size.cy = metrics.tmHeight;
    sizes.push_back(size);
  }
  return sizes;
}

// Draws the lines into a 32-bit top-down DIB section and copies its pixels.
bool RenderLines(HDC dc, const std::vector<std::string>& lines, const std::vector<SIZE>& sizes,
                 int32_t width, int32_t height, COLORREF color, COLORREF background,
                 std::vector<uint32_t>& pixels) {
  BITMAPINFO format = TopDown32(width, height);
  void* bits = nullptr;
  rt::GdiBitmap section(CreateDIBSection(dc, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!section || bits == nullptr) return false;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  auto* surface = static_cast<uint32_t*>(bits);
  std::fill(surface, surface + count, ColorPixel(background));
  {
    rt::SelectGuard select(dc, section.get());
    SetTextColor(dc, color);
    SetBkMode(dc, TRANSPARENT);
    int32_t y = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
      TextOutA(dc, 0, y, lines[i].c_str(), static_cast<int>(lines[i].size()));
      y += sizes[i].cy + 2;
    }
    GdiFlush();
  }
  pixels.assign(surface, surface + count);
  return true;
}

}  // namespace

void FrameImageFromText(FrameImage& image, const char* text, HFONT font, COLORREF color) {
  image.Clear();
  color &= 0xFFFFFF;
  const std::vector<std::string> lines = SplitLines(text ? text : "");
  rt::ScreenDc screen;
  rt::MemoryDc dc(CreateCompatibleDC(screen.get()));
  if (!dc) return;
  rt::SelectGuard selectFont(dc.get(), font ? font : GetStockObject(DEFAULT_GUI_FONT));
  const std::vector<SIZE> sizes = Measure(dc.get(), lines);
  int64_t width = 0, height = 2 * (static_cast<int64_t>(lines.size()) - 1);
  for (const SIZE& s : sizes) {
    width = std::max<int64_t>(width, s.cx);
    height += s.cy;
  }
  const COLORREF background = color == 0xFFFFFF ? RGB(0, 0, 0) : RGB(255, 255, 255);
  std::vector<uint32_t> pixels;
  if (!SizeAllowed(width, height) ||
      !RenderLines(dc.get(), lines, sizes, static_cast<int32_t>(width),
                   static_cast<int32_t>(height), color, background, pixels))
    return;
  // Glyph edges blended with the background become the text colour itself.
  const uint32_t backgroundPixel = ColorPixel(background), textPixel = ColorPixel(color);
  for (uint32_t& p : pixels) p = (p & 0xFFFFFF) == backgroundPixel ? backgroundPixel : textPixel;
  image.Reset(static_cast<int32_t>(width), static_cast<int32_t>(height));
  Frame frame;
  frame.transparentColor = background;
  frame.pixels = std::move(pixels);
  image.AddFrame(std::move(frame));
}

}  // namespace ext
