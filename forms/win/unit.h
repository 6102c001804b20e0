#pragma once
// Unit objects and the unit type interface as the framework drives them.
//
// A unit object is created by its type's create operation and lives as long
// as its window: the framework keeps it in the unit record's object slot, and
// when the window is finally destroyed the object reports its destruction
// (service 2000) and deletes itself. All of a unit's windows are attached
// through one mechanism (AttachingCreate): the window procedure is replaced
// while the window is created, so the object sees every message from the
// first one, at that first message for its own window classes and for the
// standard controls it keeps copies of, and through a creation hook for any
// other control.

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "runtime/fatal.h"
#include "runtime/messages.h"
#include "runtime/program.h"
#include "runtime/value.h"
#include "runtime/win/handles.h"

namespace forms {

// Runtime-private messages the framework sends to unit windows.
constexpr UINT kMsgLoadedAll = 0x806F;     // every unit of the form exists
constexpr UINT kMsgLayout = 0x8004;        // to the form window after loading
constexpr UINT kMsgLoadComplete = 0x8076;  // the form is complete
constexpr UINT kMsgObjectQuery = 0x8002;   // asks a window for its runtime object
constexpr UINT kMsgDeferredDestroy = 0x8065;

class UnitObject {
 public:
  UnitObject(uint32_t formId, uint32_t unitId) : formId_(formId), unitId_(unitId) {}
  virtual ~UnitObject() = default;
  UnitObject(const UnitObject&) = delete;
  UnitObject& operator=(const UnitObject&) = delete;

  HWND hwnd() const { return hwnd_; }
  uint32_t formId() const { return formId_; }
  uint32_t unitId() const { return unitId_; }

  // The unit's messages; the default passes them to the window's own procedure.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Offered every message before dispatch (pre-translation chain); true consumes it.
  virtual bool PreTranslate(MSG& msg);
  // A notification this unit's window sent to its parent (WM_COMMAND,
  // WM_NOTIFY, scroll and colour messages and the owner-draw ones), handed
  // back to the unit first; true when the unit answered it with `result`.
  virtual bool Reflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // Creates the unit's window attached to this object. The object must have
  // been made with new; from now on it belongs to its window.
  HWND AttachingCreate(DWORD exStyle, const char* className, const char* text, DWORD style, int x,
                       int y, int width, int height, HWND parent, HMENU menuOrId);

  // The object of a window attached through AttachingCreate, or null.
  static UnitObject* FromWindow(HWND hwnd);
  // The object a window names in its answer to kMsgObjectQuery (windows the
  // framework did not make may forward the query), when it is one of the
  // live objects; null for any other answer.
  static UnitObject* Known(LRESULT answer);

  // Live unit objects of this process, for tests that look for leaks.
  static int LiveCount();

  // The window procedure the framework's own window classes and its copies
  // of standard controls register: the window AttachingCreate is making goes
  // to its object at its first message, without the creation hook. Any other
  // window of a copied control becomes a plain control; those of the own
  // classes have their messages go to DefWindowProcA.
  static LRESULT CALLBACK StartingWindowProc(HWND, UINT, WPARAM, LPARAM);

 protected:
  LRESULT CallOriginal(UINT message, WPARAM wParam, LPARAM lParam);
  // The focus events: -7 when the unit gained the focus, -8 when it lost it.
  void RaiseFocusEvent(bool gained);
  // CallOriginal, then the focus event of a WM_SETFOCUS or WM_KILLFOCUS,
  // once the control has handled the change.
  LRESULT CallOriginalRaisingFocus(UINT message, WPARAM wParam, LPARAM lParam);
  // The last step after the window is gone: reports the destruction and
  // deletes the object. Form windows add their own last steps.
  virtual void WindowGone();

 private:
  friend struct WindowAttachment;
  static LRESULT CALLBACK UnitWindowProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT Dispatch(HWND, UINT, WPARAM, LPARAM);
  void Attach(HWND hwnd);

  HWND hwnd_ = nullptr;
  WNDPROC original_ = nullptr;
  bool creating_ = false;
  uint32_t formId_;
  uint32_t unitId_;
};

// Registers, on first use, the window class `name` of one of the
// framework's own unit windows: its windows start at StartingWindowProc,
// with the arrow cursor and no background brush. `name`, or null when the
// class cannot be registered.
const char* RegisterUnitClass(const char* name, UINT style);

// The object of a form's own window unit.
class FormWindowObject : public UnitObject {
 public:
  using UnitObject::UnitObject;

  HACCEL accelerators() const { return accelerators_.get(); }
  void SetAccelerators(rt::AcceleratorTable table) { accelerators_ = std::move(table); }
  bool loadComplete = false;
  bool modal = false;
  bool topmost = false;

  // How a form is first shown when the program asks for start states:
  // 3 maximised, 2 minimised, anything else normally.
  virtual int StartState() const { return 0; }
  virtual void ShowMaximised() { ::ShowWindow(hwnd(), SW_SHOWMAXIMIZED); }
  // The form's own keys (Enter, Esc, F1): true when handled and consumed.
  virtual bool HandleFormKey(int keyCode);
  // A left-button press the form may turn into a drag; true consumes it.
  virtual bool HandleDragPress(MSG& msg, UnitObject* target, uint32_t typeFlags);

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool PreTranslate(MSG& msg) override;

 protected:
  void WindowGone() override;

 private:
  rt::AcceleratorTable accelerators_;  // the menu bar's shortcuts
};

// ---- Finding units -------------------------------------------------------------

// How libraries find a unit, through the lookup services: the live object of
// the unit a reference names, or null.
UnitObject* FindUnit(rt::UnitRef ref);
// As FindUnit; a unit that is not loaded is the fatal "not loaded" report.
UnitObject& FindUnitOrFail(rt::UnitRef ref);

// The unit argument `index` names, of type T. No such argument, or a unit of
// another type (misuse of the same kind), is the same fatal report.
template <typename T>
T& UnitArgOrFail(const rt::Args& args, int32_t index = 0) {
  if (!args.Has(index)) rt::FatalError(rt::msg::kUnitNotLoaded);
  auto* unit = dynamic_cast<T*>(&FindUnitOrFail(args.Unit(index)));
  if (unit == nullptr) rt::FatalError(rt::msg::kUnitNotLoaded);
  return *unit;
}

// ---- The unit type interface ---------------------------------------------------

namespace op {
inline constexpr int32_t kCreate = 1;
inline constexpr int32_t kSetProperty = 4;
inline constexpr int32_t kPropertyData = 5;
inline constexpr int32_t kGetProperty = 6;
inline constexpr int32_t kIconData = 7;
inline constexpr int32_t kClaimsKey = 8;
inline constexpr int32_t kListTexts = 9;
inline constexpr int32_t kIsDefaultButton = 10;
inline constexpr int32_t kPreTranslate = 11;
}  // namespace op

// What a create operation receives.
struct CreateRequest {
  const uint8_t* data;  // the property block
  uint32_t length;
  DWORD style;  // visibility, disabled and tab-stop bits from the framework
  HWND parent;
  uint32_t controlId;
  HMENU menu;  // the form's menu bar, for the form window
  int32_t left, top, width, height;
  uint32_t formId, unitId;
};

using CreateFn = UnitObject* (*)(const CreateRequest& request);
// Answers 1 when the unit must be rebuilt to take the new value.
using SetPropertyFn = int32_t (*)(UnitObject* unit, int32_t number, rt::PropValue* value);
using PropertyDataFn = std::vector<uint8_t> (*)(UnitObject* unit);
// False when the unit has no such property.
using GetPropertyFn = bool (*)(UnitObject* unit, int32_t number, rt::PropValue* value);
// Design-time requests of the form window type: the `Icon` bytes of a
// property block (empty when none), and the block with its texts shown to
// `visit`, which may change them (empty when the block is refused).
using IconDataFn = std::vector<uint8_t> (*)(const uint8_t* data, uint32_t length);
using TextVisitor = void (*)(void* context, std::string& text);
using ListTextsFn = std::vector<uint8_t> (*)(const uint8_t* data, uint32_t length,
                                             TextVisitor visit, void* context);
using ClaimsKeyFn = int32_t (*)(UnitObject* unit, int32_t keyCode);
using IsDefaultButtonFn = int32_t (*)(UnitObject* unit);
using PreTranslateFn = int32_t (*)(UnitObject* unit, MSG* msg);

// The routine for an operation, cast to its signature; null when the type
// does not offer it.
template <typename Fn>
Fn Operation(const rt::UnitTypeRecord* type, int32_t operation) {
  if (type == nullptr || type->interfaceFn == nullptr) return nullptr;
  return reinterpret_cast<Fn>(type->interfaceFn(operation));
}

}  // namespace forms
