#pragma once
// A decoded still picture in a neutral form (no window system involved): the
// decoders of every kind fill a PictureData, the Win32 layer turns it into
// bitmaps and icons, and StillPixels turns it into 32-bit pixels here.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "extunits/picture/kind.h"

namespace ext {

// A device-independent bitmap header (40 bytes) and 256 colour entries.
inline constexpr size_t kDibHeaderSize = 40;
inline constexpr size_t kDibInfoSize = kDibHeaderSize + 256 * 4;

// What `data` holds depends on the kind:
//   kJpeg, kBmp   24-bit pixels, bytes blue-green-red, rows bottom-up, not
//                 padded (width x height x 3 bytes)
//   kGif, kPcx8   a BITMAPINFO (kDibInfoSize bytes: header and 256 colours)
//                 then the 8-bit rows it describes, each padded to 4 bytes
//   kPcx1         1-bit rows top-down, each padded to 2 bytes (the layout of
//                 a monochrome device bitmap); a set bit is white
//   kIcon, kCursor the chosen image of the icon or cursor file as stored there
struct PictureData {
  PictureKind kind = PictureKind::kNone;
  int32_t width = 0, height = 0;
  std::vector<uint8_t> data;
  // kGif: the first image's place on the logical screen (its size is in the
  // BITMAPINFO).
  int32_t imageLeft = 0, imageTop = 0;
  // kIcon, kCursor: the image's bits per pixel (0 for an embedded PNG) and,
  // for cursors, the hot spot from the directory entry.
  uint16_t iconBits = 0;
  uint16_t hotspotX = 0, hotspotY = 0;
};

// Detects the kind and decodes. False (and `out` reset) for anything that is
// not a picture of a supported kind, is malformed or exceeds the size limits.
bool DecodePicture(const uint8_t* bytes, size_t length, PictureData& out);

// Writes a BITMAPINFOHEADER for an uncompressed DIB at `out` (40 bytes); a
// negative height makes a top-down DIB.
void WriteDibHeader(uint8_t* out, int32_t width, int32_t height, uint16_t bits, uint32_t colors);

// Bytes per row of a DIB row padded to 4 bytes.
size_t DibStride(int32_t width, int bits);

// 32-bit pixels of a still picture, top-down, bytes blue-green-red-
// transparency, every pixel opaque: what the picture looks like drawn in its
// own size. Icons and cursors are drawn on white; the part of a GIF's
// logical screen that its first image leaves uncovered is black.
bool StillPixels(const PictureData& picture, std::vector<uint32_t>& pixels);

}  // namespace ext
