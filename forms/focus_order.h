#pragma once
// Keyboard focus order and key codes of the form's keyboard handling.

#include <cstdint>
#include <optional>
#include <vector>

namespace forms {

// A unit that may take the focus: its table position and tab order number.
struct FocusCandidate {
  int position;
  uint32_t tabOrder;
};

// Orders candidates collected from the last table position down to 1 by tab
// order number; equal numbers keep their collection order.
std::vector<FocusCandidate> OrderByTabNumber(std::vector<FocusCandidate> collected);

struct FocusStart {
  int position;
  uint32_t tabOrder;   // counts as 0 for frame kinds
  bool passesFocusOn;  // label and frame kinds never keep the focus
};

// The position of the unit that gets the focus, or none.
std::optional<int> PickFocus(const std::vector<FocusCandidate>& ordered, const FocusStart& start,
                             bool forward);

// Key codes as handlers see them: keypad digits become the digit keys, the
// keypad minus, decimal point and divide become the minus, period and slash keys.
uint32_t HandlerKeyCode(uint32_t virtualKey);

// Key state bits: 1 Ctrl, 2 Shift, 4 Alt, each when held; a modifier key's
// own event leaves its own bit out.
constexpr uint32_t kKeyCtrl = 1;
constexpr uint32_t kKeyShift = 2;
constexpr uint32_t kKeyAlt = 4;
uint32_t KeyStateBits(bool ctrl, bool shift, bool alt, uint32_t virtualKey);

// What the form's key handling makes of a key-down, by its key code and key
// state bits. Enter, Esc and F1 count only without modifiers (Alt+Enter is
// not Enter); the arrows count whatever is held.
enum class FormKey {
  kNone,
  kTabForward,
  kTabBackward,
  kEnter,
  kEscape,
  kHelp,
  kArrowBackward,
  kArrowForward,
  kMnemonic,
};
FormKey FormKeyOf(uint32_t virtualKey, uint32_t state);

}  // namespace forms
