#pragma once
// Picture bytes to a bitmap for units: the picture service (1003) belongs to
// the picture layer above, which installs it, so units never call up into it.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "runtime/service.h"
#include "runtime/win/handles.h"

namespace units {

// The bitmap of picture bytes (an icon drawn on white), or an empty owner
// when the bytes are no picture or no service is installed.
inline rt::GdiBitmap BitmapFromPicture(const uint8_t* bytes, size_t length) {
  return rt::GdiBitmap(reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(
      rt::Service(rt::svc::kPictureToBitmap, reinterpret_cast<uintptr_t>(bytes), length))));
}

inline rt::GdiBitmap BitmapFromPicture(const std::vector<uint8_t>& bytes) {
  return bytes.empty() ? rt::GdiBitmap() : BitmapFromPicture(bytes.data(), bytes.size());
}

}  // namespace units
