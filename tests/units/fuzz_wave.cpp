// Fuzz target: the RIFF WAVE reader; the samples it finds must lie inside
// the input and be whole frames.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "units/wave_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  units::WaveSound sound;
  if (!units::ParseWave(data, size, sound)) return 0;
  const bool inside = sound.samples >= data && sound.sampleBytes <= size &&
                      static_cast<size_t>(sound.samples - data) <= size - sound.sampleBytes;
  if (!inside || sound.sampleBytes % sound.format.BlockAlign() != 0) std::abort();
  return 0;
}
