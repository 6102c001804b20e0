#pragma once
// The GIF reader: walks a GIF87a/GIF89a stream block by block and decodes
// one image at a time (LZW, interlaced rows put in place), with the graphic
// control state that applies to it. It never reads past the data: a block
// that would run past the end, an unknown extension label, any byte that
// does not start a block (the trailer included) or broken LZW data ends the
// stream, and the images already read stay valid.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "runtime/bytes.h"

namespace ext {

// Disposal values as kept here: the packed byte AND 0x1C (method << 2).
inline constexpr uint8_t kDisposeBackground = 8;
inline constexpr uint8_t kDisposePrevious = 12;

// One decoded image of a GIF stream.
struct GifImage {
  int32_t left = 0, top = 0, width = 0, height = 0;
  bool interlaced = false;
  bool localTable = false;
  // The colour table in effect (local, else global) as 0x00RRGGBB values;
  // entries the table does not have are black.
  std::array<uint32_t, 256> palette{};
  std::vector<uint8_t> indices;  // width x height, rows top-down in display order
  // Graphic control state: disposal is cleared before each image, the rest
  // stays as the last graphic control extension set it.
  uint8_t disposal = 0;
  bool transparent = false;
  uint8_t transparentIndex = 0;
  uint16_t delay = 0;  // hundredths of a second
};

class GifReader {
 public:
  // Reads the header and the global colour table. False when the data is
  // not a stream this reader takes: 13 bytes or fewer, a wrong signature, a
  // logical screen that is empty or over the size limits, or a global table
  // that would reach past the end.
  bool Open(const uint8_t* bytes, size_t length);

  int32_t ScreenWidth() const { return screenWidth_; }
  int32_t ScreenHeight() const { return screenHeight_; }
  bool HasGlobalTable() const { return globalCount_ > 0; }

  // Reads the blocks up to the next image and decodes it into `image`.
  // False when the stream has ended; `image` is then unspecified.
  bool Next(GifImage& image);

 private:
  bool ReadExtension();
  bool ReadImage(GifImage& image);
  bool ReadColorTable(int entries, std::array<uint32_t, 256>& table);
  bool JoinSubBlocks();

  rt::ByteReader reader_{nullptr, 0};
  bool ended_ = true;
  int32_t screenWidth_ = 0, screenHeight_ = 0;
  int globalCount_ = 0;
  std::array<uint32_t, 256> global_{};
  uint8_t disposal_ = 0;
  bool transparent_ = false;
  uint8_t transparentIndex_ = 0;
  uint16_t delay_ = 0;
  std::vector<uint8_t> lzwData_;  // an image's sub-blocks joined
  std::vector<uint8_t> scratch_;  // interlaced rows before they are put in place
};

// Decodes GIF LZW data with the given minimum code size (2..8) into exactly
// `count` indices. False when a code is out of range or the data ends (or
// stops) before `count` indices came out.
bool DecodeLzw(int minCodeSize, const uint8_t* data, size_t size, uint8_t* out, size_t count);

}  // namespace ext
