#include "units/midi_file.h"

#include <algorithm>
#include <cstring>

#include "runtime/bytes.h"

namespace units {

namespace {

// An event of one track at its absolute time.
struct TimedEvent {
  uint64_t tick;
  uint32_t word;
};

struct Track {
  std::vector<TimedEvent> events;
  uint64_t end = 0;
};

uint32_t BigEndian(const uint8_t* p, size_t count) {
  uint32_t value = 0;
  for (size_t i = 0; i < count; ++i) value = (value << 8) | p[i];
  return value;
}

// A variable-length number: at most 4 bytes of 7 bits.
bool ReadVlq(rt::ByteReader& reader, uint32_t& value) {
  value = 0;
  for (int i = 0; i < 4; ++i) {
    const uint8_t byte = reader.U8();
    if (!reader.Ok()) return false;
    value = (value << 7) | (byte & 0x7F);
    if ((byte & 0x80) == 0) return true;
  }
  return false;
}

enum class Step { kEvent, kSkipped, kEnd, kBad };

// A meta event (0xFF) or system exclusive data (0xF0, 0xF7) after its status.
Step ReadMetaOrSysex(rt::ByteReader& reader, uint8_t status, uint32_t& word) {
  const uint8_t type = status == 0xFF ? reader.U8() : 0;
  uint32_t length = 0;
  if (!ReadVlq(reader, length)) return Step::kBad;
  const uint8_t* body = reader.Take(length);
  if (body == nullptr && length > 0) return Step::kBad;
  if (status != 0xFF) return Step::kSkipped;
  if (type == 0x2F) return Step::kEnd;
  if (type != 0x51 || length < 3) return Step::kSkipped;
  const uint32_t tempo = BigEndian(body, 3);
  if (tempo == 0) return Step::kSkipped;
  word = MidiEventWord(kMidiTempoEvent, tempo);
  return Step::kEvent;
}

// One event after its delta time; `running` is the running status.
Step ReadEvent(rt::ByteReader& reader, uint8_t& running, uint32_t& word) {
  uint8_t status = reader.U8();
  if (!reader.Ok()) return Step::kBad;
  if (status < 0x80) {
    // Running status: the byte read is the first data byte.
    if (running == 0) return Step::kBad;
    reader.Seek(reader.Position() - 1);
    status = running;
  }
  if (status >= 0xF0) {
    running = 0;  // system exclusive and meta events end running status
    if (status == 0xF0 || status == 0xF7 || status == 0xFF) {
      return ReadMetaOrSysex(reader, status, word);
    }
    return Step::kBad;
  }
  running = status;
  const uint8_t first = reader.U8();
  const uint8_t second = (status & 0xE0) == 0xC0 ? 0 : reader.U8();
  if (!reader.Ok() || first >= 0x80 || second >= 0x80) return Step::kBad;
  word = MidiEventWord(kMidiShortEvent, status | (first << 8) | (second << 16));
  return Step::kEvent;
}

bool ReadTrack(const uint8_t* data, size_t size, Track& track) {
  rt::ByteReader reader(data, size);
  uint8_t running = 0;
  uint64_t tick = 0;
  while (reader.Remaining() > 0) {
    uint32_t delta = 0;
    uint32_t word = 0;
    if (!ReadVlq(reader, delta)) return false;
    tick += delta;
    const Step step = ReadEvent(reader, running, word);
    if (step == Step::kBad) return false;
    if (step == Step::kEnd) break;
    if (step == Step::kEvent) track.events.push_back({tick, word});
  }
  track.end = tick;
  return true;
}

// Merges the tracks by time (a stable sort keeps track order at equal times)
// into delta-timed events; a nop event holds a longer track end.
void Merge(const std::vector<Track>& tracks, std::vector<MidiEvent>& out) {
  std::vector<TimedEvent> all;
  uint64_t end = 0;
  for (const Track& track : tracks) {
    all.insert(all.end(), track.events.begin(), track.events.end());
    end = std::max(end, track.end);
  }
  std::stable_sort(all.begin(), all.end(),
                   [](const TimedEvent& a, const TimedEvent& b) { return a.tick < b.tick; });
  if (all.empty() || end > all.back().tick) all.push_back({end, MidiEventWord(kMidiNopEvent, 0)});
  uint64_t previous = 0;
  out.reserve(all.size());
  for (const TimedEvent& event : all) {
    const uint64_t delta = std::min<uint64_t>(event.tick - previous, UINT32_MAX);
    out.push_back({static_cast<uint32_t>(delta), event.word});
    previous = event.tick;
  }
}

bool HasChannelMessage(const std::vector<MidiEvent>& events) {
  return std::any_of(events.begin(), events.end(),
                     [](const MidiEvent& e) { return (e.word >> 24) == kMidiShortEvent; });
}

}  // namespace

bool ParseMidi(const uint8_t* data, size_t length, MidiSong& out) {
  rt::ByteReader file(data, length);
  const uint8_t* tag = file.Take(4);
  const uint8_t* sizeBytes = file.Take(4);
  if (!file.Ok() || std::memcmp(tag, "MThd", 4) != 0) return false;
  const uint32_t headerSize = BigEndian(sizeBytes, 4);
  const uint8_t* header = headerSize >= 6 ? file.Take(headerSize) : nullptr;
  if (header == nullptr) return false;
  const uint32_t format = BigEndian(header, 2);
  const uint32_t trackCount = BigEndian(header + 2, 2);
  const uint32_t division = BigEndian(header + 4, 2);
  if (format > 1 || division == 0 || (division & 0x8000) != 0) return false;

  std::vector<Track> tracks;
  while (tracks.size() < trackCount && file.Remaining() >= 8) {
    const uint8_t* id = file.Take(4);
    const uint32_t claimed = BigEndian(file.Take(4), 4);
    const size_t size = std::min<size_t>(claimed, file.Remaining());
    const uint8_t* chunk = file.Take(size);
    if (std::memcmp(id, "MTrk", 4) != 0) continue;
    tracks.emplace_back();
    if (!ReadTrack(chunk, size, tracks.back())) return false;
  }
  out = MidiSong{};
  out.ticksPerQuarter = static_cast<uint16_t>(division);
  Merge(tracks, out.events);
  return HasChannelMessage(out.events);
}

}  // namespace units
