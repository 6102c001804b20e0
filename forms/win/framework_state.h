#pragma once
// The form framework's state and the functions its parts share: the forms
// registry, loading, property access, events, menus and the message loop.

#include <windows.h>

#include <optional>
#include <vector>

#include "forms/events.h"
#include "forms/template.h"
#include "forms/win/unit.h"

namespace forms {

// What the framework keeps beside a form's records.
struct FormState {
  std::optional<UnitTable> snapshot;                    // the records as they were at load
  std::vector<std::pair<HWND, bool>> disabledForModal;  // windows and whether they were enabled
};

struct IdleCallback {
  HWND window;
  void (*routine)(uintptr_t argument);
  uintptr_t argument;
};

// One idle period of the message loop: from the message that started it to
// the next one that restarts idle processing.
struct IdlePeriod {
  bool generalPending = false;
  DWORD start = 0;
  std::vector<HWND> finished;  // forms whose idle event said it is done
  POINT lastMouse = {-1, -1};
};

struct FrameworkState {
  TemplateData registry;
  std::vector<FormState> formStates;  // parallel to registry.forms
  bool replacing = false;             // a unit is being rebuilt
  bool tearingDownLoad = false;       // a failed load takes back its windows
  bool creatingModal = false;         // read by the form window while it is created
  uint32_t modalFormId = 0;           // the form the innermost modal loop waits for
  std::vector<uint32_t> modalWaits;   // forms whose modal loops still wait, innermost last
  bool loopEntered = false;
  HWND mainWindow = nullptr;  // the start-up form's window
  uint32_t eventFormId = 0;   // the current event source
  uint32_t eventUnitId = 0;
  bool eventSourceSet = false;
  std::vector<IdleCallback> idleCallbacks;
  IdlePeriod idle;
  // Cursors made from images; the standard ones are shared and never destroyed.
  std::vector<rt::CursorHandle> cursors;
  // Sets the thread hook that attaches a unit window as it is created;
  // tests put in one that fails.
  HHOOK(WINAPI* setCreationHook)(int, HOOKPROC, HINSTANCE, DWORD) = ::SetWindowsHookExA;
};

FrameworkState& State();

// While a form's units are made: the first standard control that needs the
// creation hook sets it and it stays until the scope ends, so that each one
// does not set and remove one of its own. Units of the framework's own
// classes and of its copies of standard controls need no hook. An inner
// scope leaves the hook to the outer one; a hook that could not be set
// leaves the units to set their own.
class CreationHookScope {
 public:
  CreationHookScope();
  ~CreationHookScope();
  CreationHookScope(const CreationHookScope&) = delete;
  CreationHookScope& operator=(const CreationHookScope&) = delete;

 private:
  bool outer_;
};

// ---- Registry ------------------------------------------------------------------
FormRecord* FindForm(uint32_t formId);
FormState* StateOf(const FormRecord& form);
// Unit id 0 names position 0, the form's window unit.
UnitRecord* FindRecord(FormRecord& form, uint32_t unitId);
// The live object of a unit whose window exists; null otherwise.
UnitObject* LiveObject(const UnitRecord& record);
FormWindowObject* LiveFormWindow(FormRecord& form);
const rt::UnitTypeRecord* TypeOf(const UnitRecord& record);
uint32_t TypeFlags(const UnitRecord& record);
// The unit of a form that owns a window (directly, or by the flags that
// claim inner windows); null when none.
UnitRecord* UnitOwningWindow(FormRecord& form, HWND window);
bool AnyFormWindowExists();

// ---- Loading ---------------------------------------------------------------------
bool LoadForm(FormRecord& form, HWND owner, bool modal);
void ModalWait(FormRecord& form, FormWindowObject* ownerForm);
bool ModalWaiting(uint32_t formId);
// The modal loop of the form (if any) ends; the next inner one still waiting
// becomes the modal form.
void EndModalWait(uint32_t formId);
void PlaceInZOrder(FormRecord& form, size_t position, UINT showFlags = 0);
void RebuildUnit(FormRecord& form, UnitRecord& record);
// Service 2000: a unit's window (or the form's, unit id 0) is gone.
void UnitDestroyed(uint32_t formId, uint32_t unitId);
// The last steps after a form window is gone.
void FormWindowGone(uint32_t formId);
// Gives back the enabled state the form's modal display took away.
void ReenableAfterModal(FormRecord& form);
// Cursors of MousePointer values; only cursors made from images are destroyed.
void* MakeCursor(const std::vector<uint8_t>& value);
void FreeCursor(void* cursor);

// ---- Events ----------------------------------------------------------------------
bool RaiseWord(WordEvent& event);
bool RaiseTyped(TypedEvent& event);

// ---- Menus -----------------------------------------------------------------------
// A menu bar until it is given to the form window, and its shortcuts until
// they are given to the form window object.
struct MenuBar {
  rt::MenuHandle menu;
  rt::AcceleratorTable accelerators;
};
MenuBar BuildMenuBar(const FormRecord& form);
void RebuildMenuBar(FormRecord& form);
// The menu item records of the form's menu bar, in order.
std::vector<UnitRecord*> MenuItems(FormRecord& form);
bool HandleMenuCommand(FormRecord& form, UINT id, LRESULT& result);

// ---- Message loop and keyboard -------------------------------------------------------
// The main loop (modalForm 0) until the quit message, or a modal loop until
// the form it waits for is gone; a quit message that ends a modal loop stays
// queued for the main loop.
void RunMessageLoop(uint32_t modalForm);
bool PreTranslateForm(FormWindowObject& window, MSG& msg);
bool HandleSetCursor(FormWindowObject& window, HWND target, LPARAM lParam);
void MoveFocus(FormRecord& form, HWND from, bool forward, bool groupMode, HWND container);

// ---- Installation ---------------------------------------------------------------------
void RegisterServices();

}  // namespace forms
