#include "commands/win/unit_commands.h"

#include <windows.h>

#include <vector>

#include "commands/core_commands.h"
#include "forms/win/framework.h"
#include "forms/win/unit.h"
#include "runtime/fatal.h"
#include "runtime/messages.h"
#include "runtime/value.h"
#include "runtime/win/handles.h"
#include "runtime/win/icons.h"
#include "units/win/label.h"
#include "units/win/listbox.h"
#include "units/win/window.h"

namespace commands {

namespace {

// What ReadConfigItem reads at most, with its terminator.
constexpr DWORD kConfigBufferSize = 10240;
// Icon files beyond this are not read: no icon is that large.
constexpr LONGLONG kMaxIconFileBytes = 16 << 20;
// Unit ids of a form's own window unit have the top four bits clear.
constexpr uint32_t kPlacedUnitBits = 0xF0000000;

// The loaded unit argument 0 names; a unit that is not loaded is fatal.
forms::UnitObject& UnitOf(const rt::Args& a) { return forms::UnitArgOrFail<forms::UnitObject>(a); }

HWND WindowOf(const rt::Args& a) { return UnitOf(a).hwnd(); }

std::vector<uint8_t> ReadWholeFile(const char* name) {
  rt::FileHandle file(::CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size;
  if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxIconFileBytes) return {};
  std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!bytes.empty() &&
      (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
       read != bytes.size()))
    return {};
  return bytes;
}

// The tray icon of argument 1: a file's or a byte-set's icon data, the
// image of width 16 first, then of width 32. Empty without data.
rt::IconHandle TrayIconOf(const rt::Args& a) {
  std::vector<uint8_t> bytes;
  if (const char* name = a.Text(1)) {
    bytes = ReadWholeFile(name);
  } else if (const rt::ArgRecord* data = a.Given(1); data && data->type == rt::TypeCode::ByteSet) {
    const rt::ByteSpan span = rt::ByteSetBytes(rt::ByteSetOf(*data));
    bytes.assign(span.data, span.data + span.size);
  }
  if (bytes.empty()) return {};
  rt::IconHandle icon = rt::IconFromFile(bytes.data(), bytes.size(), 16);
  if (!icon) icon = rt::IconFromFile(bytes.data(), bytes.size(), 32);
  return icon;
}

}  // namespace

void GetItemText(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args) {
  const rt::Args a(count, args);
  HWND list = WindowOf(a);
  const auto row = static_cast<int32_t>(a.Word(1));
  if (row < 0 || row >= ::SendMessageA(list, LB_GETCOUNT, 0, 0)) return;
  const LRESULT length = ::SendMessageA(list, LB_GETTEXTLEN, row, 0);
  if (length <= 0) return;
  std::vector<char> text(static_cast<size_t>(length) + 1);
  const LRESULT copied =
      ::SendMessageA(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
  if (copied > 0) SetTextResult(*result, rt::CopyCountedText(text.data(), copied));
}

void GetItemCount(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args) {
  const LRESULT rows = ::SendMessageA(WindowOf(rt::Args(count, args)), LB_GETCOUNT, 0, 0);
  SetIntResult(*result, static_cast<int32_t>(rows));
}

void ReadConfigItem(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args) {
  const rt::Args a(count, args);
  const char* file = SkipControlBytes(a.Text(0));
  const char* section = SkipControlBytes(a.Text(1));
  const char* key = SkipControlBytes(a.Text(2));
  if (!file || !*file || !section || !*section || !key || !*key) return;
  const char* fallback = a.Text(3);
  if (fallback != nullptr && *fallback == 0) fallback = nullptr;
  std::vector<char> value(kConfigBufferSize);
  ::GetPrivateProfileStringA(section, key, fallback, value.data(), kConfigBufferSize, file);
  SetTextResult(*result, rt::CopyText(value.data()));
}

void SetTrayIcon(rt::ArgRecord*, int32_t count, rt::ArgRecord* args) {
  const rt::Args a(count, args);
  if (!a.Has(0)) rt::FatalError(rt::msg::kUnitNotLoaded);
  // Any unit of a form names the form's own window here.
  auto* window = dynamic_cast<units::WindowObject*>(&forms::FindUnitOrFail({a.Unit(0).formId, 0}));
  if (window == nullptr) rt::FatalError(rt::msg::kUnitNotLoaded);
  rt::IconHandle icon = TrayIconOf(a);
  window->SetTrayIcon(icon.Release(), a.Text(2));
}

void GetWindowHandle(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args) {
  const rt::Args a(count, args);
  const forms::UnitObject* unit = a.Has(0) ? forms::FindUnit(a.Unit(0)) : nullptr;
  const uintptr_t handle = unit ? reinterpret_cast<uintptr_t>(unit->hwnd()) : 0;
  // Window handles fit 32 bits on 64-bit Windows too.
  SetIntResult(*result, static_cast<int32_t>(handle));
}

void AddItem(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args) {
  const rt::Args a(count, args);
  forms::UnitObject& list = UnitOf(a);
  const auto data = static_cast<int32_t>(a.Given(2) ? a.Word(2) : 0);
  SetIntResult(*result, units::ListBoxAddItem(&list, a.Text(1), data));
}

void WriteConfigItem(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args) {
  const rt::Args a(count, args);
  // A given but empty key or value is the empty text, not "omitted".
  const char* key = a.Given(2) ? (a.Text(2) ? a.Text(2) : "") : nullptr;
  const char* value = a.Given(3) ? (a.Text(3) ? a.Text(3) : "") : nullptr;
  const char* file = a.Text(0);
  const char* section = a.Text(1);
  SetBoolResult(*result, ::WritePrivateProfileStringA(section ? section : "", key, value,
                                                      file ? file : "") != FALSE);
}

void RaiseFeedbackEvent(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args) {
  const rt::Args a(count, args);
  HWND label = WindowOf(a);
  const WPARAM first = a.Given(1) ? a.Word(1) : 0;
  const LPARAM second = a.Given(2) ? a.Word(2) : 0;
  if (a.Given(3) && a.Word(3) == 0) {
    ::PostMessageA(label, units::kMsgFeedback, first, second);
    return SetIntResult(*result, 0);
  }
  const LRESULT answer = ::SendMessageA(label, units::kMsgFeedback, first, second);
  SetIntResult(*result, static_cast<int32_t>(answer));
}

void Destroy(rt::ArgRecord*, int32_t count, rt::ArgRecord* args) {
  const rt::Args a(count, args);
  forms::UnitObject& unit = UnitOf(a);
  HWND window = unit.hwnd();
  if ((a.Unit(0).unitId & kPlacedUnitBits) != 0) {
    ::DestroyWindow(window);  // the unit reports itself gone (service 2000)
  } else if (a.Given(1) && a.Word(1) != 0) {
    forms::ReenableAfterModalDisplay(unit.formId());
    if (::IsWindow(window)) ::DestroyWindow(window);
  } else {
    ::PostMessageA(window, forms::kMsgDeferredDestroy, 0, 0);
  }
}

}  // namespace commands
