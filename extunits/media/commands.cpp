#include "extunits/media/commands.h"

#include <optional>

namespace media {

void GetVolumeCommand(MciPlayer& player, rt::ArgRecord& result, int32_t count,
                      const rt::ArgRecord* args) {
  const rt::Args a(count, args);
  result = rt::MakeBool(player.GetVolume(a.Variable(1), a.Variable(2)));
}

void SetVolumeCommand(MciPlayer& player, rt::ArgRecord& result, int32_t count,
                      const rt::ArgRecord* args) {
  const rt::Args a(count, args);
  result = rt::MakeBool(player.SetVolume(a.OptionalInt(1), a.OptionalInt(2)));
}

void OpenCommand(MciPlayer& player, rt::ArgRecord& result, int32_t count,
                 const rt::ArgRecord* args) {
  result = rt::MakeBool(player.Open(rt::Args(count, args).Text(1)));
}

// A window given as a 32-bit number stands for the handle it sign-extends to.
void PlayCommand(MciPlayer& player, rt::ArgRecord& result, int32_t count,
                 const rt::ArgRecord* args) {
  const rt::Args a(count, args);
  const int32_t position = a.Int(1, -1);
  std::optional<uintptr_t> window;
  if (std::optional<int32_t> number = a.OptionalInt(2)) {
    window = static_cast<uintptr_t>(static_cast<intptr_t>(*number));
  }
  result = rt::MakeBool(player.Play(position, window));
}

void TogglePauseCommand(MciPlayer& player, rt::ArgRecord& result, int32_t, const rt::ArgRecord*) {
  result = rt::MakeBool(player.TogglePause());
}

void GetPositionCommand(MciPlayer& player, rt::ArgRecord& result, int32_t, const rt::ArgRecord*) {
  result = rt::MakeInt(player.GetPosition());
}

void GetLengthCommand(MciPlayer& player, rt::ArgRecord& result, int32_t, const rt::ArgRecord*) {
  result = rt::MakeInt(player.GetLength());
}

}  // namespace media
