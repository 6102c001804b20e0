// The form's native menu bar and accelerators, built from its menu item
// records, rebuilt after every change, and menu commands turned into events.

#include <utility>
#include <vector>

#include "forms/menu_plan.h"
#include "forms/win/framework_state.h"

namespace forms {

namespace {

void AppendEntries(HMENU menu, const std::vector<MenuEntry>& entries) {
  for (const MenuEntry& entry : entries) {
    const UINT grey = entry.grey ? MF_GRAYED : 0;
    switch (entry.kind) {
      case MenuEntry::Kind::Separator: ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr); break;
      case MenuEntry::Kind::Popup: {
        HMENU popup = ::CreatePopupMenu();
        AppendEntries(popup, entry.children);
        ::AppendMenuA(menu, MF_POPUP | grey, reinterpret_cast<UINT_PTR>(popup), entry.text.c_str());
        break;
      }
      case MenuEntry::Kind::Command:
        ::AppendMenuA(menu, MF_STRING | grey | (entry.checked ? MF_CHECKED : 0), entry.commandId,
                      entry.text.c_str());
        break;
    }
  }
}

rt::AcceleratorTable MakeAccelerators(const std::vector<Accelerator>& accelerators) {
  if (accelerators.empty()) return {};
  std::vector<ACCEL> table;
  for (const Accelerator& a : accelerators) {
    table.push_back({a.flags, a.key, static_cast<WORD>(a.commandId)});
  }
  return rt::AcceleratorTable(
      ::CreateAcceleratorTableA(table.data(), static_cast<int>(table.size())));
}

}  // namespace

std::vector<UnitRecord*> MenuItems(FormRecord& form) {
  std::vector<UnitRecord*> items;
  for (UnitRecord& record : form.units.records) {
    if (record.IsMenuItem()) {
      items.push_back(&record);
    } else if (!items.empty()) {
      break;  // items after a later unit record are not part of the bar
    }
  }
  return items;
}

MenuBar BuildMenuBar(const FormRecord& form) {
  std::vector<MenuItemLayout> items;
  for (UnitRecord* item : MenuItems(const_cast<FormRecord&>(form))) {
    items.push_back({item->level, item->menuFlags, item->shortcut, item->caption});
  }
  MenuPlan plan = PlanMenu(items);
  MenuBar bar;
  bar.menu.Reset(::CreateMenu());
  AppendEntries(bar.menu.get(), plan.bar);
  bar.accelerators = MakeAccelerators(plan.accelerators);
  return bar;
}

void RebuildMenuBar(FormRecord& form) {
  FormWindowObject* window = LiveFormWindow(form);
  if (window == nullptr) return;
  rt::MenuHandle old(::GetMenu(window->hwnd()));  // the window gives it up below
  MenuBar bar = BuildMenuBar(form);
  window->SetAccelerators(std::move(bar.accelerators));
  ::SetMenu(window->hwnd(), bar.menu.Release());
}

bool HandleMenuCommand(FormRecord& form, UINT id, LRESULT& result) {
  if (id >= 0xE100) {
    result = 0;
    return true;
  }
  if (id < kFirstMenuCommand) return false;
  std::vector<UnitRecord*> items = MenuItems(form);
  const size_t index = id - kFirstMenuCommand;
  result = 0;
  if (index >= items.size()) return true;
  WordEvent e;
  e.formId = form.id;
  e.unitId = items[index]->id;
  RaiseWord(e);
  return true;
}

}  // namespace forms
