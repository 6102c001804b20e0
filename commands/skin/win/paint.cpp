// How skinned controls look: push buttons as the schemes define them, the
// other kinds in colours of the same scheme (the border colour of the
// scheme, the state gradients in the same order of precedence).

#include <windows.h>

#include <string>

#include "commands/skin/win/engine.h"
#include "runtime/win/handles.h"
#include "runtime/win/late_import.h"

namespace skin {

namespace {

RECT Inset(const RECT& r, int by) { return {r.left + by, r.top + by, r.right - by, r.bottom - by}; }

// Fills and frames with the DC's own brush, so painting makes no GDI object.
void Fill(HDC dc, const RECT& r, COLORREF colour) {
  ::SetDCBrushColor(dc, colour);
  ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}
void Frame(HDC dc, const RECT& r, COLORREF colour) {
  ::SetDCBrushColor(dc, colour);
  ::FrameRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

TRIVERTEX Vertex(LONG x, LONG y, uint32_t value) {
  const auto channel = [value](int shift) {
    return static_cast<COLOR16>(((value >> shift) & 0xFF) << 8);
  };
  return {x, y, channel(0), channel(8), channel(16), channel(24)};
}

void FillGradient(HDC dc, const RECT& r, const Gradient& g) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  TRIVERTEX v[4] = {Vertex(r.left, r.top, g.corner[0]), Vertex(r.right, r.top, g.corner[1]),
                    Vertex(r.left, r.bottom, g.corner[2]), Vertex(r.right, r.bottom, g.corner[3])};
  if (IsVerticalRectangle(g)) {
    TRIVERTEX rect[2] = {v[0], v[3]};
    GRADIENT_RECT mesh = {0, 1};
    rt::msimg32::GradientFill(dc, rect, 2, &mesh, 1, GRADIENT_FILL_RECT_V);
    return;
  }
  GRADIENT_TRIANGLE triangles[2] = {{0, 1, 2}, {3, 1, 2}};
  rt::msimg32::GradientFill(dc, v, 4, triangles, 2, GRADIENT_FILL_TRIANGLE);
}

std::string TextOf(HWND window) {
  char text[257] = {};
  ::GetWindowTextA(window, text, sizeof text);
  return text;
}

void DrawCaption(HDC dc, HWND window, RECT r, UINT format, COLORREF colour) {
  const std::string text = TextOf(window);
  if (text.empty()) return;
  auto font = reinterpret_cast<HGDIOBJ>(::SendMessageA(window, WM_GETFONT, 0, 0));
  rt::SelectGuard selected(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
  ::SetTextColor(dc, colour);
  const int n = static_cast<int>(text.size());
  if (!(format & DT_SINGLELINE)) {
    RECT measured = r;
    ::DrawTextA(dc, text.c_str(), n, &measured, format | DT_CALCRECT);
    const auto style = static_cast<uint32_t>(::GetWindowLongA(window, GWL_STYLE));
    r.top += MultiLineTextTop(style, r.bottom - r.top, measured.bottom - measured.top);
  }
  ::DrawTextA(dc, text.c_str(), n, &r, format);
}

COLORREF ButtonFace() { return ::GetSysColor(COLOR_BTNFACE); }
COLORREF BorderOf(uint32_t flags, int32_t scheme) {
  return (flags & flag::kDisabled) ? Darker(ButtonFace(), 0x20) : ButtonBorderColour(scheme);
}
COLORREF TextColourOf(uint32_t flags) {
  return (flags & (flag::kDisabled | flag::kIndeterminate)) ? kGreyText : RGB(0, 0, 0);
}

// Rounds the corners: the button face at the frame's corner pixels, the
// border colour (or two greys when disabled) on the diagonal inside them.
void RoundCorners(HDC dc, const RECT& r, uint32_t flags, COLORREF border) {
  const bool disabled = (flags & flag::kDisabled) != 0;
  const COLORREF outer = disabled ? Darker(ButtonFace(), 0x15) : ButtonFace();
  const COLORREF inner = disabled ? Darker(ButtonFace(), 0x11) : border;
  const int x[2] = {r.left + 1, r.right - 2}, y[2] = {r.top + 1, r.bottom - 2};
  for (int i = 0; i < 2; ++i) {
    for (int j = 0; j < 2; ++j) {
      ::SetPixel(dc, x[i], y[j], outer);
      ::SetPixel(dc, x[i] + (i ? -1 : 1), y[j] + (j ? -1 : 1), inner);
    }
  }
}

void PaintPushButtonOn(HDC dc, const SkinNode& node, int32_t scheme, const RECT& client) {
  const uint32_t flags = node.flags;
  ::FillRect(dc, &client, node.parentBrush ? node.parentBrush : ::GetSysColorBrush(COLOR_BTNFACE));
  const COLORREF border = BorderOf(flags, scheme);
  Frame(dc, client, ButtonFace());
  Frame(dc, Inset(client, 1), border);
  if (flags & flag::kDisabled) {
    Fill(dc, Inset(client, 2), kDisabledFace);
  } else {
    FillGradient(dc, Inset(client, 2), SchemeGradient(scheme, FaceGradient(flags)));
  }
  const int inner = InnerGradient(flags);
  if (inner >= 0) FillGradient(dc, Inset(client, 4), SchemeGradient(scheme, inner));
  RoundCorners(dc, client, flags, border);
  if (flags & flag::kFocused) {
    const RECT focus = Inset(client, 3);
    ::DrawFocusRect(dc, &focus);
  }
  RECT text = Inset(client, 4);
  if (flags & flag::kPressed) ::OffsetRect(&text, 1, 1);
  const auto style = static_cast<uint32_t>(::GetWindowLongA(node.window, GWL_STYLE));
  DrawCaption(dc, node.window, text, ButtonTextFlags(style), TextColourOf(flags));
}

// A check box or radio button: a 13-pixel mark at the left, vertically
// centred, framed in the border colour over the state gradient, the
// caption beside it.
void PaintMarkOn(HDC dc, const SkinNode& node, int32_t scheme, const RECT& client) {
  const uint32_t flags = node.flags;
  ::FillRect(dc, &client, node.parentBrush ? node.parentBrush : ::GetSysColorBrush(COLOR_BTNFACE));
  const int top = (client.bottom - 13) / 2;
  const RECT mark = {0, top, 13, top + 13};
  const RECT face = Inset(mark, 1);
  if (flags & flag::kDisabled)
    Fill(dc, face, kDisabledFace);
  else
    FillGradient(dc, face, SchemeGradient(scheme, FaceGradient(flags & ~flag::kChecked)));
  Frame(dc, mark, BorderOf(flags, scheme));
  if (flags & (flag::kChecked | flag::kIndeterminate)) {
    const COLORREF dot = (flags & flag::kIndeterminate) ? kGreyText : BorderOf(flags, scheme);
    Fill(dc, Inset(mark, 3), dot);
  }
  if (node.kind == Kind::kRadioButton) {  // round the mark off
    for (int corner = 0; corner < 4; ++corner) {
      const int x = corner & 1 ? mark.right - 1 : mark.left;
      const int y = corner & 2 ? mark.bottom - 1 : mark.top;
      ::SetPixel(dc, x, y, ButtonFace());
    }
  }
  RECT text = {17, 0, client.right, client.bottom};
  DrawCaption(dc, node.window, text, DT_LEFT | DT_VCENTER | DT_SINGLELINE, TextColourOf(flags));
}

// Paints a button kind off screen and copies the result to the window.
void PaintButtonKind(const SkinNode& node, int32_t scheme) {
  RECT client;
  ::GetClientRect(node.window, &client);
  rt::WindowDc dc(node.window);
  rt::MemoryDc memory(::CreateCompatibleDC(dc.get()));
  rt::GdiBitmap bitmap(::CreateCompatibleBitmap(dc.get(), client.right, client.bottom));
  if (!dc.get() || !memory || !bitmap) return;
  {
    rt::SelectGuard selected(memory.get(), bitmap.get());
    ::SetBkMode(memory.get(), TRANSPARENT);
    if (node.kind == Kind::kPushButton)
      PaintPushButtonOn(memory.get(), node, scheme, client);
    else
      PaintMarkOn(memory.get(), node, scheme, client);
    ::BitBlt(dc.get(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
  }
}

// The frame of an edit, a combo box's drop list or an up-down: one pixel
// in the scheme's frame colour (greyed when disabled), one in the window
// colour inside it, drawn over the whole window.
void PaintFrame(const SkinNode& node, COLORREF colour) {
  RECT r;
  ::GetWindowRect(node.window, &r);
  ::OffsetRect(&r, -r.left, -r.top);
  rt::WholeWindowDc dc(node.window);
  if (!dc.get()) return;
  const bool disabled = (node.flags & flag::kDisabled) != 0;
  Frame(dc.get(), r, disabled ? Darker(ButtonFace(), 0x20) : colour);
  Frame(dc.get(), Inset(r, 1), ::GetSysColor(disabled ? COLOR_BTNFACE : COLOR_WINDOW));
}

// A group box: its frame line in the border colour, around its caption.
void PaintGroupBox(const SkinNode& node, int32_t scheme) {
  rt::WindowDc dc(node.window);
  if (!dc.get()) return;
  RECT client;
  ::GetClientRect(node.window, &client);
  auto font = reinterpret_cast<HGDIOBJ>(::SendMessageA(node.window, WM_GETFONT, 0, 0));
  rt::SelectGuard selected(dc.get(), font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
  const std::string text = TextOf(node.window);
  SIZE extent = {0, 0};
  ::GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
  const RECT line = {client.left, client.top + extent.cy / 2, client.right, client.bottom};
  Frame(dc.get(), line, BorderOf(node.flags, scheme));
  if (text.empty()) return;
  const RECT caption = {8, 0, 8 + extent.cx + 4, extent.cy};
  ::FillRect(dc.get(), &caption,
             node.parentBrush ? node.parentBrush : ::GetSysColorBrush(COLOR_BTNFACE));
  ::SetBkMode(dc.get(), TRANSPARENT);
  ::SetTextColor(dc.get(), TextColourOf(node.flags));
  ::TextOutA(dc.get(), 10, 0, text.c_str(), static_cast<int>(text.size()));
}

}  // namespace

void PaintNode(const SkinNode& node, int32_t scheme) {
  switch (node.kind) {
    case Kind::kPushButton:
    case Kind::kCheckBox:
    case Kind::kRadioButton: PaintButtonKind(node, scheme); return;
    case Kind::kGroupBox: PaintGroupBox(node, scheme); return;
    case Kind::kEdit:
    case Kind::kComboList:
      PaintFrame(node, (node.flags & (flag::kHot | flag::kFocused)) ? ButtonBorderColour(scheme)
                                                                    : FrameColour(scheme));
      return;
    case Kind::kComboBox:
    case Kind::kUpDown:
      PaintFrame(node, (node.flags & (flag::kHot | flag::kPressed)) ? ButtonBorderColour(scheme)
                                                                    : FrameColour(scheme));
      return;
    default: return;
  }
}

}  // namespace skin
