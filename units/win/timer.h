#pragma once
// The core library's Timer unit (type number 32): a hidden child window of
// the form that holds a Windows timer (id 1000) while `Interval` is above 0
// and raises the unit's event 0 on every tick.

#include <windows.h>

#include <cstdint>

#include "forms/win/unit.h"
#include "runtime/program.h"

namespace units {

inline constexpr uint32_t kTimerTypeNumber = 32;
inline constexpr uint32_t kTimerTypeCode = 0x00010020;
inline constexpr UINT_PTR kTimerId = 1000;

// The type record, for slot 32 of the core library's type table.
const rt::UnitTypeRecord& TimerType();

// A Timer unit; its window owns the Windows timer.
class TimerObject : public forms::UnitObject {
 public:
  TimerObject(uint32_t formId, uint32_t unitId, int32_t interval)
      : UnitObject(formId, unitId), interval_(interval) {}

  int32_t interval() const { return interval_; }
  bool running() const { return running_; }
  // A negative value counts as 0; the same value again changes nothing; a
  // new value restarts the period from now, and 0 stops the timer.
  void SetInterval(int32_t value);

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Start();
  void Stop();

  int32_t interval_;
  bool running_ = false;
};

}  // namespace units
