// The runtime services the form framework answers.

#include "forms/win/framework.h"
#include "forms/win/framework_state.h"
#include "runtime/service.h"

namespace forms {

namespace {

template <typename T>
T* Pointer(uintptr_t value) {
  return reinterpret_cast<T*>(value);
}

uint64_t Address(const void* p) { return reinterpret_cast<uintptr_t>(p); }

// Service 1012's record: the window, the routine and its argument.
struct IdleCallbackRecord {
  HWND window;
  void (*routine)(uintptr_t argument);
  uintptr_t argument;
};

// Service 2005's record.
struct LoadFormRecord {
  uint32_t formId;
  UnitObject* owner;
  int32_t modal;
};

uint64_t AddIdleCallback(uintptr_t record, uintptr_t) {
  const auto* r = Pointer<const IdleCallbackRecord>(record);
  auto& callbacks = State().idleCallbacks;
  if (r == nullptr || r->routine == nullptr) return 0;
  for (const IdleCallback& c : callbacks) {
    if (c.window == r->window) return 0;
  }
  callbacks.push_back({r->window, r->routine, r->argument});
  return 1;
}

uint64_t RemoveIdleCallbacks(uintptr_t window, uintptr_t) {
  auto& callbacks = State().idleCallbacks;
  for (size_t i = callbacks.size(); i-- > 0;) {
    if (callbacks[i].window == Pointer<HWND__>(window)) {
      callbacks.erase(callbacks.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  return 0;
}

uint64_t EventSource(uintptr_t out, uintptr_t) {
  if (!State().eventSourceSet) return 0;
  if (auto* ids = Pointer<uint32_t>(out)) {
    ids[0] = State().eventFormId;
    ids[1] = State().eventUnitId;
  }
  return 1;
}

uint64_t UnitTypeCode(uintptr_t formId, uintptr_t unitId) {
  FormRecord* form = FindForm(static_cast<uint32_t>(formId));
  UnitRecord* record = form ? FindRecord(*form, static_cast<uint32_t>(unitId)) : nullptr;
  return record ? record->typeCode : 0;
}

uint64_t FormWindowHandle(uintptr_t formId, uintptr_t) {
  FormRecord* form = FindForm(static_cast<uint32_t>(formId));
  FormWindowObject* window = form ? LiveFormWindow(*form) : nullptr;
  return window ? Address(window->hwnd()) : 0;
}

}  // namespace

void RegisterServices() {
  using namespace rt::svc;
  rt::SetServiceHandler(
      kFormsRegistry, [](uintptr_t, uintptr_t) -> uint64_t { return Address(&State().registry); });
  rt::SetServiceHandler(kAddIdleCallback, AddIdleCallback);
  rt::SetServiceHandler(kRemoveIdleCallbacks, RemoveIdleCallbacks);
  rt::SetServiceHandler(kUnitDestroyed, [](uintptr_t formId, uintptr_t unitId) -> uint64_t {
    UnitDestroyed(static_cast<uint32_t>(formId), static_cast<uint32_t>(unitId));
    return 0;
  });
  rt::SetServiceHandler(kLoadForm, [](uintptr_t record, uintptr_t) -> uint64_t {
    const auto* r = Pointer<const LoadFormRecord>(record);
    return r && LoadFormService(r->formId, r->owner, r->modal != 0) ? 1 : 0;
  });
  rt::SetServiceHandler(kFindUnit, [](uintptr_t formId, uintptr_t unitId) -> uint64_t {
    return Address(FindUnitObject(static_cast<uint32_t>(formId), static_cast<uint32_t>(unitId)));
  });
  rt::SetServiceHandler(kFindUnitOrFail, [](uintptr_t formId, uintptr_t unitId) -> uint64_t {
    return Address(
        FindUnitObjectOrFail(static_cast<uint32_t>(formId), static_cast<uint32_t>(unitId)));
  });
  rt::SetServiceHandler(kRaiseEvent, [](uintptr_t record, uintptr_t) -> uint64_t {
    return RaiseWord(*Pointer<WordEvent>(record)) ? 1 : 0;
  });
  rt::SetServiceHandler(kRaiseTypedEvent, [](uintptr_t record, uintptr_t) -> uint64_t {
    return RaiseTyped(*Pointer<TypedEvent>(record)) ? 1 : 0;
  });
  rt::SetServiceHandler(kEventSource, EventSource);
  rt::SetServiceHandler(kUnitTypeCode, UnitTypeCode);
  rt::SetServiceHandler(
      kFormCount, [](uintptr_t, uintptr_t) -> uint64_t { return State().registry.forms.size(); });
  rt::SetServiceHandler(kFormWindow, FormWindowHandle);
}

}  // namespace forms
