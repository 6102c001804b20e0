#include "extunits/picture/kind.h"

#include <cstring>

namespace ext {

namespace {

uint16_t Word(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

bool HasGifSignature(const uint8_t* bytes, size_t length) {
  return bytes && length >= 6 &&
         (std::memcmp(bytes, "GIF87a", 6) == 0 || std::memcmp(bytes, "GIF89a", 6) == 0);
}

bool HasPngSignature(const uint8_t* bytes, size_t length) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  return bytes && length >= 8 && std::memcmp(bytes, kSignature, 8) == 0;
}

PictureKind DetectKind(const uint8_t* bytes, size_t length) {
  if (bytes == nullptr || length <= 5) return PictureKind::kNone;
  const uint8_t* b = bytes;
  if (b[0] == 'B' && b[1] == 'M') return PictureKind::kBmp;
  if (b[0] == 0xFF && b[1] == 0xD8) return PictureKind::kJpeg;
  if (Word(b) == 0 && Word(b + 2) == 1 && Word(b + 4) > 0) return PictureKind::kIcon;
  if (Word(b) == 0 && Word(b + 2) == 2 && Word(b + 4) > 0) return PictureKind::kCursor;
  if (HasGifSignature(b, length)) return PictureKind::kGif;
  if (b[0] == 0x0A && b[1] <= 5 && b[2] == 1 && b[3] == 8) return PictureKind::kPcx8;
  if (b[0] == 0x0A && b[1] == 3 && b[2] == 1 && b[3] == 1) return PictureKind::kPcx1;
  return PictureKind::kNone;
}

const char* KindName(PictureKind kind) {
  switch (kind) {
    case PictureKind::kJpeg: return "jpeg";
    case PictureKind::kBmp: return "bmp";
    case PictureKind::kIcon: return "icon";
    case PictureKind::kCursor: return "cursor";
    case PictureKind::kGif: return "gif";
    case PictureKind::kPcx8: return "pcx8";
    case PictureKind::kPcx1: return "pcx1";
    case PictureKind::kNone: break;
  }
  return "none";
}

bool SizeAllowed(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
         static_cast<uint64_t>(width) * static_cast<uint64_t>(height) <= kMaxPixels;
}

}  // namespace ext
