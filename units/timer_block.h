#pragma once
// The Timer's property block (its description is units::kTimerBlock): a
// 32-bit version (1 when written; a newer one is refused), then `Interval`.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace units {

// `Interval` from a block: 0 (the default) for an absent or empty block;
// none when the block is refused (a newer version, or one that ends inside
// its fields). A negative value reads as 0. Never reads past `length`.
std::optional<int32_t> ReadTimerBlock(const uint8_t* data, size_t length);

std::vector<uint8_t> WriteTimerBlock(int32_t interval);

}  // namespace units
