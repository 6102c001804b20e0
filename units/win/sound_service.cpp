// Service 2015: sound blocks to the wave player or to the program's own MIDI
// player, and the end of both at shutdown.

#include <memory>

#include "runtime/runtime.h"
#include "runtime/service.h"
#include "units/sound.h"
#include "units/win/sound.h"

namespace units {

namespace {

// The program's MIDI player: made at its first block, closed at shutdown.
std::unique_ptr<MidiPlayer>& ProgramMidi() {
  static std::unique_ptr<MidiPlayer> midi;
  return midi;
}

void StopSound() {
  StopWaves();
  if (ProgramMidi()) ProgramMidi()->Close();
}

}  // namespace

int32_t PlaySoundBlock(const uint8_t* data, uint32_t length, uint32_t flag) {
  switch (SoundKindOf(data, length)) {
    case SoundKind::kWave: return PlayWave(data, length, flag != 0) ? 1 : 0;
    case SoundKind::kMidi:
      if (!ProgramMidi()) ProgramMidi() = std::make_unique<MidiPlayer>();
      return ProgramMidi()->Play(data, length, flag != 0) ? 1 : 0;
    case SoundKind::kNone: break;
  }
  return 0;
}

void InstallSoundService() {
  rt::SetServiceHandler(rt::svc::kPlaySound, [](uintptr_t request, uintptr_t) -> uint64_t {
    const rt::SoundBlockRequest* r = rt::SoundRequestIn(request);
    return r ? static_cast<uint32_t>(PlaySoundBlock(r->bytes, r->length, r->flag)) : 0;
  });
  rt::AddShutdownStep(StopSound);
}

}  // namespace units
