// The platform's MCI port: command strings through mciSendStringA, the device
// open as one MCI_OPEN command with type, element and alias.

#include <windows.h>
#include <mmsystem.h>

#include "runtime/win/late_import.h"

#include "extunits/media/mci_player.h"

namespace media {

namespace {

uint32_t SendString(const char* command, char* reply, uint32_t replySize) {
  return rt::winmm::mciSendStringA(command, reply, reply ? replySize : 0, nullptr);
}

uint32_t OpenDevice(const char* deviceType, const char* element, const char* alias) {
  MCI_OPEN_PARMSA parms = {};
  parms.lpstrDeviceType = deviceType;
  parms.lpstrElementName = element;
  parms.lpstrAlias = alias;
  return rt::winmm::mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_OPEN_ALIAS,
                                    reinterpret_cast<DWORD_PTR>(&parms));
}

bool IsWindowHandle(uintptr_t window) {
  return window != 0 && ::IsWindow(reinterpret_cast<HWND>(window));
}

uint32_t TickCount() { return ::GetTickCount(); }

const MciPort kWindowsPort = {SendString, OpenDevice, IsWindowHandle, TickCount};

}  // namespace

const MciPort& PlatformPort() { return kWindowsPort; }

}  // namespace media
