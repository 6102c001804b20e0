#include "units/blocks.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "runtime/bytes.h"
#include "units/label_paint.h"
#include "units/range_rules.h"
#include "tests/support/block_checks.h"
#include "tests/support/block_fuzz.h"

namespace {

using forms::BlockStatus;
using forms::PropertyValues;
using forms::ReadBlock;
using forms::WriteBlock;
using namespace units;

using testing_support::ExpectPositions;

TEST(CoreBlocks, FieldPositionsNameTheirFields) {
  using namespace windowfield;
  ExpectPositions(kWindowBlock, {{kBorderStyle, "BorderStyle"},
                                 {kBackPictureMode, "BackPictureMode"},
                                 {kBackColor, "BackColor"},
                                 {kMaxButton, "MaxButton"},
                                 {kMinButton, "MinButton"},
                                 {kControlBox, "ControlBox"},
                                 {kWindowState, "WindowState"},
                                 {kMovable, "Movable"},
                                 {kMusicPlayCount, "MusicPlayCount"},
                                 {kEnterMovesFocus, "EnterMovesFocus"},
                                 {kEscCloses, "EscCloses"},
                                 {kF1OpensHelp, "F1OpensHelp"},
                                 {kHelpTopic, "HelpTopic"},
                                 {kShowInTaskbar, "ShowInTaskbar"},
                                 {kDragAnywhere, "DragAnywhere"},
                                 {kWindowShape, "WindowShape"},
                                 {kAlwaysOnTop, "AlwaysOnTop"},
                                 {kKeepTitleActive, "KeepTitleActive"},
                                 {kClassName, "ClassName"},
                                 {kBackPicture, "BackPicture"},
                                 {kIcon, "Icon"},
                                 {kBackMusic, "BackMusic"},
                                 {kCaption, "Caption"},
                                 {kHelpFile, "HelpFile"}});
  namespace l = labelfield;
  ExpectPositions(kLabelBlock, {{l::kEffect, "Effect"},
                                {l::kFrameWidth, "FrameWidth"},
                                {l::kBorderStyle, "BorderStyle"},
                                {l::kFrameColor1, "FrameColor1"},
                                {l::kFrameColor2, "FrameColor2"},
                                {l::kFrameColor3, "FrameColor3"},
                                {l::kTextColor, "TextColor"},
                                {l::kBackColor, "BackColor"},
                                {l::kBackPictureMode, "BackPictureMode"},
                                {l::kGradientMode, "GradientMode"},
                                {l::kGradientColor1, "GradientColor1"},
                                {l::kGradientColor2, "GradientColor2"},
                                {l::kGradientColor3, "GradientColor3"},
                                {l::kAlignment, "Alignment"},
                                {l::kVertAlignment, "VertAlignment"},
                                {l::kWordWrap, "WordWrap"},
                                {l::kFont, "Font"},
                                {l::kBackPicture, "BackPicture"},
                                {l::kCaption, "Caption"},
                                {l::kDataSource, "DataSource"},
                                {l::kDataField, "DataField"}});
  namespace b = buttonfield;
  ExpectPositions(kButtonBlock, {{b::kDefaultButton, "DefaultButton"},
                                 {b::kAlignment, "Alignment"},
                                 {b::kVertAlignment, "VertAlignment"},
                                 {b::kPicture, "Picture"},
                                 {b::kFont, "Font"},
                                 {b::kCaption, "Caption"}});
  namespace lb = listboxfield;
  ExpectPositions(kListBoxBlock, {{lb::kBorderStyle, "BorderStyle"},
                                  {lb::kSorted, "Sorted"},
                                  {lb::kMultiColumn, "MultiColumn"},
                                  {lb::kRowSpacing, "RowSpacing"},
                                  {lb::kTextColor, "TextColor"},
                                  {lb::kBackColor, "BackColor"},
                                  {lb::kMultiSelect, "MultiSelect"},
                                  {lb::kCurrentIndex, "CurrentIndex"},
                                  {lb::kFont, "Font"},
                                  {lb::kItemData, "ItemData"},
                                  {lb::kItems, "Items"},
                                  {lb::kDataSource, "DataSource"},
                                  {lb::kDataField, "DataField"},
                                  {lb::kBindingFlag, "BindingFlag"}});
  namespace h = hscrollbarfield;
  ExpectPositions(kHScrollBarBlock, {{h::kMinimum, "Minimum"},
                                     {h::kMaximum, "Maximum"},
                                     {h::kPageChange, "PageChange"},
                                     {h::kLineChange, "LineChange"},
                                     {h::kPosition, "Position"},
                                     {h::kTrackDrag, "TrackDrag"}});
  namespace s = sliderbarfield;
  ExpectPositions(kSliderBarBlock, {{s::kBorderStyle, "BorderStyle"},
                                    {s::kOrientation, "Orientation"},
                                    {s::kTickStyle, "TickStyle"},
                                    {s::kTickFrequency, "TickFrequency"},
                                    {s::kSelectionEnabled, "SelectionEnabled"},
                                    {s::kSelectionStart, "SelectionStart"},
                                    {s::kSelectionLength, "SelectionLength"},
                                    {s::kPageSize, "PageSize"},
                                    {s::kLineSize, "LineSize"},
                                    {s::kMinimum, "Minimum"},
                                    {s::kMaximum, "Maximum"},
                                    {s::kPosition, "Position"}});
  ExpectPositions(kTimerBlock, {{timerfield::kInterval, "Interval"}});
}

TEST(CoreBlocks, TypesAreDistinctAndWriteWhatTheyRead) {
  std::set<uint32_t> codes;
  std::set<std::string> names;
  for (const forms::BlockLayout* layout : CoreBlockLayouts()) {
    EXPECT_TRUE(codes.insert(layout->typeCode).second) << layout->typeName;
    EXPECT_TRUE(names.insert(layout->typeName).second) << layout->typeName;
    std::set<std::string> fields;
    for (size_t i = 0; i < layout->fieldCount; ++i) {
      EXPECT_LE(layout->fields[i].since, layout->version) << layout->typeName << i;
      EXPECT_TRUE(fields.insert(layout->fields[i].name).second) << layout->fields[i].name;
    }
    PropertyValues defaults(*layout);
    PropertyValues read(*layout);
    EXPECT_EQ(ReadBlock(WriteBlock(defaults), read), BlockStatus::kOk) << layout->typeName;
    EXPECT_EQ(read, defaults) << layout->typeName;
  }
  EXPECT_EQ(kWindowBlock.typeCode, 0x00010001u);
  EXPECT_EQ(kSliderBarBlock.typeCode, 0x00010014u);
  EXPECT_EQ(kTimerBlock.typeCode, 0x00010020u);
}

TEST(CoreBlocks, EmptyBlocksGiveTheDocumentedDefaults) {
  PropertyValues window(kWindowBlock);
  ASSERT_EQ(ReadBlock(nullptr, 0, window), BlockStatus::kOk);
  EXPECT_EQ(window.Int("BorderStyle"), 2);
  EXPECT_EQ(window.Int("ControlBox"), 1);
  EXPECT_EQ(window.Int("MinButton"), 0);
  EXPECT_EQ(window.Int("WindowState"), 1);
  EXPECT_EQ(window.Int("BackPictureMode"), 1);
  EXPECT_EQ(window.Int("BackColor"), forms::kSystemColour);
  EXPECT_EQ(window.Int("EscCloses"), 1);
  EXPECT_EQ(window.Int("ShowInTaskbar"), 1);
  EXPECT_EQ(window.Text("Caption"), "");

  PropertyValues label(kLabelBlock);
  EXPECT_EQ(label.Text("Caption"), "标签");
  EXPECT_EQ(label.Int("VertAlignment"), 1);
  EXPECT_EQ(label.Int("FrameWidth"), 8);
  EXPECT_EQ(label.Int("GradientColor2"), 0xFFFFFF);

  PropertyValues button(kButtonBlock);
  EXPECT_EQ(button.Text("Caption"), "按钮");
  EXPECT_EQ(button.Int("Alignment"), 1);
  EXPECT_EQ(button.Int("VertAlignment"), 1);

  PropertyValues list(kListBoxBlock);
  EXPECT_EQ(list.Int("BorderStyle"), 1);
  EXPECT_EQ(list.Int("BackColor"), 0xFFFFFF);
  EXPECT_EQ(list.Int("RowSpacing"), 1);
  EXPECT_EQ(list.Int("CurrentIndex"), -1);

  EXPECT_EQ(PropertyValues(kHScrollBarBlock).Int("TrackDrag"), 1);
  EXPECT_EQ(PropertyValues(kSliderBarBlock).Int("Maximum"), 10);
  EXPECT_EQ(PropertyValues(kSliderBarBlock).Int("TickStyle"), 2);
  EXPECT_EQ(PropertyValues(kTimerBlock).Int("Interval"), 0);
}

std::vector<uint8_t> Words(std::initializer_list<uint32_t> words) {
  rt::ByteWriter out;
  for (uint32_t w : words) out.U32(w);
  return out.Take();
}

// The player's own blocks, byte for byte.
TEST(CoreBlocks, ThePlayersBlocksHaveTheirDocumentedBytes) {
  PropertyValues strip(kLabelBlock);
  strip.SetInt("BorderStyle", 2);
  strip.SetInt("BackColor", 0x0080FF);
  strip.SetInt("GradientMode", 2);
  strip.SetInt("GradientColor1", 0xD8D8);
  strip.SetInt("GradientColor2", 0x80FF);
  strip.SetInt("GradientColor3", 0x60C0);
  strip.SetText("Caption", "");
  EXPECT_EQ(WriteBlock(strip),
            Words({2,      0,      8,      2, 0x808080, 0xFFFFFF, 0x808080, 0, 0x0080FF, 1, 2,
                   0xD8D8, 0x80FF, 0x60C0, 0, 1,        0,        0,        0, 0,        0, 0}));

  PropertyValues next(kButtonBlock);
  next.SetText("Caption", "下一首");
  std::vector<uint8_t> expected = Words({1, 0, 1, 1, 0, 0, 6});
  const std::string caption = "下一首";
  expected.insert(expected.end(), caption.begin(), caption.end());
  EXPECT_EQ(WriteBlock(next), expected);
  EXPECT_EQ(expected.size(), 34u);

  PropertyValues volume(kHScrollBarBlock);
  volume.SetInt("Position", 100);
  EXPECT_EQ(WriteBlock(volume), Words({1, 1, 100, 10, 1, 100, 1}));

  PropertyValues progress(kSliderBarBlock);
  progress.SetInt("BorderStyle", 2);
  progress.SetInt("TickStyle", 0);
  progress.SetInt("Maximum", 100);
  EXPECT_EQ(WriteBlock(progress), Words({1, 2, 0, 0, 1, 0, 0, 0, 5, 1, 1, 100, 1}));

  EXPECT_EQ(WriteBlock(PropertyValues(kTimerBlock)), Words({1, 0}));
}

TEST(CoreBlocks, OlderWindowBlocksKeepTheDefaultsOfLaterFields) {
  // Version 1: the thirteen first numbers, then the blocks and texts.
  std::vector<uint8_t> v1 = Words({1, 0, 3, 0x123456, 1, 1, 0, 3, 0, 2, 1, 0, 1, 77});
  rt::ByteWriter tail;
  tail.CountedBytes(std::vector<uint8_t>{0xFF, 0xD8});
  tail.CountedBytes(nullptr, 0);
  tail.CountedBytes(std::vector<uint8_t>{'M'});
  tail.CountedText("title");
  tail.CountedText("help.hlp");
  v1.insert(v1.end(), tail.bytes().begin(), tail.bytes().end());

  PropertyValues w(kWindowBlock);
  ASSERT_EQ(ReadBlock(v1, w), BlockStatus::kOk);
  EXPECT_EQ(w.Int(windowfield::kBorderStyle), 0);
  EXPECT_EQ(w.Int(windowfield::kBackColor), 0x123456);
  EXPECT_EQ(w.Int(windowfield::kHelpTopic), 77);
  EXPECT_EQ(w.Int(windowfield::kShowInTaskbar), 1);  // version 2 onwards
  EXPECT_EQ(w.Int(windowfield::kDragAnywhere), 0);
  EXPECT_EQ(w.Text(windowfield::kClassName), "");
  EXPECT_EQ(w.Bytes(windowfield::kBackPicture).size(), 2u);
  EXPECT_EQ(w.Bytes(windowfield::kBackMusic).size(), 1u);
  EXPECT_EQ(w.Text(windowfield::kCaption), "title");
  EXPECT_EQ(w.Text(windowfield::kHelpFile), "help.hlp");

  std::vector<uint8_t> v7 = WriteBlock(PropertyValues(kWindowBlock));
  v7[0] = 7;
  EXPECT_EQ(ReadBlock(v7, w), BlockStatus::kNewerVersion);
}

TEST(CoreBlocks, LabelAndListBoxVersionsAddTheirBindingFields) {
  PropertyValues label(kLabelBlock);
  label.SetText("DataSource", "source");
  std::vector<uint8_t> bytes = WriteBlock(label);
  bytes[0] = 1;
  bytes.resize(bytes.size() - 4 - 6 - 4);  // a version 1 block ends with the caption
  ASSERT_EQ(ReadBlock(bytes, label), BlockStatus::kOk);
  EXPECT_EQ(label.Text("Caption"), "标签");
  EXPECT_EQ(label.Text("DataSource"), "");
  bytes[0] = 3;
  EXPECT_EQ(ReadBlock(bytes, label), BlockStatus::kNewerVersion);

  PropertyValues list(kListBoxBlock);
  list.SetTextList("Items", {"one", "two"});
  list.SetBytes("ItemData", {1, 0, 0, 0});
  list.SetText("DataField", "field");
  list.SetInt("BindingFlag", 1);
  bytes = WriteBlock(list);
  bytes[0] = 2;
  bytes.resize(bytes.size() - 4);  // a version 2 block has no binding flag
  PropertyValues read(kListBoxBlock);
  ASSERT_EQ(ReadBlock(bytes, read), BlockStatus::kOk);
  EXPECT_EQ(read.TextList("Items"), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(read.Bytes("ItemData").size(), 4u);
  EXPECT_EQ(read.Text("DataField"), "field");
  EXPECT_EQ(read.Int("BindingFlag"), 0);
  bytes[0] = 4;
  EXPECT_EQ(ReadBlock(bytes, read), BlockStatus::kNewerVersion);
}

TEST(CoreBlocks, VersionsAboveTheWrittenOneAreRefused) {
  for (const forms::BlockLayout* layout :
       {&kButtonBlock, &kHScrollBarBlock, &kSliderBarBlock, &kTimerBlock}) {
    PropertyValues v(*layout);
    std::vector<uint8_t> bytes = WriteBlock(v);
    bytes[0] = static_cast<uint8_t>(layout->version + 1);
    EXPECT_EQ(ReadBlock(bytes, v), BlockStatus::kNewerVersion) << layout->typeName;
  }
}

// Loading applies the clamps a set applies, for every core type: no stored
// block starts a unit on a choice or size out of its range.
TEST(CoreBlocks, LoadedBlocksKeepEveryClamp) {
  const std::pair<const forms::BlockLayout*, const forms::IntClamps*> kTypes[] = {
      {&kWindowBlock, &kWindowClamps},        {&kLabelBlock, &kLabelClamps},
      {&kButtonBlock, &kButtonClamps},        {&kListBoxBlock, &kListBoxClamps},
      {&kHScrollBarBlock, &kScrollBarClamps}, {&kSliderBarBlock, &kSliderClamps},
  };
  for (const auto& [layout, clamps] : kTypes) {
    EXPECT_EQ(testing_support::FuzzLoadedBlocks(*layout, *clamps, 2000), std::set<int32_t>{})
        << layout->typeName;
  }
}

}  // namespace
