#include "tools/picinfo/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>

namespace picinfo {

namespace {

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};

// libpng leaves by longjmp on errors; this function holds no C++ object
// that needs destruction.
bool WriteRows(png_structp png, png_infop info, FILE* file, int32_t width, int32_t height,
               png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, info);
  return true;
}

}  // namespace

bool WritePng(const std::string& path, int32_t width, int32_t height,
              const std::vector<uint32_t>& pixels) {
  std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  std::vector<uint8_t> rgba(pixels.size() * 4);
  for (size_t i = 0; i < pixels.size(); ++i) {
    const uint32_t p = pixels[i];
    rgba[i * 4] = static_cast<uint8_t>(p >> 16);
    rgba[i * 4 + 1] = static_cast<uint8_t>(p >> 8);
    rgba[i * 4 + 2] = static_cast<uint8_t>(p);
    rgba[i * 4 + 3] = static_cast<uint8_t>(255 - (p >> 24));
  }
  std::vector<png_bytep> rows(static_cast<size_t>(height));
  for (int32_t y = 0; y < height; ++y)
    rows[static_cast<size_t>(y)] = &rgba[static_cast<size_t>(y) * width * 4];
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  const bool ok = info && WriteRows(png, info, file.get(), width, height, rows.data());
  png_destroy_write_struct(&png, &info);
  return ok;
}

}  // namespace picinfo
