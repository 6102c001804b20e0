// The Timer's property block: defaults, version rule, bounds and writing.

#include "units/timer_block.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> Block(std::initializer_list<uint32_t> words) {
  std::vector<uint8_t> bytes;
  for (uint32_t w : words) {
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(w >> shift));
  }
  return bytes;
}

std::optional<int32_t> Read(const std::vector<uint8_t>& bytes, size_t length) {
  // A copy of exactly `length` bytes, so that a read past it is caught.
  std::vector<uint8_t> exact(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
  return units::ReadTimerBlock(exact.empty() ? nullptr : exact.data(), exact.size());
}

TEST(TimerBlock, ReadsIntervalUnderTheVersionRules) {
  EXPECT_EQ(units::ReadTimerBlock(nullptr, 0), 0);
  EXPECT_EQ(Read(Block({1, 1000}), 8), 1000);
  EXPECT_EQ(Read(Block({0, 250, 77}), 12), 250);  // older version, extra bytes ignored
  EXPECT_EQ(Read(Block({1, 0xFFFFFFFB}), 8), 0);  // -5 reads as 0
  EXPECT_EQ(Read(Block({2, 1000}), 8), std::nullopt);
  for (size_t cut = 1; cut < 8; ++cut) EXPECT_EQ(Read(Block({1, 1000}), cut), std::nullopt);
}

TEST(TimerBlock, WritesVersionOneAndInterval) {
  EXPECT_EQ(units::WriteTimerBlock(1000), Block({1, 1000}));
  const std::vector<uint8_t> written = units::WriteTimerBlock(30);
  EXPECT_EQ(units::ReadTimerBlock(written.data(), written.size()), 30);
}

}  // namespace
