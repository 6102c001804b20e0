#include "runtime/win/icons.h"

#include "runtime/bytes.h"
#include "runtime/icon_file.h"

namespace rt {

namespace {

constexpr DWORD kIconFormatVersion = 0x30000;

// A 6-byte header: reserved 0, type 1 (icon) or 2 (cursor), a count above 0.
bool IsIconFile(const uint8_t* bytes, size_t length) {
  ByteReader r(bytes, length);
  const uint16_t reserved = r.U16(), type = r.U16(), count = r.U16();
  return r.Ok() && reserved == 0 && (type == 1 || type == 2) && count > 0;
}

}  // namespace

HICON IconFromResource(const uint8_t* resource, size_t size, bool isIcon, int32_t width,
                       int32_t height, uint16_t bits) {
  // The platform takes the bytes as writable but does not write them.
  auto* bytes = const_cast<BYTE*>(resource);
  const auto length = static_cast<DWORD>(size);
  HICON icon = CreateIconFromResourceEx(bytes, length, isIcon, kIconFormatVersion, width, height,
                                        LR_DEFAULTCOLOR);
  if (icon == nullptr && bits != 16) {
    icon = CreateIconFromResource(bytes, length, isIcon, kIconFormatVersion);
  }
  return icon;
}

// The image's bits are checked against the data first, so the window system
// is never handed an image shorter than its header claims.
IconHandle IconFromFile(const uint8_t* bytes, size_t length, uint8_t width) {
  IconEntry entry;
  IconImageHeader header;
  if (!IsIconFile(bytes, length) || !ChooseIconEntry(bytes, length, width, entry)) return {};
  const uint8_t* image = bytes + entry.offset;
  if (!ReadIconImageHeader(image, entry.size, header)) return {};
  if (!header.png && DibIconBytes(header) > entry.size) return {};
  return IconHandle(
      IconFromResource(image, entry.size, true, header.width, header.height, header.bits));
}

HCURSOR ArrowCursor() {
  static const HCURSOR arrow = ::LoadCursorA(nullptr, IDC_ARROW);
  return arrow;
}

}  // namespace rt
