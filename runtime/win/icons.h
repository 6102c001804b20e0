#pragma once
// Making icons of icon file data, for the layers that show icons: the
// window unit's window icons, the tray icon and the picture loader; and the
// arrow cursor that window classes are registered with.

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "runtime/win/handles.h"

namespace rt {

// An icon or cursor of one image's resource bytes (a cursor's begin with its
// hot spot): CreateIconFromResourceEx in the image's own size, retried with
// CreateIconFromResource unless the image has 16 bits per pixel. Null when
// neither makes one.
HICON IconFromResource(const uint8_t* resource, size_t size, bool isIcon, int32_t width,
                       int32_t height, uint16_t bits);

// An icon of the image of icon or cursor file data that ChooseIconEntry
// picks for `width` (16 or 32). Empty for anything that is not such data,
// or an image whose bits the data does not hold whole.
IconHandle IconFromFile(const uint8_t* bytes, size_t length, uint8_t width);

// The system's arrow cursor. It is shared, the same handle at every load,
// so it is loaded once: under Wine each load asks the server three times.
HCURSOR ArrowCursor();

}  // namespace rt
