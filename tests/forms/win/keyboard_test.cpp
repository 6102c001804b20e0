// The form's keyboard and mouse handling in pre-translation: focus moves in
// tab order, option groups, mnemonics, claimed keys, the units' own
// pre-translation, the common events and their swallowing rules, cursors.

#include <windows.h>

#include <gtest/gtest.h>

#include "KeyboardForm.h"
#include "forms/win/framework.h"
#include "tests/forms/win/test_program.h"
#include "tests/forms/win/test_units.h"
#include "units/blocks.h"
#include "units/win/window.h"

namespace {

using namespace testprog;

const rt::Routine kKeyboardRoutines[] = {KEYBOARD_FORM_ROUTINES(TESTPROG_ENTRY)};

// The forms of data/keyboard.form, one per test.
enum : uint32_t {
  kTabForm = 0x52010001,
  kNumberedForm,
  kOptionForm,
  kLabelForm,
  kEventsForm,
  kPreTranslateForm,
  kFormEventsForm,
};

class KeyboardTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    StartCompiled(kKeyboardFormTemplate, kKeyboardFormTemplateSize, kKeyboardRoutines);
  }
  void Open(uint32_t form) {
    form_ = form;
    ASSERT_TRUE(Load(form));
  }
  HWND Window(uint32_t unit) { return WindowOf(unit, form_); }
  // Offers a message to the form window's pre-translation, as the loop does.
  bool Offer(HWND target, UINT message, WPARAM wParam, LPARAM lParam = 0) {
    MSG msg = {target, message, wParam, lParam, 0, {0, 0}};
    return forms::UnitObject::FromWindow(Window(0))->PreTranslate(msg);
  }
  bool Key(WPARAM key) { return Offer(::GetFocus(), WM_KEYDOWN, key); }
  uint32_t form_ = 0;
};

TEST_F(KeyboardTest, TabWithAllNumbersZeroGoesFromTheHighestPositionDown) {
  Open(kTabForm);
  ::SetFocus(Window(0x16010005));
  EXPECT_TRUE(Key(VK_TAB));
  EXPECT_EQ(::GetFocus(), Window(0x16010002));
  EXPECT_TRUE(Key(VK_TAB));
  EXPECT_EQ(::GetFocus(), Window(0x16010001));
  EXPECT_TRUE(Key(VK_TAB));  // wraps
  EXPECT_EQ(::GetFocus(), Window(0x16010005));
  ::SetFocus(Window(0x16010003));  // not a tab stop itself: picks by position
  EXPECT_TRUE(Key(VK_TAB));
  EXPECT_EQ(::GetFocus(), Window(0x16010002));
}

TEST_F(KeyboardTest, TabNumbersOrderTheFocusAndAClaimingUnitKeepsTab) {
  Open(kNumberedForm);
  ::SetFocus(Window(0x16010002));
  EXPECT_TRUE(Key(VK_TAB));
  EXPECT_EQ(::GetFocus(), Window(0x16010001));
  EXPECT_TRUE(Key(VK_TAB));
  EXPECT_EQ(::GetFocus(), Window(0x16010003));
  EXPECT_FALSE(Key(VK_TAB));  // claimed: left to the unit
  EXPECT_EQ(::GetFocus(), Window(0x16010003));
}

TEST_F(KeyboardTest, ArrowsMoveWithinAnOptionGroupAndClickThePickedOne) {
  Open(kOptionForm);
  ::SetFocus(Window(0x16010001));
  EXPECT_TRUE(Key(VK_RIGHT));
  EXPECT_EQ(::GetFocus(), Window(0x16010002));
  EXPECT_EQ(::SendMessageA(Window(0x16010002), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(::SendMessageA(Window(0x16010001), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].routine, 4);
  ::SetFocus(Window(0x16010003));
  EXPECT_FALSE(Key(VK_RIGHT));  // not an option button: nothing
  // A click's notification to the form comes back to the button's unit.
  ::SendMessageA(Window(0x16010002), BM_CLICK, 0, 0);
  ASSERT_EQ(Calls().size(), 2u);
  EXPECT_EQ(Calls()[1].routine, 4);
}

TEST_F(KeyboardTest, AltWithALabelsMnemonicMovesTheFocusPastTheLabel) {
  Open(kLabelForm);
  ::SetWindowTextA(Window(0x16010002), "名称(&N)");
  ::SetFocus(Window(0x16010001));
  BYTE keys[256];
  ::GetKeyboardState(keys);
  keys[VK_MENU] = 0x80;
  ::SetKeyboardState(keys);
  EXPECT_TRUE(Offer(::GetFocus(), WM_SYSKEYDOWN, 'N'));
  EXPECT_FALSE(Offer(::GetFocus(), WM_SYSKEYDOWN, 'Q'));  // no unit has it
  keys[VK_MENU] = 0;
  ::SetKeyboardState(keys);
  EXPECT_EQ(::GetFocus(), Window(0x16010003));
}

// With Ctrl, Shift or Alt held, Enter and Esc are not the form's keys: the
// focus stays and the form stays open; without them both act.
TEST_F(KeyboardTest, EnterAndEscActOnlyWithoutModifiers) {
  Open(kTabForm);
  forms::WriteProperty(form_, 0, units::WindowPropertyNumber(units::windowfield::kEnterMovesFocus),
                       -1, {1, 0});
  HWND form = Window(0);
  ::SetFocus(Window(0x16010005));
  BYTE keys[256];
  ::GetKeyboardState(keys);
  for (BYTE modifier : {VK_CONTROL, VK_SHIFT, VK_MENU}) {
    keys[modifier] = 0x80;
    ::SetKeyboardState(keys);
    const UINT down = modifier == VK_MENU ? WM_SYSKEYDOWN : WM_KEYDOWN;
    EXPECT_FALSE(Offer(::GetFocus(), down, VK_RETURN)) << int{modifier};
    EXPECT_FALSE(Offer(::GetFocus(), down, VK_ESCAPE)) << int{modifier};
    keys[modifier] = 0;
    ::SetKeyboardState(keys);
    ASSERT_TRUE(::IsWindow(form)) << int{modifier};
    EXPECT_EQ(::GetFocus(), Window(0x16010005)) << int{modifier};
  }
  EXPECT_TRUE(Key(VK_RETURN));
  EXPECT_EQ(::GetFocus(), Window(0x16010002));
  EXPECT_TRUE(Key(VK_ESCAPE));
  EXPECT_FALSE(::IsWindow(form));
}

TEST_F(KeyboardTest, CommonEventsCarryTheirArgumentsAndMaySwallowTheMessage) {
  Open(kEventsForm);
  HWND w = Window(0x16010001);
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
  EXPECT_FALSE(forms::UnitObject::FromWindow(Window(0))->PreTranslate(msg));
  EXPECT_EQ(msg.wParam, WPARAM('x'));  // replaced

  EXPECT_FALSE(Offer(w, WM_MOUSEWHEEL, MAKEWPARAM(0, -240)));
  EXPECT_EQ(static_cast<int32_t>(Calls().back().args[0]), -2);
  EXPECT_FALSE(Offer(w, WM_MBUTTONDOWN, 0));  // raises nothing
  EXPECT_EQ(Calls().size(), 5u);
}

TEST_F(KeyboardTest, UnitsThatPreTranslateComeFirst) {
  Open(kPreTranslateForm);
  EXPECT_TRUE(Offer(Window(0x16010001), WM_KEYDOWN, VK_F5));
  EXPECT_TRUE(Calls().empty());
  EXPECT_FALSE(Offer(Window(0x16010001), WM_KEYDOWN, VK_F6));
  EXPECT_EQ(Calls().size(), 1u);
}

TEST_F(KeyboardTest, TheFormWindowUnitGetsTheEventsOfItsOwnWindow) {
  Open(kFormEventsForm);
  EXPECT_FALSE(Offer(Window(0), WM_RBUTTONDOWN, 0, MAKELPARAM(1, 2)));
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].sourceUnit, forms::kFormWindowUnitId);
  ::SendMessageA(Window(0), WM_SETCURSOR, reinterpret_cast<WPARAM>(Window(0)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, IDC_CROSS));
}

}  // namespace
