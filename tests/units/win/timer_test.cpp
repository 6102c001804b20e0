// The Timer unit on a loaded form beside a MediaPlay unit: its block, the
// hidden windows, and the period that writes of `Interval` start, keep,
// restart and stop.

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "forms/framework.h"
#include "tests/support/unit_program.h"
#include "units/timer_block.h"
#include "units/win/timer.h"

namespace {

using namespace testprog;

constexpr uint32_t kTimer = 0x16010001;
constexpr uint32_t kMedia = 0x16010002;
constexpr int32_t kInterval = 8;

std::vector<DWORD>& Ticks() {
  static std::vector<DWORD> ticks;
  return ticks;
}
void RecordTick() { Ticks().push_back(::GetTickCount()); }

class TimerTest : public unitprog::UnitProgramTest {
 protected:
  bool StartTimer(std::vector<uint8_t> block) {
    forms::UnitRecord timer = Unit(kTimer, unitprog::kTimerCode);
    timer.propertyData = std::move(block);
    timer.events = {{0, 3}};
    StartUnits({Form(kFormId, {timer, Unit(kMedia, unitprog::kMediaPlayCode)})});
    SetAction(3, RecordTick);
    Ticks().clear();
    return Load();
  }
  units::TimerObject& Timer() {
    return *dynamic_cast<units::TimerObject*>(forms::FindUnitObject(kFormId, kTimer));
  }
  void Write(int32_t interval) {
    forms::WriteProperty(kFormId, kTimer, kInterval, -1, {static_cast<uint32_t>(interval), 0});
  }
  int32_t Read() {
    return static_cast<int32_t>(forms::ReadProperty(kFormId, kTimer, kInterval, -1).value);
  }
  // Dispatches messages for `ms` milliseconds or until `count` ticks are in.
  void PumpUntil(DWORD ms, size_t count) {
    const DWORD start = ::GetTickCount();
    while (Ticks().size() < count && ::GetTickCount() - start < ms) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      Pump();
    }
  }
};

TEST_F(TimerTest, AnEmptyBlockLoadsStoppedAndHidden) {
  ASSERT_TRUE(StartTimer({}));
  EXPECT_EQ(Read(), 0);
  EXPECT_FALSE(Timer().running());
  // Both are visible in the template, yet never shown.
  EXPECT_FALSE(::IsWindowVisible(WindowOf(kTimer)));
  ASSERT_NE(WindowOf(kMedia), nullptr);
  EXPECT_FALSE(::IsWindowVisible(WindowOf(kMedia)));
  PumpUntil(300, 1);
  EXPECT_TRUE(Ticks().empty());
}

TEST_F(TimerTest, AStoredIntervalRunsFromCreation) {
  ASSERT_TRUE(StartTimer(units::WriteTimerBlock(40)));
  EXPECT_TRUE(Timer().running());
  PumpUntil(3000, 2);
  EXPECT_EQ(Ticks().size(), 2u);
}

TEST_F(TimerTest, ANewerBlockIsRefused) { EXPECT_FALSE(StartTimer({2, 0, 0, 0, 100, 0, 0, 0})); }

// Ticks of a loaded machine come late, never early: the checks bound them
// from below by the period and from above only loosely.
TEST_F(TimerTest, IntervalWritesStartAndStopTheTicks) {
  ASSERT_TRUE(StartTimer({}));
  Write(-5);
  EXPECT_EQ(Read(), 0);
  EXPECT_FALSE(Timer().running());

  const DWORD written = ::GetTickCount();
  Write(1000);
  EXPECT_EQ(Read(), 1000);
  PumpUntil(8000, 3);
  ASSERT_EQ(Ticks().size(), 3u);
  EXPECT_GE(Ticks()[0] - written, 950u);
  EXPECT_GE(Ticks()[2] - written, 2900u);

  Write(0);
  EXPECT_FALSE(Timer().running());
  PumpUntil(1500, 4);
  EXPECT_EQ(Ticks().size(), 3u);
}

TEST_F(TimerTest, WritingTheSameValueKeepsThePeriod) {
  ASSERT_TRUE(StartTimer({}));
  const DWORD written = ::GetTickCount();
  Write(2000);
  PumpUntil(1200, 1);
  Write(2000);  // a restart would put the first tick at 3200 ms or later
  PumpUntil(6000, 1);
  ASSERT_EQ(Ticks().size(), 1u);
  EXPECT_GE(Ticks()[0] - written, 1950u);
  EXPECT_LT(Ticks()[0] - written, 3000u);
}

}  // namespace
