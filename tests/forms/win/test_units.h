#pragma once
// A runtime library of small unit types for exercising the form framework
// through its real loader, windows and messages, beside the real core
// library (whose window and menu types the forms use): a windowed unit with
// properties of each conversion kind, a windowless unit, label,
// option-button and pre-translating kinds, and a type that cannot be
// created. It sits at library index 6, whose real library has no types.

#include <windows.h>

#include <string>
#include <vector>

#include "forms/win/unit.h"
#include "runtime/program.h"

namespace testunits {

// Type codes in library 6.
constexpr uint32_t kLibraryIndex = 6;
constexpr uint32_t kWidget = 0x00070002;
constexpr uint32_t kHidden = 0x00070004;
constexpr uint32_t kLabel = 0x00070005;
constexpr uint32_t kOption = 0x00070006;
constexpr uint32_t kPreTranslator = 0x00070007;
constexpr uint32_t kBroken = 0x00070008;

// Own property numbers of the widget (overall number = own + 8).
enum WidgetProperty {
  kNumber,    // 1000
  kFlag,      // 1003
  kPositive,  // 1006
  kText,      // 1005: text
  kBlob,      // 1009: byte-set
  kFont,      // 1013
  kStyle,     // 1000, takes effect only by a rebuild
  kPointer,   // 1011: cursor bytes
};

// What the units saw, in order: "create <unit id hex> id=<control id>",
// "msg <unit id hex> <message hex>", "destroy <unit id hex>"; for form
// windows (watched by a message hook) "create form" and their messages.
std::vector<std::string>& Log();
// Watches the form windows of this thread for the log while it lives.
struct FormWatch {
  FormWatch();
  ~FormWatch();
  FormWatch(const FormWatch&) = delete;
  FormWatch& operator=(const FormWatch&) = delete;
  HHOOK hook;
};

// The widget's current values, and what a test may look at.
struct WidgetObject : forms::UnitObject {
  using UnitObject::UnitObject;
  int32_t number = 0;
  int32_t flag = 0;
  int32_t positive = 0;
  int32_t style = 0;
  std::string text;
  std::vector<uint8_t> blob;
  std::vector<uint8_t> font;
  std::vector<uint8_t> pointer;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // A click of a button control comes back as event 0.
  bool Reflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 protected:
  void WindowGone() override;
};

const rt::LibraryDescriptor& Library();

// The seven libraries of a test program: the core library, this library at
// index 6, and `media` (or an empty one) at index 5.
const rt::LibraryDescriptor* const* Libraries(const rt::LibraryDescriptor* media = nullptr);
inline constexpr uint32_t kLibraryCount = 7;
// Puts a real library at `index` of the table Libraries() gives (null takes
// it back out), for tests of real units.
void UseLibrary(uint32_t index, const rt::LibraryDescriptor* library);

// Run by the pre-translating type's hook before it answers (null: nothing).
void (*&PreTranslateAction())();
// The next widget whose window goes away throws from its last step.
bool& ThrowWhenGone();

// Units created with a property block of one word raise event 5 while they
// are created (the framework must not deliver it).
constexpr int32_t kEventDuringCreate = 5;

}  // namespace testunits
