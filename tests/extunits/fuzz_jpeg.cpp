// Fuzz target: the JPEG decoder (libjpeg under this loader's limits) and
// the pixels made from what it decoded.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "extunits/picture/decoders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ext::PictureData picture;
  std::vector<uint32_t> pixels;
  if (ext::DecodeJpeg(data, size, picture)) ext::StillPixels(picture, pixels);
  return 0;
}
