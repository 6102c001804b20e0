// Cursors made from a unit's MousePointer value: a number of the standard
// cursor table, a system cursor id, or cursor file bytes.

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "forms/win/framework_state.h"
#include "runtime/win/handles.h"

namespace forms {

namespace {

constexpr uint32_t kImageFollows = 0xFFFFFFFF;
constexpr WORD kHandCursorResource = 0x408;

// Numbers 1..13 of the standard cursor table; 0 is the default, 14 the hand.
const LPCSTR kStandardCursors[] = {
    IDC_ARROW,   IDC_CROSS,    IDC_IBEAM,  IDC_WAIT,     IDC_HELP,   IDC_APPSTARTING, IDC_NO,
    IDC_SIZEALL, IDC_SIZENESW, IDC_SIZENS, IDC_SIZENWSE, IDC_SIZEWE, IDC_UPARROW};

uint16_t Word16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Word32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

// A cursor file: the first directory entry's image with its hot spot.
HCURSOR CursorFromImage(const uint8_t* data, size_t size) {
  if (size < 6 + 16 || Word16(data) != 0 || Word16(data + 4) == 0) return nullptr;
  const uint8_t* entry = data + 6;
  const uint32_t length = Word32(entry + 8), offset = Word32(entry + 12);
  if (offset > size || length > size - offset || length < 40) return nullptr;
  std::vector<uint8_t> resource(4 + length);
  std::memcpy(resource.data(), entry + 4, 4);  // hot spot x and y
  std::memcpy(resource.data() + 4, data + offset, length);
  rt::CursorHandle cursor(::CreateIconFromResourceEx(
      resource.data(), static_cast<DWORD>(resource.size()), FALSE, 0x30000, 0, 0, LR_DEFAULTCOLOR));
  if (!cursor) return nullptr;
  State().cursors.push_back(std::move(cursor));
  return State().cursors.back().get();
}

HCURSOR CursorFromNumber(uint32_t number) {
  if (number >= 1 && number <= 13) return ::LoadCursorA(nullptr, kStandardCursors[number - 1]);
  if (number == 14) {
    HCURSOR hand =
        ::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kHandCursorResource));
    return hand ? hand : ::LoadCursorA(nullptr, IDC_HAND);
  }
  // A system cursor id selects that cursor directly.
  if (number >= 32512 && number <= 32700) {
    return ::LoadCursorA(nullptr, MAKEINTRESOURCEA(number));
  }
  return nullptr;
}

}  // namespace

void* MakeCursor(const std::vector<uint8_t>& value) {
  const size_t m = value.size();
  if (m == 0) return nullptr;
  if (m > 10) {
    if (HCURSOR cursor = CursorFromImage(value.data(), m)) return cursor;
  }
  const uint32_t number = m < 4 ? value[0] : Word32(value.data());
  if (number == kImageFollows) return CursorFromImage(value.data() + 4, m - 4);
  return CursorFromNumber(number);
}

void FreeCursor(void* cursor) {
  auto& owned = State().cursors;
  auto it = std::find_if(owned.begin(), owned.end(),
                         [cursor](const rt::CursorHandle& c) { return c.get() == cursor; });
  if (cursor != nullptr && it != owned.end()) owned.erase(it);
}

}  // namespace forms
