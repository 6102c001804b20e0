#include "units/win/timer.h"

#include <vector>

#include "forms/win/unit_type.h"
#include "forms/events.h"
#include "units/common_properties.h"
#include "units/timer_block.h"

namespace units {

namespace {

const char kTimerClass[] = "TimerUnitWindow";

// Registers the window class on first use; null when that fails.
const char* TimerClass() { return forms::RegisterUnitClass(kTimerClass, CS_DBLCLKS); }

forms::UnitObject* CreateTimer(const forms::CreateRequest& r) {
  std::optional<int32_t> interval = ReadTimerBlock(r.data, r.length);
  const char* windowClass = TimerClass();
  if (!interval || windowClass == nullptr) return nullptr;
  auto* timer = new TimerObject(r.formId, r.unitId, *interval);
  HWND hwnd = timer->AttachingCreate(0, windowClass, nullptr, r.style | WS_CHILD | WS_CLIPSIBLINGS,
                                     r.left, r.top, r.width, r.height, r.parent,
                                     reinterpret_cast<HMENU>(static_cast<uintptr_t>(r.controlId)));
  if (hwnd == nullptr) {
    delete timer;
    return nullptr;
  }
  return timer;
}

// Own property 0 is `Interval`; other numbers are ignored.
int32_t SetTimerProperty(forms::UnitObject* unit, int32_t number, rt::PropValue* value) {
  if (number == 0) static_cast<TimerObject*>(unit)->SetInterval(static_cast<int32_t>(value->value));
  return 0;
}

bool GetTimerProperty(forms::UnitObject* unit, int32_t number, rt::PropValue* value) {
  if (number != 0) return false;
  *value = {static_cast<uint32_t>(static_cast<TimerObject*>(unit)->interval()), 0};
  return true;
}

std::vector<uint8_t> TimerPropertyData(forms::UnitObject* unit) {
  return WriteTimerBlock(static_cast<TimerObject*>(unit)->interval());
}

const rt::PropertyInfo kTimerOwnProperties[] = {
    {"时钟周期", "Interval", nullptr, rt::proptype::kInteger, nullptr}};
constexpr auto kTimerProperties = WithCommonProperties(kTimerOwnProperties);

constexpr forms::UnitTypeDescription kTimerDescription = {
    "时钟",
    "Timer",
    rt::typeflag::kAlwaysSet | rt::typeflag::kNoWindowShown | rt::typeflag::kWindowUnit,
    kTimerProperties.data(),
    kTimerProperties.size(),
    &CreateTimer,
    &SetTimerProperty,
    &TimerPropertyData,
    &GetTimerProperty};

}  // namespace

const rt::UnitTypeRecord& TimerType() { return forms::TypeRecordOf<kTimerDescription>(); }

void TimerObject::SetInterval(int32_t value) {
  if (value < 0) value = 0;
  if (value == interval_) return;
  interval_ = value;
  Stop();
  if (interval_ > 0) Start();
}

void TimerObject::Start() {
  running_ = hwnd() != nullptr && ::SetTimer(hwnd(), kTimerId, interval_, nullptr) != 0;
}

void TimerObject::Stop() {
  if (running_) ::KillTimer(hwnd(), kTimerId);
  running_ = false;
}

// The timer id of WM_TIMER is not checked: the unit's window holds no other.
LRESULT TimerObject::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CallOriginal(message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      if (result != -1 && interval_ > 0) Start();
      break;
    case WM_TIMER: forms::RaiseWordEvent(formId(), unitId(), forms::event::kMain); break;
    case WM_DESTROY: Stop(); break;
    default: break;
  }
  return result;
}

}  // namespace units
