// The message loop: idle callbacks, the forms' idle event, and the end of
// the loop.

#include <windows.h>

#include <gtest/gtest.h>

#include "forms/events.h"
#include "forms/win/framework.h"
#include "runtime/runtime.h"
#include "runtime/service.h"
#include "tests/forms/win/test_program.h"
#include "tests/forms/win/test_units.h"

namespace {

using namespace testprog;

class LoopTest : public FrameworkTest {};

TEST_F(LoopTest, ReturnsAtOnceWithoutAnyFormWindow) {
  Start({Form(kFormId, {})});
  // A loop that ran would take the waiting message; one that returned at
  // once leaves it queued.
  ::PostThreadMessageA(::GetCurrentThreadId(), WM_APP, 0, 0);
  rt::Framework().messageLoop();
  MSG msg;
  EXPECT_TRUE(::PeekMessageA(&msg, nullptr, WM_APP, WM_APP, PM_REMOVE));
}

// Keeps asking for idle time three times, then lets a message end the idle
// period and the form.
void CloseAfterThreeIdleCalls() {
  if (Calls().size() == 3) {
    ResultOf(0) = {true, 0};
    ::PostMessageA(forms::FindUnitObject(kFormId, 0)->hwnd(), WM_CLOSE, 0, 0);
  }
}

TEST_F(LoopTest, TheIdleEventRepeatsWhileItsHandlerWantsMore) {
  forms::FormRecord form = Form(kFormId, {});
  form.units.records[0].events = {{forms::event::kIdle, 0}};
  Start({form});
  ASSERT_TRUE(Load());
  ResultOf(0) = {true, 1};
  SetAction(0, CloseAfterThreeIdleCalls);
  rt::Framework().messageLoop();
  ASSERT_GE(Calls().size(), 3u);
  for (size_t i = 1; i < Calls().size(); ++i) {
    EXPECT_GE(Calls()[i].args[0], Calls()[i - 1].args[0]);  // elapsed time grows
  }
  EXPECT_EQ(rt::QuitCode(), 0);
}

int idleRuns = 0;
void CountIdle(uintptr_t argument) {
  idleRuns += static_cast<int>(argument);
  if (idleRuns >= 3) {
    ::PostMessageA(forms::FindUnitObject(kFormId, 0)->hwnd(), WM_CLOSE, 0, 0);
  }
}

TEST_F(LoopTest, IdleCallbacksRunUntilTheirWindowGoes) {
  Start({Form(kFormId, {Unit(0x16010001, testunits::kWidget)})});
  ASSERT_TRUE(Load());
  idleRuns = 0;
  struct {
    HWND window;
    void (*routine)(uintptr_t);
    uintptr_t argument;
  } record = {WindowOf(0x16010001), CountIdle, 1};
  EXPECT_EQ(rt::Service(rt::svc::kAddIdleCallback, reinterpret_cast<uintptr_t>(&record), 0), 1u);
  EXPECT_EQ(rt::Service(rt::svc::kAddIdleCallback, reinterpret_cast<uintptr_t>(&record), 0), 0u);
  rt::Framework().messageLoop();
  EXPECT_GE(idleRuns, 3);

  ASSERT_TRUE(Load());
  record.window = WindowOf(0x16010001);
  rt::Service(rt::svc::kAddIdleCallback, reinterpret_cast<uintptr_t>(&record), 0);
  rt::Service(rt::svc::kRemoveIdleCallbacks, reinterpret_cast<uintptr_t>(record.window), 0);
  idleRuns = 0;
  ::PostMessageA(WindowOf(0), WM_CLOSE, 0, 0);
  rt::Framework().messageLoop();
  EXPECT_EQ(idleRuns, 0);
}

// A window the framework did not make answers the object query with an
// address of its own choosing: the loop must not take it for a unit object.
LRESULT CALLBACK ForeignProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  static const uintptr_t kNotAnObject[4] = {};
  if (message == forms::kMsgObjectQuery) return reinterpret_cast<LRESULT>(kNotAnObject);
  return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

TEST_F(LoopTest, AForeignAnswerToTheObjectQueryIsNoUnitObject) {
  Start({Form(kFormId, {})});
  ASSERT_TRUE(Load());
  WNDCLASSA wc = {};
  wc.lpfnWndProc = ForeignProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = "ForeignChild";
  ::RegisterClassA(&wc);
  HWND foreign = ::CreateWindowExA(0, "ForeignChild", "", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20,
                                   WindowOf(0), nullptr, wc.hInstance, nullptr);
  ASSERT_NE(foreign, nullptr);
  ::PostMessageA(foreign, WM_KEYDOWN, 'A', 0);
  ::PostMessageA(WindowOf(0), WM_CLOSE, 0, 0);
  rt::Framework().messageLoop();  // the key went through the chain and on
  EXPECT_EQ(WindowOf(0), nullptr);
}

}  // namespace
