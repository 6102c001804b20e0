// PNG through libpng. libpng reports errors by longjmp, so the two calls
// into it that can fail (reading the header, reading the rows) each sit in a
// function of their own that sets the jump target and holds no C++ object
// needing destruction; buffers are made by the caller between the two.
//
// Before libpng sees the data, the chunks it will read are walked by their
// stored lengths: a chunk that claims more bytes than are left refuses the
// file before anything is allocated for it, and so does a header whose size
// the image data could not fill. libpng itself is told to skip the chunks
// this loader never uses (text, colour profiles, metadata) instead of
// reading them into memory, and its allocation per chunk is capped.

#include "extunits/picture/png.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <utility>

#include "extunits/picture/kind.h"
#include "runtime/bytes.h"

namespace ext {

namespace {

// ---- Chunk walk ------------------------------------------------------------

constexpr uint32_t kChunkHeader = 0x49484452;  // "IHDR"
constexpr uint32_t kChunkData = 0x49444154;    // "IDAT"
constexpr uint32_t kChunkEnd = 0x49454E44;     // "IEND"
constexpr size_t kSignatureSize = 8;
constexpr uint32_t kHeaderDataSize = 13;
// Deflate cannot expand data more than 1032 times (a 258-byte match coded
// in two bits); zlib's stream header and checksum add a few bytes more.
constexpr uint64_t kMaxInflateRatio = 1032;
constexpr uint64_t kZlibOverhead = 6;

// What the walk learns: the header's size and sample layout, and how many
// bytes of image data the file holds.
struct PngLayout {
  uint32_t width = 0, height = 0;
  uint32_t bitsPerPixel = 0;
  uint64_t imageDataBytes = 0;
};

uint32_t BitsPerPixel(uint8_t bitDepth, uint8_t colorType) {
  switch (colorType) {
    case 2: return bitDepth * 3u;  // RGB
    case 4: return bitDepth * 2u;  // grey and alpha
    case 6: return bitDepth * 4u;  // RGBA
    default: return bitDepth;      // grey, palette (other types: libpng refuses them)
  }
}

void ReadLayout(const uint8_t* data, PngLayout& layout) {
  rt::ByteReader r(data, kHeaderDataSize);
  layout.width = r.U32Be();
  layout.height = r.U32Be();
  const uint8_t bitDepth = r.U8();
  layout.bitsPerPixel = BitsPerPixel(bitDepth, r.U8());
}

// Walks the chunks from the header to the end of the image data (libpng
// reads nothing after it here). False when a chunk, its checksum included,
// runs past the data, when the first chunk is not the header or when no
// image data comes before the end chunk.
bool WalkChunks(const uint8_t* bytes, size_t length, PngLayout& layout) {
  rt::ByteReader r(bytes, length);
  r.Skip(kSignatureSize);
  for (bool first = true;; first = false) {
    const bool inImageData = layout.imageDataBytes > 0;
    if (inImageData && r.Remaining() < 8) break;
    const uint32_t size = r.U32Be(), type = r.U32Be();
    if (!r.Ok() || first != (type == kChunkHeader)) return false;
    if ((inImageData && type != kChunkData) || type == kChunkEnd) break;
    const uint8_t* data = r.Take(size);
    if (data == nullptr || !r.Skip(4)) return false;
    if (first && size != kHeaderDataSize) return false;
    if (first) ReadLayout(data, layout);
    if (type == kChunkData) layout.imageDataBytes += size;
  }
  return layout.imageDataBytes > 0;
}

// True when the image data could hold the pixels the header claims.
bool DataCanFill(const PngLayout& layout) {
  const uint64_t pixelBits = uint64_t{layout.width} * layout.height * layout.bitsPerPixel;
  return pixelBits / 8 <= (layout.imageDataBytes + kZlibOverhead) * kMaxInflateRatio;
}

// ---- libpng ----------------------------------------------------------------

// Chunks libpng would otherwise read into memory that this loader has no
// use for; listed as libpng wants them, five bytes a name.
constexpr png_byte kSkippedChunks[] =
    "iCCP\0iTXt\0tEXt\0zTXt\0sPLT\0eXIf\0pCAL\0sCAL\0hIST\0tIME\0";
constexpr int kSkippedChunkCount = (sizeof kSkippedChunks) / 5;
// No chunk libpng still reads needs more; the image data is read in pieces.
constexpr png_alloc_size_t kMaxChunkBytes = 64 * 1024;
constexpr png_uint_32 kMaxCachedChunks = 16;

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
  png_set_chunk_malloc_max(png, kMaxChunkBytes);
  png_set_chunk_cache_max(png, kMaxCachedChunks);
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kSkippedChunks, kSkippedChunkCount);
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
  PngLayout layout;
  if (!HasPngSignature(bytes, length) || !WalkChunks(bytes, length, layout) ||
      !SizeAllowed(layout.width, layout.height) || !DataCanFill(layout))
    return false;
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
