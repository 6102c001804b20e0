// BMP: uncompressed device-independent bitmaps in a file, turned into
// 24-bit bottom-up pixels like JPEG.

#include <array>
#include <cstring>

#include "runtime/bytes.h"
#include "extunits/picture/decoders.h"

namespace ext {

namespace {

constexpr uint64_t kFileHeaderSize = 14;

struct BmpHeader {
  uint32_t dataOffset = 0;
  uint32_t headerSize = 0;
  int32_t width = 0;
  int32_t height = 0;  // negative for top-down rows
  uint16_t bits = 0;
  uint32_t compression = 0;
  uint32_t colorsUsed = 0;
};

bool ReadHeader(rt::ByteReader& r, BmpHeader& h) {
  r.Skip(10);
  h.dataOffset = r.U32();
  h.headerSize = r.U32();
  h.width = r.I32();
  h.height = r.I32();
  r.Skip(2);  // planes
  h.bits = r.U16();
  h.compression = r.U32();
  r.Skip(12);  // image size, resolution
  h.colorsUsed = r.U32();
  return r.Ok() && h.headerSize >= 40 && h.compression == 0 &&
         (h.bits == 1 || h.bits == 4 || h.bits == 8 || h.bits == 24 || h.bits == 32);
}

// The colour table after the info header, as blue-green-red triples; entries
// it does not have stay black.
bool ReadColorTable(rt::ByteReader& r, const BmpHeader& h, std::array<uint8_t, 256 * 3>& table) {
  table.fill(0);
  const uint32_t maxEntries = 1u << h.bits;
  const uint32_t entries =
      h.colorsUsed == 0 || h.colorsUsed > maxEntries ? maxEntries : h.colorsUsed;
  if (kFileHeaderSize + h.headerSize > r.Length()) return false;
  r.Seek(static_cast<size_t>(kFileHeaderSize + h.headerSize));
  const uint8_t* p = r.Take(size_t{entries} * 4);
  if (p == nullptr) return false;
  for (uint32_t i = 0; i < entries; ++i) std::memcpy(&table[i * 3], p + i * 4, 3);
  return true;
}

// Converts one file row into 24-bit pixels.
void ConvertRow(const uint8_t* in, uint8_t* out, int32_t width, int bits,
                const std::array<uint8_t, 256 * 3>& table) {
  if (bits == 24) {
    std::memcpy(out, in, static_cast<size_t>(width) * 3);
    return;
  }
  for (int32_t x = 0; x < width; ++x, out += 3) {
    if (bits == 32) {
      std::memcpy(out, in + x * 4, 3);
      continue;
    }
    const int perByte = 8 / bits;
    const int shift = 8 - bits * (x % perByte + 1);
    const unsigned index = (in[x / perByte] >> shift) & ((1u << bits) - 1);
    std::memcpy(out, &table[index * 3], 3);
  }
}

}  // namespace

bool DecodeBmp(const uint8_t* bytes, size_t length, PictureData& out) {
  out = PictureData{};
  rt::ByteReader r(bytes, length);
  BmpHeader h;
  if (length < 54 || bytes[0] != 'B' || bytes[1] != 'M' || !ReadHeader(r, h)) return false;
  const bool topDown = h.height < 0;
  const int64_t height = topDown ? -static_cast<int64_t>(h.height) : h.height;
  if (!SizeAllowed(h.width, height)) return false;
  std::array<uint8_t, 256 * 3> table{};
  if (h.bits <= 8 && !ReadColorTable(r, h, table)) return false;
  const size_t stride = DibStride(h.width, h.bits);
  const uint64_t pixelBytes = static_cast<uint64_t>(stride) * static_cast<uint64_t>(height);
  if (h.dataOffset > length || pixelBytes > length - h.dataOffset) return false;

  const auto rows = static_cast<int32_t>(height);
  const size_t outStride = static_cast<size_t>(h.width) * 3;
  out.data.resize(outStride * static_cast<size_t>(rows));
  for (int32_t y = 0; y < rows; ++y) {
    const int32_t target = topDown ? rows - 1 - y : y;  // output rows are bottom-up
    ConvertRow(bytes + h.dataOffset + static_cast<size_t>(y) * stride,
               out.data.data() + static_cast<size_t>(target) * outStride, h.width, h.bits, table);
  }
  out.kind = PictureKind::kBmp;
  out.width = h.width;
  out.height = rows;
  return true;
}

}  // namespace ext
