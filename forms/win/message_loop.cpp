// The main and modal message loops, idle processing (idle callbacks and the
// forms' idle event) and the pre-translation chain.

#include <algorithm>

#include "forms/win/framework.h"
#include "forms/win/framework_state.h"
#include "runtime/runtime.h"
#include "runtime/service.h"

namespace forms {

namespace {

constexpr UINT kCaretBlinkTimer = 0x0118;

void RunIdleCallbacks() {
  auto& callbacks = State().idleCallbacks;
  for (size_t i = callbacks.size(); i-- > 0;) {
    if (i >= callbacks.size()) continue;
    if (!::IsWindow(callbacks[i].window)) {
      callbacks.erase(callbacks.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    IdleCallback callback = callbacks[i];
    callback.routine(callback.argument);
  }
}

// The runtime's own idle housekeeping has nothing left to do after one round.
bool GeneralIdleWork() { return false; }

bool IdleEventRound() {
  IdlePeriod& idle = State().idle;
  bool more = false;
  for (FormRecord& form : State().registry.forms) {
    FormWindowObject* object = LiveFormWindow(form);
    if (object == nullptr) continue;
    // The handler may close the form: only its window handle is kept.
    HWND window = object->hwnd();
    auto& finished = idle.finished;
    if (std::find(finished.begin(), finished.end(), window) != finished.end()) continue;
    WordEvent e;
    e.formId = form.id;
    e.event = event::kIdle;
    e.argCount = 1;
    e.args[0] = ::GetTickCount() - idle.start;
    RaiseWord(e);
    if (e.hasResult && e.result != 0) {
      more = true;
    } else {
      finished.push_back(window);
    }
  }
  return more;
}

// One step of idle work; true while more idle work is wanted.
bool IdleStep(int count) {
  IdlePeriod& idle = State().idle;
  if (count == 0) {
    idle.generalPending = true;
    idle.start = ::GetTickCount();
    idle.finished.clear();
  }
  if (idle.generalPending) {
    idle.generalPending = GeneralIdleWork();
    return true;
  }
  return count > 1 ? IdleEventRound() : true;
}

// Every message restarts idle processing except a mouse move that did not
// move, a paint message and the caret's blink timer.
bool RestartsIdle(const MSG& msg) {
  if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
    POINT& last = State().idle.lastMouse;
    const bool moved = msg.pt.x != last.x || msg.pt.y != last.y;
    last = msg.pt;
    return moved;
  }
  return msg.message != WM_PAINT && msg.message != kCaretBlinkTimer;
}

// Offers the message to the runtime objects from its window up through its
// parents, stopping after the program's main window.
bool PreTranslateChain(MSG& msg) {
  for (HWND window = msg.hwnd; window; window = ::GetParent(window)) {
    UnitObject* object = UnitObject::FromWindow(window);
    if (object == nullptr) {
      object = UnitObject::Known(::SendMessageA(window, kMsgObjectQuery, 0, 0));
    }
    if (object && object->PreTranslate(msg)) return true;
    if (window == State().mainWindow || !(::GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) break;
  }
  return false;
}

bool ModalEnded(uint32_t modalForm) { return modalForm != 0 && !ModalWaiting(modalForm); }

}  // namespace

void RunMessageLoop(uint32_t modalForm) {
  const bool modal = modalForm != 0;
  MSG msg;
  bool idle = true;
  int idleCount = 0;
  for (;;) {
    while (idle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      RunIdleCallbacks();
      if (!IdleStep(idleCount++)) idle = false;
      if (ModalEnded(modalForm)) return;
    }
    do {
      if (ModalEnded(modalForm)) return;
      if (modal && ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message == WM_QUIT) {
        return;  // the quit message stays queued for the main loop
      }
      if (!::GetMessageA(&msg, nullptr, 0, 0)) {
        // A sent message handled while waiting can close the last form.
        if (modal) {
          ::PostQuitMessage(static_cast<int>(msg.wParam));
        } else {
          rt::SetQuitCode(static_cast<int32_t>(msg.wParam));
        }
        return;
      }
      if (!PreTranslateChain(msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
      }
      if (RestartsIdle(msg)) {
        idle = true;
        idleCount = 0;
      }
    } while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  }
}

}  // namespace forms
