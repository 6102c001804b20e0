// The range units' arithmetic: shown positions, steps, selections, styles and
// what each scroll code does to a stored position.

#include "units/range_rules.h"

#include <gtest/gtest.h>

namespace {

using units::Range;
namespace sc = units::scroll;

TEST(RangeRules, ShownPositionsStepsAndSelections) {
  // A range written 1..100 shows a stored 500 at 100; swapped ends show the maximum.
  EXPECT_EQ(units::ShownPosition(1, 100, 500), 100);
  EXPECT_EQ(units::ShownPosition(1, 100, 0), 1);
  EXPECT_EQ(units::ShownPosition(1, 100, 40), 40);
  EXPECT_EQ(units::ShownPosition(90, 10, 50), 10);
  const Range swapped = units::SortedRange(90, 10);
  EXPECT_EQ(swapped.low, 10);
  EXPECT_EQ(swapped.high, 90);

  EXPECT_EQ(units::StepSize(5, 5, 10), 1);  // a zero span steps by 1
  EXPECT_EQ(units::StepSize(1, 100, 5), 5);
  EXPECT_EQ(units::StepSize(100, 1, 500), 99);
  EXPECT_EQ(units::StepSize(0, 32767, 0), 1);

  const Range sel = units::SelectionEnds(10, 50, 40, 30);
  EXPECT_EQ(sel.low, 40);
  EXPECT_EQ(sel.high, 50);
  EXPECT_EQ(units::SelectionEnds(10, 50, 0, 5).high, 10);
}

TEST(RangeRules, SliderStyles) {
  EXPECT_EQ(units::SliderStyle(0, 2, false), 0x44000001u);
  EXPECT_EQ(units::SliderStyle(1, 0, true), 0x44000001u | 0x2 | 0x10 | 0x20);
  EXPECT_EQ(units::SliderStyle(0, 1, false), 0x44000005u);
  EXPECT_EQ(units::SliderStyle(0, 3, false), 0x44000009u);
}

struct ScrollCase {
  int32_t position, code, thumb;
  bool trackDrag;
  int32_t expected;  // -1: nothing happens
};

TEST(RangeRules, ScrollCodesMoveTheStoredPositionWithinTheRange) {
  const Range range{1, 100};
  const ScrollCase cases[] = {
      {50, sc::kLineLeft, 0, true, 47},
      {50, sc::kLineRight, 0, true, 53},
      {50, sc::kPageLeft, 0, true, 40},
      {50, sc::kPageRight, 0, true, 60},
      {50, sc::kThumbPosition, 70, false, 70},
      {50, sc::kThumbTrack, 70, true, 70},
      {50, sc::kThumbTrack, 70, false, -1},
      {50, sc::kLeft, 0, true, 1},
      {50, sc::kRight, 0, true, 100},
      {50, sc::kEndScroll, 0, true, -1},
      {50, 99, 0, true, -1},               // an unknown code keeps the position
      {100, sc::kLineRight, 0, true, -1},  // at the end: clamped back, unchanged
      {99, sc::kPageRight, 0, true, 100},
      {2, sc::kPageLeft, 0, true, 1},
      {500, sc::kLineRight, 0, true, 100},  // a stored 500 beyond the range comes back in
      {500, 99, 0, true, 100},
  };
  for (const ScrollCase& c : cases) {
    const units::ScrollSteps steps{c.position, 3, 10, c.trackDrag};
    const std::optional<int32_t> got = units::ScrolledPosition(steps, c.code, c.thumb, range);
    EXPECT_EQ(got.value_or(-1), c.expected) << "code " << c.code << " from " << c.position;
  }
}

}  // namespace
