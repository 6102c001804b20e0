#include "units/timer_block.h"

#include <algorithm>

namespace units {

namespace {

uint32_t WordAt(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void PutWord(std::vector<uint8_t>& out, uint32_t word) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(word >> shift));
}

}  // namespace

std::optional<int32_t> ReadTimerBlock(const uint8_t* data, size_t length) {
  if (data == nullptr || length == 0) return 0;
  if (length < 8 || WordAt(data) > kTimerBlockVersion) return std::nullopt;
  return std::max(static_cast<int32_t>(WordAt(data + 4)), 0);
}

std::vector<uint8_t> WriteTimerBlock(int32_t interval) {
  std::vector<uint8_t> block;
  PutWord(block, kTimerBlockVersion);
  PutWord(block, static_cast<uint32_t>(interval));
  return block;
}

}  // namespace units
