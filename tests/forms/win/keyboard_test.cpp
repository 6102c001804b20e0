// The form's keyboard and mouse handling in pre-translation: focus moves in
// tab order, option groups, mnemonics, claimed keys, the units' own
// pre-translation, the common events and their swallowing rules, cursors.

#include <windows.h>

#include <gtest/gtest.h>

#include "forms/framework.h"
#include "tests/forms/win/test_program.h"
#include "tests/forms/win/test_units.h"

namespace {

using namespace testprog;
using forms::UnitRecord;
namespace flag = forms::unitflag;

constexpr uint32_t kVisibleTab = flag::kVisible | flag::kTabStop;

class KeyboardTest : public FrameworkTest {
 protected:
  // Offers a message to the form window's pre-translation, as the loop does.
  bool Offer(HWND target, UINT message, WPARAM wParam, LPARAM lParam = 0) {
    MSG msg = {target, message, wParam, lParam, 0, {0, 0}};
    return forms::UnitObject::FromWindow(WindowOf(0))->PreTranslate(msg);
  }
  bool Key(WPARAM key) { return Offer(::GetFocus(), WM_KEYDOWN, key); }
};

TEST_F(KeyboardTest, TabWithAllNumbersZeroGoesFromTheHighestPositionDown) {
  UnitRecord noTab = Unit(0x16010003, testunits::kWidget, flag::kVisible);
  UnitRecord hidden = Unit(0x16010004, testunits::kHidden, kVisibleTab);
  Start({Form(kFormId, {Unit(0x16010001, testunits::kWidget, kVisibleTab),
                        Unit(0x16010002, testunits::kWidget, kVisibleTab), noTab, hidden,
                        Unit(0x16010005, testunits::kWidget, kVisibleTab)})});
  ASSERT_TRUE(Load());
  ::SetFocus(WindowOf(0x16010005));
  EXPECT_TRUE(Key(VK_TAB));
  EXPECT_EQ(::GetFocus(), WindowOf(0x16010002));
  EXPECT_TRUE(Key(VK_TAB));
  EXPECT_EQ(::GetFocus(), WindowOf(0x16010001));
  EXPECT_TRUE(Key(VK_TAB));  // wraps
  EXPECT_EQ(::GetFocus(), WindowOf(0x16010005));
  ::SetFocus(WindowOf(0x16010003));  // not a tab stop itself: picks by position
  EXPECT_TRUE(Key(VK_TAB));
  EXPECT_EQ(::GetFocus(), WindowOf(0x16010002));
}

TEST_F(KeyboardTest, TabNumbersOrderTheFocusAndAClaimingUnitKeepsTab) {
  UnitRecord a = Unit(0x16010001, testunits::kWidget, kVisibleTab);
  a.stateWords[2] = 2;
  UnitRecord b = Unit(0x16010002, testunits::kWidget, kVisibleTab);
  b.stateWords[2] = 1;
  UnitRecord claiming = Unit(0x16010003, testunits::kWidget, kVisibleTab);
  claiming.stateWords[2] = 3;
  claiming.propertyData = {77, 0, 0, 0, 0, 0, 0, 0};  // number 77 claims Tab
  Start({Form(kFormId, {a, b, claiming})});
  ASSERT_TRUE(Load());
  ::SetFocus(WindowOf(0x16010002));
  EXPECT_TRUE(Key(VK_TAB));
  EXPECT_EQ(::GetFocus(), WindowOf(0x16010001));
  EXPECT_TRUE(Key(VK_TAB));
  EXPECT_EQ(::GetFocus(), WindowOf(0x16010003));
  EXPECT_FALSE(Key(VK_TAB));  // claimed: left to the unit
  EXPECT_EQ(::GetFocus(), WindowOf(0x16010003));
}

TEST_F(KeyboardTest, ArrowsMoveWithinAnOptionGroupAndClickThePickedOne) {
  UnitRecord first = Unit(0x16010001, testunits::kOption, kVisibleTab);
  UnitRecord second = Unit(0x16010002, testunits::kOption, kVisibleTab);
  second.events = {{0, 4}};
  Start({Form(kFormId, {first, second, Unit(0x16010003, testunits::kWidget, kVisibleTab)})});
  ASSERT_TRUE(Load());
  ::SetFocus(WindowOf(0x16010001));
  EXPECT_TRUE(Key(VK_RIGHT));
  EXPECT_EQ(::GetFocus(), WindowOf(0x16010002));
  EXPECT_EQ(::SendMessageA(WindowOf(0x16010002), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(::SendMessageA(WindowOf(0x16010001), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].routine, 4);
  ::SetFocus(WindowOf(0x16010003));
  EXPECT_FALSE(Key(VK_RIGHT));  // not an option button: nothing
  // A click's notification to the form comes back to the button's unit.
  ::SendMessageA(WindowOf(0x16010002), BM_CLICK, 0, 0);
  ASSERT_EQ(Calls().size(), 2u);
  EXPECT_EQ(Calls()[1].routine, 4);
}

TEST_F(KeyboardTest, AltWithALabelsMnemonicMovesTheFocusPastTheLabel) {
  UnitRecord before = Unit(0x16010001, testunits::kWidget, kVisibleTab);
  before.stateWords[2] = 1;
  UnitRecord label = Unit(0x16010002, testunits::kLabel, flag::kVisible);
  label.stateWords[2] = 2;
  UnitRecord after = Unit(0x16010003, testunits::kWidget, kVisibleTab);
  after.stateWords[2] = 3;
  Start({Form(kFormId, {before, label, after})});
  ASSERT_TRUE(Load());
  ::SetWindowTextA(WindowOf(0x16010002), "名称(&N)");
  ::SetFocus(WindowOf(0x16010001));
  BYTE keys[256];
  ::GetKeyboardState(keys);
  keys[VK_MENU] = 0x80;
  ::SetKeyboardState(keys);
  EXPECT_TRUE(Offer(::GetFocus(), WM_SYSKEYDOWN, 'N'));
  EXPECT_FALSE(Offer(::GetFocus(), WM_SYSKEYDOWN, 'Q'));  // no unit has it
  keys[VK_MENU] = 0;
  ::SetKeyboardState(keys);
  EXPECT_EQ(::GetFocus(), WindowOf(0x16010003));
}

TEST_F(KeyboardTest, CommonEventsCarryTheirArgumentsAndMaySwallowTheMessage) {
  UnitRecord unit = Unit(0x16010001, testunits::kWidget, kVisibleTab);
  unit.events = {{-1, 1}, {-10, 2}, {-11, 3}, {-12, 4}};
  Start({Form(kFormId, {unit})});
  ASSERT_TRUE(Load());
  HWND w = WindowOf(0x16010001);
  EXPECT_FALSE(Offer(w, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 65535)));  // no result: dispatched
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].args, (std::vector<uintptr_t>{5, 65535, 0}));
  ResultOf(1) = {true, 0};
  EXPECT_TRUE(Offer(w, WM_LBUTTONDOWN, 0, 0));  // a result of 0 swallows it

  ResultOf(2) = {true, 0};
  EXPECT_FALSE(Offer(w, WM_KEYDOWN, VK_NUMPAD7));  // no key-down handler
  EXPECT_TRUE(Offer(w, WM_KEYUP, VK_NUMPAD7));
  EXPECT_EQ(Calls().back().args, (std::vector<uintptr_t>{'7', 0}));

  ResultOf(3) = {true, 'x'};
  MSG msg = {w, WM_CHAR, 'a', 0, 0, {0, 0}};
  EXPECT_FALSE(forms::UnitObject::FromWindow(WindowOf(0))->PreTranslate(msg));
  EXPECT_EQ(msg.wParam, WPARAM('x'));  // replaced

  EXPECT_FALSE(Offer(w, WM_MOUSEWHEEL, MAKEWPARAM(0, -240)));
  EXPECT_EQ(static_cast<int32_t>(Calls().back().args[0]), -2);
  EXPECT_FALSE(Offer(w, WM_MBUTTONDOWN, 0));  // raises nothing
  EXPECT_EQ(Calls().size(), 5u);
}

TEST_F(KeyboardTest, UnitsThatPreTranslateComeFirst) {
  UnitRecord unit = Unit(0x16010001, testunits::kPreTranslator, kVisibleTab);
  unit.events = {{-9, 1}};
  Start({Form(kFormId, {unit})});
  ASSERT_TRUE(Load());
  EXPECT_TRUE(Offer(WindowOf(0x16010001), WM_KEYDOWN, VK_F5));
  EXPECT_TRUE(Calls().empty());
  EXPECT_FALSE(Offer(WindowOf(0x16010001), WM_KEYDOWN, VK_F6));
  EXPECT_EQ(Calls().size(), 1u);
}

TEST_F(KeyboardTest, TheFormWindowUnitGetsTheEventsOfItsOwnWindow) {
  forms::FormRecord form = Form(kFormId, {});
  form.units.records[0].events = {{-4, 6}};
  form.units.records[0].mousePointer = {2, 0, 0, 0};  // cross
  Start({form});
  ASSERT_TRUE(Load());
  EXPECT_FALSE(Offer(WindowOf(0), WM_RBUTTONDOWN, 0, MAKELPARAM(1, 2)));
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].sourceUnit, forms::kFormWindowUnitId);
  ::SendMessageA(WindowOf(0), WM_SETCURSOR, reinterpret_cast<WPARAM>(WindowOf(0)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, IDC_CROSS));
}

}  // namespace
