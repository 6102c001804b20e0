// Font properties: a unit keeps a 60-byte LOGFONTA; the program reads and
// writes it element by element (angle, bold, italic, strike-out, underline,
// size in points, face name) or whole as a font record.

#include <cstring>
#include <string>

#include "forms/win/framework.h"
#include "forms/win/properties.h"
#include "runtime/heap.h"
#include "runtime/value.h"
#include "runtime/win/handles.h"

namespace forms {

namespace {

constexpr char kDefaultFace[] = "宋体";

int ScreenResolution() {
  rt::ScreenDc screen;
  return ::GetDeviceCaps(screen.get(), LOGPIXELSY);
}

int32_t Element(const LOGFONTA& font, int32_t element) {
  switch (element) {
    case 0: return font.lfOrientation;
    case 1: return font.lfWeight >= FW_BOLD ? 1 : 0;
    case 2: return font.lfItalic ? 1 : 0;
    case 3: return font.lfStrikeOut ? 1 : 0;
    case 4: return font.lfUnderline ? 1 : 0;
    case 5:
      return ::MulDiv(font.lfHeight < 0 ? -font.lfHeight : font.lfHeight, 72, ScreenResolution());
    default: return 0;
  }
}

void SetFace(LOGFONTA& font, const char* face) {
  const size_t length = face ? std::strlen(face) : 0;
  if (length < 1 || length > 31) face = kDefaultFace;
  std::memset(font.lfFaceName, 0, sizeof font.lfFaceName);
  std::strncpy(font.lfFaceName, face, sizeof font.lfFaceName - 1);
}

void SetElement(LOGFONTA& font, int32_t element, int64_t value) {
  switch (element) {
    case 0: {
      const int32_t angle = static_cast<int32_t>(((value % 3600) + 3600) % 3600);
      font.lfEscapement = font.lfOrientation = angle;
      break;
    }
    case 1: font.lfWeight = value ? FW_BOLD : 0; break;
    case 2: font.lfItalic = value ? 1 : 0; break;
    case 3: font.lfStrikeOut = value ? 1 : 0; break;
    case 4: font.lfUnderline = value ? 1 : 0; break;
    case 5: {
      const int64_t size = value < 0 ? -value : value;
      font.lfHeight = -static_cast<LONG>(size * ScreenResolution() / 72);
      break;
    }
    default: break;
  }
}

// The face name, read within its 32 bytes: a unit's block need not end it.
char* CopyFaceName(const LOGFONTA& font) {
  const size_t length = strnlen(font.lfFaceName, sizeof font.lfFaceName);
  return rt::CopyText(std::string(font.lfFaceName, length).c_str());
}

}  // namespace

LOGFONTA FontOf(const rt::PropValue& unitValue) {
  LOGFONTA font{};
  if (unitValue.second == sizeof(LOGFONTA) && unitValue.value != 0) {
    std::memcpy(&font, rt::AddressIn(unitValue), sizeof font);
  } else {
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  }
  return font;
}

rt::PropValue ReadFontElement(const LOGFONTA& font, int32_t element) {
  rt::PropValue out;
  if (element == 6) {
    out = rt::AddressValue(CopyFaceName(font));
  } else if (element == -1) {
    auto* record = static_cast<FontRecord*>(rt::Allocate(sizeof(FontRecord)));
    record->angle = Element(font, 0);
    record->bold = Element(font, 1);
    record->italic = Element(font, 2);
    record->strikeOut = Element(font, 3);
    record->underline = Element(font, 4);
    record->size = Element(font, 5);
    record->faceName = CopyFaceName(font);
    out = rt::AddressValue(record);
  } else {
    out.value = static_cast<uint32_t>(Element(font, element));
  }
  return out;
}

void WriteFontElement(LOGFONTA& font, int32_t element, const rt::PropValue& value) {
  if (element == 6) {
    SetFace(font, rt::TextIn(value));
  } else if (element == -1) {
    const auto* record = static_cast<const FontRecord*>(rt::AddressIn(value));
    if (record == nullptr) return;
    const int32_t parts[6] = {record->angle,     record->bold,      record->italic,
                              record->strikeOut, record->underline, record->size};
    for (int32_t i = 0; i < 6; ++i) SetElement(font, i, parts[i]);
    SetFace(font, record->faceName);
  } else {
    SetElement(font, element, static_cast<int32_t>(value.value));
  }
}

}  // namespace forms
