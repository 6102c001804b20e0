// Fuzz target: the standard MIDI file reader; every event it hands on is a
// channel message, a tempo or a nop.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "units/midi_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  units::MidiSong song;
  if (!units::ParseMidi(data, size, song)) return 0;
  for (const units::MidiEvent& event : song.events) {
    const uint32_t type = event.word >> 24;
    if (type > units::kMidiNopEvent) std::abort();
    if (type == units::kMidiShortEvent && (event.word & 0x80) == 0) std::abort();
  }
  return 0;
}
