// Loading forms: creation order, control ids, parents, stacking, visibility,
// runtime messages, the form's first events, failures and unloading.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "LoaderForm.h"
#include "forms/events.h"
#include "forms/win/framework.h"
#include "forms/win/framework_state.h"
#include "runtime/runtime.h"
#include "runtime/service.h"
#include "tests/forms/win/counter_unit.h"
#include "tests/forms/win/test_program.h"
#include "tests/forms/win/test_units.h"

namespace {

using namespace testprog;
using forms::EventLink;
using forms::UnitRecord;
using testunits::Log;
namespace flag = forms::unitflag;

const rt::Routine kLoaderRoutines[] = {LOADER_FORM_ROUTINES(TESTPROG_ENTRY)};
constexpr uint32_t kModalForm = 0x52010002;
constexpr uint32_t kBrokenForm = 0x52010003;
constexpr uint32_t kSecondModal = 0x52010004;

// The forms of data/loader.form.
class LoaderTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    StartCompiled(kLoaderFormTemplate, kLoaderFormTemplateSize, kLoaderRoutines);
  }
};

std::vector<std::string> Matching(const std::string& prefix) {
  std::vector<std::string> out;
  for (const std::string& line : Log()) {
    if (line.rfind(prefix, 0) == 0) out.push_back(line);
  }
  return out;
}

TEST_F(LoaderTest, UnitsAreCreatedFromTheLastPositionWithControlIdsFromHundred) {
  ASSERT_TRUE(Load());
  EXPECT_EQ(
      Matching("create"),
      (std::vector<std::string>{"create form", "create 16010004 id=100", "create 16010003 id=110",
                                "create 16010002 id=120", "create 16010001 id=130"}));
  EXPECT_EQ(::GetDlgCtrlID(WindowOf(0x16010004)), 100);
  EXPECT_EQ(::GetDlgCtrlID(WindowOf(0x16010001)), 130);
}

TEST_F(LoaderTest, ParentsStylesAndVisibilityFollowTheRecords) {
  ASSERT_TRUE(Load());
  HWND form = WindowOf(0);
  EXPECT_TRUE(::IsWindowVisible(form));
  EXPECT_EQ(::GetParent(WindowOf(0x16010001)), form);
  EXPECT_EQ(::GetParent(WindowOf(0x16010004)), WindowOf(0x16010001));
  EXPECT_TRUE(::IsWindowVisible(WindowOf(0x16010001)));
  EXPECT_FALSE(::IsWindowVisible(WindowOf(0x16010004)));  // its record is not visible
  EXPECT_FALSE(::IsWindowVisible(WindowOf(0x16010003)));  // windowless type, even though visible
  EXPECT_FALSE(::IsWindowEnabled(WindowOf(0x16010002)));
  EXPECT_TRUE(::GetWindowLongA(WindowOf(0x16010004), GWL_STYLE) & WS_TABSTOP);
  EXPECT_FALSE(::GetWindowLongA(WindowOf(0x16010001), GWL_STYLE) & WS_TABSTOP);
}

TEST_F(LoaderTest, SiblingsStackInTableOrderWithPositionOneOnTop) {
  ASSERT_TRUE(Load());
  std::vector<HWND> stack;
  for (HWND w = ::GetWindow(WindowOf(0), GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
    stack.push_back(w);
  }
  EXPECT_EQ(stack,
            (std::vector<HWND>{WindowOf(0x16010001), WindowOf(0x16010002), WindowOf(0x16010003)}));
}

TEST_F(LoaderTest, RuntimeMessagesGoToEveryUnitInTheirOrder) {
  ASSERT_TRUE(Load());
  EXPECT_EQ(Matching("msg"),
            (std::vector<std::string>{"msg 16010004 806f", "msg 16010003 806f", "msg 16010002 806f",
                                      "msg 16010001 806f", "msg 6010000 806f", "msg 6010000 8004",
                                      "msg 16010004 8076", "msg 16010003 8076", "msg 16010002 8076",
                                      "msg 16010001 8076", "msg 6010000 8076"}));
}

TEST_F(LoaderTest, FormEventsComeAfterLoadingAndEventsDuringLoadingAreNotDelivered) {
  ASSERT_TRUE(Load());  // unit 0x16010001 raises event 5 while it is created
  // Events 0, 3 and 4 first; showing the window may move and size it again.
  ASSERT_GE(Calls().size(), 3u);
  for (size_t i = 3; i < Calls().size(); ++i) EXPECT_NE(Calls()[i].routine, 0);
  EXPECT_EQ(Calls()[0].routine, 0);
  EXPECT_EQ(Calls()[1].routine, 1);
  EXPECT_EQ(Calls()[2].routine, 2);
  EXPECT_EQ(Calls()[0].sourceUnit, forms::kFormWindowUnitId);
  EXPECT_EQ(rt::BusyCount(), 0);
  forms::RaiseWordEvent(kFormId, 0x16010001, 5);  // the same event is delivered now
  EXPECT_EQ(Calls().back().routine, 3);

  Calls().clear();
  ASSERT_TRUE(Load());  // already loaded: only activated
  EXPECT_TRUE(Calls().empty());
}

TEST_F(LoaderTest, AFailedLoadRaisesNothingAndTakesBackWhatItMade) {
  ASSERT_TRUE(Load());
  const int objects = forms::UnitObject::LiveCount();
  Calls().clear();
  EXPECT_FALSE(Load(kBrokenForm));
  EXPECT_TRUE(Calls().empty());
  EXPECT_EQ(rt::BusyCount(), 0);
  EXPECT_EQ(WindowOf(0, kBrokenForm), nullptr);
  EXPECT_EQ(forms::UnitObject::LiveCount(), objects);
  EXPECT_FALSE(Load(kBrokenForm));  // a half-built form is never taken for a loaded one
  EXPECT_FALSE(Load(0x52010099));   // not registered
  EXPECT_NE(WindowOf(0), nullptr);
}

TEST_F(LoaderTest, UnitsFindTheirObjectsThroughTheServices) {
  EXPECT_EQ(rt::Service(rt::svc::kFindUnit, kFormId, 0x16010001), 0u);  // not loaded yet
  ASSERT_TRUE(Load());
  auto object = rt::Service(rt::svc::kFindUnit, kFormId, 0x16010001);
  EXPECT_EQ(reinterpret_cast<forms::UnitObject*>(object)->hwnd(), WindowOf(0x16010001));
  EXPECT_EQ(rt::Service(rt::svc::kFindUnit, kFormId, 0),
            rt::Service(rt::svc::kFindUnit, kFormId, forms::kFormWindowUnitId));
  EXPECT_EQ(rt::Service(rt::svc::kUnitTypeCode, kFormId, 0x16010001), testunits::kWidget);
  EXPECT_EQ(rt::Service(rt::svc::kFormCount, 0, 0), 4u);  // the forms of loader.form
  EXPECT_EQ(rt::Service(rt::svc::kFormWindow, kFormId, 0),
            reinterpret_cast<uintptr_t>(WindowOf(0)));
  EXPECT_EQ(testing_support::ExitCodeOf(
                [] { rt::Service(rt::svc::kFindUnitOrFail, kFormId, 0x16010009); }),
            -1);
}

TEST_F(LoaderTest, ClosingTheFormReturnsItsRecordsToTheirLoadedState) {
  ASSERT_TRUE(Load());
  rt::PropValue tag{reinterpret_cast<uintptr_t>("changed"), 0};
  forms::WriteProperty(kFormId, 0x16010001, 4, -1, tag);
  const int objectsBefore = forms::UnitObject::LiveCount();
  ::DestroyWindow(WindowOf(0));
  EXPECT_EQ(forms::UnitObject::LiveCount(), objectsBefore - 5);
  EXPECT_EQ(WindowOf(0x16010001), nullptr);
  rt::PropValue read = forms::ReadProperty(kFormId, 0x16010001, 4, -1);
  EXPECT_EQ(read.value, 0u);  // the tag is empty again
  ASSERT_TRUE(Load());        // and the form loads again
  EXPECT_NE(WindowOf(0x16010001), nullptr);
}

TEST_F(LoaderTest, TheLastFormClosingPostsQuitOnlyOnceTheLoopWasEntered) {
  ASSERT_TRUE(Load());
  ::DestroyWindow(WindowOf(0));
  MSG msg;
  EXPECT_FALSE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));

  ASSERT_TRUE(Load());
  ::PostMessageA(WindowOf(0), WM_CLOSE, 0, 0);
  rt::SetQuitCode(99);
  rt::Framework().messageLoop();  // returns once the quit message arrives
  EXPECT_EQ(rt::QuitCode(), 0);
  EXPECT_EQ(WindowOf(0), nullptr);
}

HWND ownerWindow;
bool ownerEnabledDuringWait;

// While the modal form waits: looks at the owner, then closes the modal form.
void CALLBACK LookAtOwnerThenCloseModal(HWND, UINT, UINT_PTR id, DWORD) {
  if (forms::ModalFormId() != kModalForm) return;  // not waiting yet
  ::KillTimer(nullptr, id);
  ownerEnabledDuringWait = ::IsWindowEnabled(ownerWindow) != 0;
  ::DestroyWindow(forms::FindUnitObject(kModalForm, 0)->hwnd());
}

TEST_F(LoaderTest, AModalFormDisablesItsOwnerUntilItCloses) {
  ASSERT_TRUE(Load());
  HWND owner = WindowOf(0);
  ownerWindow = owner;
  ownerEnabledDuringWait = true;
  ::SetTimer(nullptr, 0, 10, LookAtOwnerThenCloseModal);
  ASSERT_TRUE(Load(kModalForm, owner, true));  // returns when the modal form is gone
  EXPECT_FALSE(ownerEnabledDuringWait);
  EXPECT_TRUE(::IsWindowEnabled(owner));
  EXPECT_EQ(forms::ModalFormId(), 0u);
}

// A watchdog for scenarios that would otherwise wait for ever: it ends the
// loop that waits with a quit message of its own code.
constexpr int kWatchdogCode = 7;
bool watchdogFired;
void CALLBACK Watchdog(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  watchdogFired = true;
  ::PostQuitMessage(kWatchdogCode);
}

// Closes the owner form, then the modal form, the last one left.
DWORD WINAPI SendCloseSoon(void* owner) {
  char formClass[64] = "";
  ::GetClassNameA(static_cast<HWND>(owner), formClass, sizeof formClass);
  ::Sleep(200);  // the modal loop is waiting in GetMessageA by then
  ::SendMessageA(static_cast<HWND>(owner), WM_CLOSE, 0, 0);
  ::SendMessageA(::FindWindowExA(nullptr, nullptr, formClass, nullptr), WM_CLOSE, 0, 0);
  return 0;
}

UINT_PTR watchdog;
HANDLE closingThread;
void CALLBACK ShowModalWhileAThreadClosesTheOwner(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  HWND owner = forms::FindUnitObject(kFormId, 0)->hwnd();
  closingThread = ::CreateThread(nullptr, 0, SendCloseSoon, owner, 0, nullptr);
  watchdog = ::SetTimer(nullptr, 0, 3000, Watchdog);
  LoadForm(kModalForm, owner, true);
}

// A message sent from another thread, handled while the modal loop waits,
// closes the last form: the quit message it brings still ends the main loop.
TEST_F(LoaderTest, AQuitArrivingInAModalWaitStillEndsTheMainLoop) {
  ASSERT_TRUE(Load());
  watchdogFired = false;
  ::SetTimer(nullptr, 0, 10, ShowModalWhileAThreadClosesTheOwner);
  rt::SetQuitCode(99);
  rt::Framework().messageLoop();
  ::KillTimer(nullptr, watchdog);
  ::WaitForSingleObject(closingThread, 5000);
  ::CloseHandle(closingThread);
  EXPECT_FALSE(watchdogFired);
  EXPECT_EQ(rt::QuitCode(), 0);
  EXPECT_EQ(WindowOf(0), nullptr);
}

// Modal form A waits; modal form B waits inside A's wait; A is closed, then B.
int outOfOrderStep;
bool secondModalReturned;
void CALLBACK CloseTheOuterModalFirst(HWND, UINT, UINT_PTR id, DWORD) {
  if (outOfOrderStep == 0 && forms::ModalFormId() == kSecondModal) {
    outOfOrderStep = 1;
    ::DestroyWindow(forms::FindUnitObject(kModalForm, 0)->hwnd());
  } else if (outOfOrderStep == 1) {
    ::KillTimer(nullptr, id);
    outOfOrderStep = 2;
    ::DestroyWindow(forms::FindUnitObject(kSecondModal, 0)->hwnd());
  }
}
void CALLBACK ShowTheInnerModal(HWND, UINT, UINT_PTR id, DWORD) {
  if (forms::ModalFormId() != kModalForm) return;
  ::KillTimer(nullptr, id);
  ::SetTimer(nullptr, 0, 10, CloseTheOuterModalFirst);
  secondModalReturned = LoadForm(kSecondModal, forms::FindUnitObject(kFormId, 0)->hwnd(), true);
}

TEST_F(LoaderTest, NestedModalFormsMayCloseOutOfOrder) {
  ASSERT_TRUE(Load());
  outOfOrderStep = 0;
  secondModalReturned = watchdogFired = false;
  ::SetTimer(nullptr, 0, 10, ShowTheInnerModal);
  const UINT_PTR dog = ::SetTimer(nullptr, 0, 3000, Watchdog);
  EXPECT_TRUE(Load(kModalForm, WindowOf(0), true));  // returns once A is gone
  ::KillTimer(nullptr, dog);
  EXPECT_FALSE(watchdogFired);
  EXPECT_EQ(outOfOrderStep, 2);
  EXPECT_TRUE(secondModalReturned);
  EXPECT_EQ(forms::ModalFormId(), 0u);
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

HHOOK WINAPI NoCreationHook(int, HOOKPROC, HINSTANCE, DWORD) { return nullptr; }

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}
int ThreadWindows() {
  int count = 0;
  ::EnumThreadWindows(::GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

// Without the hook that attaches a unit's window as it is made, no window is
// made: the load fails and leaves nothing behind; it works again afterwards.
TEST_F(LoaderTest, ALoadFailsCleanlyWhenTheCreationHookCannotBeSet) {
  const int windowsBefore = ThreadWindows();
  const int objectsBefore = forms::UnitObject::LiveCount();
  forms::State().setCreationHook = NoCreationHook;
  EXPECT_FALSE(Load());
  EXPECT_EQ(ThreadWindows(), windowsBefore);
  EXPECT_EQ(forms::UnitObject::LiveCount(), objectsBefore);
  forms::State().setCreationHook = ::SetWindowsHookExA;
  ASSERT_TRUE(Load());
  EXPECT_NE(forms::UnitObject::FromWindow(WindowOf(0x16010001)), nullptr);
}

// Another program's hook, called before the framework's, makes a window of
// its own class while the unit's window is being made; only the unit's own
// window is attached.
HHOOK otherHook = nullptr;
LRESULT CALLBACK MakeAStaticFirst(int code, WPARAM wParam, LPARAM lParam) {
  static bool made = false;
  if (code == HCBT_CREATEWND && !made) {
    made = true;
    ::DestroyWindow(
        ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
HHOOK WINAPI HookBeneathAnother(int id, HOOKPROC proc, HINSTANCE module, DWORD thread) {
  HHOOK hook = ::SetWindowsHookExA(id, proc, module, thread);
  otherHook = ::SetWindowsHookExA(WH_CBT, MakeAStaticFirst, nullptr, thread);
  return hook;
}

TEST_F(LoaderTest, OnlyTheWindowBeingMadeIsAttached) {
  forms::State().setCreationHook = HookBeneathAnother;
  const bool loaded = Load();
  forms::State().setCreationHook = ::SetWindowsHookExA;
  ::UnhookWindowsHookEx(otherHook);
  ASSERT_TRUE(loaded);
  EXPECT_NE(forms::UnitObject::FromWindow(WindowOf(0x16010001)), nullptr);
}

// One hook serves a whole load, however many units it makes.
int hooksSet = 0;
HHOOK WINAPI CountingHook(int id, HOOKPROC proc, HINSTANCE module, DWORD thread) {
  ++hooksSet;
  return ::SetWindowsHookExA(id, proc, module, thread);
}

TEST_F(LoaderTest, ALoadSetsTheCreationHookOnce) {
  hooksSet = 0;
  forms::State().setCreationHook = CountingHook;
  const bool loaded = Load();
  forms::State().setCreationHook = ::SetWindowsHookExA;
  ASSERT_TRUE(loaded);
  EXPECT_EQ(hooksSet, 1);
  EXPECT_NE(forms::UnitObject::FromWindow(WindowOf(0x16010004)), nullptr);
}

// The framework's own window classes need no creation hook: with none to be
// had, a form of no standard control still loads, its window attached by its
// WM_CREATE.
TEST_F(LoaderTest, TheFrameworksOwnWindowsNeedNoCreationHook) {
  forms::State().setCreationHook = NoCreationHook;
  const bool loaded = Load(kModalForm);
  forms::State().setCreationHook = ::SetWindowsHookExA;
  ASSERT_TRUE(loaded);
  EXPECT_EQ(Matching("create form").size(), 1u);
  EXPECT_NE(forms::UnitObject::FromWindow(WindowOf(0, kModalForm)), nullptr);
}

// Push buttons, list boxes, scroll bars and track bars are made of the
// framework's copies of their classes: they too load without the creation
// hook, and keep their system names. A button other code makes in the
// module is a plain button.
TEST_F(LoaderTest, CopiedStandardControlsNeedNoCreationHook) {
  Start({Form(kFormId, {Unit(0x16010001, testunits::kOption)})});
  forms::State().setCreationHook = NoCreationHook;
  const bool loaded = Load();
  forms::State().setCreationHook = ::SetWindowsHookExA;
  ASSERT_TRUE(loaded);
  HWND option = WindowOf(0x16010001);
  EXPECT_NE(forms::UnitObject::FromWindow(option), nullptr);
  char name[32] = {};
  ::GetClassNameA(option, name, sizeof name);
  EXPECT_STREQ(name, "Button");
  HWND plain = ::CreateWindowExA(0, "BUTTON", "x", BS_AUTOCHECKBOX, 0, 0, 20, 20, nullptr, nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(forms::UnitObject::FromWindow(plain), nullptr);
  ::SendMessageA(plain, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(::SendMessageA(plain, BM_GETCHECK, 0, 0), BST_CHECKED);
  WNDCLASSA system;
  ASSERT_TRUE(::GetClassInfoA(nullptr, "Button", &system));
  EXPECT_EQ(::GetWindowLongPtrA(plain, GWLP_WNDPROC),
            reinterpret_cast<LONG_PTR>(system.lpfnWndProc));
  ::DestroyWindow(plain);
}

// A unit type described in one place (tests/forms/win/counter_unit.*, one
// line in the test library's list) loads from template data with its stored
// property, reads and writes it, and raises its event.
TEST_F(LoaderTest, ADescribedUnitTypeLoadsWithItsPropertyAndRaisesItsEvent) {
  forms::UnitRecord counter = Unit(0x16010001, testunits::kCounter);
  counter.propertyData = {7, 0, 0, 0};
  counter.events = {{forms::event::kMain, 3}};
  Start({Form(kFormId, {counter})});
  ASSERT_TRUE(Load());
  EXPECT_EQ(forms::ReadProperty(kFormId, 0x16010001, 8, -1).value, 7u);
  forms::WriteProperty(kFormId, 0x16010001, 8, -1, {41, 0});
  ::SendMessageA(WindowOf(0x16010001), WM_LBUTTONUP, 0, 0);
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].routine, 3);
  EXPECT_EQ(Calls()[0].sourceUnit, 0x16010001u);
  EXPECT_EQ(Calls()[0].args, std::vector<uintptr_t>{42});
}

// Malformed template data stops the program at initialisation with its own
// report, whatever part of it is broken, and registers no form.
TEST_F(LoaderTest, MalformedTemplateDataIsAFatalErrorAtStartUp) {
  const std::vector<uint8_t> good(kLoaderFormTemplate,
                                  kLoaderFormTemplate + kLoaderFormTemplateSize);
  std::vector<std::vector<uint8_t>> bad;
  for (size_t n = 1; n < good.size(); n += 7) bad.emplace_back(good.begin(), good.begin() + n);
  std::vector<uint8_t> hugeCount = good;
  hugeCount[4 + 3 * 8 + 16 + 3] = 0xFF;  // the first form's record count, high byte
  bad.push_back(hugeCount);
  // A handler link past the end of the code base.
  const rt::CodeBase shortBase = {kLoaderRoutines, 1, nullptr, nullptr};
  for (size_t i = 0; i <= bad.size(); ++i) {
    FrameworkTest::SetUp();
    const bool last = i == bad.size();
    EXPECT_EQ(testing_support::ExitCodeOf([&] {
                if (last) StartWithBytes(good, shortBase);
                if (!last) StartWithBytes(bad[i], shortBase);
              }),
              -1)
        << i;
    ASSERT_FALSE(testing_support::ShownMessages().empty());
    EXPECT_EQ(testing_support::ShownMessages().back().text,
              "运行时出错!\r\n\r\n错误信息：载入窗口模板数据段出错!\r\n");
    EXPECT_EQ(rt::Service(rt::svc::kFormCount, 0, 0), 0u);
  }
}

}  // namespace
