// The list box's portable rules and the text list value it reads and writes.

#include "units/list_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/property_block.h"
#include "units/blocks.h"

namespace {

TEST(ListRules, IndexesStylesAndItemNumbers) {
  EXPECT_EQ(units::ClampListIndex(5, 3), 2);
  EXPECT_EQ(units::ClampListIndex(-7, 3), -1);
  EXPECT_EQ(units::ClampListIndex(0, 0), -1);
  EXPECT_EQ(units::ClampListIndex(1, 3), 1);

  EXPECT_EQ(units::ListBoxStyle(false, false, false, false), 0x44000181u | 0x200000);
  EXPECT_EQ(units::ListBoxStyle(true, false, true, true), 0x44000181u | 0x2 | 0x100200 | 0x800);
  EXPECT_EQ(units::ListBoxStyle(true, true, false, false), 0x44000181u | 0x200000);

  const std::vector<uint8_t> data = {1, 0, 0, 0, 0x78, 0x56, 0x34, 0x12, 9, 9};
  ASSERT_EQ(units::ItemNumberCount(data), 2u);  // the two trailing bytes make no number
  EXPECT_EQ(units::ItemNumber(data, 0), 1u);
  EXPECT_EQ(units::ItemNumber(data, 1), 0x12345678u);
  EXPECT_EQ(units::RowHeight(0xFFFF, 2), 1u);
}

TEST(ListRules, TextListValuesRoundTripAndShortOnesAreRefused) {
  const std::vector<std::string> texts = {"a", "", "xyz"};
  const std::vector<uint8_t> block = forms::WriteTextListBlock(texts);
  EXPECT_EQ(block,
            (std::vector<uint8_t>{3, 0, 1, 0, 0, 0, 'a', 0, 0, 0, 0, 3, 0, 0, 0, 'x', 'y', 'z'}));
  std::vector<std::string> read;
  ASSERT_TRUE(forms::ReadTextListBlock(block.data(), block.size(), read));
  EXPECT_EQ(read, texts);

  EXPECT_FALSE(forms::ReadTextListBlock(block.data(), block.size() - 1, read));
  EXPECT_TRUE(read.empty());
  const uint8_t wide[] = {0xFF, 0xFF, 1, 0, 0, 0, 2, 0, 0, 0, 'h', 'i'};
  ASSERT_TRUE(forms::ReadTextListBlock(wide, sizeof wide, read));
  EXPECT_EQ(read, (std::vector<std::string>{"hi"}));
  const uint8_t lying[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
  EXPECT_FALSE(forms::ReadTextListBlock(lying, sizeof lying, read));
}

void Upper(void* context, std::string& text) {
  static_cast<std::vector<std::string>*>(context)->push_back(text);
  for (char& c : text) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
}

TEST(ListRules, TextsAreShownInOrderAndWrittenBack) {
  forms::PropertyValues values(units::kListBoxBlock);
  std::vector<uint8_t> font(60, 0);
  const char face[] = "song";
  std::copy(face, face + 4, font.begin() + 28);
  values.SetBytes(units::listboxfield::kFont, font);
  values.SetTextList(units::listboxfield::kItems, {"a", "b"});
  values.SetText(units::listboxfield::kDataField, "f");
  const std::vector<uint8_t> block = forms::WriteBlock(values);

  std::vector<std::string> seen;
  const std::vector<uint8_t> out =
      units::RewriteListBoxTexts(block.data(), block.size(), Upper, &seen);
  EXPECT_EQ(seen, (std::vector<std::string>{"song", "a", "b", "", "f"}));
  forms::PropertyValues read(units::kListBoxBlock);
  ASSERT_EQ(forms::ReadBlock(out, read), forms::BlockStatus::kOk);
  EXPECT_EQ(read.TextList(units::listboxfield::kItems), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(read.Bytes(units::listboxfield::kFont)[28], 'S');
  EXPECT_EQ(read.Text(units::listboxfield::kDataField), "F");

  values.SetBytes(units::listboxfield::kFont, {1, 2, 3});  // not a font: no face name
  const std::vector<uint8_t> shortFont = forms::WriteBlock(values);
  seen.clear();
  units::RewriteListBoxTexts(shortFont.data(), shortFont.size(), Upper, &seen);
  EXPECT_EQ(seen.size(), 4u);
  const uint8_t newer[] = {4, 0, 0, 0};
  EXPECT_TRUE(units::RewriteListBoxTexts(newer, sizeof newer, Upper, &seen).empty());
}

}  // namespace
