#pragma once
// Sound data made in memory for the tests: RIFF chunks, PCM formats and
// tones, standard MIDI files and their tracks, and ways to damage them.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace soundsamples {

using Bytes = std::vector<uint8_t>;

inline void PutLe(Bytes& out, uint32_t value, int count) {
  for (int i = 0; i < count; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
inline void PutBe(Bytes& out, uint32_t value, int count) {
  for (int i = count - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

inline Bytes Truncated(Bytes bytes, size_t length) {
  bytes.resize(length);
  return bytes;
}

// ---- RIFF WAVE ---------------------------------------------------------------

// A RIFF chunk, padded to an even length (little-endian size).
inline Bytes Chunk(const char* id, const Bytes& body) {
  Bytes out(id, id + 4);
  PutLe(out, static_cast<uint32_t>(body.size()), 4);
  out.insert(out.end(), body.begin(), body.end());
  if (body.size() % 2) out.push_back(0);
  return out;
}

inline Bytes Riff(std::initializer_list<Bytes> chunks) {
  const Bytes body = Concat(chunks);
  Bytes out = {'R', 'I', 'F', 'F'};
  PutLe(out, static_cast<uint32_t>(body.size() + 4), 4);
  out.insert(out.end(), {'W', 'A', 'V', 'E'});
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

inline Bytes PcmFormat(uint16_t channels, uint32_t rate, uint16_t bits) {
  Bytes out;
  const uint32_t align = channels * bits / 8;
  PutLe(out, 1, 2);
  PutLe(out, channels, 2);
  PutLe(out, rate, 4);
  PutLe(out, rate * align, 4);
  PutLe(out, align, 2);
  PutLe(out, bits, 2);
  return out;
}

// A 16-bit 440 Hz tone at 22050 frames a second.
inline Bytes Tone(size_t frames, int channels) {
  Bytes out;
  for (size_t i = 0; i < frames; ++i) {
    const double s = std::sin(2 * 3.14159265358979 * 440.0 * static_cast<double>(i) / 22050.0);
    for (int c = 0; c < channels; ++c)
      PutLe(out, static_cast<uint16_t>(static_cast<int16_t>(s * 8000)), 2);
  }
  return out;
}

inline Bytes WithRiffSize(Bytes file, uint32_t size) {
  for (int i = 0; i < 4; ++i) file[4 + i] = static_cast<uint8_t>(size >> (8 * i));
  return file;
}

// Sets the size word of the index-th chunk after "WAVE" (walking the sizes
// the chunks had before).
inline Bytes WithChunkSize(Bytes file, int index, uint32_t size) {
  size_t at = 12;
  for (int i = 0; i < index; ++i) {
    uint32_t old = 0;
    std::memcpy(&old, &file[at + 4], 4);
    at += 8 + old + (old % 2);
  }
  for (int i = 0; i < 4; ++i) file[at + 4 + i] = static_cast<uint8_t>(size >> (8 * i));
  return file;
}

// ---- Standard MIDI files -------------------------------------------------------

// A chunk of a MIDI file (big-endian size, no padding).
inline Bytes MidiChunk(const char* id, const Bytes& body) {
  Bytes out(id, id + 4);
  PutBe(out, static_cast<uint32_t>(body.size()), 4);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}
inline Bytes TrackChunk(const Bytes& events) { return MidiChunk("MTrk", events); }

// The header counts the "MTrk" chunks among `chunks`.
inline Bytes Midi(uint16_t format, uint16_t division, std::initializer_list<Bytes> chunks) {
  uint32_t tracks = 0;
  for (const Bytes& chunk : chunks) tracks += std::memcmp(chunk.data(), "MTrk", 4) == 0;
  Bytes out = {'M', 'T', 'h', 'd', 0, 0, 0, 6};
  PutBe(out, format, 2);
  PutBe(out, tracks, 2);
  PutBe(out, division, 2);
  const Bytes body = Concat(chunks);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

inline Bytes WithHeaderLength(Bytes file, uint32_t length) {
  for (int i = 0; i < 4; ++i) file[4 + i] = static_cast<uint8_t>(length >> (8 * (3 - i)));
  return file;
}

}  // namespace soundsamples
