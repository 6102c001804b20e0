#pragma once
// Picture kinds, recognised from the first bytes of a file, and the size
// limits every decoder applies before it allocates.

#include <cstddef>
#include <cstdint>

namespace ext {

enum class PictureKind : int32_t {
  kNone = 0,
  kJpeg = 1,
  kBmp = 2,
  kIcon = 3,
  kCursor = 4,
  kGif = 5,
  kPcx8 = 6,  // PCX with 8 bits per pixel
  kPcx1 = 7,  // PCX with 1 bit per pixel
};

// The kind of a picture file from its first bytes; kNone for anything that
// is not one (including five bytes or fewer).
PictureKind DetectKind(const uint8_t* bytes, size_t length);

// A short lower-case name for a kind ("jpeg", "bmp", ... "none").
const char* KindName(PictureKind kind);

bool HasGifSignature(const uint8_t* bytes, size_t length);
bool HasPngSignature(const uint8_t* bytes, size_t length);

// Size limits. A picture is refused when a side exceeds kMaxSide or its
// pixel count exceeds kMaxPixels (16 Mi pixels: 64 MiB as 32-bit pixels),
// so a header that claims a huge size cannot make a decoder allocate
// gigabytes. An animation is also refused frames beyond kMaxFrameBytes in
// total (256 MiB, counted as the heap holds them): the frames it already
// holds are kept. Beyond these, every decoder refuses a chunk, line or run
// that claims more bytes than the data has left before allocating for it,
// and the libjpeg and libpng wrappers set limits of their own (memory,
// scans, chunk sizes; see jpeg.cpp and png.cpp).
inline constexpr int32_t kMaxSide = 16384;
inline constexpr uint64_t kMaxPixels = uint64_t{1} << 24;
inline constexpr uint64_t kMaxFrameBytes = uint64_t{256} << 20;
// Picture files larger than this (256 MiB) are not read.
inline constexpr size_t kMaxFileBytes = size_t{256} << 20;

// True when width x height is a size a decoder may allocate: both sides
// positive and within the limits above.
bool SizeAllowed(int64_t width, int64_t height);

}  // namespace ext
