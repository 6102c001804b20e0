// Fuzz target: the GIF reader over a whole stream, and the still picture
// made from its first image.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "extunits/picture/decoders.h"
#include "extunits/picture/gif.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ext::GifReader reader;
  ext::GifImage image;
  if (reader.Open(data, size)) {
    while (reader.Next(image)) {
    }
  }
  ext::PictureData picture;
  std::vector<uint32_t> pixels;
  if (ext::DecodeGifStill(data, size, picture)) ext::StillPixels(picture, pixels);
  return 0;
}
