#include "extunits/win/picture_win.h"

#include <cstring>

#include "extunits/picture/kind.h"
#include "runtime/service.h"
#include "runtime/win/icons.h"

namespace ext {

// ---- DecodedPicture --------------------------------------------------------------

namespace {

bool IsIconKind(PictureKind kind) {
  return kind == PictureKind::kIcon || kind == PictureKind::kCursor;
}

}  // namespace

std::unique_ptr<DecodedPicture> DecodedPicture::FromMemory(const uint8_t* bytes, size_t length) {
  std::unique_ptr<DecodedPicture> picture(new DecodedPicture);
  if (!DecodePicture(bytes, length, picture->data_)) return nullptr;
  if (IsIconKind(picture->Kind()) && !picture->MakeIcon()) return nullptr;
  return picture;
}

std::unique_ptr<DecodedPicture> DecodedPicture::FromFile(const char* fileName) {
  rt::FileHandle file(CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size;
  if (!file || !GetFileSizeEx(file.get(), &size) ||
      size.QuadPart > static_cast<LONGLONG>(kMaxFileBytes))
    return nullptr;
  std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
      read != bytes.size())
    return nullptr;
  return FromMemory(bytes.data(), bytes.size());
}

// Makes the icon (or cursor) from the chosen image. A cursor's resource
// starts with its hot spot, which the file keeps in the directory entry.
bool DecodedPicture::MakeIcon() {
  const bool isIcon = data_.kind == PictureKind::kIcon;
  std::vector<uint8_t> resource;
  if (!isIcon) {
    const uint16_t hotspot[2] = {data_.hotspotX, data_.hotspotY};
    resource.resize(sizeof hotspot);
    std::memcpy(resource.data(), hotspot, sizeof hotspot);
  }
  resource.insert(resource.end(), data_.data.begin(), data_.data.end());
  HICON icon = rt::IconFromResource(resource.data(), resource.size(), isIcon, data_.width,
                                    data_.height, data_.iconBits);
  icon_.Reset(icon);
  data_.data.clear();  // the icon holds the picture now
  data_.data.shrink_to_fit();
  return icon != nullptr;
}

// ---- Bitmap views ----------------------------------------------------------------

namespace {

const BITMAPINFO* DibInfo(const PictureData& data) {
  return reinterpret_cast<const BITMAPINFO*>(data.data.data());
}
const void* DibBits(const PictureData& data) { return data.data.data() + kDibInfoSize; }

// Kinds 1 and 2: 24-bit rows padded to 4 bytes, bottom-up.
HBITMAP Make24BitBitmap(HDC dc, const PictureData& data) {
  const size_t rowBytes = static_cast<size_t>(data.width) * 3;
  const size_t stride = DibStride(data.width, 24);
  std::vector<uint8_t> padded(stride * static_cast<size_t>(data.height));
  for (int32_t y = 0; y < data.height; ++y) {
    std::memcpy(&padded[static_cast<size_t>(y) * stride],
                &data.data[static_cast<size_t>(y) * rowBytes], rowBytes);
  }
  BITMAPINFO info{};
  WriteDibHeader(reinterpret_cast<uint8_t*>(&info.bmiHeader), data.width, data.height, 24, 0);
  return CreateDIBitmap(dc, &info.bmiHeader, CBM_INIT, padded.data(), &info, DIB_RGB_COLORS);
}

// Kind 5: the logical screen, black, with the first image at its place.
HBITMAP MakeGifBitmap(HDC dc, const PictureData& data) {
  rt::GdiBitmap bitmap(CreateCompatibleBitmap(dc, data.width, data.height));
  rt::MemoryDc memory(CreateCompatibleDC(dc));
  if (!bitmap || !memory) return nullptr;
  {
    rt::SelectGuard select(memory.get(), bitmap.get());
    PatBlt(memory.get(), 0, 0, data.width, data.height, BLACKNESS);
    const BITMAPINFOHEADER& header = DibInfo(data)->bmiHeader;
    const LONG width = header.biWidth, height = -header.biHeight;
    StretchDIBits(memory.get(), data.imageLeft, data.imageTop, width, height, 0, 0, width, height,
                  DibBits(data), DibInfo(data), DIB_RGB_COLORS, SRCCOPY);
  }
  return bitmap.Release();
}

HBITMAP MakeBitmap(HDC dc, const PictureData& data) {
  switch (data.kind) {
    case PictureKind::kJpeg:
    case PictureKind::kBmp: return Make24BitBitmap(dc, data);
    case PictureKind::kGif: return MakeGifBitmap(dc, data);
    case PictureKind::kPcx8:
      return CreateDIBitmap(dc, &DibInfo(data)->bmiHeader, CBM_INIT, DibBits(data), DibInfo(data),
                            DIB_RGB_COLORS);
    case PictureKind::kPcx1: return CreateBitmap(data.width, data.height, 1, 1, data.data.data());
    default: return nullptr;
  }
}

}  // namespace

bool MakeBitmapView(HDC dc, const DecodedPicture& picture, BitmapView& view) {
  view = BitmapView{};
  view.dc = dc;
  view.kind = picture.Kind();
  view.width = picture.Width();
  view.height = picture.Height();
  if (IsIconKind(picture.Kind())) {
    view.icon = picture.Icon();
    return view.icon != nullptr;
  }
  view.bitmap.Reset(MakeBitmap(dc, picture.Data()));
  return static_cast<bool>(view.bitmap);
}

// ---- Drawing -----------------------------------------------------------------------

void SetPictureStretchMode(HDC dc) {
  rt::ScreenDc screen;
  const bool deep = GetDeviceCaps(screen.get(), BITSPIXEL) > 16;
  SetStretchBltMode(dc, deep ? HALFTONE : COLORONCOLOR);
  if (deep) SetBrushOrgEx(dc, 0, 0, nullptr);  // HALFTONE needs the brush origin reset
}

namespace {

void StretchFrom(const BitmapView& view, HDC source, int32_t x, int32_t y, int32_t width,
                 int32_t height, DWORD operation) {
  StretchBlt(view.dc, x, y, width, height, source, 0, 0, view.width, view.height, operation);
}

// Three passes: picture XOR, mask AND (the transparent pixels' mask is
// white and keeps the XOR, the rest black and clears it), picture XOR
// again, which restores the target under the transparent pixels.
void DrawMasked(const BitmapView& view, HDC pictureDc, int32_t x, int32_t y, int32_t width,
                int32_t height, COLORREF color) {
  rt::GdiBitmap mask(CreateBitmap(view.width, view.height, 1, 1, nullptr));
  rt::MemoryDc maskDc(CreateCompatibleDC(view.dc));
  if (!mask || !maskDc) return;
  rt::SelectGuard selectMask(maskDc.get(), mask.get());
  const COLORREF oldPictureBack = SetBkColor(pictureDc, color);
  BitBlt(maskDc.get(), 0, 0, view.width, view.height, pictureDc, 0, 0, SRCCOPY);
  SetBkColor(pictureDc, oldPictureBack);
  const COLORREF oldText = SetTextColor(view.dc, RGB(0, 0, 0));
  const COLORREF oldBack = SetBkColor(view.dc, RGB(255, 255, 255));
  StretchFrom(view, pictureDc, x, y, width, height, SRCINVERT);
  StretchFrom(view, maskDc.get(), x, y, width, height, SRCAND);
  StretchFrom(view, pictureDc, x, y, width, height, SRCINVERT);
  SetTextColor(view.dc, oldText);
  SetBkColor(view.dc, oldBack);
}

void Draw(const BitmapView& view, int32_t x, int32_t y, int32_t width, int32_t height,
          bool transparent, DWORD operation, COLORREF color) {
  if (width == -1) width = view.width;
  if (height == -1) height = view.height;
  SetPictureStretchMode(view.dc);
  if (view.icon) {
    DrawIconEx(view.dc, x, y, view.icon, width, height, 0, nullptr, DI_NORMAL);
    return;
  }
  rt::MemoryDc pictureDc(CreateCompatibleDC(view.dc));
  if (!pictureDc || !view.bitmap) return;
  rt::SelectGuard select(pictureDc.get(), view.bitmap.get());
  if (transparent) {
    DrawMasked(view, pictureDc.get(), x, y, width, height, color);
  } else {
    StretchFrom(view, pictureDc.get(), x, y, width, height, operation);
  }
}

}  // namespace

void DrawView(const BitmapView& view, int32_t x, int32_t y, int32_t width, int32_t height,
              int32_t mode) {
  if (mode >= 0) {
    Draw(view, x, y, width, height, false, static_cast<DWORD>(mode), 0);
  } else {
    const auto color = static_cast<COLORREF>(-static_cast<int64_t>(mode)) & 0xFFFFFF;
    Draw(view, x, y, width, height, true, 0, color);
  }
}

void DrawViewTransparent(const BitmapView& view, int32_t x, int32_t y, int32_t width,
                         int32_t height, COLORREF color) {
  Draw(view, x, y, width, height, true, 0, color & 0xFFFFFF);
}

void DrawPicture(const DecodedPicture& picture, HDC dc, int32_t x, int32_t y, int32_t width,
                 int32_t height) {
  BitmapView view;
  if (MakeBitmapView(dc, picture, view)) DrawView(view, x, y, width, height, SRCCOPY);
}

// ---- Picture service -------------------------------------------------------------

namespace {

HBITMAP IconOnWhite(HDC screen, const BitmapView& view) {
  rt::GdiBitmap bitmap(CreateCompatibleBitmap(screen, view.width, view.height));
  rt::MemoryDc memory(CreateCompatibleDC(screen));
  if (!bitmap || !memory) return nullptr;
  {
    rt::SelectGuard select(memory.get(), bitmap.get());
    PatBlt(memory.get(), 0, 0, view.width, view.height, WHITENESS);
    DrawIconEx(memory.get(), 0, 0, view.icon, view.width, view.height, 0, nullptr, DI_NORMAL);
  }
  return bitmap.Release();
}

uint64_t PictureService(uintptr_t bytes, uintptr_t length) {
  const HBITMAP bitmap = PictureBytesToBitmap(reinterpret_cast<const uint8_t*>(bytes), length);
  return reinterpret_cast<uintptr_t>(bitmap);
}

}  // namespace

HBITMAP PictureBytesToBitmap(const uint8_t* bytes, size_t length) {
  const std::unique_ptr<DecodedPicture> picture = DecodedPicture::FromMemory(bytes, length);
  rt::ScreenDc screen;
  BitmapView view;
  if (!picture || !MakeBitmapView(screen.get(), *picture, view)) return nullptr;
  if (view.icon) return IconOnWhite(screen.get(), view);
  return view.bitmap.Release();
}

void InstallPictureService() { rt::SetServiceHandler(rt::svc::kPictureToBitmap, PictureService); }

}  // namespace ext
