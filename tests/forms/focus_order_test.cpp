#include "forms/focus_order.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using namespace forms;

// Candidates collected from the last position down, as the framework does.
std::vector<FocusCandidate> Collect(std::vector<FocusCandidate> byPositionDescending) {
  return OrderByTabNumber(std::move(byPositionDescending));
}

TEST(FocusOrder, AllNumbersZeroGoesFromTheHighestPositionDownAndWraps) {
  auto list = Collect({{5, 0}, {3, 0}, {2, 0}});
  EXPECT_EQ(PickFocus(list, {5, 0, false}, true), 3);
  EXPECT_EQ(PickFocus(list, {3, 0, false}, true), 2);
  EXPECT_EQ(PickFocus(list, {2, 0, false}, true), 5);  // wraps
  EXPECT_EQ(PickFocus(list, {5, 0, false}, false), 2);
}

TEST(FocusOrder, TabNumbersOrderFirstAndEqualNumbersKeepCollectionOrder) {
  auto list = Collect({{6, 2}, {5, 1}, {4, 2}, {1, 0}});
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[0].position, 1);
  EXPECT_EQ(list[1].position, 5);
  EXPECT_EQ(list[2].position, 6);
  EXPECT_EQ(list[3].position, 4);
}

TEST(FocusOrder, AStartOutsideTheListPicksByPosition) {
  auto list = Collect({{5, 0}, {3, 0}, {1, 0}});
  EXPECT_EQ(PickFocus(list, {4, 0, false}, true), 3);   // first not above 4
  EXPECT_EQ(PickFocus(list, {4, 0, false}, false), 5);  // the one before it
  EXPECT_EQ(PickFocus(list, {0, 0, false}, true), 5);   // none: the first
  EXPECT_EQ(PickFocus(list, {0, 0, false}, false), 1);  // none: the last
  EXPECT_FALSE(PickFocus({}, {2, 0, false}, true).has_value());
}

TEST(FocusOrder, LabelsAndFramesPassTheFocusOnByNumber) {
  auto list = Collect({{5, 3}, {4, 1}, {2, 2}});
  EXPECT_EQ(PickFocus(list, {3, 2, true}, true), 2);   // first with number >= 2
  EXPECT_EQ(PickFocus(list, {3, 2, true}, false), 4);  // last with number < 2
  EXPECT_FALSE(PickFocus(list, {3, 4, true}, true).has_value());
  EXPECT_FALSE(PickFocus(list, {3, 1, true}, false).has_value());
}

TEST(KeyCodes, KeypadKeysBecomeTheirMainKeysAndModifiersLeaveThemselvesOut) {
  EXPECT_EQ(HandlerKeyCode(0x60), uint32_t('0'));
  EXPECT_EQ(HandlerKeyCode(0x69), uint32_t('9'));
  EXPECT_EQ(HandlerKeyCode(0x6D), 0xBDu);
  EXPECT_EQ(HandlerKeyCode(0x6E), 0xBEu);
  EXPECT_EQ(HandlerKeyCode(0x6F), 0xBFu);
  EXPECT_EQ(HandlerKeyCode(0x6A), 0x6Au);  // multiply stays
  EXPECT_EQ(KeyStateBits(true, true, true, 'A'), 7u);
  EXPECT_EQ(KeyStateBits(true, false, false, 0x11), 0u);
  EXPECT_EQ(KeyStateBits(true, true, false, 0x10), kKeyCtrl);
  EXPECT_EQ(KeyStateBits(false, false, true, 0x12), 0u);
}

// Enter, Esc and F1 only without modifiers; arrows whatever is held.
TEST(KeyCodes, FormKeysGoByKeyCodeAndModifiers) {
  for (auto [key, plain] : {std::pair{0x0Du, FormKey::kEnter}, std::pair{0x1Bu, FormKey::kEscape},
                            std::pair{0x70u, FormKey::kHelp}}) {
    EXPECT_EQ(FormKeyOf(key, 0), plain);
    for (uint32_t state : {kKeyCtrl, kKeyShift, kKeyAlt, kKeyCtrl | kKeyAlt})
      EXPECT_EQ(FormKeyOf(key, state), FormKey::kNone) << std::hex << key << " " << state;
  }
  EXPECT_EQ(FormKeyOf(0x09, kKeyShift), FormKey::kTabBackward);
  EXPECT_EQ(FormKeyOf(0x09, kKeyCtrl), FormKey::kNone);
  EXPECT_EQ(FormKeyOf(0x25, kKeyCtrl), FormKey::kArrowBackward);
  EXPECT_EQ(FormKeyOf('N', kKeyAlt), FormKey::kMnemonic);
  EXPECT_EQ(FormKeyOf('N', kKeyAlt | kKeyShift), FormKey::kNone);
}

}  // namespace
