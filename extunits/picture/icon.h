#pragma once
// Icon and cursor files: the directory (a 6-byte header and 16-byte
// entries), the choice of one image, and that image's pixels. An image is a
// DIB whose height counts the colour bitmap and the AND mask together, or
// an embedded PNG.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "runtime/icon_file.h"

namespace ext {

using rt::IconEntry;

// The choice of a picture: the first entry 32 pixels wide with more than
// 15 colours, else the last entry read (see rt::ChooseIconEntry).
bool ChooseIconEntry(const uint8_t* bytes, size_t length, IconEntry& chosen);

// The size an image declares: DIB header width and half its height, or the
// PNG header's size; `bits` is the DIB's bits per pixel, 0 for PNG. False
// when the header is missing, unsupported or over the size limits.
bool IconImageSize(const uint8_t* image, size_t size, int32_t& width, int32_t& height,
                   uint16_t& bits);

// An icon image's pixels, rows top-down.
struct IconBitmap {
  int32_t width = 0, height = 0;
  std::vector<uint32_t> color;  // 0xAARRGGBB; alpha is meaningful only when hasAlpha
  std::vector<uint8_t> mask;    // 1 where the AND mask is set
  bool hasAlpha = false;        // 32-bit image with some alpha set, or PNG
};

// Decodes a DIB image (1, 4, 8, 24 or 32 bits, uncompressed, with its AND
// mask) or an embedded PNG. False for anything malformed.
bool DecodeIconImage(const uint8_t* image, size_t size, IconBitmap& out);

// The image drawn on white, as 32-bit blue-green-red pixels with a zero
// fourth byte: alpha images are blended, others are (white AND mask) XOR
// colour.
std::vector<uint32_t> IconOnWhite(const IconBitmap& icon);

// The image with a transparency byte (255 - alpha, or 255 where the mask is
// set) as the fourth byte.
std::vector<uint32_t> IconWithTransparency(const IconBitmap& icon);

}  // namespace ext
