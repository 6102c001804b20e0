// Loading forms: creation order, control ids, parents, stacking, visibility,
// runtime messages, the form's first events, failures and unloading.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "forms/framework.h"
#include "runtime/runtime.h"
#include "runtime/service.h"
#include "tests/forms/win/test_program.h"
#include "tests/forms/win/test_units.h"

namespace {

using namespace testprog;
using forms::EventLink;
using forms::UnitRecord;
using testunits::Log;
namespace flag = forms::unitflag;

class LoaderTest : public FrameworkTest {};

std::vector<std::string> Matching(const std::string& prefix) {
  std::vector<std::string> out;
  for (const std::string& line : Log()) {
    if (line.rfind(prefix, 0) == 0) out.push_back(line);
  }
  return out;
}

// Four units in table positions 1..4; the last one is a child of the first.
std::vector<UnitRecord> FourUnits() {
  UnitRecord a = Unit(0x16010001, testunits::kWidget);
  UnitRecord b = Unit(0x16010002, testunits::kWidget, flag::kVisible | flag::kDisabled);
  UnitRecord c = Unit(0x16010003, testunits::kHidden);
  UnitRecord d = Unit(0x16010004, testunits::kWidget, flag::kTabStop);
  d.parent = 0x16010001;
  return {a, b, c, d};
}

TEST_F(LoaderTest, UnitsAreCreatedFromTheLastPositionWithControlIdsFromHundred) {
  Start({Form(kFormId, FourUnits())});
  ASSERT_TRUE(Load());
  EXPECT_EQ(Matching("create"),
            (std::vector<std::string>{"create form id=0", "create 16010004 id=100",
                                      "create 16010003 id=110", "create 16010002 id=120",
                                      "create 16010001 id=130"}));
  EXPECT_EQ(::GetDlgCtrlID(WindowOf(0x16010004)), 100);
  EXPECT_EQ(::GetDlgCtrlID(WindowOf(0x16010001)), 130);
}

TEST_F(LoaderTest, ParentsStylesAndVisibilityFollowTheRecords) {
  Start({Form(kFormId, FourUnits())});
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
  Start({Form(kFormId, FourUnits())});
  ASSERT_TRUE(Load());
  std::vector<HWND> stack;
  for (HWND w = ::GetWindow(WindowOf(0), GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
    stack.push_back(w);
  }
  EXPECT_EQ(stack,
            (std::vector<HWND>{WindowOf(0x16010001), WindowOf(0x16010002), WindowOf(0x16010003)}));
}

TEST_F(LoaderTest, RuntimeMessagesGoToEveryUnitInTheirOrder) {
  Start({Form(kFormId,
              {Unit(0x16010001, testunits::kWidget), Unit(0x16010002, testunits::kWidget)})});
  ASSERT_TRUE(Load());
  EXPECT_EQ(Matching("msg"),
            (std::vector<std::string>{"msg 16010002 806f", "msg 16010001 806f", "msg 6010000 806f",
                                      "msg 6010000 8004", "msg 16010002 8076", "msg 16010001 8076",
                                      "msg 6010000 8076"}));
}

TEST_F(LoaderTest, FormEventsComeAfterLoadingAndEventsDuringLoadingAreNotDelivered) {
  forms::FormRecord form = Form(kFormId, {Unit(0x16010001, testunits::kWidget)});
  form.units.records[0].events = {{0, 0}, {3, 1}, {4, 2}};
  form.units.records[1].events = {{testunits::kEventDuringCreate, 3}};
  form.units.records[1].propertyData = {5, 0, 0, 0};  // makes it raise an event while created
  Start({form});
  ASSERT_TRUE(Load());
  ASSERT_EQ(Calls().size(), 3u);
  EXPECT_EQ(Calls()[0].routine, 0);
  EXPECT_EQ(Calls()[1].routine, 1);
  EXPECT_EQ(Calls()[2].routine, 2);
  EXPECT_EQ(Calls()[0].sourceUnit, forms::kFormWindowUnitId);
  EXPECT_EQ(rt::BusyCount(), 0);

  Calls().clear();
  ASSERT_TRUE(Load());  // already loaded: only activated
  EXPECT_TRUE(Calls().empty());
}

TEST_F(LoaderTest, AFailedLoadRaisesNothingAndLeavesTheBusyCounter) {
  forms::FormRecord form = Form(kFormId, {Unit(0x16010001, testunits::kBroken)});
  form.units.records[0].events = {{0, 0}};
  Start({form});
  EXPECT_FALSE(Load());
  EXPECT_TRUE(Calls().empty());
  EXPECT_EQ(rt::BusyCount(), 0);
  EXPECT_FALSE(::IsWindowVisible(WindowOf(0)));
  EXPECT_FALSE(Load(0x52010099));  // not registered
}

TEST_F(LoaderTest, UnitsFindTheirObjectsThroughTheServices) {
  Start({Form(kFormId, {Unit(0x16010001, testunits::kWidget)})});
  EXPECT_EQ(rt::Service(rt::svc::kFindUnit, kFormId, 0x16010001), 0u);  // not loaded yet
  ASSERT_TRUE(Load());
  auto object = rt::Service(rt::svc::kFindUnit, kFormId, 0x16010001);
  EXPECT_EQ(reinterpret_cast<forms::UnitObject*>(object)->hwnd(), WindowOf(0x16010001));
  EXPECT_EQ(rt::Service(rt::svc::kFindUnit, kFormId, 0),
            rt::Service(rt::svc::kFindUnit, kFormId, forms::kFormWindowUnitId));
  EXPECT_EQ(rt::Service(rt::svc::kUnitTypeCode, kFormId, 0x16010001), testunits::kWidget);
  EXPECT_EQ(rt::Service(rt::svc::kFormCount, 0, 0), 1u);
  EXPECT_EQ(rt::Service(rt::svc::kFormWindow, kFormId, 0),
            reinterpret_cast<uintptr_t>(WindowOf(0)));
  EXPECT_EQ(testing_support::ExitCodeOf(
                [] { rt::Service(rt::svc::kFindUnitOrFail, kFormId, 0x16010009); }),
            -1);
}

TEST_F(LoaderTest, ClosingTheFormReturnsItsRecordsToTheirLoadedState) {
  Start({Form(kFormId, {Unit(0x16010001, testunits::kWidget)})});
  ASSERT_TRUE(Load());
  rt::PropValue tag{reinterpret_cast<uintptr_t>("changed"), 0};
  forms::WriteProperty(kFormId, 0x16010001, 4, -1, tag);
  const int objectsBefore = forms::UnitObject::LiveCount();
  ::DestroyWindow(WindowOf(0));
  EXPECT_EQ(forms::UnitObject::LiveCount(), objectsBefore - 2);
  EXPECT_EQ(WindowOf(0x16010001), nullptr);
  rt::PropValue read = forms::ReadProperty(kFormId, 0x16010001, 4, -1);
  EXPECT_EQ(read.value, 0u);  // the tag is empty again
  ASSERT_TRUE(Load());        // and the form loads again
  EXPECT_NE(WindowOf(0x16010001), nullptr);
}

TEST_F(LoaderTest, TheLastFormClosingPostsQuitOnlyOnceTheLoopWasEntered) {
  Start({Form(kFormId, {})});
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

TEST_F(LoaderTest, AModalFormDisablesItsOwnerUntilItCloses) {
  Start({Form(kFormId, {}), Form(0x52010002, {})});
  ASSERT_TRUE(Load());
  HWND owner = WindowOf(0);
  static HWND ownerWindow;
  static bool ownerEnabledDuringWait;
  ownerWindow = owner;
  ownerEnabledDuringWait = true;
  // While the modal form waits: look at the owner, then close the modal form.
  ::SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    ownerEnabledDuringWait = ::IsWindowEnabled(ownerWindow) != 0;
    ::DestroyWindow(forms::FindUnitObject(0x52010002, 0)->hwnd());
  });
  ASSERT_TRUE(Load(0x52010002, owner, true));  // returns when the modal form is gone
  EXPECT_FALSE(ownerEnabledDuringWait);
  EXPECT_TRUE(::IsWindowEnabled(owner));
  EXPECT_EQ(forms::ModalFormId(), 0u);
}

// Malformed template data stops the program at initialisation with its own
// report, whatever part of it is broken, and registers no form.
TEST_F(LoaderTest, MalformedTemplateDataIsAFatalErrorAtStartUp) {
  forms::TemplateData data;
  data.forms = {Form(kFormId, FourUnits())};
  data.forms[0].units.records[1].events = {{0, 1}};
  const std::vector<uint8_t> good = forms::WriteTemplate(data);
  std::vector<std::vector<uint8_t>> bad;
  for (size_t n = 1; n < good.size(); n += 7) bad.emplace_back(good.begin(), good.begin() + n);
  std::vector<uint8_t> hugeCount = good;
  hugeCount[4 + 8 + 16 + 3] = 0xFF;  // the record count's high byte
  bad.push_back(hugeCount);
  // A handler past the end of the code base.
  data.forms[0].units.records[1].events = {{0, kRoutines}};
  bad.push_back(forms::WriteTemplate(data));
  for (const auto& bytes : bad) {
    FrameworkTest::SetUp();
    EXPECT_EQ(testing_support::ExitCodeOf([&] { StartWithBytes(bytes); }), -1) << bytes.size();
    ASSERT_FALSE(testing_support::ShownMessages().empty());
    EXPECT_EQ(testing_support::ShownMessages().back().text,
              "运行时出错!\r\n\r\n错误信息：载入窗口模板数据段出错!\r\n");
    EXPECT_EQ(rt::Service(rt::svc::kFormCount, 0, 0), 0u);
  }
}

}  // namespace
