// The window unit's messages and keys: the form-level events 1 to 11, focus
// keeping, the inactive title and the form's Enter, Esc, F1 and dragging.

#include <optional>
#include <string>

#include "forms/events.h"
#include "forms/win/framework.h"
#include "runtime/service.h"
#include "runtime/win/handles.h"
#include "units/blocks.h"
#include "units/win/window.h"
#include "units/window_rules.h"

namespace units {

namespace ev = forms::event;

namespace wf = windowfield;

namespace {

// Raises a form event; `alive` tells afterwards whether the object still
// lives (a handler may have closed the form and with it deleted the object).
struct Raised {
  std::optional<uint64_t> result;
  bool alive;
};

Raised RaiseFormEvent(WindowObject& w, int32_t event, std::initializer_list<uintptr_t> args = {}) {
  HWND self = w.hwnd();
  const WindowObject* before = &w;
  std::optional<uint64_t> result = forms::RaiseWordEvent(w.formId(), w.unitId(), event, args);
  const bool alive = ::IsWindow(self) && forms::UnitObject::FromWindow(self) == before;
  return {result, alive};
}

bool ReturnedFalse(const std::optional<uint64_t>& result) {
  return result && static_cast<uint32_t>(*result) == 0;
}

}  // namespace

LRESULT WindowObject::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE: return OnClose();
    case WM_QUERYENDSESSION: {
      const LRESULT agreed = FormWindowObject::WindowProc(message, wParam, lParam);
      if (agreed && ReturnedFalse(RaiseFormEvent(*this, ev::kQueryClose).result)) return FALSE;
      return agreed;
    }
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_MOVE:
    case WM_SIZE: {
      const LRESULT result = FormWindowObject::WindowProc(message, wParam, lParam);
      if (message == WM_SIZE && Int(wf::kWindowShape) != 0) ApplyShape();
      RaiseFormEvent(*this, message == WM_MOVE ? ev::kMoved : ev::kResized);
      return result;
    }
    case WM_ACTIVATE: return OnActivate(wParam, lParam);
    case WM_SETFOCUS: OnSetFocus(); return 0;
    case WM_KILLFOCUS:
      FormWindowObject::WindowProc(message, wParam, lParam);
      RaiseFormEvent(*this, ev::kFocusLost);
      return 0;
    case WM_SHOWWINDOW:
      if (!RaiseFormEvent(*this, wParam ? ev::kShown : ev::kHidden).alive) return 0;
      break;
    case WM_NCACTIVATE:
      if (!wParam && Int(wf::kKeepTitleActive)) {
        return FormWindowObject::WindowProc(message, ::IsWindowEnabled(hwnd()) ? TRUE : FALSE,
                                            lParam);
      }
      break;
    case WM_PAINT: {
      rt::PaintDc paint(hwnd());
      if (paint.get()) PaintBackground(paint.get());
      return 0;
    }
    case WM_PRINTCLIENT: PaintBackground(reinterpret_cast<HDC>(wParam)); return 0;
    case kTrayCallbackMessage:
      if (const int32_t arg = TrayEventArgument(static_cast<uint32_t>(lParam))) {
        RaiseFormEvent(*this, ev::kTrayIcon, {static_cast<uintptr_t>(arg)});
      }
      return 0;
    default: break;
  }
  return FormWindowObject::WindowProc(message, wParam, lParam);
}

// A false answer keeps the window; otherwise the windows disabled for a
// modal display come back before the default handling destroys it.
LRESULT WindowObject::OnClose() {
  const Raised r = RaiseFormEvent(*this, ev::kQueryClose);
  if (!r.alive || ReturnedFalse(r.result)) return 0;
  forms::ReenableAfterModalDisplay(formId());
  return FormWindowObject::WindowProc(WM_CLOSE, 0, 0);
}

void WindowObject::OnDestroy() {
  FormWindowObject::WindowProc(WM_DESTROY, 0, 0);
  if (!RaiseFormEvent(*this, ev::kDestroyed).alive) return;
  if (helpOpened_) ::WinHelpA(hwnd(), nullptr, HELP_QUIT, 0);
  rt::MenuHandle menu(::GetMenu(hwnd()));
  if (menu) ::SetMenu(hwnd(), nullptr);
  SetTrayIcon(nullptr, nullptr);
}

// Activation events do not nest: activations caused by a handler of event
// 5 or 6 raise nothing, though a deactivation among them still remembers
// the focused window.
LRESULT WindowObject::OnActivate(WPARAM wParam, LPARAM lParam) {
  const LRESULT result = FormWindowObject::WindowProc(WM_ACTIVATE, wParam, lParam);
  const bool active = LOWORD(wParam) != WA_INACTIVE;
  if (!inActivationEvent_) {
    if (active) ::UpdateWindow(hwnd());
    inActivationEvent_ = true;
    if (active && !firstActivationDone_) {
      firstActivationDone_ = true;
      if (!RaiseFormEvent(*this, ev::kFirstActivation).alive) return result;
    }
    if (!RaiseFormEvent(*this, active ? ev::kActivated : ev::kDeactivated).alive) return result;
    inActivationEvent_ = false;
  }
  HWND focus = ::GetFocus();
  if (!active && focus && ::IsChild(hwnd(), focus)) keptFocus_ = focus;
  return result;
}

// The focus goes back to the unit that had it when the form was deactivated,
// else to the first unit in tab order.
void WindowObject::OnSetFocus() {
  FormWindowObject::WindowProc(WM_SETFOCUS, 0, 0);
  if (!RaiseFormEvent(*this, ev::kFocusGained).alive) return;
  HWND kept = std::exchange(keptFocus_, nullptr);
  if (kept && ::IsWindow(kept) && ::IsChild(hwnd(), kept)) {
    ::SetFocus(kept);
  } else if (HWND first = forms::FirstFocusWindow(formId())) {
    ::SetFocus(first);
  }
}

// ---- Keys ------------------------------------------------------------------------------

bool WindowObject::HandleFormKey(int keyCode) {
  switch (keyCode) {
    case VK_RETURN:
      if (forms::PressDefaultButton(formId(), true)) return true;
      if (Int(wf::kEnterMovesFocus)) {
        forms::MoveFocusForward(formId());
        return true;
      }
      return forms::PressDefaultButton(formId(), false);
    case VK_ESCAPE:
      if (!Int(wf::kEscCloses)) return false;
      ::SendMessageA(hwnd(), WM_CLOSE, 0, 0);
      return true;
    case VK_F1: return Int(wf::kF1OpensHelp) && OpenHelp();
    default: return false;
  }
}

namespace {

// The program's file name with its extension replaced by ".hlp".
std::string DefaultHelpFile() {
  char name[rt::kRuntimeTextBufferSize] = {};
  rt::ReadRuntimeText(2002, name);
  return HelpFileFor(name);
}

}  // namespace

bool WindowObject::OpenHelp() {
  std::string file = values_.Text(wf::kHelpFile);
  if (file.empty()) file = DefaultHelpFile();
  WIN32_FIND_DATAA found;
  rt::FindHandle search(::FindFirstFileA(file.c_str(), &found));
  if (!search) return false;
  helpOpened_ = true;
  const int32_t topic = Int(wf::kHelpTopic);
  ::WinHelpA(hwnd(), file.c_str(), topic != 0 ? HELP_CONTEXT : HELP_FINDER,
             static_cast<ULONG_PTR>(static_cast<uint32_t>(topic)));
  return true;
}

// A press on the form window itself still reaches it; a press on a unit of
// a dragging type is consumed.
bool WindowObject::HandleDragPress(MSG& msg, forms::UnitObject* target, uint32_t typeFlags) {
  if (!Int(wf::kDragAnywhere)) return false;
  if (msg.hwnd == hwnd()) {
    ::PostMessageA(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
    return false;
  }
  if (target == nullptr || msg.hwnd != target->hwnd() || !(typeFlags & rt::typeflag::kDragsForm)) {
    return false;
  }
  ::PostMessageA(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
  return true;
}

}  // namespace units
