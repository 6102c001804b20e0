// Fuzz target: the animated GIF load into a FrameImage, then the frame
// operations on what came out. Logical screens over 1 Mi pixels are skipped
// and the frames capped at 64 MiB to keep runs fast and within the run's
// memory limit; the unit tests cover the size limits and the real cap.

#include <cstddef>
#include <cstdint>

#include "extunits/picture/frame_load.h"

constexpr uint64_t kFrameCap = uint64_t{64} << 20;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 9 && uint32_t(data[6] | data[7] << 8) * uint32_t(data[8] | data[9] << 8) > (1u << 20))
    return 0;
  ext::FrameImage image;
  ext::LoadAnimatedGif(image, data, size, ext::kNoColor, size % 2 == 0, kFrameCap);
  if (image.Empty() || image.Width() > 256 || image.Height() > 256) return 0;
  image.Flip(3);
  image.Brightness(30);
  image.TrendColor(0x336699, 40);
  image.Zoom(1500, 700);
  return 0;
}
