#pragma once
// Sound data made in memory for the tests: RIFF WAVE and standard MIDI files
// from their chunks, and a way to damage them.

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace soundsamples {

using Bytes = std::vector<uint8_t>;

inline void Put(Bytes& out, uint32_t value, int count, bool bigEndian = false) {
  for (int i = 0; i < count; ++i) {
    out.push_back(static_cast<uint8_t>(value >> (8 * (bigEndian ? count - 1 - i : i))));
  }
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

// Overwrites four bytes at `offset` (the length fields tests damage).
inline Bytes Patched(Bytes bytes, size_t offset, uint32_t value, bool bigEndian = false) {
  Bytes word;
  Put(word, value, 4, bigEndian);
  std::memcpy(&bytes[offset], word.data(), 4);
  return bytes;
}

// A RIFF chunk padded to an even length, or a MIDI file's chunk.
inline Bytes Chunk(const char* id, const Bytes& body, bool midi = false) {
  Bytes out(id, id + 4);
  Put(out, static_cast<uint32_t>(body.size()), 4, midi);
  out.insert(out.end(), body.begin(), body.end());
  if (!midi && body.size() % 2) out.push_back(0);
  return out;
}

inline Bytes Riff(std::initializer_list<Bytes> chunks) {
  const Bytes body = Concat(chunks);
  Bytes out = {'R', 'I', 'F', 'F'};
  Put(out, static_cast<uint32_t>(body.size() + 4), 4);
  return Concat({out, {'W', 'A', 'V', 'E'}, body});
}

inline Bytes PcmFormat(uint16_t channels, uint32_t rate, uint16_t bits) {
  Bytes out;
  for (uint32_t v : {1u, uint32_t{channels}}) Put(out, v, 2);
  for (uint32_t v : {rate, rate * channels * bits / 8}) Put(out, v, 4);
  for (uint32_t v : {channels * bits / 8u, uint32_t{bits}}) Put(out, v, 2);
  return out;
}

// 16-bit samples of a square wave, `frames` frames of `channels`.
inline Bytes Tone(size_t frames, int channels) {
  Bytes out;
  for (size_t i = 0; i < frames * channels; ++i) Put(out, (i / 50) % 2 ? 0x2000 : 0xE000, 2);
  return out;
}

inline Bytes TrackChunk(const Bytes& events) { return Chunk("MTrk", events, true); }

// The header counts the "MTrk" chunks among `chunks`.
inline Bytes Midi(uint16_t format, uint16_t division, std::initializer_list<Bytes> chunks) {
  uint32_t tracks = 0;
  for (const Bytes& chunk : chunks) tracks += std::memcmp(chunk.data(), "MTrk", 4) == 0;
  Bytes header;
  for (uint32_t v : {uint32_t{format}, tracks, uint32_t{division}}) Put(header, v, 2, true);
  return Concat({Chunk("MThd", header, true), Concat(chunks)});
}

}  // namespace soundsamples
