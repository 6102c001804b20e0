// The transparent label's font rule and stored values.

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "extunits/blocks.h"
#include "extunits/translabel/rules.h"
#include "tests/support/block_fuzz.h"

namespace {

namespace tp = translabel::prop;

TEST(TransLabelRules, TheFontIsDrawnWithTheDefaultCharsetAndProofQuality) {
  std::vector<uint8_t> block(60);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(0x40 + i);
  const std::vector<uint8_t> font = translabel::DrawingFont(block);
  ASSERT_EQ(font.size(), 60u);
  for (size_t i = 0; i < 60; ++i) {
    const uint8_t expected = i == 23 ? 1 : i == 26 ? 2 : (i >= 24 && i <= 27) ? 0 : block[i];
    EXPECT_EQ(font[i], expected) << i;
  }
  EXPECT_TRUE(translabel::DrawingFont(std::vector<uint8_t>(59)).empty());
  EXPECT_TRUE(translabel::DrawingFont({}).empty());
}

TEST(TransLabelRules, EachPropertyHasItsField) {
  const forms::BlockLayout& layout = extunits::kTransLabelBlock;
  const char* names[tp::kCount] = {"Caption",   "Effect",   "Font",         "TextColor",
                                   "Alignment", "WordWrap", "VertAlignment"};
  for (int32_t n = 0; n < tp::kCount; ++n) {
    EXPECT_STREQ(layout.fields[translabel::FieldOf(n)].name, names[n]);
  }
}

TEST(TransLabelRules, LoadedBlocksKeepEveryClamp) {
  EXPECT_EQ(
      testing_support::FuzzLoadedBlocks(extunits::kTransLabelBlock, translabel::kClamps, 2000),
      std::set<int32_t>{});
}

}  // namespace
