#include "forms/menu_plan.h"

#include <gtest/gtest.h>

#include "forms/template.h"

namespace {

using namespace forms;
using Kind = MenuEntry::Kind;

MenuItemLayout Item(uint32_t level, const char* caption, uint32_t flags = 0,
                    uint32_t shortcut = 0) {
  return {level, flags, shortcut, caption};
}

TEST(MenuPlan, LevelsMakePopupsAndEveryItemConsumesAnId) {
  MenuPlan plan = PlanMenu({Item(0, "文件"), Item(1, "打开"), Item(1, "-"), Item(2, "深"),
                            Item(1, "退出"), Item(0, "帮助")});
  ASSERT_EQ(plan.bar.size(), 2u);
  const MenuEntry& file = plan.bar[0];
  EXPECT_EQ(file.kind, Kind::Popup);
  ASSERT_EQ(file.children.size(), 3u);
  EXPECT_EQ(file.children[0].commandId, 20001u);
  // A separator caption with deeper items below it is a pop-up, not a separator.
  EXPECT_EQ(file.children[1].kind, Kind::Popup);
  EXPECT_EQ(file.children[1].children[0].commandId, 20003u);
  EXPECT_EQ(file.children[2].commandId, 20004u);
  // A level-0 item without deeper items is a command on the bar itself.
  EXPECT_EQ(plan.bar[1].kind, Kind::Command);
  EXPECT_EQ(plan.bar[1].commandId, 20005u);
  EXPECT_TRUE(plan.accelerators.empty());
}

TEST(MenuPlan, HiddenItemsTakeTheirSubtreeButKeepLaterIds) {
  MenuPlan plan = PlanMenu({Item(0, "甲", menuflag::kHidden), Item(1, "甲1"), Item(2, "甲2"),
                            Item(0, "乙"), Item(1, "乙1", menuflag::kHidden), Item(1, "乙2")});
  ASSERT_EQ(plan.bar.size(), 1u);
  EXPECT_EQ(plan.bar[0].text, "乙");
  ASSERT_EQ(plan.bar[0].children.size(), 1u);
  EXPECT_EQ(plan.bar[0].children[0].commandId, 20005u);
}

TEST(MenuPlan, FlagsSeparatorsAndShortcuts) {
  MenuPlan plan = PlanMenu({Item(0, "模式", menuflag::kGrey | menuflag::kChecked),
                            Item(1, "单曲", menuflag::kChecked | menuflag::kGrey, 27), Item(1, "-"),
                            Item(1, "列表", 0, 1), Item(1, "无", 0, 77)});
  const MenuEntry& popup = plan.bar[0];
  EXPECT_TRUE(popup.grey);
  EXPECT_FALSE(popup.checked);  // pop-ups carry no check mark
  EXPECT_EQ(popup.children[0].text, "单曲\tF1");
  EXPECT_TRUE(popup.children[0].checked);
  EXPECT_TRUE(popup.children[0].grey);
  EXPECT_EQ(popup.children[1].kind, Kind::Separator);
  EXPECT_EQ(popup.children[2].text, "列表\tCtrl+A");
  EXPECT_EQ(popup.children[3].text, "无");
  ASSERT_EQ(plan.accelerators.size(), 2u);
  EXPECT_EQ(plan.accelerators[0].key, 0x70);
  EXPECT_EQ(plan.accelerators[0].flags, kAccelVirtKey | kAccelNoInvert);
  EXPECT_EQ(plan.accelerators[0].commandId, 20001u);
  EXPECT_EQ(plan.accelerators[1].key, 'A');
  EXPECT_EQ(plan.accelerators[1].flags, kAccelVirtKey | kAccelNoInvert | kAccelControl);
}

TEST(MenuPlan, ShortcutTableCoversAllSeventySixEntries) {
  struct Case {
    uint32_t number;
    const char* suffix;
    uint16_t key;
    uint8_t modifiers;
  };
  const Case cases[] = {{1, "Ctrl+A", 'A', kAccelControl},
                        {26, "Ctrl+Z", 'Z', kAccelControl},
                        {27, "F1", 0x70, 0},
                        {38, "F12", 0x7B, 0},
                        {39, "Ctrl+F1", 0x70, kAccelControl},
                        {51, "Shift+F1", 0x70, kAccelShift},
                        {62, "Shift+F12", 0x7B, kAccelShift},
                        {63, "Ctrl+Shift+F1", 0x70, kAccelControl | kAccelShift},
                        {74, "Ctrl+Shift+F12", 0x7B, kAccelControl | kAccelShift},
                        {75, "Ins", 0x2D, 0},
                        {76, "Del", 0x2E, 0}};
  for (const Case& c : cases) {
    auto s = ShortcutFor(c.number);
    ASSERT_TRUE(s.has_value()) << c.number;
    EXPECT_EQ(s->suffix, c.suffix);
    EXPECT_EQ(s->key, c.key);
    EXPECT_EQ(s->flags, c.modifiers | kAccelVirtKey | kAccelNoInvert);
  }
  EXPECT_FALSE(ShortcutFor(0).has_value());
  EXPECT_FALSE(ShortcutFor(77).has_value());
}

}  // namespace
