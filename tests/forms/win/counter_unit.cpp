#include "tests/forms/win/counter_unit.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "forms/events.h"
#include "forms/win/unit_type.h"
#include "units/common_properties.h"

namespace testunits {

namespace {

class CounterObject : public forms::UnitObject {
 public:
  CounterObject(uint32_t formId, uint32_t unitId, int32_t count)
      : UnitObject(formId, unitId), count(count) {}

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_LBUTTONUP) {
      forms::RaiseWordEvent(formId(), unitId(), forms::event::kMain,
                            {static_cast<uint32_t>(++count)});
    }
    return CallOriginal(message, wParam, lParam);
  }

  int32_t count;
};

forms::UnitObject* CreateCounter(const forms::CreateRequest& r) {
  int32_t count = 0;
  if (r.length >= sizeof count) std::memcpy(&count, r.data, sizeof count);
  auto* counter = new CounterObject(r.formId, r.unitId, count);
  if (!counter->AttachingCreate(0, "STATIC", "", r.style | WS_CHILD, r.left, r.top, r.width,
                                r.height, r.parent,
                                reinterpret_cast<HMENU>(static_cast<uintptr_t>(r.controlId)))) {
    delete counter;
    return nullptr;
  }
  return counter;
}

int32_t SetCount(forms::UnitObject* unit, int32_t number, rt::PropValue* value) {
  if (number == 0) static_cast<CounterObject*>(unit)->count = static_cast<int32_t>(value->value);
  return 0;
}

bool GetCount(forms::UnitObject* unit, int32_t number, rt::PropValue* value) {
  if (number != 0) return false;
  value->value = static_cast<uint32_t>(static_cast<CounterObject*>(unit)->count);
  return true;
}

std::vector<uint8_t> CountBlock(forms::UnitObject* unit) {
  std::vector<uint8_t> block(sizeof(int32_t));
  std::memcpy(block.data(), &static_cast<CounterObject*>(unit)->count, block.size());
  return block;
}

const rt::PropertyInfo kOwnProperties[] = {
    {"计数", "Count", nullptr, rt::proptype::kInteger, nullptr}};
constexpr auto kProperties = units::WithCommonProperties(kOwnProperties);

constexpr forms::UnitTypeDescription kCounterDescription = {
    "计数器",           "Counter",          rt::typeflag::kAlwaysSet | rt::typeflag::kWindowUnit,
    kProperties.data(), kProperties.size(), &CreateCounter,
    &SetCount,          &CountBlock,        &GetCount};

}  // namespace

const rt::UnitTypeRecord& CounterType() { return forms::TypeRecordOf<kCounterDescription>(); }

}  // namespace testunits
