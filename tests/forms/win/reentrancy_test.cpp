// Event routines that close their own form while the framework is still in
// the middle of something with it, and exceptions at window procedures.
// Freed memory is guarded here: a framework that touches a closed form's
// objects or records afterwards faults instead of passing unseen.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>

#include "forms/win/framework.h"
#include "runtime/runtime.h"
#include "runtime/seams.h"
#include "tests/forms/win/test_program.h"
#include "tests/forms/win/test_units.h"
#include "tests/support/freed_memory.h"

namespace {

using namespace testprog;

constexpr uint32_t kWidgetId = 0x16010001;
constexpr uint32_t kHookId = 0x16010002;

class ReentrancyTest : public FrameworkTest {
 protected:
  void TearDown() override {
    testunits::PreTranslateAction() = nullptr;
    FrameworkTest::TearDown();
  }
  testing_support::GuardFreedMemory guard_;
};

void CloseForm() {
  if (forms::UnitObject* form = forms::FindUnitObject(kFormId, 0)) ::DestroyWindow(form->hwnd());
}

TEST_F(ReentrancyTest, AnIdleRoutineClosesItsForm) {
  forms::FormRecord form = Form(kFormId, {});
  form.units.records[0].events = {{7, 0}};
  Start({form});
  ASSERT_TRUE(Load());
  SetAction(0, CloseForm);
  rt::Framework().messageLoop();  // ends: the last form is gone
  EXPECT_EQ(Calls().size(), 1u);
  EXPECT_EQ(WindowOf(0), nullptr);
}

void CloseSecondForm() {
  if (forms::UnitObject* form = forms::FindUnitObject(kFormId + 1, 0)) {
    ::DestroyWindow(form->hwnd());
  }
}

TEST_F(ReentrancyTest, TheFocusRoutineClosesItsFormWhileItLoads) {
  forms::FormRecord first = Form(kFormId, {});
  first.units.records[0].events = {{-7, 0}};
  forms::FormRecord second = Form(kFormId + 1, {});
  second.units.records[0].events = {{-7, 1}};
  Start({first, second});
  SetAction(0, CloseForm);
  SetAction(1, CloseSecondForm);
  EXPECT_TRUE(Load());
  EXPECT_TRUE(Load(kFormId + 1, nullptr, true));  // no modal wait for a form already gone
  ASSERT_EQ(Calls().size(), 2u) << "each form's focus event was raised";
  EXPECT_EQ(WindowOf(0), nullptr);
  EXPECT_EQ(WindowOf(0, kFormId + 1), nullptr);
  EXPECT_EQ(forms::ModalFormId(), 0u);
}

TEST_F(ReentrancyTest, ARebuildBehindAPostedCloseFindsTheFormGone) {
  Start({Form(kFormId, {Unit(kWidgetId, testunits::kWidget)})});
  ASSERT_TRUE(Load());
  ::PostMessageA(WindowOf(0), WM_CLOSE, 0, 0);
  // The style takes effect only by a rebuild, which first processes messages.
  forms::WriteProperty(kFormId, kWidgetId, 8 + testunits::kStyle, -1, {7, 0});
  EXPECT_EQ(WindowOf(0), nullptr);
  EXPECT_EQ(rt::BusyCount(), 0);
  ASSERT_TRUE(Load());  // loads afresh from the restored records
  EXPECT_NE(WindowOf(kWidgetId), nullptr);
}

TEST_F(ReentrancyTest, APreTranslationHookClosesItsForm) {
  Start({Form(kFormId,
              {Unit(kHookId, testunits::kPreTranslator), Unit(kWidgetId, testunits::kWidget)})});
  ASSERT_TRUE(Load());
  testunits::PreTranslateAction() = CloseForm;
  ::PostMessageA(WindowOf(kWidgetId), WM_KEYDOWN, 'A', 0);
  rt::Framework().messageLoop();  // ends: the last form is gone
  EXPECT_EQ(WindowOf(0), nullptr);
}

// ---- Exceptions at window procedures ------------------------------------------------

void Throw() { throw std::runtime_error("handler failed"); }

int32_t MessageToStandardError(void*, const char* text, const char*, uint32_t) {
  std::fputs(text, stderr);
  return IDOK;
}

// The fatal path ends a child process for real, as it ends the program:
// unwinding a test's exception through the window procedures of a shutdown
// that destroys those very windows is no way to end a test.
void EndForReal() {
  rt::SetMessageBoxSeam(MessageToStandardError);
  rt::SetEndProcessSeam(nullptr);
}

TEST_F(ReentrancyTest, AnExceptionInAWindowProcedureIsAFatalError) {
  forms::FormRecord form =
      Form(kFormId, {MenuItem(0x26010001, 0, "File"), MenuItem(0x26010002, 1, "Open", 0),
                     Unit(kWidgetId, testunits::kWidget)});
  Start({form});
  ASSERT_TRUE(Load());
  SetAction(0, Throw);
  HWND window = WindowOf(0);
  EXPECT_EXIT(
      {
        EndForReal();
        ::SendMessageA(window, WM_COMMAND, 20001, 0);
      },
      ::testing::ExitedWithCode(-1), "handler failed");
}

TEST_F(ReentrancyTest, AnExceptionWhileAWindowGoesIsAFatalErrorToo) {
  Start({Form(kFormId, {Unit(kWidgetId, testunits::kWidget)})});
  ASSERT_TRUE(Load());
  HWND widget = WindowOf(kWidgetId);
  EXPECT_EXIT(
      {
        EndForReal();
        testunits::ThrowWhenGone() = true;
        ::DestroyWindow(widget);
      },
      ::testing::ExitedWithCode(-1), "unit gone wrong");
}

}  // namespace
