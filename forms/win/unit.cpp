// Attaching unit objects to their windows, and the one window procedure that
// hands every message of a unit window to its object.

#include "forms/win/unit.h"

#include <atomic>
#include <unordered_map>
#include <utility>
#include <vector>

#include "forms/events.h"
#include "forms/win/framework_state.h"
#include "runtime/fatal.h"
#include "runtime/service.h"
#include "runtime/win/icons.h"

namespace forms {

namespace {

std::atomic<int> liveObjects{0};

// Window to object, looked up for every message a unit window receives: kept
// in the process rather than as a window property, whose every read is a
// round trip to the window manager on some systems. Only the thread that owns
// the unit windows touches it (a message sent from another thread is handled
// on that thread too), so it needs no lock.
std::unordered_map<HWND, UnitObject*> objects;

void Remember(HWND hwnd, UnitObject* object) { objects[hwnd] = object; }

void Forget(HWND hwnd) { objects.erase(hwnd); }

// The object waiting for its window while AttachingCreate runs, the class
// that window is made of, and whether that class starts at
// StartingWindowProc.
struct PendingCreation {
  UnitObject* object = nullptr;
  const char* className = nullptr;
  bool startsAttached = false;
};
thread_local PendingCreation pending;

// Whether a form load is making its units, and the creation hook it keeps
// set for them from the first standard control on, or null.
thread_local bool loadScopeOpen = false;
thread_local HHOOK loadHook = nullptr;

// The standard controls the units are made of, under the names the system
// gives them. The framework registers a copy of each, under the same name,
// for its own module: the copy's windows start at StartingWindowProc like
// those of its own classes and need no creation hook, which every window
// made while it is set would pay for. The control's own procedure still
// handles every message, from the first one on.
constexpr const char* kCopiedControls[] = {"Button", "ListBox", "ScrollBar", "msctls_trackbar32"};

struct CopiedControl {
  const char* name;
  ATOM atom;  // 0: the copy could not be registered
  WNDPROC controlProc;
};
std::vector<CopiedControl> copies;

const char* CopiedName(const char* className) {
  if (IS_INTRESOURCE(className)) return nullptr;
  for (const char* name : kCopiedControls) {
    if (::lstrcmpiA(name, className) == 0) return name;
  }
  return nullptr;
}

// Registers the copy of `className` once, when it is one of the copied
// controls and the system knows it (a common control once its library has
// registered it). A copy that cannot be registered, or a name the system
// maps to another library's class (as a manifest may), leaves the control
// to the creation hook: StartsAttached then finds that class.
void CopyStandardControl(const char* className) {
  const char* name = CopiedName(className);
  if (name == nullptr) return;
  for (const CopiedControl& copy : copies) {
    if (copy.name == name) return;
  }
  WNDCLASSA wc;
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  if (!::GetClassInfoA(instance, name, &wc) || wc.lpfnWndProc == &UnitObject::StartingWindowProc) {
    return;
  }
  const WNDPROC controlProc = wc.lpfnWndProc;
  wc.style &= ~CS_GLOBALCLASS;
  wc.lpfnWndProc = &UnitObject::StartingWindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = name;
  copies.push_back({name, ::RegisterClassA(&wc), controlProc});
}

// The control's own procedure when `hwnd` is of a copied class, or null.
WNDPROC ControlProcOf(HWND hwnd) {
  if (copies.empty()) return nullptr;
  const auto atom = static_cast<ATOM>(::GetClassLongA(hwnd, GCW_ATOM));
  for (const CopiedControl& copy : copies) {
    if (copy.atom == atom) return copy.controlProc;
  }
  return nullptr;
}

// Windows of the framework's own classes and of the copied controls are
// given to their object at their first message; other standard controls
// need the creation hook.
bool StartsAttached(const char* className) {
  WNDCLASSA wc;
  return ::GetClassInfoA(::GetModuleHandleA(nullptr), className, &wc) &&
         wc.lpfnWndProc == &UnitObject::StartingWindowProc;
}

bool OfClass(HWND hwnd, const char* className) {
  char name[256] = {};
  if (IS_INTRESOURCE(className)) {
    return ::GetClassLongA(hwnd, GCW_ATOM) ==
           static_cast<DWORD>(reinterpret_cast<uintptr_t>(className));
  }
  return ::GetClassNameA(hwnd, name, sizeof name) > 0 && ::lstrcmpiA(name, className) == 0;
}

// Whether a window being created is of the class AttachingCreate asked for
// (a name, or an atom given as one).
bool OfPendingClass(const CBT_CREATEWNDA& cbt) {
  const char* made = cbt.lpcs->lpszClass;
  const char* wanted = pending.className;
  if (made == wanted) return true;
  if (IS_INTRESOURCE(made) || IS_INTRESOURCE(wanted)) return false;
  return ::lstrcmpiA(made, wanted) == 0;
}

}  // namespace

// Gives the window being made during AttachingCreate to the pending object.
struct WindowAttachment {
  static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    return rt::GuardCallback([&] {
      if (code == HCBT_CREATEWND && pending.object != nullptr &&
          OfPendingClass(*reinterpret_cast<const CBT_CREATEWNDA*>(lParam))) {
        UnitObject* object = pending.object;
        pending.object = nullptr;
        object->Attach(reinterpret_cast<HWND>(wParam));
      }
      return ::CallNextHookEx(nullptr, code, wParam, lParam);
    });
  }
};

namespace {

HHOOK SetCreationHook() {
  return State().setCreationHook(WH_CBT, WindowAttachment::CbtProc, nullptr,
                                 ::GetCurrentThreadId());
}

}  // namespace

CreationHookScope::CreationHookScope() : outer_(!loadScopeOpen) { loadScopeOpen = true; }

CreationHookScope::~CreationHookScope() {
  if (!outer_) return;
  if (loadHook) ::UnhookWindowsHookEx(loadHook);
  loadHook = nullptr;
  loadScopeOpen = false;
}

const char* RegisterUnitClass(const char* name, UINT style) {
  WNDCLASSA wc = {};
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  if (::GetClassInfoA(instance, name, &wc)) return name;
  wc.style = style;
  wc.lpfnWndProc = &UnitObject::StartingWindowProc;
  wc.hInstance = instance;
  wc.hCursor = rt::ArrowCursor();
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
  wc.lpszClassName = name;
  return ::RegisterClassA(&wc) ? name : nullptr;
}

LRESULT CALLBACK UnitObject::StartingWindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
  if (pending.object != nullptr && pending.startsAttached && OfClass(hwnd, pending.className)) {
    std::exchange(pending.object, nullptr)->Attach(hwnd);
    return UnitWindowProc(hwnd, message, wParam, lParam);
  }
  // A copied control made for no unit is a plain control from now on.
  if (const WNDPROC control = ControlProcOf(hwnd)) {
    ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(control));
    return ::CallWindowProcA(control, hwnd, message, wParam, lParam);
  }
  return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

// A standard control is attached by the creation hook: the load's, set at its
// first standard control, or one of its own. Without the hook the window
// would live unattached: make none.
HWND UnitObject::AttachingCreate(DWORD exStyle, const char* className, const char* text,
                                 DWORD style, int x, int y, int width, int height, HWND parent,
                                 HMENU menuOrId) {
  CopyStandardControl(className);
  const bool startsAttached = StartsAttached(className);
  HHOOK ownHook = nullptr;
  if (!startsAttached) {
    if (loadScopeOpen && loadHook == nullptr) loadHook = SetCreationHook();
    if (loadHook == nullptr) ownHook = SetCreationHook();
    if (loadHook == nullptr && ownHook == nullptr) return nullptr;
  }
  pending = {this, className, startsAttached};
  creating_ = true;
  HWND hwnd = ::CreateWindowExA(exStyle, className, text, style, x, y, width, height, parent,
                                menuOrId, ::GetModuleHandleA(nullptr), nullptr);
  pending = {};
  creating_ = false;
  if (ownHook) ::UnhookWindowsHookEx(ownHook);
  if (hwnd && hwnd_ != hwnd) {  // made, but not this object's window
    ::DestroyWindow(hwnd);
    hwnd = nullptr;
  }
  if (hwnd) ++liveObjects;
  return hwnd;
}

void UnitObject::Attach(HWND hwnd) {
  hwnd_ = hwnd;
  Remember(hwnd, this);
  original_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
      hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&UnitObject::UnitWindowProc)));
  // A window that started at StartingWindowProc passes its messages straight
  // on: a copied control's to the control, the others' to DefWindowProcA.
  if (original_ == &StartingWindowProc) {
    const WNDPROC control = ControlProcOf(hwnd);
    original_ = control ? control : &::DefWindowProcA;
  }
}

UnitObject* UnitObject::FromWindow(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  auto it = objects.find(hwnd);
  return it == objects.end() ? nullptr : it->second;
}

UnitObject* UnitObject::Known(LRESULT answer) {
  if (answer == 0) return nullptr;
  for (const auto& [window, object] : objects) {
    if (reinterpret_cast<LRESULT>(object) == answer) return object;
  }
  return nullptr;
}

int UnitObject::LiveCount() { return liveObjects.load(); }

LRESULT UnitObject::CallOriginal(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcA(original_, hwnd_, message, wParam, lParam);
}

void UnitObject::RaiseFocusEvent(bool gained) {
  RaiseWordEvent(formId_, unitId_, gained ? event::kFocusGained : event::kFocusLost);
}

LRESULT UnitObject::CallOriginalRaisingFocus(UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CallOriginal(message, wParam, lParam);
  if (message == WM_SETFOCUS || message == WM_KILLFOCUS) RaiseFocusEvent(message == WM_SETFOCUS);
  return result;
}

LRESULT UnitObject::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallOriginal(message, wParam, lParam);
}

bool UnitObject::PreTranslate(MSG&) { return false; }

bool UnitObject::Reflected(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

namespace {

// The child window a notification to its parent comes from, or null.
HWND NotifyingChild(HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT: return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY: return reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
    case WM_DRAWITEM: return reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
    case WM_MEASUREITEM:
      return ::GetDlgItem(parent,
                          static_cast<int>(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->CtlID));
    case WM_COMPAREITEM: return reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam)->hwndItem;
    case WM_DELETEITEM: return reinterpret_cast<const DELETEITEMSTRUCT*>(lParam)->hwndItem;
    default: (void)wParam; return nullptr;
  }
}

bool Reflect(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (lParam == 0) return false;  // menus, accelerators and the like
  HWND child = NotifyingChild(parent, message, wParam, lParam);
  UnitObject* object = child != parent ? UnitObject::FromWindow(child) : nullptr;
  return object && object->Reflected(message, wParam, lParam, result);
}

}  // namespace

void UnitObject::WindowGone() {
  rt::Service(rt::svc::kUnitDestroyed, formId_, unitId_);
  delete this;
}

// Teardown order: forget the mapping, unsubclass, let the window's own
// procedure finish, then the object's last step. A window that goes away
// while it is still being created leaves the object to its creator.
LRESULT UnitObject::Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  UnitObject* object = FromWindow(hwnd);
  if (object == nullptr) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == kMsgObjectQuery) return reinterpret_cast<LRESULT>(object);
  if (message == WM_NCDESTROY) {
    Forget(hwnd);
    ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(object->original_));
    LRESULT result = ::CallWindowProcA(object->original_, hwnd, message, wParam, lParam);
    object->hwnd_ = nullptr;
    if (!object->creating_) {
      --liveObjects;
      object->WindowGone();
    }
    return result;
  }
  LRESULT reflected = 0;
  if (Reflect(hwnd, message, wParam, lParam, reflected)) return reflected;
  return object->WindowProc(message, wParam, lParam);
}

LRESULT CALLBACK UnitObject::UnitWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return rt::GuardCallback([&] { return Dispatch(hwnd, message, wParam, lParam); });
}

UnitObject* FindUnit(rt::UnitRef ref) {
  return reinterpret_cast<UnitObject*>(
      static_cast<uintptr_t>(rt::Service(rt::svc::kFindUnit, ref.formId, ref.unitId)));
}

UnitObject& FindUnitOrFail(rt::UnitRef ref) {
  return *reinterpret_cast<UnitObject*>(
      static_cast<uintptr_t>(rt::Service(rt::svc::kFindUnitOrFail, ref.formId, ref.unitId)));
}

}  // namespace forms
