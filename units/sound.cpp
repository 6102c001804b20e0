#include "units/sound.h"

#include <cstring>

namespace units {

SoundKind SoundKindOf(const uint8_t* data, size_t length) {
  if (data == nullptr) return SoundKind::kNone;
  if (length > 11 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WAVE", 4) == 0) {
    return SoundKind::kWave;
  }
  // The header length word follows the tag; a file shorter than it is refused by the player.
  if (length > 4 && std::memcmp(data, "MThd", 4) == 0 && length >= 8) {
    const uint32_t headerLength = (uint32_t{data[4]} << 24) | (uint32_t{data[5]} << 16) |
                                  (uint32_t{data[6]} << 8) | data[7];
    if (headerLength == 6) return SoundKind::kMidi;
  }
  return SoundKind::kNone;
}

}  // namespace units
