#pragma once
// The still-picture decoders, one per kind. Each answers false for malformed
// or unsupported input and then leaves `out` empty; none reads outside
// `bytes`, whatever the headers claim.

#include <cstddef>
#include <cstdint>

#include "extunits/picture/picture.h"

namespace ext {

// Uncompressed BMP with 1, 4, 8, 24 or 32 bits per pixel.
bool DecodeBmp(const uint8_t* bytes, size_t length, PictureData& out);

// ZSoft PCX: 8 bits per pixel in one plane (kPcx8), 1 bit in one plane (kPcx1).
bool DecodePcx(const uint8_t* bytes, size_t length, PictureData& out);

// The first image of a GIF stream on its logical screen.
bool DecodeGifStill(const uint8_t* bytes, size_t length, PictureData& out);

// JPEG through libjpeg; decoder errors become false.
bool DecodeJpeg(const uint8_t* bytes, size_t length, PictureData& out);

// Icon or cursor file: the directory choice (see icon.h); `data` is the
// chosen image, which must decode.
bool DecodeIconFile(const uint8_t* bytes, size_t length, PictureData& out);

}  // namespace ext
