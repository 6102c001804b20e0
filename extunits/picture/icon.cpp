#include "extunits/picture/icon.h"

#include <cstring>

#include "extunits/picture/decoders.h"
#include "extunits/picture/kind.h"
#include "extunits/picture/picture.h"
#include "extunits/picture/png.h"

namespace ext {

// ---- Directory -------------------------------------------------------------

bool ChooseIconEntry(const uint8_t* bytes, size_t length, IconEntry& chosen) {
  return rt::ChooseIconEntry(bytes, length, 32, chosen);
}

// ---- Image header ----------------------------------------------------------

bool IconImageSize(const uint8_t* image, size_t size, int32_t& width, int32_t& height,
                   uint16_t& bits) {
  rt::IconImageHeader h;
  if (!rt::ReadIconImageHeader(image, size, h) || !SizeAllowed(h.width, h.height)) return false;
  width = h.width;
  height = h.height;
  bits = h.bits;
  return true;
}

bool DecodeIconFile(const uint8_t* bytes, size_t length, PictureData& out) {
  out = PictureData{};
  const PictureKind kind = DetectKind(bytes, length);
  IconEntry entry;
  if ((kind != PictureKind::kIcon && kind != PictureKind::kCursor) ||
      !ChooseIconEntry(bytes, length, entry))
    return false;
  const uint8_t* image = bytes + entry.offset;
  // The whole image is checked here, so the window system is never handed
  // bits shorter than their header claims.
  IconBitmap check;
  if (!IconImageSize(image, entry.size, out.width, out.height, out.iconBits) ||
      !DecodeIconImage(image, entry.size, check))
    return false;
  out.data.assign(image, image + entry.size);
  if (kind == PictureKind::kCursor) {
    out.hotspotX = entry.planes;
    out.hotspotY = entry.bitCount;
  }
  out.kind = kind;
  return true;
}

// ---- Image pixels ----------------------------------------------------------

namespace {

uint32_t DibPixel(const uint8_t* row, int32_t x, int bits, const uint32_t* table) {
  switch (bits) {
    case 32:
      return row[x * 4] | row[x * 4 + 1] << 8 | row[x * 4 + 2] << 16 |
             static_cast<uint32_t>(row[x * 4 + 3]) << 24;
    case 24: return row[x * 3] | row[x * 3 + 1] << 8 | row[x * 3 + 2] << 16;
    default: {
      const int perByte = 8 / bits;
      const int shift = 8 - bits * (x % perByte + 1);
      return table[(row[x / perByte] >> shift) & ((1u << bits) - 1)];
    }
  }
}

bool DecodeDibIcon(const uint8_t* image, size_t size, IconBitmap& out) {
  rt::IconImageHeader d;
  if (!rt::ReadIconImageHeader(image, size, d) || d.png || !SizeAllowed(d.width, d.height) ||
      rt::DibIconBytes(d) > size)
    return false;
  uint32_t table[256] = {};
  const uint64_t tableBytes = uint64_t{d.colors} * 4;
  const size_t xorStride = DibStride(d.width, d.bits), andStride = DibStride(d.width, 1);
  const uint8_t* colors = image + d.headerSize;
  for (uint32_t i = 0; i < d.colors; ++i) {
    table[i] = colors[i * 4] | colors[i * 4 + 1] << 8 | colors[i * 4 + 2] << 16;
  }
  const uint8_t* xorBits = colors + tableBytes;
  const uint8_t* andBits = xorBits + xorStride * static_cast<size_t>(d.height);
  const size_t count = static_cast<size_t>(d.width) * static_cast<size_t>(d.height);
  out.width = d.width;
  out.height = d.height;
  out.color.resize(count);
  out.mask.resize(count);
  for (int32_t y = 0; y < d.height; ++y) {
    const size_t fileRow = static_cast<size_t>(d.height - 1 - y);  // rows are bottom-up
    const uint8_t* xorRow = xorBits + fileRow * xorStride;
    const uint8_t* andRow = andBits + fileRow * andStride;
    for (int32_t x = 0; x < d.width; ++x) {
      const size_t i = static_cast<size_t>(y) * d.width + x;
      out.color[i] = DibPixel(xorRow, x, d.bits, table);
      out.mask[i] = (andRow[x / 8] >> (7 - x % 8)) & 1;
      if (d.bits == 32 && (out.color[i] >> 24) != 0) out.hasAlpha = true;
    }
  }
  return true;
}

bool DecodePngIcon(const uint8_t* image, size_t size, IconBitmap& out) {
  std::vector<uint32_t> pixels;
  int32_t width = 0, height = 0;
  if (!DecodePngPixels(image, size, PngBackground::kIgnore, width, height, pixels)) return false;
  out.width = width;
  out.height = height;
  out.hasAlpha = true;
  out.mask.assign(pixels.size(), 0);
  out.color.resize(pixels.size());
  for (size_t i = 0; i < pixels.size(); ++i) {
    out.color[i] = (pixels[i] & 0xFFFFFF) | (255 - (pixels[i] >> 24)) << 24;
  }
  return true;
}

}  // namespace

bool DecodeIconImage(const uint8_t* image, size_t size, IconBitmap& out) {
  out = IconBitmap{};
  const bool ok = HasPngSignature(image, size) ? DecodePngIcon(image, size, out)
                                               : DecodeDibIcon(image, size, out);
  if (!ok) out = IconBitmap{};
  return ok;
}

std::vector<uint32_t> IconOnWhite(const IconBitmap& icon) {
  std::vector<uint32_t> pixels(icon.color.size());
  for (size_t i = 0; i < pixels.size(); ++i) {
    const uint32_t c = icon.color[i];
    if (!icon.hasAlpha) {
      pixels[i] = ((icon.mask[i] ? 0xFFFFFFu : 0u) ^ c) & 0xFFFFFF;
      continue;
    }
    const uint32_t a = c >> 24;
    uint32_t result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      const uint32_t v = (c >> shift) & 0xFF;
      result |= ((v * a + 255 * (255 - a) + 127) / 255) << shift;
    }
    pixels[i] = result;
  }
  return pixels;
}

std::vector<uint32_t> IconWithTransparency(const IconBitmap& icon) {
  std::vector<uint32_t> pixels(icon.color.size());
  for (size_t i = 0; i < pixels.size(); ++i) {
    const uint32_t c = icon.color[i];
    const uint32_t t = icon.hasAlpha ? 255 - (c >> 24) : (icon.mask[i] ? 255u : 0u);
    pixels[i] = (c & 0xFFFFFF) | t << 24;
  }
  return pixels;
}

}  // namespace ext
