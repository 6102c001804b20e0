#include "units/wave_file.h"

#include <algorithm>
#include <cstring>

#include "runtime/bytes.h"

namespace units {

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint32_t kMaxFramesPerSecond = 384000;

bool ReadFormat(const uint8_t* chunk, size_t size, WaveFormat& out) {
  rt::ByteReader reader(chunk, size);
  const uint16_t tag = reader.U16();
  out.channels = reader.U16();
  out.framesPerSecond = reader.U32();
  reader.U32();  // bytes a second: worked out from the rest instead
  const uint16_t blockAlign = reader.U16();
  out.bitsPerSample = reader.U16();
  return reader.Ok() && tag == kFormatPcm && (out.channels == 1 || out.channels == 2) &&
         (out.bitsPerSample == 8 || out.bitsPerSample == 16) && out.framesPerSecond > 0 &&
         out.framesPerSecond <= kMaxFramesPerSecond && blockAlign == out.BlockAlign();
}

}  // namespace

bool ParseWave(const uint8_t* data, size_t length, WaveSound& out) {
  rt::ByteReader file(data, length);
  const uint8_t* riff = file.Take(4);
  const uint32_t riffSize = file.U32();
  const uint8_t* wave = file.Take(4);
  if (!file.Ok() || std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(wave, "WAVE", 4) != 0) {
    return false;
  }
  // The chunks lie within the RIFF size (less the "WAVE" tag) and the data;
  // a size of 0 is a writer that never went back to fill it in.
  const size_t claimed = riffSize == 0 ? file.Remaining() : (riffSize > 4 ? riffSize - 4 : 0);
  const size_t body = std::min<size_t>(claimed, file.Remaining());
  rt::ByteReader chunks(file.Here(), body);
  bool haveFormat = false;
  out = WaveSound{};
  while (chunks.Remaining() >= 8) {
    const uint8_t* id = chunks.Take(4);
    const uint32_t size = chunks.U32();
    const bool isData = std::memcmp(id, "data", 4) == 0;
    if (size > chunks.Remaining() && !isData) break;
    const size_t kept = std::min<size_t>(size, chunks.Remaining());
    const uint8_t* chunk = chunks.Take(kept);
    if (std::memcmp(id, "fmt ", 4) == 0) {
      haveFormat = ReadFormat(chunk, kept, out.format);
      if (!haveFormat) return false;
    } else if (isData && out.samples == nullptr) {
      out.samples = chunk;
      out.sampleBytes = kept;
    }
    if (size % 2 == 1 && chunks.Remaining() > 0) chunks.Skip(1);
  }
  if (!haveFormat || out.samples == nullptr) return false;
  out.sampleBytes -= out.sampleBytes % out.format.BlockAlign();
  return out.sampleBytes > 0;
}

}  // namespace units
