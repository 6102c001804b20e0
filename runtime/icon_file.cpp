#include "runtime/icon_file.h"

#include <cstring>

#include "runtime/bytes.h"

namespace rt {

bool ChooseIconEntry(const uint8_t* bytes, size_t length, uint8_t width, IconEntry& chosen) {
  ByteReader r(bytes, length);
  r.Skip(4);
  const uint16_t count = r.U16();
  bool any = false;
  for (uint16_t i = 0; i < count && r.Remaining() >= 16; ++i) {
    IconEntry e;
    e.width = r.U8();
    r.Skip(1);  // height
    e.colorCount = r.U8();
    r.Skip(1);  // reserved
    e.planes = r.U16();
    e.bitCount = r.U16();
    e.size = r.U32();
    e.offset = r.U32();
    chosen = e;
    any = true;
    // A count of 0 is stored for 256 colours and more, true colour included.
    if (e.width == width && (e.colorCount == 0 || e.colorCount > 15)) break;
  }
  return any && r.Ok() && chosen.offset <= length && chosen.size <= length - chosen.offset;
}

namespace {

bool HasPngSignature(const uint8_t* image, size_t size) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  return size >= 8 && std::memcmp(image, kSignature, 8) == 0;
}

bool ReadPngHeader(const uint8_t* image, size_t size, IconImageHeader& h) {
  if (size < 24) return false;
  auto be32 = [](const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
  };
  const uint32_t w = be32(image + 16), hgt = be32(image + 20);
  if (w == 0 || hgt == 0 || w > INT32_MAX || hgt > INT32_MAX) return false;
  h.png = true;
  h.width = static_cast<int32_t>(w);
  h.height = static_cast<int32_t>(hgt);
  return true;
}

bool ReadDibHeader(const uint8_t* image, size_t size, IconImageHeader& h) {
  ByteReader r(image, size);
  h.headerSize = r.U32();
  h.width = r.I32();
  const int32_t doubled = r.I32();
  r.Skip(2);
  h.bits = r.U16();
  const uint32_t compression = r.U32();
  r.Skip(12);
  const uint32_t used = r.U32();
  if (!r.Ok() || h.headerSize < 40 || compression != 0 || doubled < 2 || h.width <= 0) {
    return false;
  }
  if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 24 && h.bits != 32) return false;
  h.height = doubled / 2;
  if (h.bits <= 8) h.colors = used == 0 || used > (1u << h.bits) ? 1u << h.bits : used;
  return true;
}

}  // namespace

bool ReadIconImageHeader(const uint8_t* image, size_t size, IconImageHeader& header) {
  header = IconImageHeader{};
  if (image == nullptr) return false;
  const bool ok = HasPngSignature(image, size) ? ReadPngHeader(image, size, header)
                                               : ReadDibHeader(image, size, header);
  if (!ok) header = IconImageHeader{};
  return ok;
}

uint64_t DibRowBytes(int32_t width, int bits) {
  return (static_cast<uint64_t>(width) * static_cast<uint64_t>(bits) + 31) / 32 * 4;
}

uint64_t DibIconBytes(const IconImageHeader& h) {
  const uint64_t rows = DibRowBytes(h.width, h.bits) + DibRowBytes(h.width, 1);
  return uint64_t{h.headerSize} + uint64_t{h.colors} * 4 + rows * static_cast<uint64_t>(h.height);
}

}  // namespace rt
