#pragma once
// The shape of a form's menu bar, worked out from its flat list of menu item
// records: which items are pop-ups, commands or separators, their command
// ids and texts, and the accelerators of their shortcuts. Making the native
// menu from the plan is a separate, small step.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace forms {

constexpr uint32_t kFirstMenuCommand = 20000;

// Accelerator flags, as the system defines them.
constexpr uint8_t kAccelVirtKey = 0x01;
constexpr uint8_t kAccelNoInvert = 0x02;
constexpr uint8_t kAccelShift = 0x04;
constexpr uint8_t kAccelControl = 0x08;

struct Shortcut {
  uint8_t flags;  // kAccel* bits, virtual key and no-invert always included
  uint16_t key;   // virtual-key code
  std::string suffix;
};

// Shortcut numbers 1..76; none outside.
std::optional<Shortcut> ShortcutFor(uint32_t number);

struct MenuItemLayout {
  uint32_t level = 0;
  uint32_t flags = 0;  // hidden, grey, checked
  uint32_t shortcut = 0;
  std::string caption;
};

struct MenuEntry {
  enum class Kind { Command, Separator, Popup };
  Kind kind = Kind::Command;
  std::string text;  // commands: the caption, then a tab and the shortcut's suffix
  uint32_t commandId = 0;
  bool grey = false;
  bool checked = false;
  std::vector<MenuEntry> children;  // pop-ups only
};

struct Accelerator {
  uint8_t flags;
  uint16_t key;
  uint32_t commandId;
};

struct MenuPlan {
  std::vector<MenuEntry> bar;
  std::vector<Accelerator> accelerators;
};

// Every item consumes the next command id, shown or not; a hidden item takes
// its whole sub-tree with it.
MenuPlan PlanMenu(const std::vector<MenuItemLayout>& items);

}  // namespace forms
