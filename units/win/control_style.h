#pragma once
// What the standard controls share: changing style bits the way every unit
// does, the border table, the font rule and the part of a context to paint.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "runtime/win/handles.h"

namespace units {

// Removes and adds style bits (GWL_STYLE or GWL_EXSTYLE); only a real change
// is written, and then the frame is recomputed (SetWindowPos 0x37).
void ChangeWindowStyle(HWND window, int index, uint32_t remove, uint32_t add);

// Border values 0..5: none, client edge, dialog frame, static edge, client
// edge with dialog frame, WS_BORDER. Other values apply as none.
void ApplyBorder(HWND window, int32_t border);

// The style bits of a border value. A window made with them has its border
// already: ApplyBorder then finds nothing to change, and the window's frame
// is not computed twice.
struct BorderStyles {
  uint32_t style;
  uint32_t exStyle;
};
BorderStyles StylesOfBorder(int32_t border);

// A 60-byte LOGFONTA block from which a font can be made becomes the
// control's font, kept in `font` (the previous one is deleted); anything else
// gives the control DEFAULT_GUI_FONT.
void ApplyFontRule(HWND window, const std::vector<uint8_t>& block, rt::GdiFont& font);

// The clip box of `dc` in `clip`; false when there is nothing to paint, or
// no clip box at all (a failed BeginPaint, or WM_PRINTCLIENT without a
// context), whatever the call left in `clip`.
bool PaintClip(HDC dc, RECT& clip);

// What PaintClip asks; tests put in one that fails.
extern int(WINAPI* getClipBox)(HDC, LPRECT);

}  // namespace units
