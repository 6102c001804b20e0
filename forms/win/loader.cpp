// Loading a form into live unit objects, the modal wait, rebuilding a unit,
// and what happens when units and forms go away.

#include <algorithm>
#include <utility>
#include <vector>

#include "forms/win/framework.h"
#include "forms/win/framework_state.h"
#include "runtime/runtime.h"
#include "runtime/service.h"

namespace forms {

namespace {

constexpr uint32_t kFirstControlId = 100;
constexpr uint32_t kControlIdStep = 10;

struct Created {
  UnitRecord* record;
  bool shown;
};

// Everything a load builds up before it is complete.
struct LoadContext {
  FormRecord& form;
  HWND owner;
  bool modal;
  MenuBar bar;
  std::vector<Created> units;  // in creation order; the form window first
  HWND formWindow = nullptr;
};

void EnterBusySection() { rt::Service(rt::svc::kEnterBusy, 0, 0); }
void LeaveBusySection() { rt::Service(rt::svc::kLeaveBusy, 0, 0); }

// The order of creation: the form window, then from the last position down.
std::vector<size_t> CreationOrder(const FormRecord& form) {
  std::vector<size_t> order;
  const auto& records = form.units.records;
  if (records.empty()) return order;
  order.push_back(0);
  for (size_t pos = records.size() - 1; pos >= 1; --pos) {
    if (!records[pos].IsMenuItem()) order.push_back(pos);
  }
  return order;
}

UnitObject* CreateOne(LoadContext& ctx, UnitRecord& record, bool isForm, uint32_t controlId,
                      bool& shown) {
  CreateFn create = Operation<CreateFn>(TypeOf(record), op::kCreate);
  if (create == nullptr) return nullptr;
  const uint32_t typeFlags = TypeFlags(record);
  const uint32_t flags = record.Flags();
  DWORD style = 0;
  if (typeFlags & rt::typeflag::kNoWindowShown) {
    shown = false;
  } else {
    shown = (flags & unitflag::kVisible) != 0;
    if (flags & unitflag::kDisabled) style |= WS_DISABLED;
  }
  if (flags & unitflag::kTabStop) style |= WS_TABSTOP;
  CreateRequest request{record.propertyData.data(),
                        static_cast<uint32_t>(record.propertyData.size()),
                        style,
                        isForm ? ctx.owner : ctx.formWindow,
                        isForm ? 0 : controlId,
                        isForm ? ctx.bar.menu.get() : nullptr,
                        record.left,
                        record.top,
                        record.width,
                        record.height,
                        ctx.form.id,
                        record.id};
  if (isForm) State().creatingModal = ctx.modal;
  UnitObject* object = create(request);
  State().creatingModal = false;
  // The menu bar belongs to the form window only once that window exists; a
  // window that took it and failed while it was created destroyed it.
  if (isForm && ((object && ::IsWindow(object->hwnd())) || !::IsMenu(ctx.bar.menu.get()))) {
    ctx.bar.menu.Release();
  }
  return object;
}

bool CreateUnits(LoadContext& ctx) {
  const CreationHookScope hook;
  uint32_t controlId = kFirstControlId;
  for (size_t pos : CreationOrder(ctx.form)) {
    UnitRecord& record = ctx.form.units.records[pos];
    const bool isForm = pos == 0;
    bool shown = false;
    UnitObject* object = CreateOne(ctx, record, isForm, controlId, shown);
    if (object == nullptr || (isForm && !::IsWindow(object->hwnd()))) return false;
    if (!isForm) controlId += kControlIdStep;
    if (isForm) ctx.formWindow = object->hwnd();
    record.object = object;
    ctx.units.push_back({&record, shown});
  }
  return true;
}

Created* CreatedUnit(LoadContext& ctx, uint32_t id) {
  for (Created& c : ctx.units) {
    if (c.record->id == id) return &c;
  }
  return nullptr;
}

HWND WindowOf(const UnitRecord& record) {
  auto* object = static_cast<UnitObject*>(record.object);
  return object ? object->hwnd() : nullptr;
}

void ParentUnits(LoadContext& ctx) {
  auto& records = ctx.form.units.records;
  for (size_t pos = 1; pos < records.size(); ++pos) {
    UnitRecord& record = records[pos];
    if (record.IsMenuItem() || record.object == nullptr) continue;
    const UnitRecord* parent = record.parent ? ctx.form.units.Find(record.parent) : nullptr;
    HWND parentWindow = parent && parent->object ? WindowOf(*parent) : ctx.formWindow;
    // Units are made as children of the form window: only those placed on
    // another unit move (setting the same parent again would only reorder).
    HWND window = WindowOf(record);
    if (::GetAncestor(window, GA_PARENT) != parentWindow) ::SetParent(window, parentWindow);
    if (!(TypeFlags(record) & rt::typeflag::kPagedContainer)) continue;
    bool afterFirstPage = false;
    for (uint32_t child : record.childIds) {
      if (child == 0) afterFirstPage = true;
      if (Created* c = afterFirstPage ? CreatedUnit(ctx, child) : nullptr) c->shown = false;
    }
  }
}

}  // namespace

// Siblings stack in table order: each window goes right below the nearest
// earlier unit with the same parent window, or to the top. `showFlags` may
// show or hide it in the same move, and may defer erasing.
void PlaceInZOrder(FormRecord& form, size_t pos, UINT showFlags) {
  auto& records = form.units.records;
  HWND window = WindowOf(records[pos]);
  HWND parent = ::GetParent(window);
  HWND after = HWND_TOP;
  for (size_t earlier = pos - 1; earlier >= 1; --earlier) {
    HWND candidate = records[earlier].IsMenuItem() ? nullptr : WindowOf(records[earlier]);
    if (candidate && ::IsWindow(candidate) && ::GetParent(candidate) == parent) {
      after = candidate;
      break;
    }
  }
  ::SetWindowPos(window, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | showFlags);
}

namespace {

void MakeCursors(FormRecord& form) {
  for (UnitRecord& record : form.units.records) {
    if (!record.IsMenuItem()) record.cursor = MakeCursor(record.mousePointer);
  }
}

// Walks by position, so that records replaced meanwhile are read afresh.
void SendToAllUnits(FormRecord& form, UINT message) {
  auto& records = form.units.records;
  for (size_t pos = records.size(); pos-- > 0;) {
    if (pos >= records.size()) continue;
    if (HWND window = records[pos].IsMenuItem() ? nullptr : WindowOf(records[pos])) {
      ::SendMessageA(window, message, 0, 0);
    }
  }
}

// Each unit goes to its place among its siblings and is shown or hidden in
// the same move. Units were made last first, so they are placed in reverse:
// in table order, each below the one before it. The form window is not on
// the screen yet, so no move needs anything erased at once.
void StackAndShowUnits(LoadContext& ctx) {
  auto& records = ctx.form.units.records;
  for (auto it = ctx.units.rbegin(); it != ctx.units.rend(); ++it) {
    if (it->record == &records[0]) continue;
    const auto pos = static_cast<size_t>(it->record - records.data());
    PlaceInZOrder(ctx.form, pos, SWP_DEFERERASE | (it->shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  }
}

// A failed load takes back what it made, last made first, so that the form
// is only registered again and a later load starts afresh. The busy section
// is still open: nothing of this reaches the program.
void FailLoad(LoadContext& ctx) {
  State().tearingDownLoad = true;
  for (auto it = ctx.units.rbegin(); it != ctx.units.rend(); ++it) {
    // The form window goes last; its going restores the records.
    if (UnitObject* object = LiveObject(*it->record)) ::DestroyWindow(object->hwnd());
  }
  State().tearingDownLoad = false;
  FormState* state = StateOf(ctx.form);
  if (state->snapshot) {
    ctx.form.units = std::move(*state->snapshot);
    state->snapshot.reset();
  }
  ctx.bar.accelerators.Reset();
  ctx.bar.menu.Reset();  // unless the form window took it
  LeaveBusySection();
}

// The form window this load made, found again after anything that may have
// run program code; null once it is gone.
FormWindowObject* FormWindowAgain(FormRecord& form, HWND formWindow) {
  FormWindowObject* window = LiveFormWindow(form);
  return window && window->hwnd() == formWindow ? window : nullptr;
}

void RaiseFormEvent(FormRecord& form, HWND formWindow, int32_t number) {
  if (!FormWindowAgain(form, formWindow)) return;
  WordEvent e;
  e.formId = form.id;
  e.event = number;
  RaiseWord(e);
}

void ShowForm(FormRecord& form, HWND formWindow) {
  FormWindowObject* window = FormWindowAgain(form, formWindow);
  if (window == nullptr) return;
  const int state = rt::HeaderWord(0) != 0 ? window->StartState() : 0;
  if (state == 3) {
    window->ShowMaximised();
  } else {
    ::ShowWindow(formWindow, state == 2 ? SW_SHOWMINIMIZED : SW_SHOW);
  }
  HWND focus = ::GetFocus();
  if (focus == nullptr || !FormWindowAgain(form, formWindow)) return;
  UnitRecord* unit = focus == formWindow ? &form.units.records[0] : UnitOwningWindow(form, focus);
  if (unit == nullptr) return;
  WordEvent e;
  e.formId = form.id;
  e.unitId = unit == &form.units.records[0] ? 0 : unit->id;
  e.event = event::kFocusGained;
  RaiseWord(e);
}

// Disables every other loaded top-level form while a modal form is up.
void DisableOtherForms(FormRecord& modalForm) {
  FormState* state = StateOf(modalForm);
  for (FormRecord& other : State().registry.forms) {
    FormWindowObject* window = &other == &modalForm ? nullptr : LiveFormWindow(other);
    if (window == nullptr || ::GetParent(window->hwnd()) != nullptr) continue;
    state->disabledForModal.push_back({window->hwnd(), ::IsWindowEnabled(window->hwnd()) != 0});
    ::EnableWindow(window->hwnd(), FALSE);
  }
}

void FinishLoad(FormRecord& form, HWND formWindow) {
  HWND focus = ::GetFocus();
  SendToAllUnits(form, kMsgLoadComplete);
  if (focus && ::IsWindow(focus) && ::GetFocus() != focus) ::SetFocus(focus);
  if (FormWindowObject* window = FormWindowAgain(form, formWindow)) window->loadComplete = true;
}

// From the form's events on, program code runs after almost every step and
// may close, reload or rebuild the form: its window is found again each time.
void CompleteLoad(FormRecord& form, HWND formWindow, bool shown, bool modal) {
  for (int32_t number : {event::kLoaded, event::kMoved, event::kResized}) {
    RaiseFormEvent(form, formWindow, number);
  }
  if (shown) ShowForm(form, formWindow);
  FormWindowObject* window = FormWindowAgain(form, formWindow);
  if (window == nullptr) return;
  if (modal) {
    window->modal = true;
    DisableOtherForms(form);
  }
  FinishLoad(form, formWindow);
}

}  // namespace

bool LoadForm(FormRecord& form, HWND owner, bool modal) {
  if (FormWindowObject* existing = LiveFormWindow(form)) {
    if (::IsIconic(existing->hwnd())) {
      ::ShowWindow(existing->hwnd(), SW_RESTORE);
    } else {
      ::SetActiveWindow(existing->hwnd());
    }
    return true;
  }
  if (modal) owner = nullptr;
  if (owner && !::IsWindow(owner)) return false;
  if (form.units.records.empty()) return false;

  EnterBusySection();
  StateOf(form)->snapshot = form.units;
  LoadContext ctx{form, owner, modal, BuildMenuBar(form), {}, nullptr};
  if (!CreateUnits(ctx)) {
    FailLoad(ctx);
    return false;
  }
  ParentUnits(ctx);
  MakeCursors(form);
  SendToAllUnits(form, kMsgLoadedAll);
  ::SendMessageA(ctx.formWindow, kMsgLayout, 0, 0);
  StackAndShowUnits(ctx);
  auto* window = static_cast<FormWindowObject*>(form.units.records[0].object);
  window->SetAccelerators(std::move(ctx.bar.accelerators));
  LeaveBusySection();
  CompleteLoad(form, ctx.formWindow, ctx.units.front().shown, modal);
  return true;
}

void ModalWait(FormRecord& form, FormWindowObject* ownerForm) {
  FormWindowObject* window = LiveFormWindow(form);
  if (window == nullptr) return;
  window->loadComplete = false;
  if (ownerForm && ownerForm->topmost) {
    ::SetWindowPos(window->hwnd(), HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    window->topmost = true;
  }
  // Modal forms nest, but may be closed in any order: each loop waits for
  // its own form, and the innermost form still waiting is the modal one.
  State().modalWaits.push_back(form.id);
  State().modalFormId = form.id;
  RunMessageLoop(form.id);
  EndModalWait(form.id);
}

bool ModalWaiting(uint32_t formId) {
  const auto& waits = State().modalWaits;
  return std::find(waits.begin(), waits.end(), formId) != waits.end();
}

void EndModalWait(uint32_t formId) {
  auto& waits = State().modalWaits;
  waits.erase(std::remove(waits.begin(), waits.end(), formId), waits.end());
  State().modalFormId = waits.empty() ? 0 : waits.back();
}

bool LoadFormService(uint32_t formId, UnitObject* owner, bool modal) {
  FormRecord* form = FindForm(formId);
  // The owner may be gone once the form's events have run: keep only its ids.
  HWND ownerWindow = owner ? owner->hwnd() : nullptr;
  const uint32_t ownerFormId = owner ? owner->formId() : 0;
  if (form == nullptr || !LoadForm(*form, ownerWindow, modal)) return false;
  FormWindowObject* window = LiveFormWindow(*form);
  if (modal && window && (form->units.records[0].Flags() & unitflag::kVisible)) {
    FormRecord* ownerForm = owner ? FindForm(ownerFormId) : nullptr;
    ModalWait(*form, ownerForm ? LiveFormWindow(*ownerForm) : nullptr);
  }
  return true;
}

uint32_t ModalFormId() { return State().modalFormId; }

}  // namespace forms

namespace forms {

// ---- Rebuilding a unit -------------------------------------------------------------

namespace {

RECT RectInParent(HWND window) {
  RECT rc;
  ::GetWindowRect(window, &rc);
  ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

void MoveChildren(HWND from, HWND to) {
  std::vector<HWND> children;
  for (HWND c = ::GetWindow(from, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
    children.push_back(c);
  }
  for (HWND c : children) ::SetParent(c, to);
}

UnitObject* CreateReplacement(FormRecord& form, UnitRecord& record, UnitObject& old) {
  CreateFn create = Operation<CreateFn>(TypeOf(record), op::kCreate);
  PropertyDataFn data = Operation<PropertyDataFn>(TypeOf(record), op::kPropertyData);
  if (create == nullptr || data == nullptr) return nullptr;
  std::vector<uint8_t> block = data(&old);
  HWND oldWindow = old.hwnd();
  RECT rc = RectInParent(oldWindow);
  DWORD style = ::IsWindowEnabled(oldWindow) ? 0 : WS_DISABLED;
  if (record.Flags() & unitflag::kTabStop) style |= WS_TABSTOP;
  CreateRequest request{block.data(),
                        static_cast<uint32_t>(block.size()),
                        style,
                        ::GetParent(oldWindow),
                        static_cast<uint32_t>(::GetDlgCtrlID(oldWindow)),
                        nullptr,
                        rc.left,
                        rc.top,
                        rc.right - rc.left,
                        rc.bottom - rc.top,
                        form.id,
                        record.id};
  return create(request);
}

}  // namespace

void RebuildUnit(FormRecord& form, UnitRecord& record) {
  auto* old = static_cast<UnitObject*>(record.object);
  const uint32_t typeFlags = TypeFlags(record);
  if (old == nullptr || (typeFlags & rt::typeflag::kNeverRebuilt)) return;
  HWND oldWindow = old->hwnd();
  HWND focus = ::GetFocus();
  const bool hadFocus = focus == oldWindow;
  UnitObject* replacement = CreateReplacement(form, record, *old);
  if (replacement == nullptr || !::IsWindow(replacement->hwnd())) return;
  HWND window = replacement->hwnd();
  if (typeFlags & rt::typeflag::kChildrenMove) MoveChildren(oldWindow, window);
  record.object = replacement;
  PlaceInZOrder(form, static_cast<size_t>(&record - form.units.records.data()));
  ::SendMessageA(window, kMsgLoadedAll, 0, 0);
  ::SendMessageA(window, kMsgLoadComplete, 0, 0);
  if (typeFlags & rt::typeflag::kParentNotified) {
    ::SendMessageA(::GetParent(window), kMsgLayout, 0, 0);
  }
  if (::IsWindowVisible(oldWindow)) ::ShowWindow(window, SW_SHOWNA);
  State().replacing = true;
  ::DestroyWindow(oldWindow);
  State().replacing = false;
  if (hadFocus) {
    ::SetFocus(window);
  } else if (focus && ::IsWindow(focus) && ::GetFocus() != focus) {
    ::SetFocus(focus);
  }
}

// ---- Units and forms going away ----------------------------------------------------

void UnitDestroyed(uint32_t formId, uint32_t unitId) {
  if (State().replacing) return;
  FormRecord* form = FindForm(formId);
  UnitRecord* record = form ? FindRecord(*form, unitId) : nullptr;
  if (record == nullptr) return;
  if (record != &form->units.records[0]) {
    FreeCursor(record->cursor);
    record->cursor = nullptr;
    record->object = nullptr;
    return;
  }
  FormState* state = StateOf(*form);
  if (state->snapshot) {
    form->units = std::move(*state->snapshot);
    state->snapshot.reset();
  }
  for (UnitRecord& r : form->units.records) r.object = r.cursor = nullptr;
  EndModalWait(formId);
}

void ReenableAfterModal(FormRecord& form) {
  // Enabling a window may run program code that disables windows again.
  auto disabled = std::move(StateOf(form)->disabledForModal);
  StateOf(form)->disabledForModal.clear();
  for (const auto& [window, wasEnabled] : disabled) {
    if (::IsWindow(window)) ::EnableWindow(window, wasEnabled);
  }
}

void ReenableAfterModalDisplay(uint32_t formId) {
  if (FormRecord* form = FindForm(formId)) ReenableAfterModal(*form);
}

void FormWindowGone(uint32_t formId) {
  FormRecord* form = FindForm(formId);
  if (form == nullptr) return;
  for (UnitRecord& record : form->units.records) {
    FreeCursor(record.cursor);
    record.cursor = nullptr;
  }
  rt::Service(rt::svc::kUnitDestroyed, formId, 0);
  // Last, as it may run program code: the form is unloaded by now.
  ReenableAfterModal(*form);
  if (State().tearingDownLoad) return;
  if (!AnyFormWindowExists() && State().loopEntered) ::PostQuitMessage(0);
}

}  // namespace forms
