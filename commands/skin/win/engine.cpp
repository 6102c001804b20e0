// The skin engine's list, window procedure, hook and window walks.

#include "commands/skin/win/engine.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/fatal.h"
#include "runtime/win/handles.h"

namespace skin {

namespace {

// Windows let go of while another procedure stood over the engine's: that
// one still calls the engine's, which passes their messages on to the own
// procedure kept here until the window is gone.
struct Released {
  HWND window;
  WNDPROC ownProc;
};

// Used only from the thread that switched the engine on.
struct EngineState {
  int32_t scheme = 0;
  rt::HookHandle hook;
  std::vector<SkinNode> nodes;  // the newest first
  std::vector<Released> released;
};

EngineState& Engine() {
  static EngineState state;
  return state;
}

std::vector<Released>::iterator FindReleased(HWND window) {
  std::vector<Released>& released = Engine().released;
  return std::find_if(released.begin(), released.end(),
                      [window](const Released& r) { return r.window == window; });
}

SkinNode* Find(HWND window) {
  std::vector<SkinNode>& nodes = Engine().nodes;
  auto it = std::find_if(nodes.begin(), nodes.end(),
                         [window](const SkinNode& n) { return n.window == window; });
  return it == nodes.end() ? nullptr : &*it;
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  if (window == nullptr || ::GetClassNameA(window, name, sizeof name) == 0) return {};
  return name;
}

Kind KindOfWindow(HWND window) {
  const auto style = static_cast<uint32_t>(::GetWindowLongA(window, GWL_STYLE));
  const std::string name = ClassOf(window);
  return KindOf({name, style, ::GetWindowTextLengthA(window) > 0,
                 ClassOf(::GetParent(window)) == "SysIPAddress32"});
}

// The flags a window starts with when it is skinned; `focus` is the window
// with the keyboard focus.
uint32_t InitialFlags(HWND window, Kind kind, HWND focus) {
  const auto style = static_cast<uint32_t>(::GetWindowLongA(window, GWL_STYLE));
  uint32_t flags = (style & WS_DISABLED) ? flag::kDisabled : 0;
  if (focus == window) flags |= flag::kFocused;
  if (kind == Kind::kPushButton || kind == Kind::kCheckBox || kind == Kind::kRadioButton) {
    if ((style & 0xF) == BS_DEFPUSHBUTTON) flags |= flag::kDefault;
    const LRESULT check = ::SendMessageA(window, BM_GETCHECK, 0, 0);
    if (check == BST_CHECKED) flags |= flag::kChecked;
    if (check == BST_INDETERMINATE) flags |= flag::kIndeterminate;
  }
  if (kind == Kind::kEdit && (style & ES_READONLY)) flags |= flag::kReadOnly;
  if (kind == Kind::kUpDown && (style & UDS_HORZ)) flags |= flag::kHorizontal;
  return flags;
}

constexpr UINT kRedrawAll =
    RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;

// A window that is not on the screen, such as a unit of a form still being
// loaded, is drawn whole when it shows: redrawing it now would change nothing.
void RedrawIfShown(HWND window) {
  if (::IsWindowVisible(window)) ::RedrawWindow(window, nullptr, nullptr, kRedrawAll);
}

LRESULT CALLBACK SkinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Takes `window` into the engine; a walk over many windows asks once which
// one has the focus and passes it on.
void Skin(HWND window, HWND focus) {
  if (Find(window) != nullptr) return;
  const Kind kind = KindOfWindow(window);
  if (!IsSkinned(kind)) return;
  SkinNode node;
  node.window = window;
  node.kind = kind;
  node.flags = InitialFlags(window, kind, focus);
  const auto was = FindReleased(window);
  if (was != Engine().released.end()) {  // the engine's procedure is still in its chain
    node.ownProc = was->ownProc;
    Engine().released.erase(was);
  } else {
    node.ownProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SkinProc)));
  }
  Engine().nodes.insert(Engine().nodes.begin(), node);
  RedrawIfShown(window);
}

// Gives the window its own procedure back and forgets it. A procedure put
// over the engine's since would go with it: such a window keeps its chain.
void Unskin(HWND window, bool redraw) {
  SkinNode* node = Find(window);
  if (node == nullptr) return;
  if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(window, GWLP_WNDPROC)) == &SkinProc) {
    ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(node->ownProc));
  } else {
    Engine().released.push_back({window, node->ownProc});
  }
  std::vector<SkinNode>& nodes = Engine().nodes;
  nodes.erase(nodes.begin() + (node - nodes.data()));
  if (redraw) RedrawIfShown(window);
}

// ---- Walks over the thread's windows ----------------------------------------------------

BOOL CALLBACK Collect(HWND window, LPARAM list) {
  return rt::GuardCallback([&] {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
  });
}

// Every top-level window of this thread and all their descendants, listed
// before anything is changed.
std::vector<HWND> ThreadWindows() {
  std::vector<HWND> tops, all;
  ::EnumThreadWindows(::GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(&tops));
  for (HWND top : tops) {
    all.push_back(top);
    ::EnumChildWindows(top, Collect, reinterpret_cast<LPARAM>(&all));
  }
  return all;
}

LRESULT CALLBACK SkinNewWindows(int code, WPARAM wParam, LPARAM lParam) {
  return rt::GuardCallback([&] {
    if (code == HC_ACTION) {
      const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
      if (call->message == WM_CREATE) Skin(call->hwnd, ::GetFocus());
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  });
}

// ---- The window procedure ---------------------------------------------------------------

// Whether the mouse at lParam is over an up-down's second half.
bool OverSecondHalf(HWND window, uint32_t flags, LPARAM lParam) {
  RECT client;
  ::GetClientRect(window, &client);
  const int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
  return (flags & flag::kHorizontal) ? x >= client.right / 2 : y >= client.bottom / 2;
}

// The parent's handler may skin or unskin windows, which moves the nodes:
// the node is looked up again once it has answered.
void AskParentColours(HWND window, WPARAM dc) {
  const LRESULT brush =
      ::SendMessageA(::GetParent(window), WM_CTLCOLORBTN, dc, reinterpret_cast<LPARAM>(window));
  if (SkinNode* node = Find(window)) {
    node->parentBrush = reinterpret_cast<HBRUSH>(brush);
    node->textColour = ::GetTextColor(reinterpret_cast<HDC>(dc));
  }
}

void TrackLeave(const SkinNode& node) {
  TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, node.window, 0};
  if (node.kind == Kind::kEdit) track.dwFlags |= TME_NONCLIENT;
  ::TrackMouseEvent(&track);
}

LRESULT PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto it = FindReleased(window);
  if (it == Engine().released.end()) return 0;
  const WNDPROC own = it->ownProc;
  if (message == WM_NCDESTROY) Engine().released.erase(it);
  return ::CallWindowProcA(own, window, message, wParam, lParam);
}

LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SkinNode* node = Find(window);
  if (node == nullptr) return PassOn(window, message, wParam, lParam);
  const WNDPROC own = node->ownProc;
  if (message == WM_DESTROY) {
    const LRESULT result = ::CallWindowProcA(own, window, message, wParam, lParam);
    Unskin(window, false);
    return result;
  }
  if (node->kind == Kind::kEdit && message == EM_SETREADONLY) {
    node->flags = wParam ? node->flags | flag::kReadOnly : node->flags & ~flag::kReadOnly;
    return ::CallWindowProcA(own, window, message, wParam, lParam);
  }
  if (message == WM_ERASEBKGND) {
    AskParentColours(window, wParam);
    node = Find(window);
    if (node == nullptr) return ::CallWindowProcA(own, window, message, wParam, lParam);
  }
  const bool secondHalf = node->kind == Kind::kUpDown && message == WM_MOUSEMOVE &&
                          OverSecondHalf(window, node->flags, lParam);
  const Decision d = Decide(node->kind, node->flags, message, wParam, secondHalf);
  node->flags = d.flags;
  if (d.trackLeave) TrackLeave(*node);
  LRESULT result = 0;
  if (d.actions & action::kOwnFirst)
    result = ::CallWindowProcA(own, window, message, wParam, lParam);
  if (d.actions & action::kDefaultFirst) result = ::DefWindowProcA(window, message, wParam, lParam);
  // The procedures called may have un-skinned or destroyed the window, and
  // painting sends messages too: it works on a copy of the node.
  const SkinNode* again = Find(window);
  if ((d.actions & action::kPaint) && again) PaintNode(SkinNode(*again), Engine().scheme);
  if (d.actions & action::kOwnAfter)
    result = ::CallWindowProcA(own, window, message, wParam, lParam);
  if (d.actions & action::kDefaultAfter) result = ::DefWindowProcA(window, message, wParam, lParam);
  return (d.actions & action::kReturnFixed) ? d.fixed : result;
}

LRESULT CALLBACK SkinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return rt::GuardCallback([&] { return Handle(window, message, wParam, lParam); });
}

}  // namespace

intptr_t SetVisualStyle(int32_t next) {
  EngineState& engine = Engine();
  engine.scheme = next;
  intptr_t result = 0;
  if (engine.hook) {
    for (HWND window : ThreadWindows()) Unskin(window, true);
    result = ::UnhookWindowsHookEx(engine.hook.Release()) ? 1 : 0;
  }
  if (next < 1 || next > 3) return result;
  const HWND focus = ::GetFocus();
  for (HWND window : ThreadWindows()) Skin(window, focus);
  engine.hook.Reset(
      ::SetWindowsHookExA(WH_CALLWNDPROC, SkinNewWindows, nullptr, ::GetCurrentThreadId()));
  return 1;
}

int32_t CurrentScheme() { return Engine().scheme; }

const SkinNode* NodeOf(HWND window) { return Find(window); }

size_t SkinnedCount() { return Engine().nodes.size(); }

}  // namespace skin
