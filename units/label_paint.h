#pragma once
// The Label's portable arithmetic: its property clamps, the DrawText flags,
// the multi-colour gradient (position, colour, 50 x 50 tiles) and the
// gradient frame's bands. Colours are COLORREF values (0x00BBGGRR); tile
// pixels are 32-bit DIB pixels (0x00RRGGBB).

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "forms/property_block.h"

namespace units {

inline constexpr uint32_t kUnusedColour = 0xFF000000u;  // a colour slot that is not used
inline constexpr int32_t kGradientTile = 50;
inline constexpr int32_t kMinFrameWidth = 5;

// Own property numbers of the Label (overall number - 8).
namespace labelprop {
enum : int32_t {
  kCaption,
  kEffect,
  kBorderStyle,
  kFrameWidth,
  kFrameColor1,
  kFrameColor2,
  kFrameColor3,
  kFont,
  kTextColor,
  kBackColor,
  kBackPicture,
  kBackPictureMode,
  kGradientMode,
  kGradientColor1,
  kGradientColor2,
  kGradientColor3,
  kAlignment,
  kWordWrap,
  kVertAlignment,
  kDataSource,
  kDataField,
  kCount
};
}  // namespace labelprop

// The value a Label stores when an integer property is set: choices are
// clamped into their range, `FrameWidth` is at least 5, the rest as given.
int32_t StoredLabelValue(int32_t ownNumber, int32_t value);

// The block field (labelfield) of an own property number.
size_t LabelField(int32_t ownNumber);
extern const forms::IntClamps kLabelClamps;  // the set clamps, for loading a block

// DrawText flags for the label's text (DT_NOCLIP and the alignments).
uint32_t LabelTextFlags(int32_t alignment, bool wordWrap, int32_t vertAlignment);

// A box given by its edges, as the platform's RECT.
struct Box {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool operator==(const Box& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};
Box Intersect(const Box& a, const Box& b);

// The colours in slot order without the unused ones.
std::vector<uint32_t> UsableColours(std::initializer_list<uint32_t> slots);

// Where pixel (x, y) of a box lies along a gradient of mode 1..8: position
// t along length L.
struct GradientPlace {
  int32_t t = 0, length = 0;
};
GradientPlace GradientPosition(int32_t mode, int32_t width, int32_t height, int32_t x, int32_t y);

// The colour at t along L over colours c0..ck-1 (k >= 2), as a COLORREF.
uint32_t GradientColour(int32_t t, int32_t length, const std::vector<uint32_t>& colours);

// The 50 x 50 tiles of `box`, row by row from its top-left, each cut down
// to `clip`; empty remainders are left out.
std::vector<Box> GradientTiles(const Box& box, const Box& clip);

// The pixels of one tile (top-down rows of 0x00RRGGBB), positions measured
// in `box`.
std::vector<uint32_t> GradientTilePixels(int32_t mode, const Box& box, const Box& tile,
                                         const std::vector<uint32_t>& colours);

// The gradient frame of width w inside r: depth dx = min(w, width / 2),
// dy = min(w, height / 2); nothing (drawn false) when either is 0.
struct FrameBands {
  bool drawn = false;
  Box inner, top, bottom, left, right;
};
FrameBands GradientFrame(const Box& r, int32_t w);

}  // namespace units
