#pragma once
// Fuzzed property blocks for a unit type: blocks written from random numbers
// (the edges of every clamp and far beyond), some with a byte changed or
// cut short, then loaded as the type's units load them. Whatever a stored
// block holds, every loaded number must be one a set of it keeps.

#include <cstdint>
#include <limits>
#include <random>
#include <set>
#include <vector>

#include "forms/property_block.h"

namespace testing_support {

// The own property numbers whose loaded value a set would still change.
inline std::set<int32_t> UnclampedAfterLoad(const std::vector<uint8_t>& block,
                                            const forms::BlockLayout& layout,
                                            const forms::IntClamps& clamps) {
  std::set<int32_t> unclamped;
  forms::PropertyValues loaded(layout);
  if (forms::ReadBlock(block.data(), block.size(), loaded, clamps) != forms::BlockStatus::kOk) {
    return unclamped;
  }
  for (int32_t number = 0; number < clamps.count; ++number) {
    const size_t field = clamps.field(number);
    if (field >= layout.fieldCount || layout.fields[field].kind != forms::FieldKind::kInt) continue;
    const int32_t value = loaded.Int(field);
    if (clamps.stored(number, value) != value) unclamped.insert(number);
  }
  return unclamped;
}

// `rounds` fuzzed blocks of the type; the numbers any of them left unclamped.
inline std::set<int32_t> FuzzLoadedBlocks(const forms::BlockLayout& layout,
                                          const forms::IntClamps& clamps, int rounds) {
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  const int32_t edges[] = {kMin, -361, -2, -1, 0,  1,   2,   3,   4,   5,    6,     7,     8,   15,
                           16,   29,   30, 55, 56, 100, 101, 360, 361, 1000, 32767, 32768, kMax};
  std::mt19937 random(layout.typeCode);
  std::set<int32_t> unclamped;
  for (int round = 0; round < rounds; ++round) {
    forms::PropertyValues values(layout);
    for (size_t f = 0; f < layout.fieldCount; ++f) {
      const bool edge = random() % 4 != 0;
      values.SetInt(f, edge ? edges[random() % std::size(edges)] : static_cast<int32_t>(random()));
    }
    std::vector<uint8_t> block = forms::WriteBlock(values);
    if (!block.empty() && random() % 4 == 0) block[random() % block.size()] = random() & 0xFF;
    if (!block.empty() && random() % 8 == 0) block.resize(random() % block.size());
    for (int32_t number : UnclampedAfterLoad(block, layout, clamps)) unclamped.insert(number);
  }
  return unclamped;
}

}  // namespace testing_support
