// A form compiled at build time (data/binding.form): the program builds its
// code base from the generated routine list, and every handler link of the
// embedded template data reaches the routine the form names.

#include <gtest/gtest.h>

#include "BindingForm.h"
#include "forms/template.h"
#include "runtime/program.h"

namespace {

rt::RoutineResult Opened(const uintptr_t*, int32_t) { return {true, 1}; }
rt::RoutineResult Closed(const uintptr_t*, int32_t) { return {true, 2}; }
rt::RoutineResult Clicked(const uintptr_t*, int32_t) { return {true, 3}; }
rt::RoutineResult Ticked(const uintptr_t*, int32_t) { return {true, 4}; }
rt::RoutineResult Quit(const uintptr_t*, int32_t count) { return {true, 5u + count}; }

// How a program turns the list into its code base: a routine the form names
// but the program lacks does not compile.
#define ROUTINE_ENTRY(name) name,
const rt::Routine kRoutines[] = {BINDING_FORM_ROUTINES(ROUTINE_ENTRY)};
#undef ROUTINE_ENTRY
static_assert(sizeof kRoutines / sizeof kRoutines[0] == kBindingFormRoutineCount);
const rt::CodeBase kCodeBase = {kRoutines, kBindingFormRoutineCount, nullptr, nullptr};

const rt::ProgramHeader kHeader = {
    3, 0,       0, &kCodeBase, nullptr, 0, kBindingFormTemplate, kBindingFormTemplateSize,
    0, nullptr, 0, nullptr,    nullptr,
};

rt::Routine EventRoutine(const forms::UnitRecord* r, int32_t event) {
  if (r == nullptr) return nullptr;
  for (const forms::EventLink& link : r->events) {
    if (link.event == event) return link.routine;
  }
  return nullptr;
}

TEST(FormBinding, HandlerLinksReachTheRoutinesTheFormNames) {
  auto data = forms::ReadTemplate(kHeader.templateData, kHeader.templateSize);
  ASSERT_TRUE(data.has_value());
  ASSERT_TRUE(forms::RelocateHandlers(*data, *kHeader.codeBase));
  const forms::FormRecord* form = data->Find(0x52010007);
  ASSERT_NE(form, nullptr);
  const forms::UnitTable& units = form->units;
  EXPECT_EQ(EventRoutine(units.Find(forms::kFormWindowUnitId), 0), &Opened);
  EXPECT_EQ(EventRoutine(units.Find(forms::kFormWindowUnitId), 2), &Closed);
  EXPECT_EQ(EventRoutine(units.Find(0x16010001), 0), &Clicked);
  EXPECT_EQ(EventRoutine(units.Find(0x16010001), -7), &Opened);
  EXPECT_EQ(EventRoutine(units.Find(0x16010002), 0), &Ticked);
  EXPECT_EQ(units.Find(0x26010001)->click.routine, nullptr);
  rt::Routine quit = units.Find(0x26010002)->click.routine;
  ASSERT_EQ(quit, &Quit);
  EXPECT_EQ(quit(nullptr, 2).value, 7u);
  EXPECT_EQ(kBindingFormRoutineCount, 5u);  // Opened is listed once
}

TEST(FormBinding, EmbeddedDataKeepsTheFormsTexts) {
  auto data = forms::ReadTemplate(kBindingFormTemplate, kBindingFormTemplateSize);
  ASSERT_TRUE(data.has_value());
  const forms::UnitTable& units = data->forms[0].units;
  ASSERT_EQ(units.records.size(), 5u);
  EXPECT_EQ(units.Find(0x26010002)->caption, "退出");  // code page 936 on both sides
  EXPECT_FALSE(units.Find(0x16010002)->Flags() & forms::unitflag::kVisible);
  EXPECT_EQ(
      forms::WriteTemplate(*data),
      std::vector<uint8_t>(kBindingFormTemplate, kBindingFormTemplate + kBindingFormTemplateSize));
}

}  // namespace
