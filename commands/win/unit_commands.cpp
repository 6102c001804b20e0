#include "commands/win/unit_commands.h"

#include <windows.h>

#include <vector>

#include "commands/core_commands.h"
#include "forms/win/framework.h"
#include "forms/win/unit.h"
#include "runtime/fatal.h"
#include "runtime/messages.h"
#include "runtime/service.h"
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

forms::UnitObject* Lookup(uint32_t code, int32_t count, const rt::ArgRecord* args) {
  if (count < 1) rt::FatalError(rt::msg::kUnitNotLoaded);
  const uint64_t found = rt::Service(code, args[0].low, args[0].high);
  return reinterpret_cast<forms::UnitObject*>(static_cast<uintptr_t>(found));
}

// The loaded unit argument 0 names; a unit that is not loaded is fatal.
forms::UnitObject& UnitOf(int32_t count, const rt::ArgRecord* args) {
  return *Lookup(rt::svc::kFindUnitOrFail, count, args);
}

HWND WindowOf(int32_t count, const rt::ArgRecord* args) { return UnitOf(count, args).hwnd(); }

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
rt::IconHandle TrayIconOf(int32_t count, const rt::ArgRecord* args) {
  std::vector<uint8_t> bytes;
  if (const char* name = TextArgument(count, args, 1)) {
    bytes = ReadWholeFile(name);
  } else if (count > 1 && args[1].type == rt::TypeCode::ByteSet) {
    const rt::ByteSpan span = rt::ByteSetBytes(rt::ByteSetOf(args[1]));
    bytes.assign(span.data, span.data + span.size);
  }
  if (bytes.empty()) return {};
  rt::IconHandle icon = rt::IconFromFile(bytes.data(), bytes.size(), 16);
  if (!icon) icon = rt::IconFromFile(bytes.data(), bytes.size(), 32);
  return icon;
}

}  // namespace

void GetItemText(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args) {
  HWND list = WindowOf(count, args);
  const int32_t row = IntArgument(count, args, 1);
  if (row < 0 || row >= ::SendMessageA(list, LB_GETCOUNT, 0, 0)) return;
  const LRESULT length = ::SendMessageA(list, LB_GETTEXTLEN, row, 0);
  if (length <= 0) return;
  std::vector<char> text(static_cast<size_t>(length) + 1);
  const LRESULT copied =
      ::SendMessageA(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
  if (copied > 0) SetTextResult(*result, rt::CopyCountedText(text.data(), copied));
}

void GetItemCount(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args) {
  const LRESULT rows = ::SendMessageA(WindowOf(count, args), LB_GETCOUNT, 0, 0);
  SetIntResult(*result, static_cast<int32_t>(rows));
}

void ReadConfigItem(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args) {
  const char* file = SkipControlBytes(TextArgument(count, args, 0));
  const char* section = SkipControlBytes(TextArgument(count, args, 1));
  const char* key = SkipControlBytes(TextArgument(count, args, 2));
  if (!file || !*file || !section || !*section || !key || !*key) return;
  const char* fallback = TextArgument(count, args, 3);
  if (fallback != nullptr && *fallback == 0) fallback = nullptr;
  std::vector<char> value(kConfigBufferSize);
  ::GetPrivateProfileStringA(section, key, fallback, value.data(), kConfigBufferSize, file);
  SetTextResult(*result, rt::CopyText(value.data()));
}

void SetTrayIcon(rt::ArgRecord*, int32_t count, rt::ArgRecord* args) {
  if (count < 1) rt::FatalError(rt::msg::kUnitNotLoaded);
  auto* window = dynamic_cast<units::WindowObject*>(forms::FindUnitObjectOrFail(args[0].low, 0));
  if (window == nullptr) rt::FatalError(rt::msg::kUnitNotLoaded);
  rt::IconHandle icon = TrayIconOf(count, args);
  window->SetTrayIcon(icon.Release(), TextArgument(count, args, 2));
}

void GetWindowHandle(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args) {
  const forms::UnitObject* unit = count > 0 ? Lookup(rt::svc::kFindUnit, count, args) : nullptr;
  const uintptr_t handle = unit ? reinterpret_cast<uintptr_t>(unit->hwnd()) : 0;
  // Window handles fit 32 bits on 64-bit Windows too.
  SetIntResult(*result, static_cast<int32_t>(handle));
}

void AddItem(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args) {
  forms::UnitObject& list = UnitOf(count, args);
  const int32_t data = Given(count, args, 2) ? IntArgument(count, args, 2) : 0;
  SetIntResult(*result, units::ListBoxAddItem(&list, TextArgument(count, args, 1), data));
}

void WriteConfigItem(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args) {
  const char* key = Given(count, args, 2) ? TextArgument(count, args, 2) : nullptr;
  const char* value = Given(count, args, 3) ? TextArgument(count, args, 3) : nullptr;
  // A given but empty key or value is the empty text, not "omitted".
  if (Given(count, args, 2) && key == nullptr) key = "";
  if (Given(count, args, 3) && value == nullptr) value = "";
  const char* file = TextArgument(count, args, 0);
  const char* section = TextArgument(count, args, 1);
  SetBoolResult(*result, ::WritePrivateProfileStringA(section ? section : "", key, value,
                                                      file ? file : "") != FALSE);
}

void RaiseFeedbackEvent(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args) {
  HWND label = WindowOf(count, args);
  const WPARAM first = static_cast<uint32_t>(Given(count, args, 1) ? args[1].low : 0);
  const LPARAM second = static_cast<uint32_t>(Given(count, args, 2) ? args[2].low : 0);
  if (Given(count, args, 3) && args[3].low == 0) {
    ::PostMessageA(label, units::kMsgFeedback, first, second);
    return SetIntResult(*result, 0);
  }
  const LRESULT answer = ::SendMessageA(label, units::kMsgFeedback, first, second);
  SetIntResult(*result, static_cast<int32_t>(answer));
}

void Destroy(rt::ArgRecord*, int32_t count, rt::ArgRecord* args) {
  forms::UnitObject& unit = UnitOf(count, args);
  HWND window = unit.hwnd();
  if ((args[0].high & kPlacedUnitBits) != 0) {
    ::DestroyWindow(window);  // the unit reports itself gone (service 2000)
  } else if (Given(count, args, 1) && args[1].low != 0) {
    forms::ReenableAfterModalDisplay(unit.formId());
    if (::IsWindow(window)) ::DestroyWindow(window);
  } else {
    ::PostMessageA(window, forms::kMsgDeferredDestroy, 0, 0);
  }
}

}  // namespace commands
