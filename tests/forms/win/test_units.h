#pragma once
// A runtime library of small unit types for exercising the form framework
// through its real loader, windows and messages: a form window type, a
// windowed unit with properties of each conversion kind, a windowless unit,
// label, option-button and pre-translating kinds, and a type that cannot be
// created.

#include <windows.h>

#include <string>
#include <vector>

#include "forms/unit.h"
#include "runtime/program.h"

namespace testunits {

// Type codes in library 0.
constexpr uint32_t kForm = 0x00010001;
constexpr uint32_t kWidget = 0x00010002;
constexpr uint32_t kMenu = 0x00010003;
constexpr uint32_t kHidden = 0x00010004;
constexpr uint32_t kLabel = 0x00010005;
constexpr uint32_t kOption = 0x00010006;
constexpr uint32_t kPreTranslator = 0x00010007;
constexpr uint32_t kBroken = 0x00010008;

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
// "msg <unit id hex> <message hex>", "destroy <unit id hex>".
std::vector<std::string>& Log();

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

// Run by the pre-translating type's hook before it answers (null: nothing).
void (*&PreTranslateAction())();
// The next widget whose window goes away throws from its last step.
bool& ThrowWhenGone();

// Units created with a property block of one word raise event 5 while they
// are created (the framework must not deliver it).
constexpr int32_t kEventDuringCreate = 5;

}  // namespace testunits
