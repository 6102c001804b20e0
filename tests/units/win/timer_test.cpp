// The Timer unit on a loaded form beside a MediaPlay unit: its block, the
// hidden windows, and the period that writes of `Interval` start, keep,
// restart and stop.

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "TimerForm.h"
#include "forms/win/framework.h"
#include "tests/support/unit_program.h"
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

const rt::Routine kTimerRoutines[] = {TIMER_FORM_ROUTINES(TESTPROG_ENTRY)};

// The forms of data/timer.form.
enum : uint32_t { kStoppedForm = 0x52010001, kRunningForm, kNewerBlockForm };

class TimerTest : public unitprog::UnitProgramTest {
 protected:
  bool StartTimer(uint32_t form) {
    StartUnitsCompiled(kTimerFormTemplate, kTimerFormTemplateSize, kTimerRoutines);
    SetAction(3, RecordTick);
    Ticks().clear();
    form_ = form;
    return Load(form);
  }
  units::TimerObject& Timer() {
    return *dynamic_cast<units::TimerObject*>(forms::FindUnitObject(form_, kTimer));
  }
  void Write(int32_t interval) {
    forms::WriteProperty(form_, kTimer, kInterval, -1, {static_cast<uint32_t>(interval), 0});
  }
  int32_t Read() {
    return static_cast<int32_t>(forms::ReadProperty(form_, kTimer, kInterval, -1).value);
  }
  HWND Window(uint32_t unit) { return WindowOf(unit, form_); }
  uint32_t form_ = 0;
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
  ASSERT_TRUE(StartTimer(kStoppedForm));
  EXPECT_EQ(Read(), 0);
  EXPECT_FALSE(Timer().running());
  // Both are visible in the template, yet never shown.
  EXPECT_FALSE(::IsWindowVisible(Window(kTimer)));
  ASSERT_NE(Window(kMedia), nullptr);
  EXPECT_FALSE(::IsWindowVisible(Window(kMedia)));
  PumpUntil(300, 1);
  EXPECT_TRUE(Ticks().empty());
}

TEST_F(TimerTest, AStoredIntervalRunsFromCreation) {
  ASSERT_TRUE(StartTimer(kRunningForm));
  EXPECT_TRUE(Timer().running());
  PumpUntil(3000, 2);
  EXPECT_EQ(Ticks().size(), 2u);
}

TEST_F(TimerTest, ANewerBlockIsRefused) { EXPECT_FALSE(StartTimer(kNewerBlockForm)); }

// Ticks of a loaded machine come late, never early: the checks bound them
// from below by the period and from above only loosely.
TEST_F(TimerTest, IntervalWritesStartAndStopTheTicks) {
  ASSERT_TRUE(StartTimer(kStoppedForm));
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
  ASSERT_TRUE(StartTimer(kStoppedForm));
  const DWORD written = ::GetTickCount();
  Write(2000);
  PumpUntil(1200, 1);
  Write(2000);  // a restart would put the first tick at 3200 ms or later
  PumpUntil(6000, 1);
  ASSERT_EQ(Ticks().size(), 1u);
  EXPECT_GE(Ticks()[0] - written, 1950u);
  EXPECT_LT(Ticks()[0] - written, 3150u);
}

}  // namespace
