#include "units/win/control_style.h"

#include <cstring>

namespace units {

namespace {

constexpr UINT kFrameChanged =
    SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE;  // 0x37
constexpr uint32_t kBorderExMask = WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE;

uint32_t BorderExStyle(int32_t border) {
  switch (border) {
    case 1: return WS_EX_CLIENTEDGE;
    case 2: return WS_EX_DLGMODALFRAME;
    case 3: return WS_EX_STATICEDGE;
    case 4: return WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME;
    default: return 0;
  }
}

}  // namespace

void ChangeWindowStyle(HWND window, int index, uint32_t remove, uint32_t add) {
  const auto current = static_cast<uint32_t>(::GetWindowLongA(window, index));
  const uint32_t next = (current & ~remove) | add;
  if (next == current) return;
  ::SetWindowLongA(window, index, static_cast<LONG>(next));
  ::SetWindowPos(window, nullptr, 0, 0, 0, 0, kFrameChanged);
}

BorderStyles StylesOfBorder(int32_t border) {
  return {border == 5 ? static_cast<uint32_t>(WS_BORDER) : 0u, BorderExStyle(border)};
}

void ApplyBorder(HWND window, int32_t border) {
  const BorderStyles styles = StylesOfBorder(border);
  ChangeWindowStyle(window, GWL_EXSTYLE, kBorderExMask, styles.exStyle);
  ChangeWindowStyle(window, GWL_STYLE, WS_BORDER, styles.style);
}

// A window not on the screen is drawn whole when it shows: the control is
// not asked to redraw for the new font before.
void ApplyFontRule(HWND window, const std::vector<uint8_t>& block, rt::GdiFont& font) {
  const LPARAM redraw = ::IsWindowVisible(window) ? TRUE : FALSE;
  rt::GdiFont made;
  if (block.size() == sizeof(LOGFONTA)) {
    LOGFONTA logFont;
    std::memcpy(&logFont, block.data(), sizeof logFont);
    made.Reset(::CreateFontIndirectA(&logFont));
  }
  if (made) {
    ::SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(made.get()), redraw);
    font = std::move(made);  // the control uses the new font before the old one goes
  } else {
    ::SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)),
                   redraw);
    font.Reset();
  }
}

int(WINAPI* getClipBox)(HDC, LPRECT) = ::GetClipBox;

bool PaintClip(HDC dc, RECT& clip) {
  const int kind = getClipBox(dc, &clip);
  if (kind != ERROR && kind != NULLREGION && !::IsRectEmpty(&clip)) return true;
  clip = {};
  return false;
}

}  // namespace units
