// JPEG through libjpeg, into 24-bit blue-green-red rows bottom-up. libjpeg
// reports errors by calling error_exit, which here jumps back into the
// function that called it; those functions hold no C++ object needing
// destruction. Data that ends before the image does (which libjpeg only
// warns about and fills with grey) counts as an error too, so no partial
// picture is kept.
//
// A small hostile file must not cost gigabytes or minutes: the size limits
// apply before libjpeg allocates its buffers, libjpeg's own memory is capped
// (kMaxJpegMemory: a progressive file at the pixel limit needs about 96 MiB
// of coefficients), and a file may hold at most kMaxJpegScans scans, since
// every scan walks the whole image again. Real encoders write at most a few
// dozen.

#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

#include <csetjmp>
#include <cstring>
#include <utility>
#include <vector>

#include "extunits/picture/decoders.h"

namespace ext {

namespace {

constexpr long kMaxJpegMemory = 128L << 20;
constexpr int kMaxJpegScans = 100;

struct JpegErrors {
  jpeg_error_mgr manager;  // first, so libjpeg's pointer to it is ours too
  jmp_buf jump;
};

[[noreturn]] void OnError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

void OnMessage(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) OnError(info);
}

// Called as libjpeg reads the data; ends the load past the scan limit.
void OnProgress(j_common_ptr info) {
  if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxJpegScans) OnError(info);
}

// Owns the decompressor.
class JpegDecompressor {
 public:
  JpegDecompressor() {
    info_.err = jpeg_std_error(&errors_.manager);
    errors_.manager.error_exit = OnError;
    errors_.manager.emit_message = OnMessage;
    progress_.progress_monitor = OnProgress;
  }
  ~JpegDecompressor() {
    if (created_) jpeg_destroy_decompress(&info_);
  }
  JpegDecompressor(const JpegDecompressor&) = delete;
  JpegDecompressor& operator=(const JpegDecompressor&) = delete;
  jpeg_decompress_struct* info() { return &info_; }
  JpegErrors* errors() { return &errors_; }
  jpeg_progress_mgr* progress() { return &progress_; }
  void MarkCreated() { created_ = true; }

 private:
  jpeg_decompress_struct info_{};
  JpegErrors errors_{};
  jpeg_progress_mgr progress_{};
  bool created_ = false;
};

// Reads the header and starts decompressing into RGB; false on an error or
// a size over the limits.
bool Start(jpeg_decompress_struct* info, JpegErrors* errors, const uint8_t* bytes, size_t length) {
  if (setjmp(errors->jump)) return false;
  jpeg_mem_src(info, bytes, static_cast<unsigned long>(length));
  jpeg_read_header(info, TRUE);
  if (!SizeAllowed(info->image_width, info->image_height)) return false;
  info->out_color_space = JCS_RGB;
  jpeg_start_decompress(info);
  return info->output_components == 3 && info->output_width == info->image_width &&
         info->output_height == info->image_height;
}

// Decodes every row into `out` (bottom-up BGR), through `row` (one RGB row).
bool ReadRows(jpeg_decompress_struct* info, JpegErrors* errors, uint8_t* row, uint8_t* out) {
  if (setjmp(errors->jump)) return false;
  const size_t stride = size_t{info->output_width} * 3;
  JSAMPROW rows[1] = {row};
  while (info->output_scanline < info->output_height) {
    const size_t y = info->output_scanline;
    if (jpeg_read_scanlines(info, rows, 1) != 1) return false;
    uint8_t* target = out + (info->output_height - 1 - y) * stride;
    for (size_t x = 0; x < stride; x += 3) {
      target[x] = row[x + 2];
      target[x + 1] = row[x + 1];
      target[x + 2] = row[x];
    }
  }
  jpeg_finish_decompress(info);
  return true;
}

// Creates the decompressor (which clears it) and sets the limits.
bool Create(jpeg_decompress_struct* info, JpegErrors* errors, jpeg_progress_mgr* progress) {
  if (setjmp(errors->jump)) return false;
  jpeg_create_decompress(info);
  info->mem->max_memory_to_use = kMaxJpegMemory;
  info->progress = progress;
  return true;
}

}  // namespace

bool DecodeJpeg(const uint8_t* bytes, size_t length, PictureData& out) {
  out = PictureData{};
  if (bytes == nullptr || length < 2 || length > kMaxFileBytes) return false;
  JpegDecompressor decompressor;
  if (!Create(decompressor.info(), decompressor.errors(), decompressor.progress())) return false;
  decompressor.MarkCreated();
  if (!Start(decompressor.info(), decompressor.errors(), bytes, length)) return false;
  const jpeg_decompress_struct& info = *decompressor.info();
  std::vector<uint8_t> row(size_t{info.output_width} * 3);
  std::vector<uint8_t> pixels(row.size() * info.output_height);
  if (!ReadRows(decompressor.info(), decompressor.errors(), row.data(), pixels.data()))
    return false;
  out.kind = PictureKind::kJpeg;
  out.width = static_cast<int32_t>(info.output_width);
  out.height = static_cast<int32_t>(info.output_height);
  out.data = std::move(pixels);
  return true;
}

}  // namespace ext
