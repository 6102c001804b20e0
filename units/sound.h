#pragma once
// Telling sound blocks apart: what the wave and MIDI players accept.

#include <cstddef>
#include <cstdint>

namespace units {

enum class SoundKind { kNone, kWave, kMidi };

// "RIFF" with "WAVE" at offset 8 (more than 11 bytes) is wave data; "MThd"
// whose big-endian header length is 6 (more than 4 bytes) is MIDI data.
SoundKind SoundKindOf(const uint8_t* data, size_t length);

}  // namespace units
