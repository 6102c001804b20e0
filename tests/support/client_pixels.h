#pragma once
// Renders a window's client area the way it paints (WM_PRINTCLIENT) into a
// 32-bit DIB, for pixel checks (Windows only).

#include <windows.h>

#include <cstdint>
#include <vector>

#include "runtime/win/handles.h"

namespace testing_support {

// Top-down rows of 0x00RRGGBB pixels.
inline std::vector<uint32_t> RenderClient(HWND window, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  rt::WindowDc screen;
  rt::GdiBitmap bitmap(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  rt::MemoryDc dc(::CreateCompatibleDC(screen.get()));
  rt::SelectGuard selected(dc.get(), bitmap.get());
  ::SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
  ::GdiFlush();
  const auto* p = static_cast<const uint32_t*>(bits);
  return std::vector<uint32_t>(p, p + static_cast<size_t>(width) * height);
}

}  // namespace testing_support
