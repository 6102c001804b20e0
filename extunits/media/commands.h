#pragma once
// The multimedia library's seven commands as they act on the player of the
// unit named by argument 0. Finding that unit is the Win32 side's part; these
// read the other arguments, call the player and fill the result.

#include <cstdint>

#include "extunits/media/mci_player.h"
#include "runtime/value.h"

namespace media {

using PlayerCommand = void (*)(MciPlayer& player, rt::ArgRecord& result, int32_t count,
                               const rt::ArgRecord* args);

// Arguments after the unit: GetVolume (left variable, right variable, both
// optional, by reference); SetVolume (left, right, both optional); Open (file
// name); Play (position, -1 where it stands; window, optional); TogglePause,
// GetPosition and GetLength (none).
void GetVolumeCommand(MciPlayer& player, rt::ArgRecord& result, int32_t count,
                      const rt::ArgRecord* args);
void SetVolumeCommand(MciPlayer& player, rt::ArgRecord& result, int32_t count,
                      const rt::ArgRecord* args);
void OpenCommand(MciPlayer& player, rt::ArgRecord& result, int32_t count,
                 const rt::ArgRecord* args);
void PlayCommand(MciPlayer& player, rt::ArgRecord& result, int32_t count,
                 const rt::ArgRecord* args);
void TogglePauseCommand(MciPlayer& player, rt::ArgRecord& result, int32_t count,
                        const rt::ArgRecord* args);
void GetPositionCommand(MciPlayer& player, rt::ArgRecord& result, int32_t count,
                        const rt::ArgRecord* args);
void GetLengthCommand(MciPlayer& player, rt::ArgRecord& result, int32_t count,
                      const rt::ArgRecord* args);

// The library's command table order.
inline constexpr int kCommandCount = 7;
inline constexpr PlayerCommand kPlayerCommands[kCommandCount] = {
    GetVolumeCommand,   SetVolumeCommand,   OpenCommand,     PlayCommand,
    TogglePauseCommand, GetPositionCommand, GetLengthCommand};

}  // namespace media
