#pragma once
// Builders of small picture files for tests: GIF (with a real LZW encoder),
// BMP, PCX, icon and cursor files written byte by byte, and PNG and JPEG
// through libpng and libjpeg. Each writes exactly what its arguments say,
// so tests can also make them malformed.

#include <cstdint>
#include <string>
#include <vector>

namespace test_pictures {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint32_t v);
void Put32(Bytes& b, uint32_t v);

// LZW data as GIF stores it, not yet split into sub-blocks.
Bytes LzwEncode(const Bytes& indices, int minCodeSize);

// A GIF stream written block by block. Colour tables are 0xRRGGBB values;
// their size must be a power of two from 2 to 256.
class GifBuilder {
 public:
  GifBuilder(int width, int height, const std::vector<uint32_t>& globalTable = {},
             const char* signature = "GIF89a");
  GifBuilder& Control(int disposalMethod, bool transparent, int transparentIndex, int delay);
  GifBuilder& Extension(uint8_t label, const Bytes& data);
  GifBuilder& Image(int left, int top, int width, int height, const Bytes& indices,
                    const std::vector<uint32_t>& localTable = {}, bool interlaced = false,
                    int minCodeSize = 0);
  GifBuilder& Raw(const Bytes& bytes);
  Bytes Finish();  // appends the trailer
  const Bytes& bytes() const { return bytes_; }

 private:
  void Table(const std::vector<uint32_t>& table);
  Bytes bytes_;
};

// Rows of an interlaced image in the order they are stored.
Bytes InterlaceRows(const Bytes& indices, int width, int height);

// An uncompressed BMP. For 1, 4 and 8 bits `values` are indices into
// `palette` (0xRRGGBB); for 24 and 32 bits they are 0xRRGGBB colours.
// Rows are given top-down and stored bottom-up unless topDown is set. The
// colours-used field is the palette's size unless coloursUsed is given.
Bytes BuildBmp(int width, int height, int bits, const std::vector<uint32_t>& values,
               const std::vector<uint32_t>& palette = {}, bool topDown = false,
               uint32_t colorsUsed = 0);

// A PCX file with run-length encoded rows (values are 8-bit indices or 0/1
// bits), optionally followed by the 256-colour palette marker and palette.
// Rows are padded to an even length, or to `lineBytes` when given.
Bytes BuildPcx(int width, int height, int bits, const Bytes& values,
               const std::vector<uint32_t>& palette = {}, int version = 5, int lineBytes = 0);

// One icon image: a DIB with its AND mask. `values` as in BuildBmp, `mask`
// one byte (0 or 1) per pixel, top-down.
Bytes BuildIconImage(int width, int height, int bits, const std::vector<uint32_t>& values,
                     const Bytes& mask, const std::vector<uint32_t>& palette = {});

struct IconFileEntry {
  int widthByte, heightByte, colorCount;
  uint16_t planes, bitCount;  // cursors: the hot spot
  Bytes image;
};
// An icon (type 1) or cursor (type 2) file with the images after the directory.
Bytes BuildIconFile(int type, const std::vector<IconFileEntry>& entries);
// An icon file with one square 24-bit image of one colour, fully opaque.
Bytes SolidIconFile(int size, uint32_t rgb);

struct PngOptions {
  int colorType = 6;  // libpng's PNG_COLOR_TYPE_*
  int bitDepth = 8;
  bool interlaced = false;
  bool background = false;
  uint32_t backgroundRgb = 0;  // 0xRRGGBB (grey images use its red byte)
};
// A PNG of pixels given as 0xAARRGGBB, reduced to the colour type asked
// for (grey types take the red byte).
Bytes EncodePng(int width, int height, const std::vector<uint32_t>& argb, const PngOptions& o);

// One PNG chunk as stored: the length field (the data's size unless
// `length` is given), the type, the data and its checksum.
Bytes PngChunk(const char* type, const Bytes& data, int64_t length = -1);
// The PNG signature and a header chunk.
Bytes PngStart(uint32_t width, uint32_t height, int bitDepth, int colorType);
// A zlib stream of `raw` at the given level (0 stores it uncompressed).
Bytes Deflate(const Bytes& raw, int level);

// A JPEG of RGB pixels (0xRRGGBB) at the given quality.
Bytes EncodeJpeg(int width, int height, const std::vector<uint32_t>& rgb, int quality,
                 bool progressive);
// A progressive JPEG made of one DC scan of all components, then for each
// component `bands` AC scans that split coefficients 1 to 63 between them.
Bytes EncodeJpegBands(int width, int height, const std::vector<uint32_t>& rgb, int bands);

}  // namespace test_pictures
