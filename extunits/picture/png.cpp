// PNG through libpng. libpng reports errors by longjmp, so the two calls
// into it that can fail (reading the header, reading the rows) each sit in a
// function of their own that sets the jump target and holds no C++ object
// needing destruction; buffers are made by the caller between the two.

#include "extunits/picture/png.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <utility>

#include "extunits/picture/kind.h"

namespace ext {

namespace {

struct PngSource {
  const uint8_t* bytes;
  size_t length;
  size_t position;
};

void ReadFromMemory(png_structp png, png_bytep out, size_t count) {
  auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
  if (count > source->length - source->position) png_error(png, "data ends early");
  std::memcpy(out, source->bytes + source->position, count);
  source->position += count;
}

[[noreturn]] void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

// Owns libpng's read and info structures.
class PngReader {
 public:
  PngReader() {
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (png_) info_ = png_create_info_struct(png_);
  }
  ~PngReader() { png_destroy_read_struct(&png_, info_ ? &info_ : nullptr, nullptr); }
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;
  png_structp png() const { return png_; }
  png_infop info() const { return info_; }

 private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

// Asks libpng for 8-bit blue-green-red-alpha rows whatever the file holds.
void SetTransforms(png_structp png, png_infop info, PngBackground background) {
  png_color_16p color = nullptr;
  if (background == PngBackground::kApply && png_get_bKGD(png, info, &color)) {
    // A plain blend in the file's own sample values: with file and screen
    // gamma both 1 libpng applies no gamma correction, whatever gAMA says.
    png_set_gamma(png, 1.0, 1.0);
    png_set_background(png, color, PNG_BACKGROUND_GAMMA_FILE, 1, 1.0);
  }
  png_set_expand(png);    // palettes, grey below 8 bits, tRNS as alpha
  png_set_strip_16(png);  // the high byte, as libpng 1.2 reduced 16-bit samples
  png_set_gray_to_rgb(png);
  png_set_bgr(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
}

// Reads the header and sets the transforms; false on a libpng error or a
// size over the limits.
bool ReadHeader(png_structp png, png_infop info, PngBackground background, uint32_t* width,
                uint32_t* height) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_user_limits(png, kMaxSide, kMaxSide);
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
  // Fuzzed inputs rarely carry valid checksums; checking them would stop
  // the fuzzer at the first chunk.
  png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
  png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
  png_read_info(png, info);
  *width = png_get_image_width(png, info);
  *height = png_get_image_height(png, info);
  if (!SizeAllowed(*width, *height)) return false;
  SetTransforms(png, info, background);
  png_read_update_info(png, info);
  return png_get_rowbytes(png, info) == size_t{*width} * 4;
}

bool ReadRows(png_structp png, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  return true;
}

}  // namespace

bool DecodePngPixels(const uint8_t* bytes, size_t length, PngBackground background, int32_t& width,
                     int32_t& height, std::vector<uint32_t>& pixels) {
  width = height = 0;
  pixels.clear();
  if (!HasPngSignature(bytes, length)) return false;
  PngReader reader;
  if (reader.info() == nullptr) return false;
  PngSource source{bytes, length, 0};
  png_set_read_fn(reader.png(), &source, ReadFromMemory);
  uint32_t w = 0, h = 0;
  if (!ReadHeader(reader.png(), reader.info(), background, &w, &h)) return false;
  std::vector<uint32_t> decoded(size_t{w} * h);
  std::vector<png_bytep> rows(h);
  for (uint32_t y = 0; y < h; ++y) rows[y] = reinterpret_cast<png_bytep>(&decoded[size_t{y} * w]);
  if (!ReadRows(reader.png(), rows.data())) return false;
  for (uint32_t& p : decoded) {
    const uint8_t* b = reinterpret_cast<const uint8_t*>(&p);
    p = b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(255 - b[3]) << 24;
  }
  width = static_cast<int32_t>(w);
  height = static_cast<int32_t>(h);
  pixels = std::move(decoded);
  return true;
}

}  // namespace ext
