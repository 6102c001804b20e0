#include "tests/forms/win/test_units.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "forms/events.h"
#include "forms/win/framework.h"
#include "tests/forms/win/counter_unit.h"
#include "units/common_properties.h"
#include "units/win/library.h"

namespace testunits {

using forms::CreateRequest;
using forms::UnitObject;

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

namespace {

std::string Hex(uint32_t v) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%x", v);
  return buffer;
}

const char kUnitClass[] = "TestUnitWindow";

const char* UnitClass() {
  WNDCLASSA wc = {};
  if (!::GetClassInfoA(::GetModuleHandleA(nullptr), kUnitClass, &wc)) {
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kUnitClass;
    ::RegisterClassA(&wc);
  }
  return kUnitClass;
}

void LogMessage(const UnitObject& unit, UINT message) {
  if (message == forms::kMsgLoadedAll || message == forms::kMsgLayout ||
      message == forms::kMsgLoadComplete) {
    Log().push_back("msg " + Hex(unit.unitId()) + " " + Hex(message));
  }
}

// ---- Form windows ---------------------------------------------------------------

LRESULT CALLBACK WatchForms(int code, WPARAM wParam, LPARAM lParam) {
  const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
  auto* form = code == HC_ACTION
                   ? dynamic_cast<forms::FormWindowObject*>(UnitObject::FromWindow(m->hwnd))
                   : nullptr;
  if (form && m->message == WM_CREATE) Log().push_back("create form");
  if (form) LogMessage(*form, m->message);
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// ---- Windowed units ----------------------------------------------------------------

UnitObject* CreateWindowed(const CreateRequest& r, const char* className, DWORD extraStyle) {
  auto* unit = new WidgetObject(r.formId, r.unitId);
  if (r.length >= 4) std::memcpy(&unit->number, r.data, 4);
  if (r.length >= 8) std::memcpy(&unit->style, r.data + 4, 4);
  Log().push_back("create " + Hex(r.unitId) + " id=" + std::to_string(r.controlId));
  HWND hwnd = unit->AttachingCreate(0, className, "", r.style | WS_CHILD | extraStyle, r.left,
                                    r.top, r.width, r.height, r.parent,
                                    reinterpret_cast<HMENU>(static_cast<uintptr_t>(r.controlId)));
  if (hwnd == nullptr) {
    delete unit;
    return nullptr;
  }
  if (r.length == 4) forms::RaiseWordEvent(r.formId, r.unitId, kEventDuringCreate);
  return unit;
}

UnitObject* CreateWidget(const CreateRequest& r) { return CreateWindowed(r, UnitClass(), 0); }
UnitObject* CreateOption(const CreateRequest& r) {
  return CreateWindowed(r, "BUTTON", BS_RADIOBUTTON);
}

void SetBytes(std::vector<uint8_t>& out, const rt::PropValue* v) {
  const auto* data = reinterpret_cast<const uint8_t*>(v->value);
  out.assign(data, data + (data ? v->second : 0));
}

int32_t SetWidget(UnitObject* object, int32_t number, rt::PropValue* v) {
  auto* w = static_cast<WidgetObject*>(object);
  switch (number) {
    case kNumber: w->number = static_cast<int32_t>(v->value); return 0;
    case kFlag: w->flag = static_cast<int32_t>(v->value); return 0;
    case kPositive: w->positive = static_cast<int32_t>(v->value); return 0;
    case kText: w->text = reinterpret_cast<const char*>(v->value); return 0;
    case kBlob: SetBytes(w->blob, v); return 0;
    case kFont: SetBytes(w->font, v); return 0;
    case kStyle: w->style = static_cast<int32_t>(v->value); return 1;
    case kPointer: SetBytes(w->pointer, v); return 0;
    default: return 0;
  }
}

rt::PropValue Bytes(const std::vector<uint8_t>& b) {
  return {b.empty() ? 0 : reinterpret_cast<uintptr_t>(b.data()), static_cast<uint32_t>(b.size())};
}

bool GetWidget(UnitObject* object, int32_t number, rt::PropValue* v) {
  auto* w = static_cast<WidgetObject*>(object);
  switch (number) {
    case kNumber: *v = {static_cast<uint32_t>(w->number), 0}; return true;
    case kFlag: *v = {static_cast<uint32_t>(w->flag), 0}; return true;
    case kPositive: *v = {static_cast<uint32_t>(w->positive), 0}; return true;
    case kText: *v = {reinterpret_cast<uintptr_t>(w->text.c_str()), 0}; return true;
    case kBlob: *v = Bytes(w->blob); return true;
    case kFont: *v = Bytes(w->font); return true;
    case kStyle: *v = {static_cast<uint32_t>(w->style), 0}; return true;
    case kPointer: *v = Bytes(w->pointer); return true;
    default: return false;
  }
}

// The block a rebuilt widget is made from: its number and style.
std::vector<uint8_t> WidgetData(UnitObject* object) {
  auto* w = static_cast<WidgetObject*>(object);
  std::vector<uint8_t> block(8);
  std::memcpy(block.data(), &w->number, 4);
  std::memcpy(block.data() + 4, &w->style, 4);
  return block;
}

int32_t ClaimsKey(UnitObject* object, int32_t key) {
  return static_cast<WidgetObject*>(object)->number == 77 && key == VK_TAB ? 1 : 0;
}

rt::AnyRoutine WidgetInterface(int32_t operation) {
  switch (operation) {
    case forms::op::kCreate: return reinterpret_cast<rt::AnyRoutine>(&CreateWidget);
    case forms::op::kSetProperty: return reinterpret_cast<rt::AnyRoutine>(&SetWidget);
    case forms::op::kGetProperty: return reinterpret_cast<rt::AnyRoutine>(&GetWidget);
    case forms::op::kPropertyData: return reinterpret_cast<rt::AnyRoutine>(&WidgetData);
    case forms::op::kClaimsKey: return reinterpret_cast<rt::AnyRoutine>(&ClaimsKey);
    default: return nullptr;
  }
}

rt::AnyRoutine OptionInterface(int32_t operation) {
  return operation == forms::op::kCreate ? reinterpret_cast<rt::AnyRoutine>(&CreateOption)
                                         : WidgetInterface(operation);
}

// Runs the test's action on every message, then consumes WM_KEYDOWN of F5
// before anything else sees it.
int32_t PreTranslateF5(UnitObject*, MSG* msg) {
  if (PreTranslateAction()) PreTranslateAction()();
  return msg->message == WM_KEYDOWN && msg->wParam == VK_F5 ? 1 : 0;
}

rt::AnyRoutine PreTranslatorInterface(int32_t operation) {
  return operation == forms::op::kPreTranslate ? reinterpret_cast<rt::AnyRoutine>(&PreTranslateF5)
                                               : WidgetInterface(operation);
}

rt::AnyRoutine BrokenInterface(int32_t) { return nullptr; }

// Own properties; the type's table puts the eight common ones first.
const rt::PropertyInfo kWidgetOwnProperties[] = {
    {"数值", "Number", nullptr, rt::proptype::kInteger, nullptr},
    {"标志", "Flag", nullptr, rt::proptype::kLogical, nullptr},
    {"正数", "Positive", nullptr, rt::proptype::kPickIndex, nullptr},
    {"文本", "Text", nullptr, rt::proptype::kText, nullptr},
    {"数据", "Blob", nullptr, rt::proptype::kPicture, nullptr},
    {"字体", "Font", nullptr, rt::proptype::kFont, nullptr},
    {"风格", "Style", nullptr, rt::proptype::kInteger, nullptr},
    {"指针", "Pointer", nullptr, rt::proptype::kCursor, nullptr},
};
constexpr auto kWidgetProperties = units::WithCommonProperties(kWidgetOwnProperties);

rt::UnitTypeRecord Type(const char* name, uint32_t flags, rt::InterfaceFn fn,
                        uint32_t propertyCount = 0, const rt::PropertyInfo* properties = nullptr) {
  return units::MakeUnitType(name, name, flags, propertyCount, properties, fn);
}

const uint32_t kWindowed = rt::typeflag::kWindowUnit;

const rt::UnitTypeRecord kTypes[] = {
    {},
    Type("widget", kWindowed, WidgetInterface, 16, kWidgetProperties.data()),
    {},
    Type("hidden", kWindowed | rt::typeflag::kNoWindowShown, WidgetInterface, 16,
         kWidgetProperties.data()),
    Type("label", kWindowed | rt::typeflag::kLabelKind, WidgetInterface, 16,
         kWidgetProperties.data()),
    Type("option", kWindowed | rt::typeflag::kOptionButtonKind, OptionInterface, 16,
         kWidgetProperties.data()),
    Type("pretranslator", kWindowed | rt::typeflag::kPreTranslates, PreTranslatorInterface, 16,
         kWidgetProperties.data()),
    Type("broken", kWindowed, BrokenInterface),
    CounterType(),
};

rt::LibraryDescriptor MakeLibrary() {
  rt::LibraryDescriptor d{};
  d.formatMarker = rt::kLibraryFormatMarker;
  d.typeCount = sizeof kTypes / sizeof kTypes[0];
  d.types = kTypes;
  return d;
}

}  // namespace

LRESULT WidgetObject::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LogMessage(*this, message);
  return UnitObject::WindowProc(message, wParam, lParam);
}

bool WidgetObject::Reflected(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
  forms::RaiseWordEvent(formId(), unitId(), forms::event::kMain);
  result = 0;
  return true;
}

void (*&PreTranslateAction())() {
  static void (*action)() = nullptr;
  return action;
}

bool& ThrowWhenGone() {
  static bool throwWhenGone = false;
  return throwWhenGone;
}

void WidgetObject::WindowGone() {
  Log().push_back("destroy " + Hex(unitId()));
  if (ThrowWhenGone()) {
    ThrowWhenGone() = false;
    throw std::runtime_error("unit gone wrong");
  }
  UnitObject::WindowGone();
}

FormWatch::FormWatch()
    : hook(::SetWindowsHookExA(WH_CALLWNDPROC, WatchForms, nullptr, ::GetCurrentThreadId())) {}
FormWatch::~FormWatch() { ::UnhookWindowsHookEx(hook); }

namespace {
const rt::LibraryDescriptor* usedLibraries[kLibraryCount] = {};
}  // namespace

void UseLibrary(uint32_t index, const rt::LibraryDescriptor* library) {
  if (index < kLibraryCount) usedLibraries[index] = library;
}

const rt::LibraryDescriptor* const* Libraries(const rt::LibraryDescriptor* media) {
  static rt::LibraryDescriptor empty{};
  empty.formatMarker = rt::kLibraryFormatMarker;
  static const rt::LibraryDescriptor* libraries[kLibraryCount] = {};
  libraries[0] = &units::CoreLibrary();
  for (uint32_t i = 1; i < kLibraryCount; ++i) {
    libraries[i] = usedLibraries[i] ? usedLibraries[i] : &empty;
  }
  libraries[5] = media ? media : &empty;
  for (uint32_t i = 1; i < kLibraryCount; ++i) {
    if (usedLibraries[i] != nullptr) libraries[i] = usedLibraries[i];
  }
  libraries[kLibraryIndex] = &Library();
  return libraries;
}

const rt::LibraryDescriptor& Library() {
  static const rt::LibraryDescriptor library = MakeLibrary();
  return library;
}

}  // namespace testunits
