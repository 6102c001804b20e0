#include "units/timer_block.h"

#include <algorithm>

#include "forms/property_block.h"
#include "units/blocks.h"

namespace units {

std::optional<int32_t> ReadTimerBlock(const uint8_t* data, size_t length) {
  forms::PropertyValues values(kTimerBlock);
  if (forms::ReadBlock(data, length, values) != forms::BlockStatus::kOk) return std::nullopt;
  return std::max(values.Int(timerfield::kInterval), 0);
}

std::vector<uint8_t> WriteTimerBlock(int32_t interval) {
  forms::PropertyValues values(kTimerBlock);
  values.SetInt(timerfield::kInterval, interval);
  return forms::WriteBlock(values);
}

}  // namespace units
