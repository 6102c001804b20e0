// Fuzz target: the icon and cursor directory, the chosen image's header and
// its pixels (DIB with mask, or embedded PNG).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "extunits/picture/decoders.h"
#include "extunits/picture/icon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ext::IconEntry entry;
  ext::ChooseIconEntry(data, size, entry);
  ext::PictureData picture;
  std::vector<uint32_t> pixels;
  if (ext::DecodeIconFile(data, size, picture)) ext::StillPixels(picture, pixels);
  return 0;
}
