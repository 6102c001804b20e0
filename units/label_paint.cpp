#include "units/label_paint.h"

#include <algorithm>

#include "units/blocks.h"
#include "units/window_rules.h"

namespace units {

namespace lf = labelfield;
namespace lp = labelprop;

int32_t StoredLabelValue(int32_t number, int32_t value) {
  switch (number) {
    case lp::kEffect: return Clamp(value, 0, 3);
    case lp::kBorderStyle: return Clamp(value, 0, 6);
    case lp::kFrameWidth: return std::max(value, kMinFrameWidth);
    case lp::kBackPictureMode:
    case lp::kAlignment:
    case lp::kVertAlignment: return Clamp(value, 0, 2);
    case lp::kGradientMode: return Clamp(value, 0, 8);
    default: return value;
  }
}

size_t LabelField(int32_t number) {
  static constexpr size_t kFields[lp::kCount] = {
      lf::kCaption,      lf::kEffect,         lf::kBorderStyle,    lf::kFrameWidth,
      lf::kFrameColor1,  lf::kFrameColor2,    lf::kFrameColor3,    lf::kFont,
      lf::kTextColor,    lf::kBackColor,      lf::kBackPicture,    lf::kBackPictureMode,
      lf::kGradientMode, lf::kGradientColor1, lf::kGradientColor2, lf::kGradientColor3,
      lf::kAlignment,    lf::kWordWrap,       lf::kVertAlignment,  lf::kDataSource,
      lf::kDataField,
  };
  return kFields[number];
}

const forms::IntClamps kLabelClamps = {lp::kCount, LabelField, StoredLabelValue};

uint32_t LabelTextFlags(int32_t alignment, bool wordWrap, int32_t vertAlignment) {
  constexpr uint32_t kNoClip = 0x100, kWordBreak = 0x10, kSingleLine = 0x20, kVCentre = 0x4;
  constexpr uint32_t kHorizontal[3] = {0x0, 0x1, 0x2};  // left, centre, right
  constexpr uint32_t kVertical[3] = {0x0, 0x4, 0x8};    // top, centre, bottom
  uint32_t flags = kNoClip | kHorizontal[Clamp(alignment, 0, 2)];
  if (wordWrap) return flags | kWordBreak | kVCentre;
  return flags | kSingleLine | kVertical[Clamp(vertAlignment, 0, 2)];
}

Box Intersect(const Box& a, const Box& b) {
  Box r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
        std::min(a.bottom, b.bottom)};
  return r.Empty() ? Box{} : r;
}

std::vector<uint32_t> UsableColours(std::initializer_list<uint32_t> slots) {
  std::vector<uint32_t> colours;
  for (uint32_t c : slots) {
    if (c != kUnusedColour) colours.push_back(c);
  }
  return colours;
}

// ---- Gradients -------------------------------------------------------------------

GradientPlace GradientPosition(int32_t mode, int32_t w, int32_t h, int32_t x, int32_t y) {
  const int32_t diagonal = 2 * std::min(w, h);
  switch (mode) {
    case 1: return {y, h};
    case 2: return {x, w};
    case 3: return {x + y, diagonal};
    case 4: return {(w - 1 - x) + y, diagonal};
    case 5: return {h - 1 - y, h};
    case 6: return {w - 1 - x, w};
    case 7: return {(w - 1 - x) + (h - 1 - y), diagonal};
    case 8: return {x + (h - 1 - y), diagonal};
    default: return {};
  }
}

namespace {

int32_t Channel(uint32_t colour, int shift) {
  return static_cast<int32_t>((colour >> shift) & 0xFF);
}

}  // namespace

uint32_t GradientColour(int32_t t, int32_t length, const std::vector<uint32_t>& colours) {
  const auto k = static_cast<int32_t>(colours.size());
  if (k < 2) return k == 1 ? colours[0] : 0;
  const int32_t s = length / (k - 1);
  const int32_t i = s == 0 ? 0 : t / s;
  if (i > k - 2) return colours[k - 1] & 0xFFFFFF;
  const double f = s == 0 ? 0.0 : std::min(1.0, static_cast<double>(t % s) / s);
  uint32_t result = 0;
  for (int shift : {0, 8, 16}) {
    const int32_t from = Channel(colours[i], shift), to = Channel(colours[i + 1], shift);
    const auto value = from + static_cast<int32_t>(f * (to - from));
    result |= static_cast<uint32_t>(value & 0xFF) << shift;
  }
  return result;
}

std::vector<Box> GradientTiles(const Box& box, const Box& clip) {
  std::vector<Box> tiles;
  for (int32_t y = box.top; y < box.bottom; y += kGradientTile) {
    for (int32_t x = box.left; x < box.right; x += kGradientTile) {
      const Box tile{x, y, std::min(x + kGradientTile, box.right),
                     std::min(y + kGradientTile, box.bottom)};
      const Box cut = Intersect(tile, clip);
      if (!cut.Empty()) tiles.push_back(cut);
    }
  }
  return tiles;
}

std::vector<uint32_t> GradientTilePixels(int32_t mode, const Box& box, const Box& tile,
                                         const std::vector<uint32_t>& colours) {
  std::vector<uint32_t> pixels;
  pixels.reserve(static_cast<size_t>(tile.Width()) * static_cast<size_t>(tile.Height()));
  for (int32_t y = tile.top; y < tile.bottom; ++y) {
    for (int32_t x = tile.left; x < tile.right; ++x) {
      const GradientPlace p =
          GradientPosition(mode, box.Width(), box.Height(), x - box.left, y - box.top);
      const uint32_t c = GradientColour(p.t, p.length, colours);
      // COLORREF 0x00BBGGRR to a DIB pixel 0x00RRGGBB.
      pixels.push_back(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF));
    }
  }
  return pixels;
}

FrameBands GradientFrame(const Box& r, int32_t w) {
  const int32_t dx = std::min(w, r.Width() / 2), dy = std::min(w, r.Height() / 2);
  FrameBands f;
  if (dx <= 0 || dy <= 0) return f;
  f.drawn = true;
  f.inner = {r.left + dx, r.top + dy, r.right - dx, r.bottom - dy};
  f.top = {r.left, r.top, r.right, f.inner.top};
  f.bottom = {r.left, f.inner.bottom, r.right, r.bottom};
  f.left = {r.left, r.top, f.inner.left, r.bottom};
  f.right = {f.inner.right, r.top, r.right, r.bottom};
  return f;
}

}  // namespace units
