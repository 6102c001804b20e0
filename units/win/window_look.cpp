// How the window unit looks: background colour and picture, the window
// shape, the window icons and the tray icon.

#include <windows.h>

#include <shellapi.h>

#include <cstring>
#include <vector>

#include "runtime/service.h"
#include "runtime/win/handles.h"
#include "runtime/win/icons.h"
#include "units/blocks.h"
#include "units/win/control_style.h"
#include "units/win/picture_bitmap.h"
#include "units/win/window.h"
#include "units/window_rules.h"

namespace units {

namespace wf = windowfield;

// ---- Background -------------------------------------------------------------------

// Transparent units draw over the background, so they are redrawn with it.
void WindowObject::RepaintBackground() {
  ::InvalidateRect(hwnd(), nullptr, TRUE);
  for (HWND child = ::GetTopWindow(hwnd()); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (::IsWindowVisible(child) && (::GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_TRANSPARENT)) {
      ::InvalidateRect(child, nullptr, FALSE);
    }
  }
}

void WindowObject::PaintBackground(HDC dc) {
  RECT clip;
  if (!PaintClip(dc, clip)) return;
  rt::GdiRegion remaining(::CreateRectRgnIndirect(&clip));
  if (!values_.Bytes(wf::kBackPicture).empty()) DrawBackPicture(dc, clip, remaining.get());
  RECT box;
  if (!remaining || ::GetRgnBox(remaining.get(), &box) == NULLREGION) return;
  const auto colour = static_cast<uint32_t>(Int(wf::kBackColor));
  rt::GdiBrush brush(::CreateSolidBrush(colour == 0xFF000000u ? ::GetSysColor(COLOR_BTNFACE)
                                                              : static_cast<COLORREF>(colour)));
  ::FillRgn(dc, remaining.get(), brush.get());
}

namespace {

void SetStretchModeFor(HDC dc) {
  rt::WindowDc screen;
  const int bits = ::GetDeviceCaps(screen.get(), BITSPIXEL) * ::GetDeviceCaps(screen.get(), PLANES);
  ::SetStretchBltMode(dc, bits > 16 ? HALFTONE : COLORONCOLOR);
}

void Subtract(HRGN region, const Rect& r) {
  rt::GdiRegion drawn(::CreateRectRgn(r.left, r.top, r.left + r.width, r.top + r.height));
  ::CombineRgn(region, region, drawn.get(), RGN_DIFF);
}

bool Meets(const RECT& clip, int32_t x, int32_t y, int32_t w, int32_t h) {
  return x < clip.right && x + w > clip.left && y < clip.bottom && y + h > clip.top;
}

}  // namespace

// The picture is decoded on first paint through the picture service, which
// belongs to a higher layer, and kept until `BackPicture` changes.
void WindowObject::DrawBackPicture(HDC dc, const RECT& clip, HRGN remaining) {
  if (!backPictureTried_) {
    backPictureTried_ = true;
    backPicture_ = BitmapFromPicture(values_.Bytes(wf::kBackPicture));
  }
  BITMAP bm;
  if (!backPicture_ || !::GetObjectA(backPicture_.get(), sizeof bm, &bm)) return;
  rt::MemoryDc source(::CreateCompatibleDC(dc));
  if (!source) return;
  rt::SelectGuard selected(source.get(), backPicture_.get());
  SetStretchModeFor(dc);
  RECT client;
  ::GetClientRect(hwnd(), &client);
  const int32_t w = bm.bmWidth, h = bm.bmHeight, cw = client.right, ch = client.bottom;
  switch (Int(wf::kBackPictureMode)) {
    case 0:
      ::BitBlt(dc, 0, 0, w, h, source.get(), 0, 0, SRCCOPY);
      Subtract(remaining, {0, 0, w, h});
      break;
    case 1:
      for (int32_t y = 0; y < ch; y += h) {
        for (int32_t x = 0; x < cw; x += w) {
          if (Meets(clip, x, y, w, h)) ::BitBlt(dc, x, y, w, h, source.get(), 0, 0, SRCCOPY);
        }
      }
      ::SetRectRgn(remaining, 0, 0, 0, 0);
      break;
    case 2: {
      const Rect r = CentredPicture(cw, ch, w, h);
      ::StretchBlt(dc, r.left, r.top, r.width, r.height, source.get(), 0, 0, w, h, SRCCOPY);
      Subtract(remaining, r);
      break;
    }
    default:
      ::StretchBlt(dc, 0, 0, cw, ch, source.get(), 0, 0, w, h, SRCCOPY);
      ::SetRectRgn(remaining, 0, 0, 0, 0);
      break;
  }
}

// ---- Shape ------------------------------------------------------------------------------

namespace {

HRGN PolygonRegion(HWND window, const std::vector<Point>& points) {
  rt::WindowDc dc(window);
  if (points.empty() || !::BeginPath(dc.get())) return nullptr;
  ::MoveToEx(dc.get(), points[0].x, points[0].y, nullptr);
  for (size_t i = 1; i < points.size(); ++i) ::LineTo(dc.get(), points[i].x, points[i].y);
  ::EndPath(dc.get());
  return ::PathToRegion(dc.get());
}

HRGN ShapeRegion(HWND window, int32_t shape, int32_t w, int32_t h) {
  switch (shape) {
    case 1: return ::CreateEllipticRgn(0, 0, w, h);
    case 2: {
      const int32_t c = w / 5 < h / 5 ? w / 5 : h / 5;
      return ::CreateRoundRectRgn(0, 0, w, h, c, c);
    }
    case 3: {
      rt::GdiRegion outer(::CreateEllipticRgn(0, 0, w, h));
      rt::GdiRegion inner(::CreateEllipticRgn(w / 4, h / 4, w - w / 4, h - h / 4));
      if (!outer || !inner) return nullptr;
      ::CombineRgn(outer.get(), outer.get(), inner.get(), RGN_DIFF);
      return outer.Release();
    }
    default: return PolygonRegion(window, ShapePolygon(shape, w, h));
  }
}

}  // namespace

// A region handed to the window is the window's from then on.
void WindowObject::ApplyShape() {
  const int32_t shape = Int(wf::kWindowShape);
  if (shape == 0) {
    ::SetWindowRgn(hwnd(), nullptr, TRUE);
    return;
  }
  RECT rc;
  ::GetWindowRect(hwnd(), &rc);
  rt::GdiRegion region(ShapeRegion(hwnd(), shape, rc.right - rc.left, rc.bottom - rc.top));
  if (region && ::SetWindowRgn(hwnd(), region.get(), TRUE)) region.Release();
}

// ---- Icons --------------------------------------------------------------------------------

namespace {

// Giving a window the icon it has already (none, when neither the Icon
// property nor the program has one) changes nothing, yet costs the window
// manager a round of icon work under Wine: it is left out.
void SetIcon(HWND window, WPARAM which, HICON icon) {
  if (reinterpret_cast<HICON>(::SendMessageA(window, WM_GETICON, which, 0)) == icon) return;
  ::SendMessageA(window, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
}

}  // namespace

// Icons made from `Icon` are the unit's; the runtime's default icons are not.
void WindowObject::ApplyIcons() {
  const std::vector<uint8_t>& bytes = values_.Bytes(wf::kIcon);
  rt::IconHandle big = rt::IconFromFile(bytes.data(), bytes.size(), 32);
  rt::IconHandle small = rt::IconFromFile(bytes.data(), bytes.size(), 16);
  void* defaults[2] = {nullptr, nullptr};
  if (!big || !small) rt::RequestDefaultIcons(defaults);
  bigIcon_ = big ? big.get() : static_cast<HICON>(defaults[0]);
  smallIcon_ = small ? small.get() : static_cast<HICON>(defaults[1]);
  SetIcon(hwnd(), ICON_BIG, bigIcon_);
  SetIcon(hwnd(), ICON_SMALL, smallIcon_);
  ownedBig_ = std::move(big);
  ownedSmall_ = std::move(small);
}

// ---- Tray icon ------------------------------------------------------------------------------

namespace {

TrayPort& CurrentTrayPort() {
  static TrayPort port = [](uint32_t message, void* data) {
    return ::Shell_NotifyIconA(message, static_cast<NOTIFYICONDATAA*>(data)) != FALSE;
  };
  return port;
}

}  // namespace

void SetTrayPortForTest(TrayPort port) {
  static const TrayPort real = CurrentTrayPort();
  CurrentTrayPort() = port ? port : real;
}

// The record is the 88-byte first version on 32-bit Windows (its own size
// on 64-bit), with the tip cut to 62 bytes.
void WindowObject::SetTrayIcon(HICON icon, const char* tip) {
  rt::IconHandle fresh(icon);
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = hwnd();
  data.uID = kTrayIconId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayCallbackMessage;
  data.hIcon = fresh.get();
  const std::string cut = TrayTip(tip);
  std::memcpy(data.szTip, cut.data(), cut.size());
  if (trayShown_) {
    CurrentTrayPort()(fresh ? NIM_MODIFY : NIM_DELETE, &data);
  } else if (fresh) {
    CurrentTrayPort()(NIM_ADD, &data);
  }
  trayShown_ = static_cast<bool>(fresh);
  trayIcon_ = std::move(fresh);
}

}  // namespace units
