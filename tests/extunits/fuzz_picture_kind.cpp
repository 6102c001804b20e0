// Fuzz target: kind detection and the still-picture path of every kind but
// JPEG, which fuzz_jpeg covers.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "extunits/picture/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const ext::PictureKind kind = ext::DetectKind(data, size);
  ext::HasGifSignature(data, size);
  ext::HasPngSignature(data, size);
  if (kind == ext::PictureKind::kJpeg) return 0;
  ext::PictureData picture;
  std::vector<uint32_t> pixels;
  if (ext::DecodePicture(data, size, picture)) ext::StillPixels(picture, pixels);
  return 0;
}
