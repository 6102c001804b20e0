#include "extunits/picture/frame_image.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "extunits/picture/kind.h"

namespace ext {

// ---- Frame list -------------------------------------------------------------

void FrameImage::Clear() { Reset(0, 0); }

void FrameImage::Reset(int32_t width, int32_t height) {
  frames_.clear();
  width_ = width;
  height_ = height;
}

void FrameImage::AddFrame(Frame frame) { frames_.push_back(std::move(frame)); }

void FrameImage::TakeFrom(FrameImage& other) {
  width_ = std::exchange(other.width_, 0);
  height_ = std::exchange(other.height_, 0);
  frames_ = std::move(other.frames_);
  other.frames_.clear();
}

// ---- Zoom and flip -----------------------------------------------------------

int64_t MulDivRound(int64_t a, int64_t b, int64_t c) { return (a * b + c / 2) / c; }

namespace {

// Source index for each target index: (step * i) >> 8, step in 8.8 fixed
// point computed in single precision, kept inside the source.
std::vector<int32_t> SampleMap(int32_t from, int32_t to) {
  const auto step =
      static_cast<int64_t>(std::floor(static_cast<float>(from) / static_cast<float>(to) * 256.0f));
  std::vector<int32_t> map(static_cast<size_t>(to));
  for (int32_t i = 0; i < to; ++i) {
    map[static_cast<size_t>(i)] = static_cast<int32_t>(std::min<int64_t>(step * i >> 8, from - 1));
  }
  return map;
}

}  // namespace

void FrameImage::Zoom(int32_t x, int32_t y) {
  if (Empty() || x <= 0 || y <= 0 || (x == 1000 && y == 1000)) return;
  if ((x < 1000 && y > 1000) || (x > 1000 && y < 1000)) {
    Scale(x, 1000);
    Scale(1000, y);
    return;
  }
  Scale(x, y);
}

void FrameImage::Scale(int32_t x, int32_t y) {
  if (Empty()) return;
  const int64_t newWidth = MulDivRound(width_, x, 1000);
  const int64_t newHeight = MulDivRound(height_, y, 1000);
  if (!SizeAllowed(newWidth, newHeight)) {
    Clear();
    return;
  }
  const auto w = static_cast<int32_t>(newWidth), h = static_cast<int32_t>(newHeight);
  const std::vector<int32_t> columns = SampleMap(width_, w), rows = SampleMap(height_, h);
  for (Frame& frame : frames_) {
    std::vector<uint32_t> scaled(static_cast<size_t>(w) * static_cast<size_t>(h));
    uint32_t* out = scaled.data();
    for (int32_t row : rows) {
      const uint32_t* source = frame.pixels.data() + static_cast<size_t>(row) * width_;
      for (int32_t column : columns) *out++ = source[column];
    }
    frame.pixels = std::move(scaled);
    frame.transparentColor = kNoColor;
  }
  width_ = w;
  height_ = h;
}

void FrameImage::Flip(int32_t how) {
  if (how < 1 || how > 3) return;
  const auto w = static_cast<size_t>(width_);
  for (Frame& frame : frames_) {
    if (how & 1) {
      for (int32_t y = 0; y < height_; ++y) {
        auto row = frame.pixels.begin() + static_cast<std::ptrdiff_t>(y * w);
        std::reverse(row, row + static_cast<std::ptrdiff_t>(w));
      }
    }
    if (how & 2) {
      for (int32_t top = 0, bottom = height_ - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(frame.pixels.begin() + static_cast<std::ptrdiff_t>(top * w),
                         frame.pixels.begin() + static_cast<std::ptrdiff_t>((top + 1) * w),
                         frame.pixels.begin() + static_cast<std::ptrdiff_t>(bottom * w));
      }
    }
  }
}

// ---- Rotation -----------------------------------------------------------------

void FrameImage::Rotate(int32_t degrees) {
  const int32_t angle = NormalisedAngle(degrees);
  if (Empty() || angle == 0) return;
  if (angle % 90 == 0) {
    QuarterTurns(angle / 90);
  } else {
    RotateAny(angle);
  }
}

// Target (x, y) takes source pixel: one turn (y, h-1-x), two (w-1-x, h-1-y),
// three (w-1-y, x).
void FrameImage::QuarterTurns(int32_t turns) {
  const int32_t w = width_, h = height_;
  const int32_t newWidth = turns == 2 ? w : h, newHeight = turns == 2 ? h : w;
  for (Frame& frame : frames_) {
    std::vector<uint32_t> turned(frame.pixels.size());
    uint32_t* out = turned.data();
    for (int32_t y = 0; y < newHeight; ++y) {
      for (int32_t x = 0; x < newWidth; ++x) {
        const int32_t sx = turns == 1 ? y : turns == 2 ? w - 1 - x : w - 1 - y;
        const int32_t sy = turns == 1 ? h - 1 - x : turns == 2 ? h - 1 - y : x;
        *out++ =
            frame
                .pixels[static_cast<size_t>(sy) * static_cast<size_t>(w) + static_cast<size_t>(sx)];
      }
    }
    frame.pixels = std::move(turned);
  }
  width_ = newWidth;
  height_ = newHeight;
}

// Each target pixel's centre is turned back about the image centre and takes
// the source pixel it lands in.
void FrameImage::RotateAny(int32_t degrees) {
  const double radians = degrees * 3.14159265358979323846 / 180.0;
  const double c = std::cos(radians), s = std::sin(radians);
  const double exactWidth = width_ * std::fabs(c) + height_ * std::fabs(s);
  const double exactHeight = width_ * std::fabs(s) + height_ * std::fabs(c);
  const auto newWidth = static_cast<int64_t>(std::ceil(exactWidth - 1e-9));
  const auto newHeight = static_cast<int64_t>(std::ceil(exactHeight - 1e-9));
  if (!SizeAllowed(newWidth, newHeight)) {
    Clear();
    return;
  }
  const double sourceCx = width_ / 2.0, sourceCy = height_ / 2.0;
  const double targetCx = static_cast<double>(newWidth) / 2.0;
  const double targetCy = static_cast<double>(newHeight) / 2.0;
  for (Frame& frame : frames_) {
    std::vector<uint32_t> turned(static_cast<size_t>(newWidth * newHeight), 0xFF000000u);
    uint32_t* out = turned.data();
    for (int64_t y = 0; y < newHeight; ++y) {
      for (int64_t x = 0; x < newWidth; ++x, ++out) {
        const double dx = static_cast<double>(x) + 0.5 - targetCx;
        const double dy = static_cast<double>(y) + 0.5 - targetCy;
        const double sx = std::floor(sourceCx + dx * c + dy * s);
        const double sy = std::floor(sourceCy - dx * s + dy * c);
        if (sx < 0 || sy < 0 || sx >= width_ || sy >= height_) continue;
        *out = frame.pixels[static_cast<size_t>(sy) * static_cast<size_t>(width_) +
                            static_cast<size_t>(sx)];
      }
    }
    frame.pixels = std::move(turned);
  }
  width_ = static_cast<int32_t>(newWidth);
  height_ = static_cast<int32_t>(newHeight);
}

// ---- Colour effects ------------------------------------------------------------

namespace {

// Applies `change` to each colour byte of every pixel that is not the
// frame's transparent colour; the transparency byte stays.
template <typename Change>
void ForEachColorByte(std::vector<Frame>& frames, Change change) {
  for (Frame& frame : frames) {
    for (uint32_t& pixel : frame.pixels) {
      if (IsTransparentColor(pixel, frame.transparentColor)) continue;
      uint32_t result = pixel & 0xFF000000;
      for (int shift = 0; shift < 24; shift += 8) {
        const int64_t c = (pixel >> shift) & 0xFF;
        result |= static_cast<uint32_t>(std::clamp<int64_t>(change(c, shift), 0, 255)) << shift;
      }
      pixel = result;
    }
  }
}

}  // namespace

void FrameImage::Brightness(int32_t percent) {
  if (percent == 0) return;
  ForEachColorByte(frames_, [percent](int64_t c, int) { return c + c * percent / 100; });
}

void FrameImage::TrendColor(uint32_t color, int32_t depth) {
  if (depth <= 0) return;
  const int64_t d = std::min(depth, 100);
  const uint32_t target = ColorPixel(color);
  ForEachColorByte(frames_, [d, target](int64_t c, int shift) {
    const int64_t k = (target >> shift) & 0xFF;
    return c + (k - c) * d / 100;
  });
}

// ---- Compositing -------------------------------------------------------------

namespace {

uint32_t Blend(uint32_t target, uint32_t source, int64_t o) {
  uint32_t result = target & 0xFF000000;
  for (int shift = 0; shift < 24; shift += 8) {
    const int64_t t = (target >> shift) & 0xFF, s = (source >> shift) & 0xFF;
    result |= static_cast<uint32_t>(t + (s - t) * (255 - o) / 255) << shift;
  }
  return result;
}

// Clips one axis: moves the start of both ranges so they lie inside
// [0, targetSize) and [0, sourceSize), and shortens the length to match.
bool ClipAxis(int64_t& target, int64_t& source, int64_t& length, int64_t targetSize,
              int64_t sourceSize) {
  const int64_t shift = std::max({int64_t{0}, -target, -source});
  target += shift;
  source += shift;
  length -= shift;
  length = std::min({length, targetSize - target, sourceSize - source});
  return length > 0;
}

}  // namespace

void Composite(PixelBlock target, int32_t targetX, int32_t targetY, ConstPixelBlock source,
               int32_t sourceX, int32_t sourceY, int32_t width, int32_t height,
               uint32_t transparentColor, int32_t overallPercent) {
  int64_t tx = targetX, ty = targetY, sx = sourceX, sy = sourceY, w = width, h = height;
  if (!ClipAxis(tx, sx, w, target.width, source.width) ||
      !ClipAxis(ty, sy, h, target.height, source.height))
    return;
  const int64_t overall = int64_t{overallPercent} * 255 / 100;
  for (int64_t y = 0; y < h; ++y) {
    const uint32_t* in = source.pixels + (sy + y) * source.width + sx;
    uint32_t* out = target.pixels + (ty + y) * target.width + tx;
    for (int64_t x = 0; x < w; ++x) {
      const uint32_t pixel = in[x];
      if (IsTransparentColor(pixel, transparentColor)) continue;
      const int64_t o = overall + (pixel >> 24);
      if (o <= 0) {
        out[x] = pixel;
      } else if (o < 255) {
        out[x] = Blend(out[x], pixel, o);
      }
    }
  }
}

}  // namespace ext
