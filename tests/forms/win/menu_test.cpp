// The form's menu bar: structure, command ids, accelerators, menu commands,
// item properties that rebuild the bar only when they change something, and
// the handles all of that leaves behind.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "MenuForm.h"
#include "forms/win/framework.h"
#include "runtime/heap.h"
#include "runtime/win/handles.h"
#include "tests/forms/win/test_program.h"
#include "tests/forms/win/test_units.h"

namespace {

using namespace testprog;

constexpr uint32_t kUnit = 0x16010001;
constexpr uint32_t kPlay = 0x2601000e, kSingle = 0x2601000f, kHiddenTop = 0x26010012,
                   kExitTop = 0x26010014, kExit = 0x26010015;

const rt::Routine kMenuRoutines[] = {MENU_FORM_ROUTINES(TESTPROG_ENTRY)};

// The form of data/menu.form.
class MenuTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    StartCompiled(kMenuFormTemplate, kMenuFormTemplateSize, kMenuRoutines);
    ASSERT_TRUE(Load());
    Calls().clear();
  }
  HMENU Bar() { return ::GetMenu(WindowOf(0)); }
  std::string Text(HMENU menu, int position) {
    char text[128] = {};
    ::GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
  }
  void Write(uint32_t item, int32_t index, uint64_t value) {
    forms::WriteProperty(kFormId, item, index, -1, {value, 0});
  }
  int32_t Read(uint32_t item, int32_t index) {
    return static_cast<int32_t>(forms::ReadProperty(kFormId, item, index, -1).value);
  }
};

TEST_F(MenuTest, TheBarFollowsLevelsFlagsAndShortcuts) {
  HMENU bar = Bar();
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(::GetMenuItemCount(bar), 2);  // the hidden entry and its sub-tree are left out
  EXPECT_EQ(Text(bar, 0), "模式");
  EXPECT_EQ(Text(bar, 1), "退出");
  HMENU mode = ::GetSubMenu(bar, 0);
  ASSERT_EQ(::GetMenuItemCount(mode), 3);
  EXPECT_EQ(Text(mode, 0), "单曲\tF1");
  EXPECT_EQ(::GetMenuItemID(mode, 0), 20001u);
  EXPECT_TRUE(::GetMenuState(mode, 0, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_TRUE(::GetMenuState(mode, 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_TRUE(::GetMenuState(mode, 2, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_EQ(::GetMenuItemID(mode, 2), 20003u);
  // Ids count every item, hidden ones included.
  EXPECT_EQ(::GetMenuItemID(::GetSubMenu(bar, 1), 0), 20007u);
}

TEST_F(MenuTest, CommandsAndAcceleratorsRaiseTheItemsEvent) {
  ::SendMessageA(WindowOf(0), WM_COMMAND, 20007, 0);
  ::SendMessageA(WindowOf(0), WM_COMMAND, 20099, 0);   // beyond the items: nothing
  ::SendMessageA(WindowOf(0), WM_COMMAND, 0xE101, 0);  // swallowed
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].routine, 2);
  EXPECT_EQ(Calls()[0].sourceUnit, kExit);

  MSG msg = {WindowOf(0x16010001), WM_KEYDOWN, VK_F1, 0, 0, {0, 0}};
  EXPECT_TRUE(forms::UnitObject::FromWindow(WindowOf(0))->PreTranslate(msg));
  Pump();
  ASSERT_EQ(Calls().size(), 2u);
  EXPECT_EQ(Calls()[1].routine, 0);
}

TEST_F(MenuTest, ItemPropertiesRebuildTheBarOnlyWhenTheyChangeIt) {
  EXPECT_EQ(Read(kSingle, 1), 1);
  EXPECT_EQ(Read(kSingle, 3), 1);
  EXPECT_EQ(Read(kHiddenTop, 3), 0);
  EXPECT_EQ(Read(kSingle, 9), 0);
  HMENU before = Bar();
  Write(kSingle, 1, 1);  // already checked
  EXPECT_EQ(Bar(), before);
  Write(kSingle, 1, 0);
  HMENU unchecked = Bar();
  EXPECT_NE(unchecked, before);
  EXPECT_FALSE(::GetMenuState(::GetSubMenu(unchecked, 0), 0, MF_BYPOSITION) & MF_CHECKED);
  Write(kSingle, 1, 0);
  EXPECT_EQ(Bar(), unchecked);

  Write(kPlay, 3, 0);  // hiding a top-level entry takes its pop-up with it
  ASSERT_EQ(::GetMenuItemCount(Bar()), 1);
  EXPECT_EQ(::GetMenuItemID(::GetSubMenu(Bar(), 0), 0), 20007u);  // later ids unchanged

  HMENU now = Bar();
  forms::WriteProperty(kFormId, kExitTop, 0, -1, {reinterpret_cast<uintptr_t>("退出"), 0});
  EXPECT_EQ(Bar(), now);  // the same caption
  forms::WriteProperty(kFormId, kExitTop, 0, -1, {reinterpret_cast<uintptr_t>("离开"), 0});
  EXPECT_EQ(Text(Bar(), 0), "离开");
  auto* caption = reinterpret_cast<char*>(forms::ReadProperty(kFormId, kExitTop, 0, -1).value);
  EXPECT_STREQ(caption, "离开");
  rt::Free(caption);
}

// Every menu, shortcut table and cursor made from a file is freed when it is
// replaced and when the form goes away.
TEST_F(MenuTest, RebuildsAndClosingKeepNoHandles) {
  ::DestroyWindow(WindowOf(0));
  const int64_t closed = rt::LiveHandleCount();
  ASSERT_TRUE(Load());
  EXPECT_EQ(rt::LiveHandleCount(), closed + 2);  // the unit's cursor and the shortcut table
  auto* cursor = reinterpret_cast<void*>(forms::ReadProperty(kFormId, kUnit, 7, -1).value);
  for (int round = 0; round < 20; ++round) {
    Write(kSingle, 1, round % 2);  // a new bar and shortcut table
    forms::WriteProperty(kFormId, kUnit, 7, -1, {reinterpret_cast<uintptr_t>(cursor), 0});
  }
  rt::Free(cursor);
  EXPECT_EQ(rt::LiveHandleCount(), closed + 2);
  ::DestroyWindow(WindowOf(0));
  EXPECT_EQ(rt::LiveHandleCount(), closed);
}

}  // namespace
