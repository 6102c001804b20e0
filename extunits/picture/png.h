#pragma once
// PNG decoding through libpng into 32-bit pixels.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ext {

enum class PngBackground {
  kApply,   // a background colour chunk, when present, is composited under the image
  kIgnore,  // the image keeps its own alpha (images inside icons)
};

// Decodes a PNG into top-down pixels with bytes blue, green, red and a
// transparency (255 - alpha; 0 for images without alpha). 16-bit samples
// keep their high byte, palettes and grey images of any depth expanded, every
// interlace pass read. Any libpng error, data that ends early or a size over
// the limits gives false and leaves the outputs empty.
bool DecodePngPixels(const uint8_t* bytes, size_t length, PngBackground background, int32_t& width,
                     int32_t& height, std::vector<uint32_t>& pixels);

}  // namespace ext
