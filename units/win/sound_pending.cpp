// Stands in for the runtime's wave and MIDI players until they are built:
// nothing ever starts. Replaced by the real players.

#include "units/win/sound.h"

namespace units {

bool PlayWave(const uint8_t*, size_t, bool) { return false; }
void StopWaves() {}

struct MidiPlayer::Impl {};
MidiPlayer::MidiPlayer() = default;
MidiPlayer::~MidiPlayer() = default;
bool MidiPlayer::Play(const uint8_t*, size_t, bool) { return false; }
void MidiPlayer::Close() {}

int32_t PlaySoundBlock(const uint8_t*, uint32_t, uint32_t) { return 0; }

}  // namespace units
