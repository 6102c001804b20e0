#pragma once
// Writes 32-bit frame pixels as an RGBA PNG file through libpng.

#include <cstdint>
#include <string>
#include <vector>

namespace picinfo {

// Pixels are blue, green, red, transparency; the file gets alpha = 255 -
// transparency. False when the file cannot be written.
bool WritePng(const std::string& path, int32_t width, int32_t height,
              const std::vector<uint32_t>& pixels);

}  // namespace picinfo
