// Fuzz target: the PNG load into a FrameImage through libpng.

#include <cstddef>
#include <cstdint>

#include "extunits/picture/frame_load.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ext::FrameImage image;
  ext::LoadPngFrame(image, data, size, ext::kNoColor, size % 2 == 0);
  return 0;
}
