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

// The run-length data after the header, expanded on demand: a byte above
// 192 repeats the next byte (byte - 192) times, any other byte stands for
// itself. A run may carry on into the next row. Rows are expanded one at a
// time, so memory never depends on the bytes per line a header claims.
class RunReader {
 public:
  RunReader(const uint8_t* bytes, size_t length) : bytes_(bytes), length_(length) {}

  // The next `count` bytes into `out`; false when the data ends first.
  bool Fill(uint8_t* out, size_t count) {
    while (count > 0) {
      if (left_ == 0 && !NextRun()) return false;
      const size_t n = std::min(left_, count);
      std::memset(out, value_, n);
      out += n;
      count -= n;
      left_ -= n;
    }
    return true;
  }
  // The offset of the first byte after the data read so far (what is left
  // of a run that overhangs the image is dropped).
  size_t End() const { return position_; }

 private:
  bool NextRun() {
    if (position_ >= length_) return false;
    const uint8_t b = bytes_[position_++];
    left_ = 1;
    value_ = b;
    if (b <= 192) return true;
    if (position_ >= length_) return false;
    left_ = b - 192u;
    value_ = bytes_[position_++];
    return true;
  }

  const uint8_t* bytes_;
  size_t length_;
  size_t position_ = kHeaderSize;
  size_t left_ = 0;
  uint8_t value_ = 0;
};

// Expands every row and keeps the first `used` bytes of each at `out`,
// `stride` bytes apart.
bool ReadRows(const PcxHeader& h, RunReader& runs, size_t used, size_t stride, uint8_t* out) {
  std::vector<uint8_t> line(h.bytesPerLine);
  for (int32_t y = 0; y < h.height; ++y) {
    if (!runs.Fill(line.data(), line.size())) return false;
    std::memcpy(out + static_cast<size_t>(y) * stride, line.data(), used);
  }
  return true;
}

bool Decode8Bit(const PcxHeader& h, const uint8_t* bytes, size_t length, PictureData& out) {
  const size_t stride = DibStride(h.width, 8);
  out.data.assign(kDibInfoSize + stride * static_cast<size_t>(h.height), 0);
  RunReader runs(bytes, length);
  if (!ReadRows(h, runs, static_cast<size_t>(h.width), stride, out.data.data() + kDibInfoSize))
    return false;
  const size_t end = runs.End();
  const bool hasPalette = length - end > 768 && bytes[end] == kPaletteMarker;
  const uint8_t* palette = hasPalette ? bytes + end + 1 : nullptr;
  WriteDibHeader(out.data.data(), h.width, -h.height, 8, 256);
  uint8_t* colors = out.data.data() + kDibHeaderSize;
  for (int i = 0; i < 256; ++i) {
    // Without a palette the indices are shown as a grey ramp.
    const uint8_t* rgb = palette ? palette + i * 3 : nullptr;
    colors[i * 4 + 0] = rgb ? rgb[2] : static_cast<uint8_t>(i);
    colors[i * 4 + 1] = rgb ? rgb[1] : static_cast<uint8_t>(i);
    colors[i * 4 + 2] = rgb ? rgb[0] : static_cast<uint8_t>(i);
  }
  return true;
}

bool Decode1Bit(const PcxHeader& h, const uint8_t* bytes, size_t length, PictureData& out) {
  const size_t stride = (static_cast<size_t>(h.width) + 15) / 16 * 2;
  const size_t used = (static_cast<size_t>(h.width) + 7) / 8;
  const auto lastMask = static_cast<uint8_t>(0xFF00u >> (h.width % 8 == 0 ? 8 : h.width % 8));
  out.data.assign(stride * static_cast<size_t>(h.height), 0);
  RunReader runs(bytes, length);
  if (!ReadRows(h, runs, used, stride, out.data.data())) return false;
  for (int32_t y = 0; y < h.height; ++y) {
    out.data[static_cast<size_t>(y) * stride + used - 1] &= lastMask;  // bits past the width
  }
  return true;
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
  const bool ok = kind == PictureKind::kPcx8 ? Decode8Bit(h, bytes, length, out)
                                             : Decode1Bit(h, bytes, length, out);
  if (!ok) {
    out = PictureData{};
    return false;
  }
  out.kind = kind;
  out.width = h.width;
  out.height = h.height;
  return true;
}

}  // namespace ext
