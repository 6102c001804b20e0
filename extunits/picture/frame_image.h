#pragma once
// FrameImage: the frame list of the animation units. All frames share one
// size; each is a whole 32-bit picture (bytes blue, green, red,
// transparency, rows top-down) with its display time and transparent
// colour, so showing a frame is one copy. The fourth byte is a
// transparency: 0 is opaque, 255 fully transparent.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ext {

// A colour in COLORREF form (0x00BBGGRR); this value means "no colour".
inline constexpr uint32_t kNoColor = 0xFF000000;

// The colour bytes of a pixel as a COLORREF (red and blue swapped).
inline uint32_t PixelColor(uint32_t pixel) {
  return (pixel >> 16 & 0xFF) | (pixel & 0xFF00) | (pixel & 0xFF) << 16;
}
// A COLORREF as the colour bytes of a pixel (transparency 0).
inline uint32_t ColorPixel(uint32_t color) { return PixelColor(color & 0xFFFFFF); }
// True when `color` is not kNoColor and the pixel's colour bytes equal it.
inline bool IsTransparentColor(uint32_t pixel, uint32_t color) {
  return color != kNoColor && (pixel & 0xFFFFFF) == ColorPixel(color);
}

struct Frame {
  uint32_t transparentColor = kNoColor;  // COLORREF, or kNoColor
  uint32_t delay = 0;                    // milliseconds; 0 for still pictures
  std::vector<uint32_t> pixels;          // width x height of the image

  bool operator==(const Frame& other) const {
    return transparentColor == other.transparentColor && delay == other.delay &&
           pixels == other.pixels;
  }
};

class FrameImage {
 public:
  FrameImage() = default;
  FrameImage(const FrameImage&) = default;  // copy: a deep copy
  FrameImage& operator=(const FrameImage&) = default;
  // Move: takes the frames over and leaves the other image empty.
  FrameImage(FrameImage&& other) noexcept { TakeFrom(other); }
  FrameImage& operator=(FrameImage&& other) noexcept {
    if (this != &other) TakeFrom(other);
    return *this;
  }

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  int32_t FrameCount() const { return static_cast<int32_t>(frames_.size()); }
  bool Empty() const { return frames_.empty(); }
  const std::vector<Frame>& Frames() const { return frames_; }
  const Frame& At(int32_t index) const { return frames_[static_cast<size_t>(index)]; }
  Frame& At(int32_t index) { return frames_[static_cast<size_t>(index)]; }

  void Clear();
  // Drops every frame and sets the size of the frames to come.
  void Reset(int32_t width, int32_t height);
  // Appends a frame; its pixels must number width x height.
  void AddFrame(Frame frame);
  // Makes room for `count` frame records, so appending up to that many does
  // not reallocate the list.
  void Reserve(size_t count) { frames_.reserve(count); }
  void TakeFrom(FrameImage& other);

  // Same size, frame count, transparent colours, delays and pixels.
  bool operator==(const FrameImage& other) const {
    return width_ == other.width_ && height_ == other.height_ && frames_ == other.frames_;
  }
  bool operator!=(const FrameImage& other) const { return !(*this == other); }

  // Zoom by x and y thousandths with nearest-neighbour sampling; a size that
  // comes out 0 or less, or over the size limits, empties the image.
  void Zoom(int32_t x, int32_t y);
  // 1 left-right, 2 top-bottom, 3 both.
  void Flip(int32_t how);
  // Turns every frame clockwise by `degrees` (any value; taken modulo 360).
  // Quarter turns move pixels exactly (width and height swap for 90 and
  // 270); other angles make an image the size of the turned bounding box,
  // sides rounded up, sampled at the nearest source pixel, with the corners
  // outside the picture fully transparent (0xFF000000).
  void Rotate(int32_t degrees);
  // Each colour byte c of every pixel that is not the frame's transparent
  // colour becomes c + c * percent / 100, clamped to 0..255.
  void Brightness(int32_t percent);
  // Moves each colour byte of every non-transparent pixel toward `color` by
  // depth percent (depth clamped to at most 100; nothing when depth <= 0).
  void TrendColor(uint32_t color, int32_t depth);

 private:
  void Scale(int32_t x, int32_t y);
  void QuarterTurns(int32_t turns);
  void RotateAny(int32_t degrees);

  int32_t width_ = 0, height_ = 0;
  std::vector<Frame> frames_;
};

// An angle in degrees normalised into 0..359.
inline int32_t NormalisedAngle(int32_t degrees) {
  const int32_t a = degrees % 360;
  return a < 0 ? a + 360 : a;
}

// Windows' MulDiv for positive sizes: a * b / c rounded to nearest.
int64_t MulDivRound(int64_t a, int64_t b, int64_t c);

// A block of 32-bit pixels, rows top-down.
struct PixelBlock {
  uint32_t* pixels;
  int32_t width, height;
};
struct ConstPixelBlock {
  const uint32_t* pixels;
  int32_t width, height;
};

// Composites the width x height area of `source` at (sourceX, sourceY) onto
// `target` at (targetX, targetY), clipped to both. Pixels of the transparent
// colour (unless kNoColor) are skipped; for the others o = overall
// transparency percent x 255 / 100 + the pixel's own transparency: o <= 0
// copies the pixel, 0 < o < 255 blends the colour bytes, o >= 255 leaves the
// target as it was.
void Composite(PixelBlock target, int32_t targetX, int32_t targetY, ConstPixelBlock source,
               int32_t sourceX, int32_t sourceY, int32_t width, int32_t height,
               uint32_t transparentColor, int32_t overallPercent);

}  // namespace ext
