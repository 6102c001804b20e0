// The forms registry: reading the template data at start-up, finding forms,
// units and their objects, and the services that answer those questions.

#include "forms/win/framework.h"
#include "forms/win/framework_state.h"
#include "runtime/fatal.h"
#include "runtime/messages.h"
#include "runtime/runtime.h"
#include "runtime/service.h"

namespace forms {

FrameworkState& State() {
  static FrameworkState state;
  return state;
}

// ---- Lookups -----------------------------------------------------------------------

FormRecord* FindForm(uint32_t formId) { return State().registry.Find(formId); }

FormState* StateOf(const FormRecord& form) {
  size_t index = &form - State().registry.forms.data();
  return index < State().formStates.size() ? &State().formStates[index] : nullptr;
}

UnitRecord* FindRecord(FormRecord& form, uint32_t unitId) {
  auto& records = form.units.records;
  if (unitId == 0) return records.empty() ? nullptr : &records[0];
  return form.units.Find(unitId);
}

UnitObject* LiveObject(const UnitRecord& record) {
  auto* object = static_cast<UnitObject*>(record.object);
  return object && ::IsWindow(object->hwnd()) ? object : nullptr;
}

FormWindowObject* LiveFormWindow(FormRecord& form) {
  UnitRecord* record = FindRecord(form, 0);
  return record ? static_cast<FormWindowObject*>(LiveObject(*record)) : nullptr;
}

const rt::UnitTypeRecord* TypeOf(const UnitRecord& record) {
  return rt::FindUnitType(record.typeCode);
}

uint32_t TypeFlags(const UnitRecord& record) {
  const rt::UnitTypeRecord* type = TypeOf(record);
  return type ? type->flags : 0;
}

UnitRecord* UnitOwningWindow(FormRecord& form, HWND window) {
  for (UnitRecord& record : form.units.records) {
    UnitObject* object = LiveObject(record);
    if (object && object->hwnd() == window) return &record;
  }
  const uint32_t inner = rt::typeflag::kOwnsInnerWindows | rt::typeflag::kOwnsInnerWindows2;
  for (UnitRecord& record : form.units.records) {
    UnitObject* object = LiveObject(record);
    if (object && (TypeFlags(record) & inner) && ::IsChild(object->hwnd(), window)) {
      return &record;
    }
  }
  return nullptr;
}

bool AnyFormWindowExists() {
  for (FormRecord& form : State().registry.forms) {
    if (LiveFormWindow(form)) return true;
  }
  return false;
}

// ---- Public lookups -------------------------------------------------------------------

UnitObject* FindUnitObject(uint32_t formId, uint32_t unitId) {
  FormRecord* form = FindForm(formId);
  UnitRecord* record = form ? FindRecord(*form, unitId) : nullptr;
  return record && !record->IsMenuItem() ? LiveObject(*record) : nullptr;
}

UnitObject* FindUnitObjectOrFail(uint32_t formId, uint32_t unitId) {
  UnitObject* object = FindUnitObject(formId, unitId);
  if (object == nullptr) rt::FatalError(rt::msg::kUnitNotLoaded);
  return object;
}

std::vector<FormWindowObject*> LiveFormWindows() {
  std::vector<FormWindowObject*> windows;
  for (FormRecord& form : State().registry.forms) {
    if (FormWindowObject* window = LiveFormWindow(form)) windows.push_back(window);
  }
  return windows;
}

bool CreatingModalForm() { return State().creatingModal; }
HWND MainWindow() { return State().mainWindow; }

// ---- Start-up and shutdown -------------------------------------------------------------

namespace {

void ReadTemplateHook(const uint8_t* data, uint32_t size, const rt::CodeBase* codeBase) {
  std::optional<TemplateData> read = ReadTemplate(data, size);
  rt::CodeBase none{};
  if (!read || !RelocateHandlers(*read, codeBase ? *codeBase : none)) {
    rt::FatalError(rt::msg::kTemplateLoadFailed);
  }
  State().registry = std::move(*read);
  State().formStates.assign(State().registry.forms.size(), FormState{});
}

void LoadStartupFormHook(uint32_t formId) {
  FormRecord* form = FindForm(formId);
  if (form == nullptr || !LoadForm(*form, nullptr, false)) {
    rt::FatalError(rt::msg::kStartupFormFailed);
  }
  if (State().mainWindow == nullptr) {
    if (FormWindowObject* window = LiveFormWindow(*form)) State().mainWindow = window->hwnd();
  }
}

void ReleaseForms() {
  State().idleCallbacks.clear();
  for (FormRecord& form : State().registry.forms) {
    if (FormWindowObject* window = LiveFormWindow(form)) ::DestroyWindow(window->hwnd());
  }
}

}  // namespace

void InstallFramework() {
  rt::FrameworkHooks hooks;
  hooks.readTemplate = ReadTemplateHook;
  hooks.loadStartupForm = LoadStartupFormHook;
  hooks.messageLoop = [] {
    State().loopEntered = true;
    if (AnyFormWindowExists()) RunMessageLoop(0);
  };
  hooks.readProperty = ReadProperty;
  hooks.writeProperty = WriteProperty;
  hooks.releaseForms = ReleaseForms;
  rt::InstallFramework(hooks);
  RegisterServices();
}

void ResetFrameworkForTest() {
  ReleaseForms();
  State() = FrameworkState{};
}

}  // namespace forms
