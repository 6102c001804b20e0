#include "forms/menu_plan.h"

#include "forms/template.h"

namespace forms {

namespace {

constexpr uint16_t kVkF1 = 0x70;
constexpr uint16_t kVkInsert = 0x2D;
constexpr uint16_t kVkDelete = 0x2E;

Shortcut Make(uint8_t modifiers, uint16_t key, std::string suffix) {
  return {static_cast<uint8_t>(modifiers | kAccelVirtKey | kAccelNoInvert), key, std::move(suffix)};
}

// Builds the entries below `parentLevel` starting at `pos`.
std::vector<MenuEntry> PlanLevel(const std::vector<MenuItemLayout>& items, size_t& pos,
                                 int64_t parentLevel, MenuPlan& plan) {
  std::vector<MenuEntry> entries;
  while (pos < items.size() && items[pos].level > parentLevel) {
    const MenuItemLayout& item = items[pos];
    const uint32_t id = kFirstMenuCommand + static_cast<uint32_t>(pos++);
    const bool hasChildren = pos < items.size() && items[pos].level > item.level;
    if (item.flags & menuflag::kHidden) {
      while (pos < items.size() && items[pos].level > item.level) ++pos;
      continue;
    }
    MenuEntry entry;
    entry.commandId = id;
    entry.grey = (item.flags & menuflag::kGrey) != 0;
    entry.text = item.caption;
    if (hasChildren) {
      entry.kind = MenuEntry::Kind::Popup;
      entry.children = PlanLevel(items, pos, item.level, plan);
    } else if (item.caption == "-") {
      entry.kind = MenuEntry::Kind::Separator;
    } else {
      entry.checked = (item.flags & menuflag::kChecked) != 0;
      if (auto shortcut = ShortcutFor(item.shortcut)) {
        entry.text += "\t" + shortcut->suffix;
        plan.accelerators.push_back({shortcut->flags, shortcut->key, id});
      }
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace

std::optional<Shortcut> ShortcutFor(uint32_t n) {
  const std::string f = "F" + std::to_string((n - 27) % 12 + 1);
  if (n >= 1 && n <= 26) {
    return Make(kAccelControl, static_cast<uint16_t>('A' + n - 1),
                std::string("Ctrl+") + static_cast<char>('A' + n - 1));
  }
  const uint16_t fKey = static_cast<uint16_t>(kVkF1 + (n - 27) % 12);
  if (n >= 27 && n <= 38) return Make(0, fKey, f);
  if (n >= 39 && n <= 50) return Make(kAccelControl, fKey, "Ctrl+" + f);
  if (n >= 51 && n <= 62) return Make(kAccelShift, fKey, "Shift+" + f);
  if (n >= 63 && n <= 74) return Make(kAccelControl | kAccelShift, fKey, "Ctrl+Shift+" + f);
  if (n == 75) return Make(0, kVkInsert, "Ins");
  if (n == 76) return Make(0, kVkDelete, "Del");
  return std::nullopt;
}

MenuPlan PlanMenu(const std::vector<MenuItemLayout>& items) {
  MenuPlan plan;
  size_t pos = 0;
  plan.bar = PlanLevel(items, pos, -1, plan);
  return plan;
}

}  // namespace forms
