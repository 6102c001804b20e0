#include "extunits/blocks.h"

#include <gtest/gtest.h>

#include "runtime/bytes.h"
#include "tests/support/block_checks.h"

namespace {

using forms::BlockStatus;
using forms::PropertyValues;
using forms::ReadBlock;
using forms::WriteBlock;
using namespace extunits;

using testing_support::ExpectPositions;

TEST(ExtensionBlocks, FieldPositionsNameTheirFields) {
  namespace b = cartoonboxfield;
  ExpectPositions(kCartoonBoxBlock, {{b::kBorder, "border"},
                                     {b::kBackColor, "BackColor"},
                                     {b::kPicDrawMode, "PicDrawMode"},
                                     {b::kPenStyle, "PenStyle"},
                                     {b::kDrawRop2, "DrawRop2"},
                                     {b::kPenWidth, "PenWidth"},
                                     {b::kPenColor, "PenColor"},
                                     {b::kBrushStyle, "BrushStyle"},
                                     {b::kBrushColor, "BrushColor"},
                                     {b::kTextColor, "TextColor"},
                                     {b::kTextBackColor, "TextBackColor"},
                                     {b::kFont, "font"},
                                     {b::kPic, "pic"}});
  namespace o = cartoonobjectfield;
  ExpectPositions(kCartoonObjectBlock, {{o::kTextColor, "TextColor"},
                                        {o::kAutoGetTransColor, "AutoGetTransColor"},
                                        {o::kTransparentColor, "TransparentColor"},
                                        {o::kAlpha, "alpha"},
                                        {o::kZoom, "zoom"},
                                        {o::kPlayGif, "PlayGIF"},
                                        {o::kGifDelay, "GIFDelay"},
                                        {o::kGifAutoDestroy, "GIFAutoDestroy"},
                                        {o::kTrendColor, "TrendColor"},
                                        {o::kTrendDepth, "TrendDepth"},
                                        {o::kLight, "light"},
                                        {o::kLayer, "layer"},
                                        {o::kAngle, "angle"},
                                        {o::kRotateFollow, "RotateFollow"},
                                        {o::kExistTime, "ExistTime"},
                                        {o::kCollideAllowed, "CollideAllowed"},
                                        {o::kType, "type"},
                                        {o::kTurnType, "TurnType"},
                                        {o::kText, "text"},
                                        {o::kFont, "font"},
                                        {o::kPicture, "picture"},
                                        {o::kCreateSound, "CreateSound"},
                                        {o::kDestroySound, "DestroySound"},
                                        {o::kCollidedSound, "CollidedSound"}});
  namespace t = translabelfield;
  ExpectPositions(kTransLabelBlock, {{t::kEffect, "Effect"},
                                     {t::kTextColor, "TextColor"},
                                     {t::kAlignment, "Alignment"},
                                     {t::kVertAlignment, "VertAlignment"},
                                     {t::kWordWrap, "WordWrap"},
                                     {t::kFont, "Font"},
                                     {t::kCaption, "Caption"}});
  EXPECT_EQ(ExtensionBlockLayouts().size(), 4u);
  for (const forms::BlockLayout* layout : ExtensionBlockLayouts()) {
    for (size_t i = 0; i < layout->fieldCount; ++i) {
      EXPECT_LE(layout->fields[i].since, layout->version) << layout->typeName << i;
    }
  }
}

TEST(ExtensionBlocks, OldAnimationBoxBlocksHoldTheFirstFieldsAndThePicture) {
  for (uint32_t version : {0u, 1u}) {
    rt::ByteWriter out;
    out.U32(version);
    out.U32(3);
    out.U32(0x00FF00);
    out.U32(1);
    out.CountedBytes(std::vector<uint8_t>{0xFF, 0xD8, 0xFF});
    PropertyValues box(kCartoonBoxBlock);
    ASSERT_EQ(ReadBlock(out.bytes(), box), BlockStatus::kOk) << version;
    EXPECT_EQ(box.Int(cartoonboxfield::kBorder), 3);
    EXPECT_EQ(box.Int(cartoonboxfield::kBackColor), 0x00FF00);
    EXPECT_EQ(box.Int(cartoonboxfield::kPicDrawMode), 1);
    EXPECT_EQ(box.Bytes(cartoonboxfield::kPic).size(), 3u);
    EXPECT_EQ(box.Int(cartoonboxfield::kPenStyle), 1);
    EXPECT_EQ(box.Int(cartoonboxfield::kDrawRop2), 12);
    EXPECT_EQ(box.Int(cartoonboxfield::kBrushColor), 0xFFFFFF);
    EXPECT_EQ(box.Int(cartoonboxfield::kTextBackColor), forms::kSystemColour);
  }
  PropertyValues box(kCartoonBoxBlock);
  box.SetInt("PicDrawMode", 1);
  box.SetBytes("pic", {1, 2});
  std::vector<uint8_t> bytes = WriteBlock(box);
  EXPECT_EQ(bytes.size(), 4u * 12 + 4 + 4 + 2);
  bytes[0] = 3;
  EXPECT_EQ(ReadBlock(bytes, box), BlockStatus::kNewerVersion);
}

TEST(ExtensionBlocks, AnimationObjectFieldsFollowTheirVersions) {
  PropertyValues object(kCartoonObjectBlock);
  EXPECT_EQ(object.Int("zoom"), 1000);
  EXPECT_EQ(object.Int("TrendColor"), 0xFFFFFF);
  EXPECT_EQ(object.Int("TransparentColor"), forms::kSystemColour);
  object.SetInt("type", 5);
  object.SetInt("TurnType", 2);
  object.SetText("text", "蝴蝶");
  object.SetBytes("CollidedSound", {9});
  const std::vector<uint8_t> v3 = WriteBlock(object);

  // Drop the version 3 field, then the version 2 one, keeping everything after.
  std::vector<uint8_t> v2 = v3;
  const size_t turnType = 4 + 4 * 17;
  v2.erase(v2.begin() + turnType, v2.begin() + turnType + 4);
  v2[0] = 2;
  std::vector<uint8_t> v1 = v2;
  v1.erase(v1.begin() + turnType - 4, v1.begin() + turnType);
  v1[0] = 1;

  PropertyValues read(kCartoonObjectBlock);
  ASSERT_EQ(ReadBlock(v2, read), BlockStatus::kOk);
  EXPECT_EQ(read.Int("type"), 5);
  EXPECT_EQ(read.Int("TurnType"), 0);
  EXPECT_EQ(read.Text("text"), "蝴蝶");
  ASSERT_EQ(ReadBlock(v1, read), BlockStatus::kOk);
  EXPECT_EQ(read.Int("type"), 0);
  EXPECT_EQ(read.Text("text"), "蝴蝶");
  EXPECT_EQ(read.Bytes("CollidedSound").size(), 1u);
  ASSERT_EQ(ReadBlock(v3, read), BlockStatus::kOk);
  EXPECT_EQ(read, object);
  std::vector<uint8_t> v4 = v3;
  v4[0] = 4;
  EXPECT_EQ(ReadBlock(v4, read), BlockStatus::kNewerVersion);
}

TEST(ExtensionBlocks, TransparentLabelAndMediaPlayer) {
  PropertyValues label(kTransLabelBlock);
  EXPECT_EQ(label.Text("Caption"), "透明标签");
  EXPECT_EQ(label.Int("VertAlignment"), 1);
  label.SetText("Caption", "音量调节：");
  label.SetInt("WordWrap", 1);
  std::vector<uint8_t> bytes = WriteBlock(label);
  EXPECT_EQ(bytes.size(), 4u * 6 + 4 + 4 + std::string("音量调节：").size());
  PropertyValues read(kTransLabelBlock);
  ASSERT_EQ(ReadBlock(bytes, read), BlockStatus::kOk);
  EXPECT_EQ(read, label);
  bytes[0] = 2;
  EXPECT_EQ(ReadBlock(bytes, read), BlockStatus::kNewerVersion);

  PropertyValues media(kMediaPlayBlock);
  EXPECT_EQ(media.size(), 0u);
  EXPECT_TRUE(WriteBlock(media).empty());
  EXPECT_EQ(kMediaPlayBlock.typeCode, 0x00060006u);
}

}  // namespace
