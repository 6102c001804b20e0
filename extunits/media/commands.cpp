#include "extunits/media/commands.h"

#include <optional>

namespace media {

namespace {

// Argument `index` (0 is the unit) when the call has it and it is not omitted.
const rt::ArgRecord* Given(int32_t count, const rt::ArgRecord* args, int32_t index) {
  if (index >= count || rt::IsOmitted(args[index])) return nullptr;
  return &args[index];
}

std::optional<int32_t> IntArg(int32_t count, const rt::ArgRecord* args, int32_t index) {
  const rt::ArgRecord* arg = Given(count, args, index);
  if (arg == nullptr) return std::nullopt;
  return rt::ValueToInt(*arg);
}

// A by-reference argument: the address of the caller's 32-bit variable.
int32_t* VariableArg(int32_t count, const rt::ArgRecord* args, int32_t index) {
  const rt::ArgRecord* arg = Given(count, args, index);
  return arg ? reinterpret_cast<int32_t*>(rt::AddressOf(*arg)) : nullptr;
}

}  // namespace

void GetVolumeCommand(MciPlayer& player, rt::ArgRecord& result, int32_t count,
                      const rt::ArgRecord* args) {
  result = rt::MakeBool(player.GetVolume(VariableArg(count, args, 1), VariableArg(count, args, 2)));
}

void SetVolumeCommand(MciPlayer& player, rt::ArgRecord& result, int32_t count,
                      const rt::ArgRecord* args) {
  result = rt::MakeBool(player.SetVolume(IntArg(count, args, 1), IntArg(count, args, 2)));
}

void OpenCommand(MciPlayer& player, rt::ArgRecord& result, int32_t count,
                 const rt::ArgRecord* args) {
  const rt::ArgRecord* name = Given(count, args, 1);
  result = rt::MakeBool(player.Open(name ? rt::TextOf(*name) : nullptr));
}

// A window given as a 32-bit number stands for the handle it sign-extends to.
void PlayCommand(MciPlayer& player, rt::ArgRecord& result, int32_t count,
                 const rt::ArgRecord* args) {
  const int32_t position = IntArg(count, args, 1).value_or(-1);
  std::optional<uintptr_t> window;
  if (std::optional<int32_t> number = IntArg(count, args, 2)) {
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
