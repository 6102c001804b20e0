#pragma once
// The form framework as other layers use it: installing it into the runtime,
// finding unit objects, property access and loading forms.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "forms/win/unit.h"
#include "runtime/program.h"

namespace forms {

// Hooks the framework into the runtime (template reading, forms, property
// access, message loop, shutdown) and registers its services. Call before
// the runtime initialises.
void InstallFramework();

// The object of a loaded unit (unit id 0: the form's window unit); null when
// the form or unit is unknown, is a menu item, or its window is gone.
UnitObject* FindUnitObject(uint32_t formId, uint32_t unitId);
// As FindUnitObject; a missing unit is a fatal runtime error.
UnitObject* FindUnitObjectOrFail(uint32_t formId, uint32_t unitId);

// Helpers 4 and 5: properties by (form id, unit id, number, element index).
rt::PropValue ReadProperty(uint32_t formId, uint32_t unitId, int32_t index, int32_t element);
void WriteProperty(uint32_t formId, uint32_t unitId, int32_t index, int32_t element,
                   rt::PropValue value);

// The whole font of a font property (element index -1): seven words, the
// last one the face name text. A read record and its text are the caller's.
struct FontRecord {
  int32_t angle;  // tenths of a degree
  int32_t bold;
  int32_t italic;
  int32_t strikeOut;
  int32_t underline;
  int32_t size;  // points
  char* faceName;
};

// Service 2005: loads a form, owned by the owner unit's window; a modal form
// that is visible waits until it is closed. False when loading failed.
bool LoadFormService(uint32_t formId, UnitObject* owner, bool modal);

// The window class of form windows whose unit names none, registered on
// first use; null when it cannot be registered.
const char* FormWindowClass();

// True while a form window is being created by a modal load.
bool CreatingModalForm();
// The start-up form's window.
HWND MainWindow();
// The modal form whose wait runs, 0 when none.
uint32_t ModalFormId();

// ---- What the form window unit asks of the framework ------------------------------

// Gives back the enabled state that the form's modal display took away.
void ReenableAfterModalDisplay(uint32_t formId);
// Raises event 0 of an enabled default button of the form: with
// `focusedOnly` only the focused unit counts, otherwise the first in table
// order from position 1. False when there is none.
bool PressDefaultButton(uint32_t formId, bool focusedOnly);
// Moves the focus forward from the focused window, as Tab does.
void MoveFocusForward(uint32_t formId);
// The window that takes the focus when the form window gets it: the unit
// with the smallest tab order number (the highest position among equal
// numbers) whose window is alive, visible and enabled, with the tab-stop
// flag, of a type that takes the focus. Null when none qualifies.
HWND FirstFocusWindow(uint32_t formId);
// The form windows that exist, in registry order.
std::vector<FormWindowObject*> LiveFormWindows();

// Forgets every form and its state; for tests.
void ResetFrameworkForTest();

}  // namespace forms
