// How the Label paints: the gradient frame, the background (picture,
// gradient or colour) and the caption with its effect pass.

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/win/handles.h"
#include "units/blocks.h"
#include "units/win/control_style.h"
#include "units/win/label.h"
#include "units/win/picture_bitmap.h"
#include "units/window_rules.h"

namespace units {

namespace lf = labelfield;
namespace lp = labelprop;

namespace {

Box BoxOf(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
RECT RectOf(const Box& b) { return {b.left, b.top, b.right, b.bottom}; }

// Empty when there is nothing to paint.
Box ClipBox(HDC dc) {
  RECT clip;
  return PaintClip(dc, clip) ? BoxOf(clip) : Box{};
}

// The colour a colour property stands for: the unused marker means the
// system's button face.
COLORREF Resolved(int32_t colour) {
  const auto c = static_cast<uint32_t>(colour);
  return c == kUnusedColour ? ::GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(c);
}

// Draws `box` with mode 2 inside the polygon, in addition to the current
// clip; the previous clip region is put back.
void FillBandInPolygon(HDC dc, const Box& box, const POINT (&polygon)[4],
                       const std::vector<uint32_t>& colours) {
  rt::GdiRegion saved(::CreateRectRgn(0, 0, 0, 0));
  const bool hadClip = saved && ::GetClipRgn(dc, saved.get()) == 1;
  rt::GdiRegion band(::CreatePolygonRgn(polygon, 4, WINDING));
  if (band) ::ExtSelectClipRgn(dc, band.get(), RGN_AND);
  FillGradient(dc, 2, box, colours);
  ::SelectClipRgn(dc, hadClip ? saved.get() : nullptr);
}

}  // namespace

void FillGradient(HDC dc, int32_t mode, const Box& box, const std::vector<uint32_t>& colours) {
  if (mode < 1 || mode > 8 || colours.size() < 2 || box.Empty()) return;
  for (const Box& tile : GradientTiles(box, ClipBox(dc))) {
    const std::vector<uint32_t> pixels = GradientTilePixels(mode, box, tile, colours);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = tile.Width();
    info.bmiHeader.biHeight = -tile.Height();  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::StretchDIBits(dc, tile.left, tile.top, tile.Width(), tile.Height(), 0, 0, tile.Width(),
                    tile.Height(), pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
  }
}

std::string WindowTextOf(HWND window) {
  const int length = ::GetWindowTextLengthA(window);
  if (length <= 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  text.resize(static_cast<size_t>(::GetWindowTextA(window, text.data(), length + 1)));
  return text;
}

void DrawEffectText(HDC dc, const std::string& text, RECT rc, UINT flags, int32_t effect,
                    COLORREF colour) {
  ::SetBkMode(dc, TRANSPARENT);
  const int n = static_cast<int>(text.size());
  if (effect >= 1 && effect <= 3) {
    const int shift = effect == 3 ? 2 : 1;
    RECT moved = rc;
    ::OffsetRect(&moved, shift, shift);
    ::SetTextColor(dc, effect == 3 ? RGB(0, 0, 0) : RGB(255, 255, 255));
    ::DrawTextA(dc, text.c_str(), n, effect == 2 ? &rc : &moved, flags);
    if (effect == 2) rc = moved;
  }
  ::SetTextColor(dc, colour);
  ::DrawTextA(dc, text.c_str(), n, &rc, flags);
}

// ---- Painting -------------------------------------------------------------------------

void LabelObject::Paint(HDC dc) {
  const Box clip = ClipBox(dc);
  if (clip.Empty()) return;
  const int saved = ::SaveDC(dc);
  RECT client;
  ::GetClientRect(hwnd(), &client);
  Box r = BoxOf(client);
  const int32_t frameWidth = Int(lp::kFrameWidth);
  if (Int(lp::kBorderStyle) == 6 && frameWidth > 0 && DrawFrame(dc, r)) {
    r = {r.left + frameWidth, r.top + frameWidth, r.right - frameWidth, r.bottom - frameWidth};
  }
  const Box g = Intersect(clip, r);
  rt::GdiRegion remaining(::CreateRectRgn(g.left, g.top, g.right, g.bottom));
  ::SelectClipRgn(dc, remaining.get());
  const std::vector<uint32_t> gradient =
      UsableColours({static_cast<uint32_t>(Int(lp::kGradientColor1)),
                     static_cast<uint32_t>(Int(lp::kGradientColor2)),
                     static_cast<uint32_t>(Int(lp::kGradientColor3))});
  const int32_t mode = Int(lp::kGradientMode);
  const bool pictured =
      !values_.Bytes(lf::kBackPicture).empty() && DrawBackPicture(dc, r, remaining.get());
  if (!pictured && mode >= 1 && mode <= 8 && gradient.size() >= 2 && !r.Empty()) {
    FillGradient(dc, mode, r, gradient);
    ::SetRectRgn(remaining.get(), 0, 0, 0, 0);
  }
  RECT left;
  if (remaining && ::GetRgnBox(remaining.get(), &left) != NULLREGION) {
    rt::GdiBrush brush(::CreateSolidBrush(Resolved(Int(lp::kBackColor))));
    ::FillRgn(dc, remaining.get(), brush.get());
  }
  DrawCaption(dc, r);
  ::RestoreDC(dc, saved);
}

bool LabelObject::DrawFrame(HDC dc, const Box& r) {
  const std::vector<uint32_t> colours = UsableColours(
      {static_cast<uint32_t>(Int(lp::kFrameColor1)), static_cast<uint32_t>(Int(lp::kFrameColor2)),
       static_cast<uint32_t>(Int(lp::kFrameColor3))});
  if (colours.size() < 2) return false;
  const FrameBands f = GradientFrame(r, Int(lp::kFrameWidth));
  if (!f.drawn) return false;
  const Box& in = f.inner;
  FillGradient(dc, 1, f.top, colours);
  FillGradient(dc, 1, f.bottom, colours);
  FillBandInPolygon(dc, f.left,
                    {{r.left, r.top}, {r.left, r.bottom}, {in.left, in.bottom}, {in.left, in.top}},
                    colours);
  FillBandInPolygon(
      dc, f.right,
      {{in.right, in.top}, {in.right, in.bottom}, {r.right, r.bottom}, {r.right, r.top}}, colours);
  return true;
}

// The picture is made on first paint through the picture service (it
// belongs to a higher layer); bytes it cannot take are cleared. False when
// there is no picture to draw.
bool LabelObject::DrawBackPicture(HDC dc, const Box& r, HRGN remaining) {
  if (!pictureTried_) {
    pictureTried_ = true;
    picture_ = BitmapFromPicture(values_.Bytes(lf::kBackPicture));
    if (!picture_) values_.SetBytes(lf::kBackPicture, {});
  }
  BITMAP bm;
  if (!picture_ || !::GetObjectA(picture_.get(), sizeof bm, &bm)) return false;
  rt::MemoryDc source(::CreateCompatibleDC(dc));
  if (!source) return false;
  rt::SelectGuard selected(source.get(), picture_.get());
  const int32_t w = bm.bmWidth, h = bm.bmHeight;
  Rect drawn{r.left, r.top, w, h};
  switch (Int(lp::kBackPictureMode)) {
    case 1:
      for (int32_t y = r.top; y < r.bottom; y += h) {
        for (int32_t x = r.left; x < r.right; x += w) {
          ::BitBlt(dc, x, y, w, h, source.get(), 0, 0, SRCCOPY);
        }
      }
      ::SetRectRgn(remaining, 0, 0, 0, 0);
      return true;
    case 2: {
      drawn = CentredPicture(r.Width(), r.Height(), w, h);
      drawn.left += r.left;
      drawn.top += r.top;
      ::SetStretchBltMode(dc, COLORONCOLOR);
      ::StretchBlt(dc, drawn.left, drawn.top, drawn.width, drawn.height, source.get(), 0, 0, w, h,
                   SRCCOPY);
      break;
    }
    default: ::BitBlt(dc, r.left, r.top, w, h, source.get(), 0, 0, SRCCOPY); break;
  }
  rt::GdiRegion covered(
      ::CreateRectRgn(drawn.left, drawn.top, drawn.left + drawn.width, drawn.top + drawn.height));
  ::CombineRgn(remaining, remaining, covered.get(), RGN_DIFF);
  return true;
}

void LabelObject::DrawCaption(HDC dc, const Box& r) {
  const std::string text = WindowTextOf(hwnd());
  if (text.empty()) return;
  rt::GdiFont made;
  const std::vector<uint8_t>& block = values_.Bytes(lf::kFont);
  if (block.size() == sizeof(LOGFONTA)) {
    LOGFONTA logFont;
    std::memcpy(&logFont, block.data(), sizeof logFont);
    made.Reset(::CreateFontIndirectA(&logFont));
  }
  rt::SelectGuard font(
      dc, made ? static_cast<HGDIOBJ>(made.get()) : ::GetStockObject(DEFAULT_GUI_FONT));
  const UINT flags =
      LabelTextFlags(Int(lp::kAlignment), Int(lp::kWordWrap) != 0, Int(lp::kVertAlignment));
  DrawEffectText(dc, text, RectOf(r), flags, Int(lp::kEffect),
                 static_cast<COLORREF>(Int(lp::kTextColor)));
}

}  // namespace units
