#include "commands/core_commands.h"

#include <cstring>
#include <memory>

#include "runtime/heap.h"
#include "runtime/runtime.h"
#include "runtime/seams.h"
#include "runtime/value.h"

namespace commands {

namespace {

constexpr uint32_t kSystemModal = 0x1000;
constexpr uint32_t kTaskModal = 0x2000;
constexpr char kDefaultCaption[] = "信息：";

// A text the runtime heap gave, freed when it goes out of scope.
struct HeapTextFree {
  void operator()(char* text) const { rt::Free(text); }
};
using HeapText = std::unique_ptr<char, HeapTextFree>;

// The data bytes of a byte-set or a numeric array, cut at the first zero
// byte, as a new text. False for an array of any other element type.
bool BlockText(const rt::ArgRecord& value, char*& text) {
  const uint8_t* data = nullptr;
  uint64_t size = 0;
  if (value.type == rt::TypeCode::ByteSet) {
    const rt::ByteSpan bytes = rt::ByteSetBytes(rt::ByteSetOf(value));
    data = bytes.data;
    size = bytes.size;
  } else {
    const uint32_t element = rt::ElementType(value.type);
    if (!rt::IsNumericType(element)) return false;
    const void* block = rt::ArrayOf(value);
    if (block != nullptr) {
      data = static_cast<const uint8_t*>(rt::ArrayElements(block));
      size = rt::ArrayElementCount(block) * rt::ElementSize(element);
    }
  }
  if (data != nullptr && size > 0) {
    const void* zero = std::memchr(data, 0, static_cast<size_t>(size));
    if (zero != nullptr) size = static_cast<const uint8_t*>(zero) - data;
  }
  text = size > 0
             ? rt::CopyCountedText(reinterpret_cast<const char*>(data), static_cast<int64_t>(size))
             : nullptr;
  return true;
}

}  // namespace

void SetIntResult(rt::ArgRecord& result, int32_t value) { result = rt::MakeInt(value); }
void SetBoolResult(rt::ArgRecord& result, bool value) { result = rt::MakeBool(value); }
void SetTextResult(rt::ArgRecord& result, char* text) { result = rt::MakeText(text); }

// ---- Rules ---------------------------------------------------------------------------------

uint32_t MessageStyle(uint32_t flags) {
  return (flags & kSystemModal) ? flags : flags | kTaskModal;
}

int32_t PressedButton(int32_t windowsCode) {
  return windowsCode >= 1 && windowsCode <= 7 ? windowsCode - 1 : 0;
}

std::string HalfWidth(const char* text) {
  std::string out;
  if (text == nullptr) return out;
  for (const auto* p = reinterpret_cast<const uint8_t*>(text); *p != 0;) {
    if (*p < 0x80) {
      out.push_back(static_cast<char>(*p++));
      continue;
    }
    if (p[1] == 0) break;  // a lead byte without its trail byte
    const uint8_t lead = p[0], trail = p[1];
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      out.push_back(static_cast<char>(trail & 0x7F));
    } else if (lead == 0xA1 && (trail == 0xA1 || trail == 0xAB || trail == 0xEE || trail == 0xEF)) {
      out.push_back(trail == 0xA1 ? ' ' : trail == 0xAB ? '~' : '*');
    } else {
      out.push_back(static_cast<char>(lead));
      out.push_back(static_cast<char>(trail));
    }
    p += 2;
  }
  return out;
}

int32_t LeadingInteger(const char* text) {
  if (text == nullptr) return 0;
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  int64_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + (*p - '0');
    if (value > int64_t{INT32_MAX} + 1) value = int64_t{INT32_MAX} + 1;  // saturates below
  }
  if (negative) return static_cast<int32_t>(-value);
  return static_cast<int32_t>(value > INT32_MAX ? INT32_MAX : value);
}

const char* SkipControlBytes(const char* text) {
  if (text == nullptr) return nullptr;
  while (*text >= 1 && *text <= 32) ++text;
  return text;
}

uint32_t HotKeyModifiers(int32_t runtimeValue) {
  // Ctrl, Shift and Alt are bits 1, 2 and 4 here and 2, 4 and 1 for Windows.
  static const uint32_t kWindows[] = {0, 2, 4, 6, 1, 3, 5, 7};
  if (runtimeValue >= 1 && runtimeValue <= 6) return kWindows[runtimeValue];
  return static_cast<uint32_t>(runtimeValue);
}

// ---- Commands ------------------------------------------------------------------------------

void ShowMessage(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args) {
  const rt::Args a(count, args);
  HeapText text(a.Has(0) ? rt::ValueToText(args[0]) : nullptr);
  const char* caption = kDefaultCaption;
  if (a.Given(2)) caption = a.Text(2) ? a.Text(2) : "";
  const uint32_t style = MessageStyle(a.Word(1));
  const int32_t pressed = rt::ShowMessageBox(nullptr, text ? text.get() : "", caption, style);
  SetIntResult(*result, PressedButton(pressed));
}

void TextLeft(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args) {
  const rt::Args a(count, args);
  const char* text = a.Text(0);
  const int64_t length = static_cast<int32_t>(a.Word(1));
  if (text == nullptr || length <= 0) return;
  const size_t size = std::strlen(text);
  const int64_t taken = length < static_cast<int64_t>(size) ? length : static_cast<int64_t>(size);
  SetTextResult(*result, rt::CopyCountedText(text, taken));
}

void GetRunDirectory(rt::ArgRecord* result, int32_t, rt::ArgRecord*) {
  SetTextResult(*result, rt::CopyText(rt::ProgramDirectory().c_str()));
}

void ToInteger(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args) {
  if (count < 1) return SetIntResult(*result, 0);
  const rt::ArgRecord& value = args[0];
  int32_t number = 0;
  if (rt::IsNumericType(value.type)) {
    number = rt::ValueToInt(value);
  } else if (value.type == rt::TypeCode::Bool) {
    number = rt::WordOf(value) != 0 ? 1 : 0;
  } else if (value.type == rt::TypeCode::SubPointer) {
    number = static_cast<int32_t>(rt::AddressOf(value));
  } else if (value.type == rt::TypeCode::Text) {
    number = LeadingInteger(HalfWidth(rt::TextOf(value)).c_str());
  }
  SetIntResult(*result, number);
}

void ToText(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args) {
  if (count < 1) return;
  const rt::ArgRecord& value = args[0];
  char* text = nullptr;
  if (value.type == rt::TypeCode::ByteSet || rt::IsArrayType(value.type)) {
    if (!BlockText(value, text)) return;
  } else {
    text = rt::ValueToText(value);
  }
  SetTextResult(*result, text);
}

}  // namespace commands
