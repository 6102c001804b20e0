#pragma once
// Icon and cursor files as far as every layer needs them: the directory (a
// 6-byte header and 16-byte entries), the choice of one image by its width,
// and the header of the chosen image. Portable; the picture decoders read
// the pixels, the window unit and the tray icon make icons of the bytes.

#include <cstddef>
#include <cstdint>

namespace rt {

struct IconEntry {
  uint8_t width = 0;       // 0 means 256
  uint8_t colorCount = 0;  // 0 means 256 or more
  uint16_t planes = 0;     // cursors: hot spot x
  uint16_t bitCount = 0;   // cursors: hot spot y
  uint32_t size = 0;
  uint32_t offset = 0;
};

// Walks the directory entries (as many as the count says and the data
// holds) and takes the first whose width byte is `width` with more than 15
// colours (a colour-count byte above 15, or 0 for 256 and more), else the
// last one read. False when no
// entry could be read or the chosen image does not lie inside the data.
bool ChooseIconEntry(const uint8_t* bytes, size_t length, uint8_t width, IconEntry& chosen);

// The header of an icon image: a DIB whose height counts the colour bitmap
// and the AND mask together, or an embedded PNG.
struct IconImageHeader {
  bool png = false;
  uint32_t headerSize = 0;        // DIB only
  int32_t width = 0, height = 0;  // height: of the colour bitmap (half the DIB's)
  uint16_t bits = 0;              // DIB bits per pixel; 0 for PNG
  uint32_t colors = 0;            // DIB colour table entries (bits <= 8)
};

// Reads the header: a DIB of 1, 4, 8, 24 or 32 bits, uncompressed, with a
// positive width and a doubled height of at least 2; or a PNG signature and
// header. Sizes are not limited here.
bool ReadIconImageHeader(const uint8_t* image, size_t size, IconImageHeader& header);

// Bytes a DIB image spans: header, colour table, colour rows and mask rows.
uint64_t DibIconBytes(const IconImageHeader& header);

// Bytes of one DIB row of `width` pixels, padded to 4 bytes.
uint64_t DibRowBytes(int32_t width, int bits);

}  // namespace rt
