// The CartoonBox's background surface and painting: the clip box is
// composed in memory over the background and shown with one
// SetDIBitsToDevice, without erasing.

#include <algorithm>
#include <vector>

#include "extunits/blocks.h"
#include "extunits/cartoon/rules.h"
#include "extunits/cartoon/win/cartoon_box.h"
#include "extunits/win/frame_image_win.h"
#include "extunits/win/picture_win.h"
#include "runtime/win/handles.h"
#include "units/win/picture_bitmap.h"

namespace cartoon {

namespace bf = extunits::cartoonboxfield;

namespace {

COLORREF BackColour(int32_t value) {
  return static_cast<uint32_t>(value) == 0xFF000000u ? ::GetSysColor(COLOR_BTNFACE)
                                                     : static_cast<COLORREF>(value);
}

// Transparent siblings (their text drawn over what lies beneath) are not
// clipped out of the box's painting, so each frame paints over them: they are
// drawn again over the new frame.
void RedrawTransparentSiblings(HWND box, const RECT& painted) {
  RECT screen = painted;
  ::MapWindowPoints(box, nullptr, reinterpret_cast<POINT*>(&screen), 2);
  for (HWND w = ::GetWindow(box, GW_HWNDFIRST); w != nullptr; w = ::GetWindow(w, GW_HWNDNEXT)) {
    RECT bounds, overlap;
    if (w == box || !::IsWindowVisible(w) ||
        (::GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TRANSPARENT) == 0) {
      continue;
    }
    ::GetWindowRect(w, &bounds);
    if (::IntersectRect(&overlap, &bounds, &screen)) ::InvalidateRect(w, nullptr, FALSE);
  }
}

}  // namespace

// A new size or background property only forgets the surface; the next
// paint makes it, so the picture is decoded once however many changes come
// before, and a box that is never painted decodes nothing.
void CartoonBoxUnit::ForgetBackground() {
  background_.Reset();
  backPixels_ = nullptr;
  backStale_ = true;
  if (hwnd() != nullptr) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void CartoonBoxUnit::MakeBackground() {
  backStale_ = false;
  backWidth_ = ClientWidth();
  backHeight_ = ClientHeight();
  if (backWidth_ <= 0 || backHeight_ <= 0) return;
  const BITMAPINFO info = ext::TopDown32(backWidth_, backHeight_);
  void* bits = nullptr;
  background_.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  rt::MemoryDc dc(::CreateCompatibleDC(nullptr));
  if (!background_ || !dc || bits == nullptr) {
    background_.Reset();
    return;
  }
  {
    rt::SelectGuard selected(dc.get(), background_.get());
    const RECT all = {0, 0, backWidth_, backHeight_};
    rt::GdiBrush brush(::CreateSolidBrush(BackColour(Int(bf::kBackColor))));
    ::FillRect(dc.get(), &all, brush.get());
    DrawBackPicture(dc.get(), backWidth_, backHeight_);
  }
  ::GdiFlush();
  backPixels_ = static_cast<const uint32_t*>(bits);
}

// Mode 1 stretches, 3 tiles from (0, 0), 0 and 2 place the picture at its
// own size at the top left or centred. A picture that cannot be decoded
// leaves the plain colour.
void CartoonBoxUnit::DrawBackPicture(HDC dc, int32_t width, int32_t height) {
  rt::GdiBitmap picture = units::BitmapFromPicture(values().Bytes(extunits::cartoonboxfield::kPic));
  BITMAP bm;
  if (!picture || !::GetObjectA(picture.get(), sizeof bm, &bm)) return;
  rt::MemoryDc source(::CreateCompatibleDC(dc));
  if (!source) return;
  rt::SelectGuard selected(source.get(), picture.get());
  switch (Int(bf::kPicDrawMode)) {
    case 1:
      ext::SetPictureStretchMode(dc);
      ::StretchBlt(dc, 0, 0, width, height, source.get(), 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
      break;
    case 3:
      for (int32_t y = 0; y < height; y += bm.bmHeight) {
        for (int32_t x = 0; x < width; x += bm.bmWidth)
          ::BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, source.get(), 0, 0, SRCCOPY);
      }
      break;
    case 2:
      ::BitBlt(dc, (width - bm.bmWidth) / 2, (height - bm.bmHeight) / 2, bm.bmWidth, bm.bmHeight,
               source.get(), 0, 0, SRCCOPY);
      break;
    default: ::BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, source.get(), 0, 0, SRCCOPY); break;
  }
}

void CartoonBoxUnit::Paint() {
  RECT clip{};
  bool painted = false;
  {
    rt::PaintDc paint(hwnd());
    dirty_ = false;
    painted = paint.get() != nullptr && ::GetClipBox(paint.get(), &clip) != ERROR;
    if (painted) PaintArea(paint.get(), clip);
  }
  if (painted) RedrawTransparentSiblings(hwnd(), clip);
}

// The background's pixels of the area, the objects composited over them,
// the fourth byte cleared, and one transfer to the DC.
void CartoonBoxUnit::PaintArea(HDC dc, const RECT& clip) {
  const int32_t w = clip.right - clip.left, h = clip.bottom - clip.top;
  if (w <= 0 || h <= 0) return;
  if (backStale_) MakeBackground();
  std::vector<uint32_t> buffer(static_cast<size_t>(w) * static_cast<size_t>(h),
                               ext::ColorPixel(BackColour(Int(bf::kBackColor))));
  const int32_t left = std::max<int32_t>(clip.left, 0);
  const int32_t right = std::min<int32_t>(clip.right, backWidth_);
  for (int32_t y = 0; backPixels_ != nullptr && right > left && y < h; ++y) {
    const int32_t by = clip.top + y;
    if (by < 0 || by >= backHeight_) continue;
    const uint32_t* row = backPixels_ + static_cast<size_t>(by) * static_cast<size_t>(backWidth_);
    std::copy(row + left, row + right,
              buffer.begin() + static_cast<std::ptrdiff_t>(y) * w + (left - clip.left));
  }
  scene().Compose({buffer.data(), w, h}, clip.left, clip.top);
  for (uint32_t& pixel : buffer) pixel &= 0xFFFFFF;
  const BITMAPINFO info = ext::TopDown32(w, h);
  ::SetDIBitsToDevice(dc, clip.left, clip.top, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0,
                      0, static_cast<UINT>(h), buffer.data(), &info, DIB_RGB_COLORS);
}

}  // namespace cartoon
