#pragma once
// Property value conversions shared by the framework's property paths.

#include <windows.h>

#include <vector>

#include "runtime/program.h"

namespace forms {

// The unit's font block, or the default GUI font when it delivers none.
LOGFONTA FontOf(const rt::PropValue& unitValue);
rt::PropValue ReadFontElement(const LOGFONTA& font, int32_t element);
void WriteFontElement(LOGFONTA& font, int32_t element, const rt::PropValue& value);

// MousePointer values: the first word translated between the program's
// numbering and the one stored in records.
std::vector<uint8_t> ToStoredCursor(const uint8_t* data, size_t length);
std::vector<uint8_t> ToCallerCursor(const std::vector<uint8_t>& stored);

}  // namespace forms
