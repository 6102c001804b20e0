#include "extunits/picture/picture.h"

#include <algorithm>
#include <cstring>

#include "extunits/picture/decoders.h"
#include "extunits/picture/gif.h"
#include "extunits/picture/icon.h"

namespace ext {

namespace {

void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  Put16(p, v);
  Put16(p + 2, v >> 16);
}
int32_t Get32(const uint8_t* p) {
  return static_cast<int32_t>(p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

void WriteDibHeader(uint8_t* out, int32_t width, int32_t height, uint16_t bits, uint32_t colors) {
  std::memset(out, 0, kDibHeaderSize);
  Put32(out, kDibHeaderSize);
  Put32(out + 4, static_cast<uint32_t>(width));
  Put32(out + 8, static_cast<uint32_t>(height));
  Put16(out + 12, 1);
  Put16(out + 14, bits);
  Put32(out + 32, colors);
}

size_t DibStride(int32_t width, int bits) {
  return static_cast<size_t>((static_cast<uint64_t>(width) * bits + 31) / 32 * 4);
}

bool DecodeGifStill(const uint8_t* bytes, size_t length, PictureData& out) {
  out = PictureData{};
  GifReader reader;
  GifImage image;
  if (!reader.Open(bytes, length) || !reader.Next(image)) return false;
  const size_t stride = DibStride(image.width, 8);
  out.data.assign(kDibInfoSize + stride * static_cast<size_t>(image.height), 0);
  WriteDibHeader(out.data.data(), image.width, -image.height, 8, 256);
  for (int i = 0; i < 256; ++i) Put32(out.data.data() + kDibHeaderSize + i * 4, image.palette[i]);
  for (int32_t y = 0; y < image.height; ++y) {
    std::memcpy(out.data.data() + kDibInfoSize + static_cast<size_t>(y) * stride,
                image.indices.data() + static_cast<size_t>(y) * image.width,
                static_cast<size_t>(image.width));
  }
  out.kind = PictureKind::kGif;
  out.width = reader.ScreenWidth();
  out.height = reader.ScreenHeight();
  out.imageLeft = image.left;
  out.imageTop = image.top;
  return true;
}

bool DecodePicture(const uint8_t* bytes, size_t length, PictureData& out) {
  out = PictureData{};
  if (length > kMaxFileBytes) return false;
  switch (DetectKind(bytes, length)) {
    case PictureKind::kJpeg: return DecodeJpeg(bytes, length, out);
    case PictureKind::kBmp: return DecodeBmp(bytes, length, out);
    case PictureKind::kIcon:
    case PictureKind::kCursor: return DecodeIconFile(bytes, length, out);
    case PictureKind::kGif: return DecodeGifStill(bytes, length, out);
    case PictureKind::kPcx8:
    case PictureKind::kPcx1: return DecodePcx(bytes, length, out);
    case PictureKind::kNone: break;
  }
  return false;
}

// ---- Pixels ----------------------------------------------------------------

namespace {

void Rgb24ToPixels(const PictureData& p, uint32_t* pixels) {
  const size_t stride = static_cast<size_t>(p.width) * 3;
  for (int32_t y = 0; y < p.height; ++y) {
    const uint8_t* row = p.data.data() + static_cast<size_t>(p.height - 1 - y) * stride;
    for (int32_t x = 0; x < p.width; ++x, row += 3) *pixels++ = row[0] | row[1] << 8 | row[2] << 16;
  }
}

// Draws an 8-bit DIB made by the decoders (top-down, 256 colours) at
// (left, top) of a width x height pixel block, clipped to it.
void Dib8ToPixels(const std::vector<uint8_t>& dib, int32_t left, int32_t top, int32_t width,
                  int32_t height, uint32_t* pixels) {
  const int32_t w = Get32(dib.data() + 4), h = -Get32(dib.data() + 8);
  const size_t stride = DibStride(w, 8);
  const uint8_t* colors = dib.data() + kDibHeaderSize;
  for (int32_t y = std::max(0, -top); y < h && top + y < height; ++y) {
    const uint8_t* row = dib.data() + kDibInfoSize + static_cast<size_t>(y) * stride;
    uint32_t* target = pixels + static_cast<size_t>(top + y) * width;
    for (int32_t x = std::max(0, -left); x < w && left + x < width; ++x) {
      target[left + x] = static_cast<uint32_t>(Get32(colors + row[x] * 4)) & 0xFFFFFF;
    }
  }
}

void MonoToPixels(const PictureData& p, uint32_t* pixels) {
  const size_t stride = (static_cast<size_t>(p.width) + 15) / 16 * 2;
  for (int32_t y = 0; y < p.height; ++y) {
    const uint8_t* row = p.data.data() + static_cast<size_t>(y) * stride;
    for (int32_t x = 0; x < p.width; ++x) {
      *pixels++ = (row[x / 8] >> (7 - x % 8)) & 1 ? 0xFFFFFFu : 0u;
    }
  }
}

}  // namespace

bool StillPixels(const PictureData& picture, std::vector<uint32_t>& pixels) {
  pixels.assign(static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height), 0);
  switch (picture.kind) {
    case PictureKind::kJpeg:
    case PictureKind::kBmp: Rgb24ToPixels(picture, pixels.data()); return true;
    case PictureKind::kGif:
      Dib8ToPixels(picture.data, picture.imageLeft, picture.imageTop, picture.width, picture.height,
                   pixels.data());
      return true;
    case PictureKind::kPcx8:
      Dib8ToPixels(picture.data, 0, 0, picture.width, picture.height, pixels.data());
      return true;
    case PictureKind::kPcx1: MonoToPixels(picture, pixels.data()); return true;
    case PictureKind::kIcon:
    case PictureKind::kCursor: {
      IconBitmap icon;
      if (!DecodeIconImage(picture.data.data(), picture.data.size(), icon) ||
          icon.width != picture.width || icon.height != picture.height)
        break;
      pixels = IconOnWhite(icon);
      return true;
    }
    case PictureKind::kNone: break;
  }
  pixels.clear();
  return false;
}

}  // namespace ext
