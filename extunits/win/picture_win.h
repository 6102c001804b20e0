#pragma once
// The runtime's pictures on Windows: DecodedPicture (a decoded still picture
// or an icon), bitmap views made from it for drawing, drawing with a raster
// operation or a transparent colour, and the picture service (runtime
// service 1003: picture bytes to a bitmap).

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "extunits/picture/picture.h"
#include "runtime/win/handles.h"

namespace ext {

// One still picture of a recognised kind. Kinds 3 and 4 hold an icon (made
// from the chosen image, destroyed with the picture); the others their
// pixel data as the decoders laid it out (see PictureData).
class DecodedPicture {
 public:
  // A new picture, or null when the bytes are not a picture this layer takes.
  static std::unique_ptr<DecodedPicture> FromMemory(const uint8_t* bytes, size_t length);
  // Reads the whole file (others may read it meanwhile, not write).
  static std::unique_ptr<DecodedPicture> FromFile(const char* fileName);

  PictureKind Kind() const { return data_.kind; }
  int32_t Width() const { return data_.width; }
  int32_t Height() const { return data_.height; }
  HICON Icon() const { return icon_.get(); }
  const PictureData& Data() const { return data_; }

 private:
  DecodedPicture() = default;
  bool MakeIcon();

  PictureData data_;
  rt::IconHandle icon_;
};

// A picture prepared for drawing into one DC. The icon is the picture's
// (borrowed: the view must not outlive it); the bitmap is the view's own.
struct BitmapView {
  HDC dc = nullptr;
  PictureKind kind = PictureKind::kNone;
  int32_t width = 0, height = 0;
  HICON icon = nullptr;
  rt::GdiBitmap bitmap;
};

// Makes the view for drawing `picture` into `dc`; false when that fails.
bool MakeBitmapView(HDC dc, const DecodedPicture& picture, BitmapView& view);

// Draws a view into its DC at (x, y) with the given size (-1: the picture's
// own). A non-negative mode is a raster operation; a negative mode -c draws
// with colour c transparent. The DC's stretch mode is set first: HALFTONE
// when the display has more than 16 bits per pixel, else COLORONCOLOR.
void DrawView(const BitmapView& view, int32_t x, int32_t y, int32_t width, int32_t height,
              int32_t mode);
// The same with colour c (a COLORREF, black included) transparent.
void DrawViewTransparent(const BitmapView& view, int32_t x, int32_t y, int32_t width,
                         int32_t height, COLORREF color);

// The stretch mode pictures are drawn with: HALFTONE (brush origin reset)
// when the display has more than 16 bits per pixel, else COLORONCOLOR.
void SetPictureStretchMode(HDC dc);

// Makes a view, draws it with SRCCOPY and frees the view.
void DrawPicture(const DecodedPicture& picture, HDC dc, int32_t x, int32_t y, int32_t width,
                 int32_t height);

// Picture bytes to a new bitmap owned by the caller, or null. Icons and
// cursors are drawn on a white bitmap of their size.
HBITMAP PictureBytesToBitmap(const uint8_t* bytes, size_t length);

// Registers PictureBytesToBitmap as runtime service 1003 (arg1: bytes,
// arg2: length; the result is the bitmap handle).
void InstallPictureService();

}  // namespace ext
