#pragma once
// Reading RIFF WAVE data for the wave player: the PCM format and where the
// samples lie. Portable; the player hands both to the wave output device.

#include <cstddef>
#include <cstdint>

namespace units {

// What the wave player accepts: PCM (format tag 1), 1 or 2 channels of 8 or
// 16 bits, 1 to 384000 frames a second.
struct WaveFormat {
  uint16_t channels = 0;
  uint32_t framesPerSecond = 0;
  uint16_t bitsPerSample = 0;
  uint16_t BlockAlign() const { return static_cast<uint16_t>(channels * bitsPerSample / 8); }
  uint32_t BytesPerSecond() const { return framesPerSecond * BlockAlign(); }
};

// The samples point into the parsed data, a whole number of frames.
struct WaveSound {
  WaveFormat format;
  const uint8_t* samples = nullptr;
  size_t sampleBytes = 0;
};

// Walks the RIFF chunks for "fmt " and "data" (odd chunks are padded to an
// even length). A RIFF size or a "data" chunk claiming more than is there is
// clamped to what is there (a RIFF size of 0 means the whole data); any
// other chunk that does is the end of the walk.
// False for data that is no RIFF WAVE, a format other than the ones above,
// or no samples.
bool ParseWave(const uint8_t* data, size_t length, WaveSound& out);

}  // namespace units
