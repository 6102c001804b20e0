#include "forms/focus_order.h"

#include <algorithm>

namespace forms {

namespace {

constexpr uint32_t kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12;
constexpr uint32_t kVkNumpad0 = 0x60, kVkNumpad9 = 0x69;
constexpr uint32_t kVkSubtract = 0x6D, kVkDecimal = 0x6E, kVkDivide = 0x6F;
constexpr uint32_t kVkOemMinus = 0xBD, kVkOemPeriod = 0xBE, kVkOemSlash = 0xBF;
constexpr uint32_t kVkTab = 0x09, kVkReturn = 0x0D, kVkEscape = 0x1B, kVkF1 = 0x70;
constexpr uint32_t kVkLeft = 0x25, kVkUp = 0x26, kVkRight = 0x27, kVkDown = 0x28;

// Label and frame kinds hand the focus to the next unit by number.
std::optional<int> PickAfterPassingKind(const std::vector<FocusCandidate>& ordered, uint32_t number,
                                        bool forward) {
  if (forward) {
    for (const FocusCandidate& c : ordered) {
      if (c.tabOrder >= number) return c.position;
    }
  } else {
    for (auto c = ordered.rbegin(); c != ordered.rend(); ++c) {
      if (c->tabOrder < number) return c->position;
    }
  }
  return std::nullopt;
}

}  // namespace

std::vector<FocusCandidate> OrderByTabNumber(std::vector<FocusCandidate> collected) {
  std::stable_sort(
      collected.begin(), collected.end(),
      [](const FocusCandidate& a, const FocusCandidate& b) { return a.tabOrder < b.tabOrder; });
  return collected;
}

std::optional<int> PickFocus(const std::vector<FocusCandidate>& ordered, const FocusStart& start,
                             bool forward) {
  if (ordered.empty()) return std::nullopt;
  if (start.passesFocusOn) return PickAfterPassingKind(ordered, start.tabOrder, forward);
  const int n = static_cast<int>(ordered.size());
  for (int i = 0; i < n; ++i) {
    if (ordered[i].position == start.position) {
      return ordered[forward ? (i + 1) % n : (i + n - 1) % n].position;
    }
  }
  for (int i = 0; i < n; ++i) {
    if (ordered[i].position <= start.position) {
      return ordered[forward ? i : (i + n - 1) % n].position;
    }
  }
  return forward ? ordered.front().position : ordered.back().position;
}

uint32_t HandlerKeyCode(uint32_t vk) {
  if (vk >= kVkNumpad0 && vk <= kVkNumpad9) return '0' + (vk - kVkNumpad0);
  if (vk == kVkSubtract) return kVkOemMinus;
  if (vk == kVkDecimal) return kVkOemPeriod;
  if (vk == kVkDivide) return kVkOemSlash;
  return vk;
}

uint32_t KeyStateBits(bool ctrl, bool shift, bool alt, uint32_t vk) {
  uint32_t bits = 0;
  if (ctrl && vk != kVkControl) bits |= kKeyCtrl;
  if (shift && vk != kVkShift) bits |= kKeyShift;
  if (alt && vk != kVkMenu) bits |= kKeyAlt;
  return bits;
}

FormKey FormKeyOf(uint32_t vk, uint32_t state) {
  switch (vk) {
    case kVkTab:
      if (state == 0) return FormKey::kTabForward;
      return state == kKeyShift ? FormKey::kTabBackward : FormKey::kNone;
    case kVkReturn: return state == 0 ? FormKey::kEnter : FormKey::kNone;
    case kVkEscape: return state == 0 ? FormKey::kEscape : FormKey::kNone;
    case kVkF1: return state == 0 ? FormKey::kHelp : FormKey::kNone;
    case kVkLeft:
    case kVkUp: return FormKey::kArrowBackward;
    case kVkRight:
    case kVkDown: return FormKey::kArrowForward;
    default: break;
  }
  const bool letterOrDigit = (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z');
  return letterOrDigit && state == kKeyAlt ? FormKey::kMnemonic : FormKey::kNone;
}

}  // namespace forms
