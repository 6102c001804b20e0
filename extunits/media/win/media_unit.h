#pragma once
// The MediaPlay unit (type number 6 of the multimedia library): a child
// window of the form that is never shown, and the MciPlayer it embeds. The
// player lives as long as the unit, so destroying the form's window closes
// the unit's media device.

#include <windows.h>

#include <cstdint>
#include <string>

#include "extunits/media/mci_player.h"
#include "forms/win/unit.h"
#include "runtime/program.h"

namespace media {

inline constexpr uint32_t kMediaPlayTypeNumber = 6;
inline constexpr uint32_t kMediaPlayTypeCode = 0x00060006;

// The type record, for slot 6 of the multimedia library's type table.
const rt::UnitTypeRecord& MediaPlayType();

// A new alias: a fresh GUID's 32 hexadecimal digits in lower case; empty
// when the GUID cannot be made or written.
std::string NewAlias();

class MediaPlayObject : public forms::UnitObject {
 public:
  MediaPlayObject(uint32_t formId, uint32_t unitId)
      : UnitObject(formId, unitId), player_(NewAlias()) {}

  MciPlayer& player() { return player_; }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  MciPlayer player_;
};

// What the unit's window shows: the client area filled with RGB(212,208,200)
// and the picture, when there is one, centred on it.
void PaintMediaWindow(HDC dc, const RECT& client, HBITMAP picture);

}  // namespace media
