// What every form window does, whatever its unit type adds: accelerators,
// cursors, menu commands, the deferred destruction, reflecting control
// notifications to their units, and the form's last steps.

#include "forms/win/framework.h"
#include "forms/win/framework_state.h"

namespace forms {

const char* FormWindowClass() {
  // The class name every form window has had; kept, as outside tools that
  // look for the program's windows may know it.
  static const char kName[] = "ZOVuzeri";
  return RegisterUnitClass(kName, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
}

bool FormWindowObject::HandleFormKey(int) { return false; }
bool FormWindowObject::HandleDragPress(MSG&, UnitObject*, uint32_t) { return false; }
bool FormWindowObject::PreTranslate(MSG& msg) { return PreTranslateForm(*this, msg); }

LRESULT FormWindowObject::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETCURSOR:
      if (HandleSetCursor(*this, reinterpret_cast<HWND>(wParam), lParam)) return TRUE;
      break;
    case WM_COMMAND:
      if (lParam == 0) {
        FormRecord* form = FindForm(formId());
        LRESULT result = 0;
        if (form && HandleMenuCommand(*form, LOWORD(wParam), result)) return result;
      }
      break;
    case kMsgDeferredDestroy: {
      HWND window = hwnd();  // re-enabling may run program code that closes this form
      if (FormRecord* form = FindForm(formId())) ReenableAfterModal(*form);
      ::DestroyWindow(window);
      return 0;
    }
    default: break;
  }
  return UnitObject::WindowProc(message, wParam, lParam);
}

void FormWindowObject::WindowGone() {
  SetAccelerators({});
  FormWindowGone(formId());
  delete this;
}

}  // namespace forms
