#include "tests/extunits/picture_builders.h"

#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <stdexcept>

namespace test_pictures {

void Put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
  Put16(b, v);
  Put16(b, v >> 16);
}

// ---- GIF -------------------------------------------------------------------

namespace {

class BitWriter {
 public:
  void Write(int code, int size) {
    bits_ |= static_cast<uint32_t>(code) << count_;
    count_ += size;
    while (count_ >= 8) {
      out_.push_back(static_cast<uint8_t>(bits_));
      bits_ >>= 8;
      count_ -= 8;
    }
  }
  Bytes Finish() {
    if (count_ > 0) out_.push_back(static_cast<uint8_t>(bits_));
    return out_;
  }

 private:
  Bytes out_;
  uint32_t bits_ = 0;
  int count_ = 0;
};

int TableBits(size_t entries) {
  int bits = 0;
  while ((2u << bits) < entries) ++bits;
  return bits;
}

}  // namespace

Bytes LzwEncode(const Bytes& indices, int minCodeSize) {
  const int clear = 1 << minCodeSize;
  int codeSize = minCodeSize + 1, next = clear + 2, prefix = -1;
  std::map<std::pair<int, int>, int> table;
  BitWriter out;
  out.Write(clear, codeSize);
  // The decoder adds an entry one code later than the encoder, so the code
  // size grows once `next` passes 2^size.
  auto add = [&](int p, int k) {
    if (next < 4096) {
      table[{p, k}] = next++;
      if (next > (1 << codeSize) && codeSize < 12) ++codeSize;
      return;
    }
    out.Write(clear, codeSize);
    table.clear();
    codeSize = minCodeSize + 1;
    next = clear + 2;
  };
  for (uint8_t k : indices) {
    if (prefix < 0) {
      prefix = k;
      continue;
    }
    auto found = table.find({prefix, k});
    if (found != table.end()) {
      prefix = found->second;
      continue;
    }
    out.Write(prefix, codeSize);
    add(prefix, k);
    prefix = k;
  }
  if (prefix >= 0) {
    out.Write(prefix, codeSize);
    if (next < 4096 && ++next > (1 << codeSize) && codeSize < 12) ++codeSize;
  }
  out.Write(clear + 1, codeSize);
  return out.Finish();
}

GifBuilder::GifBuilder(int width, int height, const std::vector<uint32_t>& globalTable,
                       const char* signature) {
  bytes_.assign(signature, signature + 6);
  Put16(bytes_, static_cast<uint32_t>(width));
  Put16(bytes_, static_cast<uint32_t>(height));
  bytes_.push_back(
      globalTable.empty() ? 0 : static_cast<uint8_t>(0xF0 | TableBits(globalTable.size())));
  bytes_.push_back(0);
  bytes_.push_back(0);
  Table(globalTable);
}

void GifBuilder::Table(const std::vector<uint32_t>& table) {
  for (uint32_t c : table) {
    bytes_.push_back(static_cast<uint8_t>(c >> 16));
    bytes_.push_back(static_cast<uint8_t>(c >> 8));
    bytes_.push_back(static_cast<uint8_t>(c));
  }
}

GifBuilder& GifBuilder::Control(int disposalMethod, bool transparent, int transparentIndex,
                                int delay) {
  Bytes data{static_cast<uint8_t>(disposalMethod << 2 | (transparent ? 1 : 0))};
  Put16(data, static_cast<uint32_t>(delay));
  data.push_back(static_cast<uint8_t>(transparentIndex));
  return Extension(0xF9, data);
}

GifBuilder& GifBuilder::Extension(uint8_t label, const Bytes& data) {
  bytes_.push_back(0x21);
  bytes_.push_back(label);
  for (size_t at = 0; at < data.size(); at += 255) {
    const size_t n = std::min<size_t>(255, data.size() - at);
    bytes_.push_back(static_cast<uint8_t>(n));
    bytes_.insert(bytes_.end(), data.begin() + static_cast<long>(at),
                  data.begin() + static_cast<long>(at + n));
  }
  bytes_.push_back(0);
  return *this;
}

GifBuilder& GifBuilder::Image(int left, int top, int width, int height, const Bytes& indices,
                              const std::vector<uint32_t>& localTable, bool interlaced,
                              int minCodeSize) {
  bytes_.push_back(0x2C);
  for (int v : {left, top, width, height}) Put16(bytes_, static_cast<uint32_t>(v));
  uint8_t packed = interlaced ? 0x40 : 0;
  if (!localTable.empty()) packed |= static_cast<uint8_t>(0x80 | TableBits(localTable.size()));
  bytes_.push_back(packed);
  Table(localTable);
  if (minCodeSize == 0) minCodeSize = 8;
  bytes_.push_back(static_cast<uint8_t>(minCodeSize));
  const Bytes data =
      LzwEncode(interlaced ? InterlaceRows(indices, width, height) : indices, minCodeSize);
  for (size_t at = 0; at < data.size(); at += 255) {
    const size_t n = std::min<size_t>(255, data.size() - at);
    bytes_.push_back(static_cast<uint8_t>(n));
    bytes_.insert(bytes_.end(), data.begin() + static_cast<long>(at),
                  data.begin() + static_cast<long>(at + n));
  }
  bytes_.push_back(0);
  return *this;
}

GifBuilder& GifBuilder::Raw(const Bytes& bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return *this;
}

Bytes GifBuilder::Finish() {
  bytes_.push_back(0x3B);
  return bytes_;
}

Bytes InterlaceRows(const Bytes& indices, int width, int height) {
  Bytes out;
  const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int y = start[pass]; y < height; y += step[pass]) {
      out.insert(out.end(), indices.begin() + y * width, indices.begin() + (y + 1) * width);
    }
  }
  return out;
}

// ---- BMP and icon images -------------------------------------------------------

namespace {

// Rows of a DIB (bottom-up unless topDown), each padded to 4 bytes.
Bytes DibRows(int width, int height, int bits, const std::vector<uint32_t>& values, bool topDown) {
  const size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
  Bytes out(stride * static_cast<size_t>(height), 0);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = out.data() + stride * static_cast<size_t>(topDown ? y : height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const uint32_t v = values[static_cast<size_t>(y * width + x)];
      if (bits >= 24) {
        row[x * bits / 8] = static_cast<uint8_t>(v);
        row[x * bits / 8 + 1] = static_cast<uint8_t>(v >> 8);
        row[x * bits / 8 + 2] = static_cast<uint8_t>(v >> 16);
        if (bits == 32) row[x * 4 + 3] = static_cast<uint8_t>(v >> 24);
      } else {
        const int perByte = 8 / bits;
        row[x / perByte] |= static_cast<uint8_t>(v << (8 - bits * (x % perByte + 1)));
      }
    }
  }
  return out;
}

void InfoHeader(Bytes& b, int width, int height, int bits, uint32_t colorsUsed) {
  Put32(b, 40);
  Put32(b, static_cast<uint32_t>(width));
  Put32(b, static_cast<uint32_t>(height));
  Put16(b, 1);
  Put16(b, static_cast<uint32_t>(bits));
  for (int i = 0; i < 4; ++i) Put32(b, 0);
  Put32(b, colorsUsed);
  Put32(b, 0);
}

void Palette(Bytes& b, const std::vector<uint32_t>& palette) {
  for (uint32_t c : palette) Put32(b, c & 0xFFFFFF);
}

}  // namespace

Bytes BuildBmp(int width, int height, int bits, const std::vector<uint32_t>& values,
               const std::vector<uint32_t>& palette, bool topDown, uint32_t colorsUsed) {
  const Bytes rows = DibRows(width, height, bits, values, topDown);
  Bytes b{'B', 'M'};
  const uint32_t offset = 54 + static_cast<uint32_t>(palette.size()) * 4;
  Put32(b, offset + static_cast<uint32_t>(rows.size()));
  Put32(b, 0);
  Put32(b, offset);
  InfoHeader(b, width, topDown ? -height : height, bits,
             colorsUsed ? colorsUsed : static_cast<uint32_t>(palette.size()));
  Palette(b, palette);
  b.insert(b.end(), rows.begin(), rows.end());
  return b;
}

Bytes BuildIconImage(int width, int height, int bits, const std::vector<uint32_t>& values,
                     const Bytes& mask, const std::vector<uint32_t>& palette) {
  Bytes b;
  InfoHeader(b, width, height * 2, bits, static_cast<uint32_t>(palette.size()));
  Palette(b, palette);
  const Bytes color = DibRows(width, height, bits, values, false);
  b.insert(b.end(), color.begin(), color.end());
  const Bytes andRows =
      DibRows(width, height, 1, std::vector<uint32_t>(mask.begin(), mask.end()), false);
  b.insert(b.end(), andRows.begin(), andRows.end());
  return b;
}

Bytes BuildIconFile(int type, const std::vector<IconFileEntry>& entries) {
  Bytes b;
  Put16(b, 0);
  Put16(b, static_cast<uint32_t>(type));
  Put16(b, static_cast<uint32_t>(entries.size()));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(entries.size());
  for (const IconFileEntry& e : entries) {
    b.push_back(static_cast<uint8_t>(e.widthByte));
    b.push_back(static_cast<uint8_t>(e.heightByte));
    b.push_back(static_cast<uint8_t>(e.colorCount));
    b.push_back(0);
    Put16(b, e.planes);
    Put16(b, e.bitCount);
    Put32(b, static_cast<uint32_t>(e.image.size()));
    Put32(b, offset);
    offset += static_cast<uint32_t>(e.image.size());
  }
  for (const IconFileEntry& e : entries) b.insert(b.end(), e.image.begin(), e.image.end());
  return b;
}

Bytes SolidIconFile(int size, uint32_t rgb) {
  const auto pixels = static_cast<size_t>(size) * static_cast<size_t>(size);
  return BuildIconFile(
      1, {{size, size, 16, 1, 24,
           BuildIconImage(size, size, 24, std::vector<uint32_t>(pixels, rgb), Bytes(pixels, 0))}});
}

// ---- PCX -------------------------------------------------------------------

Bytes BuildPcx(int width, int height, int bits, const Bytes& values,
               const std::vector<uint32_t>& palette, int version, int lineBytes) {
  const int bytesPerLine = lineBytes > 0 ? lineBytes : ((width * bits + 7) / 8 + 1) / 2 * 2;
  Bytes b(128, 0);
  b[0] = 0x0A;
  b[1] = static_cast<uint8_t>(version);
  b[2] = 1;
  b[3] = static_cast<uint8_t>(bits);
  b[8] = static_cast<uint8_t>(width - 1);
  b[9] = static_cast<uint8_t>((width - 1) >> 8);
  b[10] = static_cast<uint8_t>(height - 1);
  b[11] = static_cast<uint8_t>((height - 1) >> 8);
  b[65] = 1;
  b[66] = static_cast<uint8_t>(bytesPerLine);
  b[67] = static_cast<uint8_t>(bytesPerLine >> 8);
  for (int y = 0; y < height; ++y) {
    Bytes row(static_cast<size_t>(bytesPerLine), 0);
    for (int x = 0; x < width; ++x) {
      const uint8_t v = values[static_cast<size_t>(y * width + x)];
      if (bits == 8)
        row[static_cast<size_t>(x)] = v;
      else
        row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(v << (7 - x % 8));
    }
    for (size_t x = 0; x < row.size();) {  // runs of up to 63 equal bytes
      size_t run = 1;
      while (x + run < row.size() && run < 63 && row[x + run] == row[x]) ++run;
      if (run > 1 || row[x] > 192) b.push_back(static_cast<uint8_t>(192 + run));
      b.push_back(row[x]);
      x += run;
    }
  }
  if (!palette.empty()) {
    b.push_back(12);
    for (size_t i = 0; i < 256; ++i) {
      const uint32_t c = i < palette.size() ? palette[i] : 0;
      b.push_back(static_cast<uint8_t>(c >> 16));
      b.push_back(static_cast<uint8_t>(c >> 8));
      b.push_back(static_cast<uint8_t>(c));
    }
  }
  return b;
}

// ---- PNG and JPEG ------------------------------------------------------------

namespace {

void AppendToBytes(png_structp png, png_bytep data, size_t length) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}
void NoFlush(png_structp) {}

// One sample of a pixel for the given channel (0 red .. 3 alpha) at a depth.
uint16_t Sample(uint32_t argb, int channel, int depth) {
  const int shift = channel == 3 ? 24 : 16 - 8 * channel;
  const uint32_t v = (argb >> shift) & 0xFF;
  return static_cast<uint16_t>(depth == 16 ? v * 257 : v >> (8 - depth));
}

Bytes PackRow(const std::vector<uint32_t>& argb, int y, int width, const PngOptions& o,
              const std::vector<uint32_t>& palette) {
  const bool grey = o.colorType == PNG_COLOR_TYPE_GRAY || o.colorType == PNG_COLOR_TYPE_GRAY_ALPHA;
  std::vector<uint16_t> samples;
  for (int x = 0; x < width; ++x) {
    const uint32_t p = argb[static_cast<size_t>(y * width + x)];
    if (o.colorType == PNG_COLOR_TYPE_PALETTE) {
      samples.push_back(
          static_cast<uint16_t>(std::find(palette.begin(), palette.end(), p) - palette.begin()));
      continue;
    }
    for (int c = 0; c < (grey ? 1 : 3); ++c) samples.push_back(Sample(p, c, o.bitDepth));
    if (o.colorType & PNG_COLOR_MASK_ALPHA) samples.push_back(Sample(p, 3, o.bitDepth));
  }
  Bytes row((samples.size() * static_cast<size_t>(o.bitDepth) + 7) / 8, 0);
  for (size_t i = 0; i < samples.size(); ++i) {
    if (o.bitDepth == 16) {
      row[i * 2] = static_cast<uint8_t>(samples[i] >> 8);
      row[i * 2 + 1] = static_cast<uint8_t>(samples[i]);
    } else {
      const size_t bit = i * static_cast<size_t>(o.bitDepth);
      row[bit / 8] |= static_cast<uint8_t>(samples[i] << (8 - o.bitDepth - bit % 8));
    }
  }
  return row;
}

void WritePalette(png_structp png, png_infop info, const std::vector<uint32_t>& palette) {
  std::vector<png_color> colors;
  std::vector<png_byte> alpha;
  for (uint32_t c : palette) {
    colors.push_back(
        {static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8), static_cast<png_byte>(c)});
    alpha.push_back(static_cast<png_byte>(c >> 24));
  }
  png_set_PLTE(png, info, colors.data(), static_cast<int>(colors.size()));
  if (std::any_of(alpha.begin(), alpha.end(), [](png_byte a) { return a != 255; })) {
    png_set_tRNS(png, info, alpha.data(), static_cast<int>(alpha.size()), nullptr);
  }
}

}  // namespace

Bytes EncodePng(int width, int height, const std::vector<uint32_t>& argb, const PngOptions& o) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, AppendToBytes, NoFlush);
  png_set_IHDR(png, info, static_cast<uint32_t>(width), static_cast<uint32_t>(height), o.bitDepth,
               o.colorType, o.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<uint32_t> palette;
  if (o.colorType == PNG_COLOR_TYPE_PALETTE) {
    for (uint32_t p : argb) {
      if (std::find(palette.begin(), palette.end(), p) == palette.end()) palette.push_back(p);
    }
    if (palette.size() > (1u << o.bitDepth)) throw std::runtime_error("too many colours");
    WritePalette(png, info, palette);
  }
  if (o.background) {
    png_color_16 bg{};
    const uint32_t c = o.backgroundRgb;
    const int d = o.bitDepth;
    bg.red = Sample(c, 0, d), bg.green = Sample(c, 1, d), bg.blue = Sample(c, 2, d);
    bg.gray = Sample(c, 0, d);
    if (o.colorType == PNG_COLOR_TYPE_PALETTE) {
      bg.index = static_cast<png_byte>(std::find(palette.begin(), palette.end(), c | 0xFF000000u) -
                                       palette.begin());
    }
    png_set_bKGD(png, info, &bg);
  }
  png_write_info(png, info);
  const int passes = png_set_interlace_handling(png);
  for (int pass = 0; pass < passes; ++pass) {
    for (int y = 0; y < height; ++y) png_write_row(png, PackRow(argb, y, width, o, palette).data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

Bytes PngChunk(const char* type, const Bytes& data, int64_t length) {
  Bytes out;
  const auto stored =
      static_cast<uint32_t>(length < 0 ? static_cast<int64_t>(data.size()) : length);
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(stored >> shift));
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  const uLong crc = crc32(0, out.data() + 4, static_cast<uInt>(out.size() - 4));
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(crc >> shift));
  return out;
}

Bytes PngStart(uint32_t width, uint32_t height, int bitDepth, int colorType) {
  Bytes out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  Bytes header;
  for (uint32_t v : {width, height}) {
    for (int shift = 24; shift >= 0; shift -= 8) header.push_back(static_cast<uint8_t>(v >> shift));
  }
  header.insert(header.end(),
                {static_cast<uint8_t>(bitDepth), static_cast<uint8_t>(colorType), 0, 0, 0});
  const Bytes chunk = PngChunk("IHDR", header);
  out.insert(out.end(), chunk.begin(), chunk.end());
  return out;
}

Bytes Deflate(const Bytes& raw, int level) {
  Bytes out(compressBound(static_cast<uLong>(raw.size())));
  uLongf size = static_cast<uLongf>(out.size());
  if (compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), level) != Z_OK)
    throw std::runtime_error("compress2 failed");
  out.resize(size);
  return out;
}

namespace {

// Compresses RGB pixels (0xRRGGBB) with `configure` applied after the defaults.
template <typename Configure>
Bytes CompressJpeg(int width, int height, const std::vector<uint32_t>& rgb, Configure configure) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  configure(info);
  jpeg_start_compress(&info, TRUE);
  Bytes row(static_cast<size_t>(width) * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t p = rgb[static_cast<size_t>(y * width + x)];
      row[static_cast<size_t>(x) * 3] = static_cast<uint8_t>(p >> 16);
      row[static_cast<size_t>(x) * 3 + 1] = static_cast<uint8_t>(p >> 8);
      row[static_cast<size_t>(x) * 3 + 2] = static_cast<uint8_t>(p);
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

}  // namespace

Bytes EncodeJpeg(int width, int height, const std::vector<uint32_t>& rgb, int quality,
                 bool progressive) {
  return CompressJpeg(width, height, rgb, [&](jpeg_compress_struct& info) {
    jpeg_set_quality(&info, quality, TRUE);
    if (progressive) jpeg_simple_progression(&info);
  });
}

Bytes EncodeJpegBands(int width, int height, const std::vector<uint32_t>& rgb, int bands) {
  std::vector<jpeg_scan_info> scans(1);
  scans[0].comps_in_scan = 3;
  for (int c = 0; c < 3; ++c) scans[0].component_index[c] = c;
  for (int c = 0; c < 3; ++c) {
    for (int b = 0; b < bands; ++b) {
      jpeg_scan_info scan{};
      scan.comps_in_scan = 1;
      scan.component_index[0] = c;
      scan.Ss = 1 + b * 63 / bands;
      scan.Se = (b + 1) * 63 / bands;
      scans.push_back(scan);
    }
  }
  return CompressJpeg(width, height, rgb, [&](jpeg_compress_struct& info) {
    info.scan_info = scans.data();
    info.num_scans = static_cast<int>(scans.size());
  });
}

}  // namespace test_pictures
