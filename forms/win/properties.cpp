// Property access by (form id, unit id, property number): the eight common
// properties live in the unit record and the window; the type's own ones go
// through its get and set operations, converted by their property type; menu
// items keep their four properties in their records.

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "forms/win/framework.h"
#include "forms/win/framework_state.h"
#include "forms/win/properties.h"
#include "runtime/fatal.h"
#include "runtime/heap.h"
#include "runtime/messages.h"
#include "runtime/runtime.h"
#include "runtime/service.h"
#include "runtime/value.h"

namespace forms {

namespace {

constexpr int32_t kMaxCoordinate = 32627;

enum Common { kLeft, kTop, kWidth, kHeight, kTag, kVisible, kDisable, kMousePointer };

rt::PropValue Word(int64_t value) { return {static_cast<uint32_t>(value), 0}; }

rt::PropValue NewText(const std::string& text) {
  return rt::AddressValue(rt::CopyText(text.c_str()));
}

rt::PropValue NewByteSet(const uint8_t* data, size_t length) {
  return rt::AddressValue(rt::MakeByteSet(data, static_cast<uint32_t>(length)));
}

const char* TextArg(const rt::PropValue& v) {
  const char* text = rt::TextIn(v);
  return text ? text : "";
}

UnitRecord& UnitFor(uint32_t formId, uint32_t unitId, FormRecord*& form) {
  form = FindForm(formId);
  if (form == nullptr) rt::FatalError(rt::msg::kUnitFormNotLoaded);
  UnitRecord* record = FindRecord(*form, unitId);
  if (record == nullptr) rt::FatalError(rt::msg::kUnitNotLoaded);
  return *record;
}

// ---- Common properties -----------------------------------------------------------

// The window rectangle in its parent's client coordinates (screen
// coordinates for top-level and pop-up windows).
RECT PlacedRect(HWND window) {
  RECT rc;
  ::GetWindowRect(window, &rc);
  HWND parent = ::GetParent(window);
  if (parent && !(::GetWindowLongA(window, GWL_STYLE) & WS_POPUP)) {
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
  }
  return rc;
}

rt::PropValue ReadCommon(UnitRecord& r, int32_t index) {
  UnitObject* object = LiveObject(r);
  HWND window = object ? object->hwnd() : nullptr;
  RECT rc = window ? PlacedRect(window) : RECT{};
  switch (index) {
    case kLeft: return Word(window ? rc.left : r.left);
    case kTop: return Word(window ? rc.top : r.top);
    case kWidth: return Word(window ? rc.right - rc.left : r.width);
    case kHeight: return Word(window ? rc.bottom - rc.top : r.height);
    case kTag: return NewText(r.tag);
    case kVisible:
      return Word(window ? ::IsWindowVisible(window) != 0 : (r.Flags() & unitflag::kVisible) != 0);
    case kDisable:
      return Word(window ? !::IsWindowEnabled(window) : (r.Flags() & unitflag::kDisabled) != 0);
    default: {
      std::vector<uint8_t> value = ToCallerCursor(r.mousePointer);
      return NewByteSet(value.data(), value.size());
    }
  }
}

void Reposition(HWND window, const UnitRecord& r, int32_t index) {
  RECT rc = PlacedRect(window);
  const int x = index == kLeft ? r.left : rc.left;
  const int y = index == kTop ? r.top : rc.top;
  const int w = index == kWidth ? r.width : rc.right - rc.left;
  const int h = index == kHeight ? r.height : rc.bottom - rc.top;
  if (index <= kTop) {
    ::MoveWindow(window, x, y, w, h, TRUE);
  } else {
    ::SetWindowPos(window, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void SetFlag(UnitRecord& r, uint32_t bit, bool on) {
  r.stateWords[1] = on ? (r.stateWords[1] | bit) : (r.stateWords[1] & ~bit);
}

void ShowUnit(FormRecord& form, UnitRecord& r, HWND window) {
  if (&r == &form.units.records[0]) {
    ::ShowWindow(window, SW_SHOW);  // may run program code that closes the form
    FormWindowObject* object = LiveFormWindow(form);
    if (object && object->hwnd() == window && object->modal && ModalFormId() != form.id) {
      ModalWait(form, nullptr);
    }
    return;
  }
  if (!(TypeFlags(r) & rt::typeflag::kNoWindowShown)) ::ShowWindow(window, SW_SHOW);
}

void WriteMousePointer(UnitRecord& r, HWND window, const rt::PropValue& v) {
  rt::ByteSpan bytes = rt::ByteSetBytes(rt::AddressIn(v));
  FreeCursor(r.cursor);
  r.mousePointer = ToStoredCursor(bytes.data, bytes.size);
  r.cursor = MakeCursor(r.mousePointer);
  POINT at;
  if (window && ::GetCursorPos(&at)) ::SetCursorPos(at.x, at.y);
}

void WriteCommon(FormRecord& form, UnitRecord& r, int32_t index, const rt::PropValue& v) {
  UnitObject* object = LiveObject(r);
  HWND window = object ? object->hwnd() : nullptr;
  const auto number = static_cast<int32_t>(v.value);
  switch (index) {
    case kLeft:
    case kTop:
      (index == kLeft ? r.left : r.top) = std::clamp(number, -kMaxCoordinate, kMaxCoordinate);
      if (window) Reposition(window, r, index);
      break;
    case kWidth:
    case kHeight:
      (index == kWidth ? r.width : r.height) = std::clamp(number, 0, kMaxCoordinate);
      if (window) Reposition(window, r, index);
      break;
    case kTag: r.tag = TextArg(v); break;
    case kVisible:
      SetFlag(r, unitflag::kVisible, number != 0);
      if (window && number) ShowUnit(form, r, window);
      if (window && !number) ::ShowWindow(window, SW_HIDE);
      break;
    case kDisable:
      SetFlag(r, unitflag::kDisabled, number != 0);
      if (window) ::EnableWindow(window, number == 0);
      break;
    default: WriteMousePointer(r, window, v);
  }
}

// ---- Menu items --------------------------------------------------------------------

rt::PropValue ReadMenuItem(const UnitRecord& r, int32_t index) {
  switch (index) {
    case 0: return NewText(r.caption);
    case 1: return Word((r.menuFlags & menuflag::kChecked) != 0);
    case 2: return Word((r.menuFlags & menuflag::kGrey) != 0);
    case 3: return Word((r.menuFlags & menuflag::kHidden) == 0);
    default: return Word(0);
  }
}

void WriteMenuItem(FormRecord& form, UnitRecord& r, int32_t index, const rt::PropValue& v) {
  const uint32_t before = r.menuFlags;
  const bool on = static_cast<uint32_t>(v.value) != 0;
  switch (index) {
    case 0:
      if (r.caption == TextArg(v)) return;
      r.caption = TextArg(v);
      break;
    case 1: r.menuFlags = on ? before | menuflag::kChecked : before & ~menuflag::kChecked; break;
    case 2: r.menuFlags = on ? before | menuflag::kGrey : before & ~menuflag::kGrey; break;
    case 3: r.menuFlags = on ? before & ~menuflag::kHidden : before | menuflag::kHidden; break;
    default: return;
  }
  if (index != 0 && r.menuFlags == before) return;
  RebuildMenuBar(form);
}

// ---- The type's own properties ---------------------------------------------------------

// A type's property table lists every property by its overall number, the
// eight common ones first.
uint32_t PropertyType(const UnitRecord& r, int32_t number) {
  const rt::UnitTypeRecord* type = TypeOf(r);
  if (type == nullptr || number < 0 || static_cast<uint32_t>(number) >= type->propertyCount ||
      type->properties == nullptr) {
    return 0;
  }
  return type->properties[number].typeWord & 0xFFFF;
}

// How a value of each property type travels between the program and the unit.
enum class Travel {
  kAsIs,             // codes outside the table
  kWord,             // the first word to the program, the program's value to the unit
  kNonNegativeWord,  // as kWord, negative values going to the unit as 0
  kTwoWords,         // the whole value both ways
  kLogical,          // exactly 1 reads as true; anything non-zero is written as 1
  kText,             // a copy to the program; the program's text (null as empty) to the unit
  kByteSet,          // a new byte-set to the program; data and length to the unit
  kCursorByteSet,    // as kByteSet, in the caller's or the stored cursor numbering
  kFont,             // by element, through the unit's LOGFONTA
};

struct TravelRow {
  uint32_t type;
  Travel travel;
};

namespace pt = rt::proptype;

constexpr TravelRow kTravelTable[] = {
    {pt::kInteger, Travel::kWord},
    {pt::kOtherInteger, Travel::kWord},
    {pt::kDouble, Travel::kTwoWords},
    {pt::kLogical, Travel::kLogical},
    {pt::kDateTime, Travel::kTwoWords},
    {pt::kText, Travel::kText},
    {pt::kPickIndex, Travel::kNonNegativeWord},
    {pt::kPickText, Travel::kText},
    {pt::kEditablePickText, Travel::kText},
    {pt::kPicture, Travel::kByteSet},
    {pt::kSound, Travel::kByteSet},
    {pt::kCursor, Travel::kCursorByteSet},
    {pt::kIcon, Travel::kByteSet},
    {pt::kFont, Travel::kFont},
    {pt::kColour, Travel::kTwoWords},
    {pt::kColourOrNone, Travel::kTwoWords},
    {pt::kFileName, Travel::kText},
    {pt::kBackColour, Travel::kTwoWords},
    {pt::kUnusedTextKind1, Travel::kText},
    {pt::kUnusedTextKind2, Travel::kText},
    {pt::kUnusedTextKind3, Travel::kText},
    {pt::kUnusedTextKind4, Travel::kText},
    {pt::kUnusedTextKind5, Travel::kText},
    {pt::kTextList, Travel::kByteSet},
    {pt::kCustomData, Travel::kByteSet},
};

constexpr bool TableCoversEveryCodeInOrder() {
  for (size_t i = 0; i < std::size(kTravelTable); ++i) {
    if (kTravelTable[i].type != pt::kFirst + i) return false;
  }
  return std::size(kTravelTable) == pt::kLast - pt::kFirst + 1;
}
static_assert(TableCoversEveryCodeInOrder());

Travel TravelOf(uint32_t type) {
  if (type < pt::kFirst || type > pt::kLast) return Travel::kAsIs;
  return kTravelTable[type - pt::kFirst].travel;
}

UnitObject& LiveOrFail(const UnitRecord& r) {
  UnitObject* object = LiveObject(r);
  if (object == nullptr) rt::FatalError(rt::msg::kFormNotLoaded);
  return *object;
}

rt::PropValue ConvertForCaller(uint32_t t, const rt::PropValue& unit, int32_t element) {
  const auto* data = static_cast<const uint8_t*>(rt::AddressIn(unit));
  switch (TravelOf(t)) {
    case Travel::kAsIs: return unit;
    case Travel::kWord:
    case Travel::kNonNegativeWord: return Word(unit.value);
    case Travel::kTwoWords: return {unit.value, 0};
    case Travel::kLogical: return Word(static_cast<uint32_t>(unit.value) == 1 ? 1 : 0);
    case Travel::kText: return NewText(TextArg(unit));
    case Travel::kByteSet: return NewByteSet(data, unit.second);
    case Travel::kCursorByteSet: {
      std::vector<uint8_t> value = ToCallerCursor(std::vector<uint8_t>(data, data + unit.second));
      return NewByteSet(value.data(), value.size());
    }
    case Travel::kFont: return ReadFontElement(FontOf(unit), element);
  }
  return unit;
}

rt::PropValue ReadOwn(UnitRecord& r, int32_t index, int32_t element) {
  UnitObject& object = LiveOrFail(r);
  GetPropertyFn get = Operation<GetPropertyFn>(TypeOf(r), op::kGetProperty);
  rt::PropValue unit;
  if (get) get(&object, index - 8, &unit);
  return ConvertForCaller(PropertyType(r, index), unit, element);
}

rt::PropValue WithScratch(std::vector<uint8_t>& scratch) {
  return rt::BytesValue(scratch.data(), scratch.size());
}

// The unit's current font with one element (or the whole record) written.
rt::PropValue FontForUnit(UnitRecord& r, UnitObject& object, int32_t own, int32_t element,
                          const rt::PropValue& v, std::vector<uint8_t>& scratch) {
  GetPropertyFn get = Operation<GetPropertyFn>(TypeOf(r), op::kGetProperty);
  rt::PropValue current;
  if (get) get(&object, own, &current);
  LOGFONTA font = FontOf(current);
  WriteFontElement(font, element, v);
  scratch.assign(reinterpret_cast<uint8_t*>(&font), reinterpret_cast<uint8_t*>(&font + 1));
  return WithScratch(scratch);
}

// The value as the set operation takes it; `scratch` keeps converted data alive.
rt::PropValue ConvertForUnit(UnitRecord& r, UnitObject& object, int32_t own, int32_t element,
                             const rt::PropValue& v, std::vector<uint8_t>& scratch) {
  const Travel travel = TravelOf(PropertyType(r, own + 8));
  switch (travel) {
    case Travel::kAsIs:
    case Travel::kWord:
    case Travel::kTwoWords: return v;
    case Travel::kNonNegativeWord: return Word(std::max<int32_t>(static_cast<int32_t>(v.value), 0));
    case Travel::kLogical: return Word(static_cast<uint32_t>(v.value) != 0 ? 1 : 0);
    case Travel::kText: return rt::AddressValue(TextArg(v));
    case Travel::kByteSet:
    case Travel::kCursorByteSet: {
      rt::ByteSpan bytes = rt::ByteSetBytes(rt::AddressIn(v));
      scratch = travel == Travel::kCursorByteSet
                    ? ToStoredCursor(bytes.data, bytes.size)
                    : std::vector<uint8_t>(bytes.data, bytes.data + bytes.size);
      return WithScratch(scratch);
    }
    case Travel::kFont: return FontForUnit(r, object, own, element, v, scratch);
  }
  return v;
}

// The unit's record again, by ids, when its object is still `object` and
// alive: setting a property and processing messages may run program code
// that closes the form, which replaces its records.
UnitRecord* SameUnitAgain(uint32_t formId, uint32_t unitId, const UnitObject* object) {
  FormRecord* form = FindForm(formId);
  UnitRecord* r = form ? FindRecord(*form, unitId) : nullptr;
  return r && object && LiveObject(*r) == object ? r : nullptr;
}

void WriteOwn(FormRecord& form, UnitRecord& r, int32_t index, int32_t element,
              const rt::PropValue& v) {
  UnitObject& object = LiveOrFail(r);
  std::vector<uint8_t> scratch;
  rt::PropValue converted = ConvertForUnit(r, object, index - 8, element, v, scratch);
  SetPropertyFn set = Operation<SetPropertyFn>(TypeOf(r), op::kSetProperty);
  if (&r == &form.units.records[0]) {
    if (set) set(&object, index - 8, &converted);
    return;
  }
  const uint32_t formId = form.id;
  const uint32_t unitId = r.id;
  if (set == nullptr || set(&object, index - 8, &converted) != 1) return;
  if (SameUnitAgain(formId, unitId, &object) == nullptr) return;
  rt::Service(rt::svc::kPumpMessages, 0, 0);
  rt::EnterBusy();
  if (UnitRecord* again = SameUnitAgain(formId, unitId, &object)) {
    RebuildUnit(*FindForm(formId), *again);
  }
  rt::Service(rt::svc::kPumpMessages, 0, 0);
  rt::LeaveBusy();
}

}  // namespace

// ---- Cursor numbering --------------------------------------------------------------------

// The program numbers the standard cursors as the records store them, so the
// translation keeps the value as it is; it stays one place to change.
std::vector<uint8_t> ToStoredCursor(const uint8_t* data, size_t length) {
  return data ? std::vector<uint8_t>(data, data + length) : std::vector<uint8_t>();
}
std::vector<uint8_t> ToCallerCursor(const std::vector<uint8_t>& stored) { return stored; }

// ---- Helpers 4 and 5 ---------------------------------------------------------------------

rt::PropValue ReadProperty(uint32_t formId, uint32_t unitId, int32_t index, int32_t element) {
  FormRecord* form;
  UnitRecord& r = UnitFor(formId, unitId, form);
  if (r.IsMenuItem()) return ReadMenuItem(r, index);
  if (index >= 0 && index < 8) return ReadCommon(r, index);
  return ReadOwn(r, index, element);
}

void WriteProperty(uint32_t formId, uint32_t unitId, int32_t index, int32_t element,
                   rt::PropValue value) {
  FormRecord* form;
  UnitRecord& r = UnitFor(formId, unitId, form);
  if (r.IsMenuItem()) return WriteMenuItem(*form, r, index, value);
  if (index >= 0 && index < 8) return WriteCommon(*form, r, index, value);
  WriteOwn(*form, r, index, element, value);
}

}  // namespace forms
