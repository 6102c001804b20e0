// Fuzz target: the PCX decoder and its pixels.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "extunits/picture/decoders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ext::PictureData picture;
  std::vector<uint32_t> pixels;
  if (ext::DecodePcx(data, size, picture)) ext::StillPixels(picture, pixels);
  return 0;
}
