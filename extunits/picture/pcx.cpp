// PCX (ZSoft): a 128-byte header, then run-length encoded rows. 8 bits per
// pixel becomes a top-down 8-bit DIB with the 256-colour palette that may
// follow the image data; 1 bit per pixel becomes a monochrome bitmap.

#include <algorithm>
#include <cstring>

#include "runtime/bytes.h"
#include "extunits/picture/decoders.h"

namespace ext {

namespace {

constexpr size_t kHeaderSize = 128;
constexpr uint8_t kPaletteMarker = 12;

struct PcxHeader {
  uint8_t bits = 0;
  int32_t width = 0, height = 0;
  uint8_t planes = 0;
  uint32_t bytesPerLine = 0;
};

bool ReadHeader(const uint8_t* bytes, size_t length, PcxHeader& h) {
  if (length <= kHeaderSize) return false;
  rt::ByteReader r(bytes, length);
  r.Skip(3);
  h.bits = r.U8();
  const int32_t xMin = r.U16(), yMin = r.U16(), xMax = r.U16(), yMax = r.U16();
  r.Seek(65);
  h.planes = r.U8();
  h.bytesPerLine = r.U16();
  if (!r.Ok() || xMax < xMin || yMax < yMin || h.planes != 1) return false;
  h.width = xMax - xMin + 1;
  h.height = yMax - yMin + 1;
  const uint32_t rowBytes = (static_cast<uint32_t>(h.width) * h.bits + 7) / 8;
  return (h.bits == 8 || h.bits == 1) && h.bytesPerLine >= rowBytes &&
         SizeAllowed(h.width, h.height);
}

// Expands the run-length data after the header into `out` (its whole size);
// returns the offset of the first byte after the image data, or 0 when the
// data ends first. A byte above 192 repeats the next byte (byte - 192) times.
size_t Expand(const uint8_t* bytes, size_t length, std::vector<uint8_t>& out) {
  size_t in = kHeaderSize;
  size_t filled = 0;
  const size_t total = out.size();
  while (filled < total) {
    if (in >= length) return 0;
    const uint8_t b = bytes[in++];
    if (b <= 192) {
      out[filled++] = b;
      continue;
    }
    if (in >= length) return 0;
    const size_t run = std::min<size_t>(b - 192u, total - filled);
    std::memset(out.data() + filled, bytes[in++], run);
    filled += run;
  }
  return in;
}

void Build8Bit(const PcxHeader& h, const std::vector<uint8_t>& rows, const uint8_t* palette,
               PictureData& out) {
  const size_t stride = DibStride(h.width, 8);
  out.data.assign(kDibInfoSize + stride * static_cast<size_t>(h.height), 0);
  WriteDibHeader(out.data.data(), h.width, -h.height, 8, 256);
  uint8_t* colors = out.data.data() + kDibHeaderSize;
  for (int i = 0; i < 256; ++i) {
    // Without a palette the indices are shown as a grey ramp.
    const uint8_t* rgb = palette ? palette + i * 3 : nullptr;
    colors[i * 4 + 0] = rgb ? rgb[2] : static_cast<uint8_t>(i);
    colors[i * 4 + 1] = rgb ? rgb[1] : static_cast<uint8_t>(i);
    colors[i * 4 + 2] = rgb ? rgb[0] : static_cast<uint8_t>(i);
  }
  for (int32_t y = 0; y < h.height; ++y) {
    std::memcpy(out.data.data() + kDibInfoSize + static_cast<size_t>(y) * stride,
                rows.data() + static_cast<size_t>(y) * h.bytesPerLine,
                static_cast<size_t>(h.width));
  }
}

void Build1Bit(const PcxHeader& h, const std::vector<uint8_t>& rows, PictureData& out) {
  const size_t stride = (static_cast<size_t>(h.width) + 15) / 16 * 2;
  const size_t used = (static_cast<size_t>(h.width) + 7) / 8;
  const auto lastMask = static_cast<uint8_t>(0xFF00u >> (h.width % 8 == 0 ? 8 : h.width % 8));
  out.data.assign(stride * static_cast<size_t>(h.height), 0);
  for (int32_t y = 0; y < h.height; ++y) {
    uint8_t* row = out.data.data() + static_cast<size_t>(y) * stride;
    std::memcpy(row, rows.data() + static_cast<size_t>(y) * h.bytesPerLine, used);
    row[used - 1] &= lastMask;  // bits past the width are cleared
  }
}

}  // namespace

bool DecodePcx(const uint8_t* bytes, size_t length, PictureData& out) {
  out = PictureData{};
  const PictureKind kind = DetectKind(bytes, length);
  PcxHeader h;
  if ((kind != PictureKind::kPcx8 && kind != PictureKind::kPcx1) || !ReadHeader(bytes, length, h))
    return false;
  if ((kind == PictureKind::kPcx8) != (h.bits == 8)) return false;
  // Two bytes of data expand to at most 63, so a header claiming more rows
  // than the data can hold is refused before anything is allocated.
  const uint64_t total = uint64_t{h.bytesPerLine} * static_cast<uint64_t>(h.height);
  if (total > (length - kHeaderSize) * uint64_t{32}) return false;
  std::vector<uint8_t> rows(static_cast<size_t>(total));
  const size_t end = Expand(bytes, length, rows);
  if (end == 0) return false;
  if (kind == PictureKind::kPcx8) {
    const bool hasPalette = length - end > 768 && bytes[end] == kPaletteMarker;
    Build8Bit(h, rows, hasPalette ? bytes + end + 1 : nullptr, out);
  } else {
    Build1Bit(h, rows, out);
  }
  out.kind = kind;
  out.width = h.width;
  out.height = h.height;
  return true;
}

}  // namespace ext
