#include "extunits/picture/gif.h"

#include <cstring>

#include "extunits/picture/kind.h"

namespace ext {

// ---- LZW -------------------------------------------------------------------

namespace {

constexpr int kMaxCodes = 4096;  // codes are at most 12 bits wide

// The string table: each code is its prefix code plus one suffix byte; the
// length and first byte are kept so a string can be written back to front
// straight into the output.
struct LzwTable {
  uint16_t prefix[kMaxCodes];
  uint16_t length[kMaxCodes];
  uint8_t suffix[kMaxCodes];
  uint8_t first[kMaxCodes];

  // Defines `next` as prev's string plus the first byte of code's string,
  // which for code == next (not yet defined) is prev's own first byte.
  void Add(int next, int prev, int code) {
    prefix[next] = static_cast<uint16_t>(prev);
    suffix[next] = code == next ? first[prev] : first[code];
    first[next] = first[prev];
    length[next] = static_cast<uint16_t>(length[prev] + 1);
  }
};

// Codes of a given width, least significant bit first.
class CodeReader {
 public:
  CodeReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  // False when the data ends before a whole code.
  bool Read(int width, int& code) {
    while (count_ < width) {
      if (position_ == size_) return false;
      bits_ |= static_cast<uint32_t>(data_[position_++]) << count_;
      count_ += 8;
    }
    code = static_cast<int>(bits_ & ((1u << width) - 1));
    bits_ >>= width;
    count_ -= width;
    return true;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
  uint32_t bits_ = 0;
  int count_ = 0;
};

// Writes the string of `code` at `out`, keeping only what fits in `room`
// bytes (the last string of an image may overhang its end).
inline void EmitString(const LzwTable& t, int code, int clear, uint8_t* out, size_t room) {
  size_t i = t.length[code] - 1u;
  if (i < room) {
    uint8_t* p = out + i;
    while (code >= clear) {
      *p-- = t.suffix[code];
      code = t.prefix[code];
    }
    *p = static_cast<uint8_t>(code);
    return;
  }
  while (code >= clear) {
    if (i < room) out[i] = t.suffix[code];
    --i;
    code = t.prefix[code];
  }
  out[0] = static_cast<uint8_t>(code);
}

}  // namespace

bool DecodeLzw(int minCodeSize, const uint8_t* data, size_t size, uint8_t* out, size_t count) {
  if (minCodeSize < 2 || minCodeSize > 8) return false;
  LzwTable t;
  const int clear = 1 << minCodeSize;
  for (int i = 0; i < clear; ++i) {
    t.length[i] = 1;
    t.first[i] = static_cast<uint8_t>(i);
  }
  CodeReader reader(data, size);
  int codeSize = minCodeSize + 1, next = clear + 2, prev = -1, code = 0;
  size_t written = 0;
  while (written < count) {
    if (!reader.Read(codeSize, code)) return false;
    if (code == clear) {
      codeSize = minCodeSize + 1;
      next = clear + 2;
      prev = -1;
      continue;
    }
    if (code == clear + 1) return false;  // end of information before the image is full
    if (prev < 0 ? code > clear : code > next || (code == next && next == kMaxCodes)) return false;
    if (prev >= 0 && next < kMaxCodes) {
      t.Add(next++, prev, code);
      if (next == (1 << codeSize) && codeSize < 12) ++codeSize;
    }
    EmitString(t, code, clear, out + written, count - written);
    written += t.length[code];
    prev = code;
  }
  return true;
}

// ---- Stream ----------------------------------------------------------------

namespace {

constexpr uint8_t kExtension = 0x21;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kGraphicControl = 0xF9;
constexpr uint8_t kPlainText = 0x01;
constexpr uint8_t kComment = 0xFE;
constexpr uint8_t kApplication = 0xFF;

// Copies sequentially decoded rows of an interlaced image to their places:
// rows 0, 8, 16 ... first, then 4, 12 ..., then 2, 6 ..., then the odd rows.
void Deinterlace(const uint8_t* rows, uint8_t* out, int32_t width, int32_t height) {
  static const int kStart[4] = {0, 4, 2, 1};
  static const int kStep[4] = {8, 8, 4, 2};
  const size_t w = static_cast<size_t>(width);
  for (int pass = 0; pass < 4; ++pass) {
    for (int32_t y = kStart[pass]; y < height; y += kStep[pass]) {
      std::memcpy(out + static_cast<size_t>(y) * w, rows, w);
      rows += w;
    }
  }
}

}  // namespace

bool GifReader::Open(const uint8_t* bytes, size_t length) {
  ended_ = true;
  if (length <= 13 || !HasGifSignature(bytes, length)) return false;
  reader_ = rt::ByteReader(bytes, length);
  reader_.Skip(6);
  screenWidth_ = reader_.U16();
  screenHeight_ = reader_.U16();
  const uint8_t packed = reader_.U8();
  reader_.Skip(2);  // background colour index, pixel aspect ratio
  if (!SizeAllowed(screenWidth_, screenHeight_)) return false;
  global_.fill(0);
  globalCount_ = 0;
  if (packed & 0x80) {
    globalCount_ = 2 << (packed & 7);
    if (!ReadColorTable(globalCount_, global_)) return false;
  }
  disposal_ = 0;
  transparent_ = false;
  transparentIndex_ = 0;
  delay_ = 0;
  ended_ = false;
  return true;
}

bool GifReader::ReadColorTable(int entries, std::array<uint32_t, 256>& table) {
  const uint8_t* p = reader_.Take(static_cast<size_t>(entries) * 3);
  if (p == nullptr) return false;
  for (int i = 0; i < entries; ++i, p += 3) table[i] = (p[0] << 16) | (p[1] << 8) | p[2];
  return true;
}

bool GifReader::Next(GifImage& image) {
  while (!ended_) {
    const uint8_t introducer = reader_.U8();
    if (!reader_.Ok()) break;
    if (introducer == kImageSeparator) {
      if (ReadImage(image)) return true;
      break;
    }
    if (introducer != kExtension || !ReadExtension()) break;
  }
  ended_ = true;
  return false;
}

// Reads one extension; false when the stream ends at it.
bool GifReader::ReadExtension() {
  const uint8_t label = reader_.U8();
  if (label == kGraphicControl) {
    const uint8_t size = reader_.U8();
    const uint8_t* block = reader_.Take(size);
    if (block == nullptr) return false;
    if (size >= 4) {
      disposal_ = block[0] & 0x1C;
      transparent_ = (block[0] & 1) != 0;
      delay_ = static_cast<uint16_t>(block[1] | (block[2] << 8));
      transparentIndex_ = block[3];
    }
  } else if (label != kPlainText && label != kComment && label != kApplication) {
    return false;
  }
  // Skip the (remaining) sub-blocks up to the terminator.
  for (;;) {
    const uint8_t size = reader_.U8();
    if (!reader_.Ok()) return false;
    if (size == 0) return true;
    if (!reader_.Skip(size)) return false;
  }
}

bool GifReader::JoinSubBlocks() {
  lzwData_.clear();
  for (;;) {
    const uint8_t size = reader_.U8();
    if (!reader_.Ok()) return false;
    if (size == 0) return true;
    const uint8_t* block = reader_.Take(size);
    if (block == nullptr) return false;
    lzwData_.insert(lzwData_.end(), block, block + size);
  }
}

bool GifReader::ReadImage(GifImage& image) {
  image.left = reader_.U16();
  image.top = reader_.U16();
  image.width = reader_.U16();
  image.height = reader_.U16();
  const uint8_t packed = reader_.U8();
  if (!reader_.Ok() || !SizeAllowed(image.width, image.height)) return false;
  image.localTable = (packed & 0x80) != 0;
  image.interlaced = (packed & 0x40) != 0;
  if (image.localTable) {
    image.palette.fill(0);
    if (!ReadColorTable(2 << (packed & 7), image.palette)) return false;
  } else {
    image.palette = global_;
  }
  // Disposal belongs to the graphic control extension read for this image only.
  image.disposal = disposal_;
  disposal_ = 0;
  image.transparent = transparent_;
  image.transparentIndex = transparentIndex_;
  image.delay = delay_;
  const int minCodeSize = reader_.U8();
  if (!reader_.Ok() || !JoinSubBlocks()) return false;
  const size_t count = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
  image.indices.resize(count);
  uint8_t* target = image.indices.data();
  if (image.interlaced) {
    scratch_.resize(count);
    target = scratch_.data();
  }
  if (!DecodeLzw(minCodeSize, lzwData_.data(), lzwData_.size(), target, count)) return false;
  if (image.interlaced)
    Deinterlace(scratch_.data(), image.indices.data(), image.width, image.height);
  return true;
}

}  // namespace ext
