// What a form window does with the messages it pre-translates: accelerators,
// the units' own pre-translation, focus moves (Tab, Shift+Tab, arrows),
// mnemonics, the form's own keys, and the common mouse and keyboard events.

#include <cctype>
#include <string>

#include "forms/focus_order.h"
#include "forms/win/framework_state.h"
#include "runtime/service.h"

namespace forms {

namespace {

constexpr uint32_t kKindFlags = rt::typeflag::kOptionButtonKind | rt::typeflag::kButtonKind |
                                rt::typeflag::kCheckBoxKind | rt::typeflag::kLabelKind |
                                rt::typeflag::kFrameKind;

bool IsKeyboardMessage(UINT m) { return m >= WM_KEYFIRST && m <= WM_KEYLAST; }

// Whether a form window still has its object after program code ran.
bool Alive(HWND formWindow) { return UnitObject::FromWindow(formWindow) != nullptr; }

HWND WindowOf(const UnitRecord& r) {
  UnitObject* object = LiveObject(r);
  return object ? object->hwnd() : nullptr;
}

uint32_t CurrentKeyState(uint32_t vk) {
  return KeyStateBits(::GetKeyState(VK_CONTROL) < 0, ::GetKeyState(VK_SHIFT) < 0,
                      ::GetKeyState(VK_MENU) < 0, vk);
}

// The unit a message's window belongs to: a unit of the form, or the form's
// own window unit for the form window itself.
UnitRecord* SourceUnit(FormRecord& form, FormWindowObject& window, HWND target) {
  if (target == window.hwnd()) return &form.units.records[0];
  return UnitOwningWindow(form, target);
}

bool Focusable(const UnitRecord& r, HWND window) {
  const uint32_t typeFlags = TypeFlags(r);
  return window && ::IsWindowVisible(window) && ::IsWindowEnabled(window) &&
         !(typeFlags & (rt::typeflag::kNoWindowShown | rt::typeflag::kNoTabFocus)) &&
         (r.Flags() & unitflag::kTabStop);
}

void SetCheck(HWND window, bool on) {
  ::SendMessageA(window, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void RaiseClick(FormRecord& form, const UnitRecord& r) {
  WordEvent e;
  e.formId = form.id;
  e.unitId = r.id;
  RaiseWord(e);
}

// Checks one option button and unchecks the others under the same parent.
void SelectOption(FormRecord& form, const UnitRecord& picked) {
  HWND parent = ::GetParent(WindowOf(picked));
  for (UnitRecord& r : form.units.records) {
    HWND w = r.IsMenuItem() ? nullptr : WindowOf(r);
    if (w && (TypeFlags(r) & rt::typeflag::kOptionButtonKind) && ::GetParent(w) == parent) {
      SetCheck(w, &r == &picked);
    }
  }
}

}  // namespace

// ---- Moving the focus ----------------------------------------------------------------

void MoveFocus(FormRecord& form, HWND from, bool forward, bool groupMode, HWND container) {
  UnitRecord* start = UnitOwningWindow(form, from);
  if (start == nullptr && from) start = UnitOwningWindow(form, ::GetParent(from));
  auto& records = form.units.records;
  const int startPos = start ? static_cast<int>(start - records.data()) : 0;
  const uint32_t startFlags = start ? TypeFlags(*start) : 0;
  HWND startWindow = start ? WindowOf(*start) : from;
  std::vector<FocusCandidate> collected;
  for (size_t pos = records.size(); pos-- > 1;) {
    UnitRecord& r = records[pos];
    HWND w = r.IsMenuItem() ? nullptr : WindowOf(r);
    if (!Focusable(r, w)) continue;
    if (groupMode && (!(TypeFlags(r) & rt::typeflag::kOptionButtonKind) ||
                      ::GetParent(w) != ::GetParent(startWindow))) {
      continue;
    }
    if (container && !::IsChild(container, w)) continue;
    collected.push_back({static_cast<int>(pos), r.TabOrder()});
  }
  FocusStart begin{startPos,
                   (startFlags & rt::typeflag::kFrameKind) ? 0 : (start ? start->TabOrder() : 0),
                   (startFlags & (rt::typeflag::kLabelKind | rt::typeflag::kFrameKind)) != 0};
  std::optional<int> picked = PickFocus(OrderByTabNumber(collected), begin, forward);
  if (!picked) return;
  UnitRecord& target = records[*picked];
  HWND window = WindowOf(target);
  if (window == nullptr || window == from) return;
  if (groupMode) {
    SelectOption(form, target);
    RaiseClick(form, target);
  }
  ::SetFocus(window);
}

namespace {

// ---- Mnemonics --------------------------------------------------------------------------

bool HasMnemonic(HWND window, uint32_t key) {
  char text[512] = {};
  ::GetWindowTextA(window, text, sizeof text);
  for (const char* p = text; *p; ++p) {
    if (*p != '&') continue;
    const unsigned char next = static_cast<unsigned char>(p[1]);
    if (std::toupper(next) == static_cast<int>(key)) return true;
    if (next == '&') ++p;
  }
  return false;
}

bool Mnemonic(FormRecord& form, uint32_t key) {
  for (UnitRecord& r : form.units.records) {
    HWND w = r.IsMenuItem() ? nullptr : WindowOf(r);
    const uint32_t flags = w ? TypeFlags(r) : 0;
    if (!w || !::IsWindowVisible(w) || !::IsWindowEnabled(w) ||
        (flags & rt::typeflag::kNoWindowShown) || !(flags & kKindFlags) || !HasMnemonic(w, key)) {
      continue;
    }
    if (flags & rt::typeflag::kCheckBoxKind) {
      SetCheck(w, ::SendMessageA(w, BM_GETCHECK, 0, 0) != BST_CHECKED);
    } else if (flags & rt::typeflag::kOptionButtonKind) {
      SelectOption(form, r);
    }
    if (flags & (rt::typeflag::kCheckBoxKind | rt::typeflag::kOptionButtonKind |
                 rt::typeflag::kButtonKind)) {
      RaiseClick(form, r);
    } else if (flags & rt::typeflag::kLabelKind) {
      MoveFocus(form, w, true, false, nullptr);
    } else {
      MoveFocus(form, nullptr, true, false, w);
    }
    return true;
  }
  return false;
}

// ---- Keys ----------------------------------------------------------------------------------

bool ClaimedByFocusedUnit(FormRecord& form, uint32_t key) {
  UnitRecord* focused = UnitOwningWindow(form, ::GetFocus());
  if (focused == nullptr) return false;
  ClaimsKeyFn claims = Operation<ClaimsKeyFn>(TypeOf(*focused), op::kClaimsKey);
  return claims && claims(LiveObject(*focused), static_cast<int32_t>(key)) == 1;
}

bool HandleKey(FormRecord& form, FormWindowObject& window, const MSG& msg) {
  const auto vk = static_cast<uint32_t>(msg.wParam);
  const FormKey key = FormKeyOf(vk, CurrentKeyState(vk));
  switch (key) {
    case FormKey::kTabForward:
    case FormKey::kTabBackward:
      if (ClaimedByFocusedUnit(form, vk)) return false;
      MoveFocus(form, ::GetFocus(), key == FormKey::kTabForward, false, nullptr);
      return true;
    case FormKey::kEnter:
    case FormKey::kEscape:
    case FormKey::kHelp:
      return !ClaimedByFocusedUnit(form, vk) && window.HandleFormKey(static_cast<int>(vk));
    case FormKey::kArrowBackward:
    case FormKey::kArrowForward: {
      UnitRecord* focused = UnitOwningWindow(form, ::GetFocus());
      if (!focused || !(TypeFlags(*focused) & rt::typeflag::kOptionButtonKind)) return false;
      MoveFocus(form, ::GetFocus(), key == FormKey::kArrowForward, true, nullptr);
      return true;
    }
    case FormKey::kMnemonic: return !ClaimedByFocusedUnit(form, vk) && Mnemonic(form, vk);
    case FormKey::kNone: break;
  }
  return false;
}

// ---- Common events ---------------------------------------------------------------------------

int32_t CommonEventOf(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN: return event::kLeftDown;
    case WM_LBUTTONUP: return event::kLeftUp;
    case WM_LBUTTONDBLCLK: return event::kLeftDoubleClick;
    case WM_RBUTTONDOWN: return event::kRightDown;
    case WM_RBUTTONUP: return event::kRightUp;
    case WM_MOUSEMOVE: return event::kMouseMove;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: return event::kKeyDown;
    case WM_KEYUP:
    case WM_SYSKEYUP: return event::kKeyUp;
    case WM_CHAR: return event::kCharacter;
    case WM_MOUSEWHEEL: return event::kWheel;
    default: return 0;
  }
}

void FillArguments(WordEvent& e, const MSG& msg) {
  const auto vk = static_cast<uint32_t>(msg.wParam);
  if (e.event == event::kKeyDown || e.event == event::kKeyUp) {
    e.argCount = 2;
    e.args[0] = HandlerKeyCode(vk);
    e.args[1] = CurrentKeyState(vk);
  } else if (e.event == event::kCharacter) {
    e.argCount = 1;
    e.args[0] = static_cast<uint32_t>(msg.wParam);
  } else if (e.event == event::kWheel) {
    e.argCount = 2;
    e.args[0] = static_cast<uint32_t>(static_cast<int16_t>(HIWORD(msg.wParam)) / WHEEL_DELTA);
    e.args[1] = CurrentKeyState(0);
  } else {
    e.argCount = 3;
    e.args[0] = LOWORD(msg.lParam);
    e.args[1] = HIWORD(msg.lParam);
    e.args[2] = CurrentKeyState(0);
  }
}

// True when a handler swallowed the message.
bool RaiseCommonEvent(FormRecord& form, FormWindowObject& window, MSG& msg) {
  WordEvent e;
  e.event = CommonEventOf(msg.message);
  UnitRecord* unit = e.event ? SourceUnit(form, window, msg.hwnd) : nullptr;
  if (unit == nullptr) return false;
  e.formId = form.id;
  e.unitId = unit == &form.units.records[0] ? 0 : unit->id;
  FillArguments(e, msg);
  if (!RaiseWord(e) || !e.hasResult) return false;
  if (e.result == 0) return true;
  if (e.event == event::kCharacter) msg.wParam = static_cast<WPARAM>(e.result);
  return false;
}

// A unit's hook may run program code that closes the form and replaces its
// records: the walk goes by position and stops once the form window is gone.
bool UnitsPreTranslate(FormRecord& form, HWND formWindow, MSG& msg) {
  auto& records = form.units.records;
  for (size_t pos = 0; pos < records.size(); ++pos) {
    UnitRecord& r = records[pos];
    if (r.IsMenuItem() || !(TypeFlags(r) & rt::typeflag::kPreTranslates)) continue;
    PreTranslateFn pre = Operation<PreTranslateFn>(TypeOf(r), op::kPreTranslate);
    UnitObject* object = LiveObject(r);
    if (pre && object && pre(object, &msg) != 0) return true;
    if (!Alive(formWindow)) return true;  // its messages went with it
  }
  return false;
}

// The message's window is the form window or inside it, and not the window
// of another loaded form.
bool WithinThisForm(FormWindowObject& window, HWND target) {
  if (target != window.hwnd() && !::IsChild(window.hwnd(), target)) return false;
  for (HWND w = target; w && w != window.hwnd(); w = ::GetParent(w)) {
    UnitObject* object = UnitObject::FromWindow(w);
    if (object && dynamic_cast<FormWindowObject*>(object)) return false;
  }
  return true;
}

}  // namespace

bool PreTranslateForm(FormWindowObject& window, MSG& msg) {
  FormRecord* form = FindForm(window.formId());
  if (form == nullptr) return false;
  if (IsKeyboardMessage(msg.message) && !::IsWindowEnabled(msg.hwnd)) return false;
  if (msg.message == WM_LBUTTONDOWN || msg.message == WM_NCLBUTTONDOWN) {
    HWND capture = ::GetCapture();
    if (capture && capture != msg.hwnd) ::SendMessageA(capture, WM_CANCELMODE, 0, 0);
  }
  if (IsKeyboardMessage(msg.message) && window.accelerators() &&
      ::TranslateAcceleratorA(window.hwnd(), window.accelerators(), &msg)) {
    return true;
  }
  if ((::GetWindowLongA(window.hwnd(), GWL_STYLE) & WS_CHILD) ||
      !WithinThisForm(window, msg.hwnd)) {
    return false;
  }
  // From here on program code may run; `window` is used only while it lives.
  HWND formWindow = window.hwnd();
  if (UnitsPreTranslate(*form, formWindow, msg)) return true;
  if (msg.message == WM_LBUTTONDOWN) {
    UnitRecord* unit = UnitOwningWindow(*form, msg.hwnd);
    if (window.HandleDragPress(msg, unit ? LiveObject(*unit) : nullptr,
                               unit ? TypeFlags(*unit) : 0) ||
        !Alive(formWindow)) {
      return true;
    }
  }
  if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) &&
      HandleKey(*form, window, msg)) {
    return true;
  }
  if (!Alive(formWindow)) return true;
  return RaiseCommonEvent(*form, window, msg);
}

// ---- For the form window unit -----------------------------------------------------

namespace {

bool IsEnabledDefaultButton(const UnitRecord& r) {
  UnitObject* object = r.IsMenuItem() ? nullptr : LiveObject(r);
  IsDefaultButtonFn isDefault = Operation<IsDefaultButtonFn>(TypeOf(r), op::kIsDefaultButton);
  return object && isDefault && ::IsWindowEnabled(object->hwnd()) && isDefault(object) != 0;
}

}  // namespace

bool PressDefaultButton(uint32_t formId, bool focusedOnly) {
  FormRecord* form = FindForm(formId);
  if (form == nullptr) return false;
  if (focusedOnly) {
    UnitRecord* focused = UnitOwningWindow(*form, ::GetFocus());
    if (focused == nullptr || !IsEnabledDefaultButton(*focused)) return false;
    RaiseClick(*form, *focused);
    return true;
  }
  auto& records = form->units.records;
  for (size_t pos = 1; pos < records.size(); ++pos) {
    if (!IsEnabledDefaultButton(records[pos])) continue;
    RaiseClick(*form, records[pos]);
    return true;
  }
  return false;
}

void MoveFocusForward(uint32_t formId) {
  if (FormRecord* form = FindForm(formId)) MoveFocus(*form, ::GetFocus(), true, false, nullptr);
}

HWND FirstFocusWindow(uint32_t formId) {
  FormRecord* form = FindForm(formId);
  if (form == nullptr) return nullptr;
  auto& records = form->units.records;
  HWND best = nullptr;
  uint32_t bestOrder = 0;
  for (size_t pos = records.size(); pos-- > 1;) {
    HWND w = records[pos].IsMenuItem() ? nullptr : WindowOf(records[pos]);
    if (!Focusable(records[pos], w)) continue;
    if (best == nullptr || records[pos].TabOrder() < bestOrder) {
      best = w;
      bestOrder = records[pos].TabOrder();
    }
  }
  return best;
}

// ---- Cursors ----------------------------------------------------------------------------------

bool HandleSetCursor(FormWindowObject& window, HWND target, LPARAM lParam) {
  FormRecord* form = FindForm(window.formId());
  if (form == nullptr) return false;
  UnitRecord* unit = nullptr;
  if (target == window.hwnd()) {
    if (LOWORD(lParam) == HTCLIENT) unit = &form->units.records[0];
  } else {
    unit = UnitOwningWindow(*form, target);
    if (unit == nullptr) unit = UnitOwningWindow(*form, ::GetParent(target));
  }
  if (unit == nullptr || unit->cursor == nullptr) return false;
  ::SetCursor(static_cast<HCURSOR>(unit->cursor));
  return true;
}

}  // namespace forms
