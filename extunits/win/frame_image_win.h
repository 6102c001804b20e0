#pragma once
// FrameImage on Windows: the load that takes still pictures through the
// picture service, and text rendered through GDI.

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "extunits/picture/frame_image.h"

namespace ext {

// The format of 32-bit top-down pixels of this size (BI_RGB).
BITMAPINFO TopDown32(int32_t width, int32_t height);

// The FrameImage load (see LoadFrameImageWith): GIF and PNG decoded here,
// every other kind turned into a bitmap by runtime service 1003 and read
// back as 32-bit pixels. The service must be installed.
void LoadFrameImage(FrameImage& image, const uint8_t* bytes, size_t length,
                    uint32_t transparentColor, bool takeColor);

// Replaces the frames with one frame of `text` (code page 936, lines split
// at line feeds) drawn in `font` (null: DEFAULT_GUI_FONT) and `color`. The
// background is black for white text, else white, and is the frame's
// transparent colour; every other pixel is exactly `color`.
void FrameImageFromText(FrameImage& image, const char* text, HFONT font, COLORREF color);

}  // namespace ext
