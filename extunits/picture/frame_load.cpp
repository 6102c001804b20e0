#include "extunits/picture/frame_load.h"

#include <algorithm>
#include <utility>

#include "extunits/picture/gif.h"
#include "extunits/picture/kind.h"
#include "extunits/picture/picture.h"
#include "extunits/picture/png.h"

namespace ext {

namespace {

constexpr uint32_t kWhiteTransparent = 0xFFFFFFFF;
constexpr uint32_t kZeroDelayMs = 50;
// What a heap block costs beyond the bytes asked for: its header, and the
// rounding of its size to the heap's granularity (16 bytes on the 64-bit
// heaps, 8 on 32-bit ones; the larger is counted).
constexpr uint64_t kHeapBlockOverhead = 16;
constexpr uint64_t kHeapGranularity = 16;

uint64_t HeapBytes(uint64_t requested) {
  if (requested == 0) return 0;
  return (requested + kHeapBlockOverhead + kHeapGranularity - 1) / kHeapGranularity *
         kHeapGranularity;
}

// The memory an animation's frames hold as they are appended: each pixel
// buffer as the heap holds it, and the frame record array with its spare
// slots. The array grows by doubling, reserved here so its size is known
// before it grows.
class FrameBudget {
 public:
  explicit FrameBudget(uint64_t limit) : limit_(limit) {}

  // Makes room for one more frame of `pixelCount` pixels; false (and
  // nothing allocated) when it would take the total past the limit.
  bool Admit(FrameImage& image, size_t pixelCount) {
    const size_t count = image.Frames().size();
    const size_t slots = count < image.Frames().capacity() ? image.Frames().capacity()
                                                           : std::max<size_t>(8, count * 2);
    const uint64_t pixels = HeapBytes(uint64_t{pixelCount} * sizeof(uint32_t));
    if (pixelBytes_ + pixels + HeapBytes(uint64_t{slots} * sizeof(Frame)) > limit_) return false;
    image.Reserve(slots);
    pixelBytes_ += pixels;
    return true;
  }

 private:
  uint64_t limit_;
  uint64_t pixelBytes_ = 0;
};

// Appends one frame whose transparent colour is `color`, or the colour of
// its top-left pixel with `takeColor`.
void AddFrame(FrameImage& image, std::vector<uint32_t> pixels, uint32_t delay, uint32_t color,
              bool takeColor) {
  Frame frame;
  frame.transparentColor = takeColor ? PixelColor(pixels[0]) : color;
  frame.delay = delay;
  frame.pixels = std::move(pixels);
  image.AddFrame(std::move(frame));
}

// The part of an image's rectangle that lies on the canvas.
struct Area {
  int32_t left = 0, top = 0, width = 0, height = 0;
};

Area Clip(const GifImage& gif, int32_t canvasWidth, int32_t canvasHeight) {
  Area a;
  a.left = std::min(gif.left, canvasWidth);
  a.top = std::min(gif.top, canvasHeight);
  a.width = std::min(gif.width, canvasWidth - a.left);
  a.height = std::min(gif.height, canvasHeight - a.top);
  return a;
}

// Copies an area between the canvas and a packed buffer of its size.
void CopyArea(std::vector<uint32_t>& canvas, int32_t canvasWidth, const Area& a,
              std::vector<uint32_t>& saved, bool save) {
  if (save) saved.resize(static_cast<size_t>(a.width) * static_cast<size_t>(a.height));
  for (int32_t y = 0; y < a.height; ++y) {
    uint32_t* row = canvas.data() + static_cast<size_t>(a.top + y) * canvasWidth + a.left;
    uint32_t* copy = saved.data() + static_cast<size_t>(y) * a.width;
    if (save) {
      std::copy(row, row + a.width, copy);
    } else {
      std::copy(copy, copy + a.width, row);
    }
  }
}

// Draws a GIF image on the canvas; pixels of its transparent colour are
// skipped, the others become opaque.
void DrawImage(const GifImage& gif, std::vector<uint32_t>& canvas, int32_t canvasWidth,
               int32_t canvasHeight, std::vector<uint32_t>& colors) {
  colors.resize(gif.indices.size());
  std::transform(gif.indices.begin(), gif.indices.end(), colors.begin(),
                 [&gif](uint8_t index) { return gif.palette[index]; });
  const uint32_t transparent =
      gif.transparent ? PixelColor(gif.palette[gif.transparentIndex]) : kNoColor;
  Composite({canvas.data(), canvasWidth, canvasHeight}, gif.left, gif.top,
            {colors.data(), gif.width, gif.height}, 0, 0, gif.width, gif.height, transparent, 0);
}

}  // namespace

void LoadAnimatedGif(FrameImage& image, const uint8_t* bytes, size_t length,
                     uint32_t transparentColor, bool takeColor, uint64_t maxFrameBytes) {
  image.Clear();
  GifReader reader;
  if (!reader.Open(bytes, length)) return;
  const int32_t width = reader.ScreenWidth(), height = reader.ScreenHeight();
  image.Reset(width, height);
  FrameBudget budget(maxFrameBytes);
  std::vector<uint32_t> canvas(static_cast<size_t>(width) * height, kWhiteTransparent);
  std::vector<uint32_t> saved, colors;
  Area savedArea;
  bool restore = false;
  GifImage gif;
  for (;;) {
    if (restore) CopyArea(canvas, width, savedArea, saved, false);
    if (!budget.Admit(image, canvas.size()) || !reader.Next(gif)) break;
    restore = gif.disposal == kDisposeBackground || gif.disposal == kDisposePrevious;
    if (restore) {
      savedArea = Clip(gif, width, height);
      CopyArea(canvas, width, savedArea, saved, true);
    }
    DrawImage(gif, canvas, width, height, colors);
    AddFrame(image, canvas, gif.delay == 0 ? kZeroDelayMs : gif.delay * 10u, transparentColor,
             takeColor);
  }
  if (image.Empty()) image.Clear();
}

void LoadPngFrame(FrameImage& image, const uint8_t* bytes, size_t length, uint32_t transparentColor,
                  bool takeColor) {
  image.Clear();
  int32_t width = 0, height = 0;
  std::vector<uint32_t> pixels;
  if (!DecodePngPixels(bytes, length, PngBackground::kApply, width, height, pixels)) return;
  image.Reset(width, height);
  AddFrame(image, std::move(pixels), 0, transparentColor, takeColor);
}

bool LoadStillPortable(const uint8_t* bytes, size_t length, int32_t& width, int32_t& height,
                       std::vector<uint32_t>& pixels) {
  PictureData picture;
  if (!DecodePicture(bytes, length, picture) || !StillPixels(picture, pixels)) return false;
  width = picture.width;
  height = picture.height;
  return true;
}

void LoadFrameImageWith(FrameImage& image, const uint8_t* bytes, size_t length,
                        uint32_t transparentColor, bool takeColor, StillLoader still) {
  image.Clear();
  if (bytes == nullptr || length == 0) return;
  if (length > 5 && HasGifSignature(bytes, length)) {
    LoadAnimatedGif(image, bytes, length, transparentColor, takeColor);
    return;
  }
  if (length > 7 && HasPngSignature(bytes, length)) {
    LoadPngFrame(image, bytes, length, transparentColor, takeColor);
    return;
  }
  int32_t width = 0, height = 0;
  std::vector<uint32_t> pixels;
  if (still == nullptr || !still(bytes, length, width, height, pixels) ||
      !SizeAllowed(width, height) || pixels.size() != static_cast<size_t>(width) * height)
    return;
  image.Reset(width, height);
  AddFrame(image, std::move(pixels), 0, transparentColor, takeColor);
}

}  // namespace ext
