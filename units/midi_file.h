#pragma once
// Reading standard MIDI files for the MIDI stream player: format 0 and 1
// files become one time-ordered list of stream events, ready to be packed
// into stream buffers. Portable.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace units {

// The event word's top byte says what it is, as a MIDI stream reads it.
inline constexpr uint32_t kMidiShortEvent = 0x00;  // a channel message in the low 3 bytes
inline constexpr uint32_t kMidiTempoEvent = 0x01;  // microseconds per quarter note
inline constexpr uint32_t kMidiNopEvent = 0x02;    // nothing; holds a time
inline constexpr uint32_t kMidiDefaultTempo = 500000;

inline constexpr uint32_t MidiEventWord(uint32_t type, uint32_t value) {
  return (type << 24) | (value & 0xFFFFFF);
}

// Ticks since the event before (the first: since the start), then the word.
struct MidiEvent {
  uint32_t delta = 0;
  uint32_t word = 0;
  bool operator==(const MidiEvent& other) const {
    return delta == other.delta && word == other.word;
  }
};

struct MidiSong {
  uint16_t ticksPerQuarter = 0;
  std::vector<MidiEvent> events;
};

// Channel messages (running status followed) and tempo changes of every
// track, merged by time: at equal times, earlier tracks first. System
// exclusive and other meta events are skipped. When a track's end lies
// after the last event, a nop event keeps that time, so that a song played
// again starts after its full length. A track or chunk length claiming more
// than is there is clamped to what is there. False for SMPTE time division,
// format 2, a malformed event (a variable-length number over 4 bytes, a data
// byte without a status, an event cut off) or a song with no channel message.
bool ParseMidi(const uint8_t* data, size_t length, MidiSong& out);

}  // namespace units
