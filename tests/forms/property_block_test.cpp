#include "forms/property_block.h"

#include <gtest/gtest.h>

#include <cstring>

#include "runtime/bytes.h"

namespace {

using namespace forms;

// One field of every kind, some added by later versions.
const FieldLayout kFields[] = {
    IntField("Style", 2),    TextField("Caption", "标签"), BytesField("Picture"),
    IntField("Later", 7, 2), TextListField("Items", 2),    TextField("Newest", "n", 3),
};
const BlockLayout kLayout = MakeBlockLayout(0x00050001, "Sample", 3, kFields);
enum : size_t { kStyle, kCaption, kPicture, kLater, kItems, kNewest };

const FieldLayout kNoFields[1] = {IntField("unused", 0)};
const BlockLayout kEmptyLayout = {0x00060006, "Keeps nothing", 0, kNoFields, 0};

// A block of the given version holding the fields that version stores.
std::vector<uint8_t> Block(uint32_t version, const std::string& caption = "ab") {
  rt::ByteWriter out;
  out.U32(version);
  out.I32(-3);
  out.CountedText(caption);
  out.CountedBytes(std::vector<uint8_t>{1, 2, 3});
  if (version >= 2) {
    out.I32(40);
    const uint8_t count[2] = {2, 0};
    out.Bytes(count, 2);
    out.CountedText("x");
    out.CountedText("yz");
  }
  if (version >= 3) out.CountedText("new");
  return out.Take();
}

PropertyValues Filled() {
  PropertyValues v(kLayout);
  v.SetInt(kStyle, -3);
  v.SetText(kCaption, "ab");
  v.SetBytes(kPicture, {1, 2, 3});
  v.SetInt(kLater, 40);
  v.SetTextList(kItems, {"x", "yz"});
  v.SetText(kNewest, "new");
  return v;
}

void ExpectDefaults(const PropertyValues& v) {
  EXPECT_EQ(v, PropertyValues(kLayout));
  EXPECT_EQ(v.Int(kStyle), 2);
  EXPECT_EQ(v.Text(kCaption), "标签");
  EXPECT_TRUE(v.Bytes(kPicture).empty());
  EXPECT_EQ(v.Int(kLater), 7);
  EXPECT_TRUE(v.TextList(kItems).empty());
  EXPECT_EQ(v.Text(kNewest), "n");
}

TEST(PropertyBlock, EmptyBlocksKeepTheDefaults) {
  PropertyValues v = Filled();
  EXPECT_EQ(ReadBlock(nullptr, 0, v), BlockStatus::kOk);
  ExpectDefaults(v);
  v = Filled();
  v.Reset();
  ExpectDefaults(v);
}

TEST(PropertyBlock, WritingGivesTheVersionThenEveryFieldAndReadsBack) {
  const PropertyValues filled = Filled();
  std::vector<uint8_t> bytes = WriteBlock(filled);
  EXPECT_EQ(bytes, Block(3));
  PropertyValues read(kLayout);
  ASSERT_EQ(ReadBlock(bytes, read), BlockStatus::kOk);
  EXPECT_EQ(read, filled);
  const size_t caption = 4 + std::strlen("标签");
  EXPECT_EQ(WriteBlock(PropertyValues(kLayout)).size(), 4 + 4 + caption + 4 + 4 + 2 + 5);
}

TEST(PropertyBlock, FieldsNewerThanTheBlockKeepTheirDefaults) {
  PropertyValues v = Filled();
  std::vector<uint8_t> old = Block(1);
  old.push_back(0xEE);  // bytes after the last field are left alone
  ASSERT_EQ(ReadBlock(old, v), BlockStatus::kOk);
  EXPECT_EQ(v.Int(kStyle), -3);
  EXPECT_EQ(v.Text(kCaption), "ab");
  EXPECT_EQ(v.Bytes(kPicture), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(v.Int(kLater), 7);
  EXPECT_TRUE(v.TextList(kItems).empty());
  EXPECT_EQ(v.Text(kNewest), "n");

  ASSERT_EQ(ReadBlock(Block(2), v), BlockStatus::kOk);
  EXPECT_EQ(v.Int(kLater), 40);
  EXPECT_EQ(v.TextList(kItems), (std::vector<std::string>{"x", "yz"}));
  EXPECT_EQ(v.Text(kNewest), "n");
}

TEST(PropertyBlock, NewerVersionsAreRefusedWithTheDefaultsKept) {
  PropertyValues v = Filled();
  EXPECT_EQ(ReadBlock(Block(4), v), BlockStatus::kNewerVersion);
  ExpectDefaults(v);
  std::vector<uint8_t> negative = Block(3);
  negative[3] = 0x80;  // a version word with its top bit set is far above, not below
  EXPECT_EQ(ReadBlock(negative, v), BlockStatus::kNewerVersion);
}

TEST(PropertyBlock, EveryTruncationIsRefused) {
  const std::vector<uint8_t> whole = Block(3);
  for (size_t n = 1; n < whole.size(); ++n) {
    std::vector<uint8_t> cut(whole.begin(), whole.begin() + n);  // exact size for ASan
    PropertyValues v = Filled();
    EXPECT_EQ(ReadBlock(cut, v), BlockStatus::kTruncated) << "length " << n;
    ExpectDefaults(v);
  }
}

TEST(PropertyBlock, LengthsAndCountsBeyondTheBlockAreRefused) {
  PropertyValues v(kLayout);
  std::vector<uint8_t> b = Block(3);
  b[8] = 0xFF;  // the caption's length
  b[11] = 0xFF;
  EXPECT_EQ(ReadBlock(b, v), BlockStatus::kTruncated);

  const size_t count = 4 + 4 + 6 + 7 + 4;  // where the item count starts
  b = Block(3);
  b[count] = 0x00;
  b[count + 1] = 0x40;  // 16384 texts in a few bytes
  EXPECT_EQ(ReadBlock(b, v), BlockStatus::kTruncated);

  rt::ByteWriter wide;  // the 32-bit count form with a huge count
  wide.U32(2);
  wide.I32(0);
  wide.CountedText("");
  wide.CountedBytes(nullptr, 0);
  wide.I32(0);
  const uint8_t escape[2] = {0xFF, 0xFF};
  wide.Bytes(escape, 2);
  wide.U32(0xFFFFFFFF);
  EXPECT_EQ(ReadBlock(wide.bytes(), v), BlockStatus::kTruncated);
  ExpectDefaults(v);
}

TEST(PropertyBlock, TextsEndAtTheirFirstZeroByte) {
  PropertyValues v(kLayout);
  std::vector<uint8_t> b = Block(3, std::string("ab\0cd", 5));
  ASSERT_EQ(ReadBlock(b, v), BlockStatus::kOk);
  EXPECT_EQ(v.Text(kCaption), "ab");
  EXPECT_EQ(v.Bytes(kPicture), (std::vector<uint8_t>{1, 2, 3}));  // read after all 5 bytes
  EXPECT_EQ(v.Text(kNewest), "new");

  PropertyValues list(kLayout);
  list.SetTextList(kItems, {std::string("p\0q", 3), "r"});
  ASSERT_EQ(ReadBlock(WriteBlock(list), v), BlockStatus::kOk);
  EXPECT_EQ(v.TextList(kItems), (std::vector<std::string>{"p", "r"}));
}

TEST(PropertyBlock, LongTextListsTakeTheWideCount) {
  PropertyValues v(kLayout);
  for (size_t count : {size_t{0xFFFE}, size_t{0xFFFF}, size_t{0x10001}}) {
    v.SetTextList(kItems, std::vector<std::string>(count, "t"));
    std::vector<uint8_t> bytes = WriteBlock(v);
    const size_t at = 4 + 4 + (4 + std::strlen("标签")) + 4 + 4;
    const bool wide = count >= 0xFFFF;
    EXPECT_EQ(bytes.size(), at + 2 + (wide ? 4 : 0) + count * 5 + 5) << count;
    EXPECT_EQ(bytes[at] == 0xFF && bytes[at + 1] == 0xFF, wide) << count;
    PropertyValues read(kLayout);
    ASSERT_EQ(ReadBlock(bytes, read), BlockStatus::kOk) << count;
    EXPECT_EQ(read, v) << count;
  }
}

TEST(PropertyBlock, StoreAnswersByIndexAndByName) {
  PropertyValues v(kLayout);
  EXPECT_TRUE(v.SetInt("Later", 9));
  EXPECT_EQ(v.Int(kLater), 9);
  EXPECT_TRUE(v.SetText("Caption", "c"));
  EXPECT_EQ(v.Text("Caption"), "c");
  EXPECT_TRUE(v.SetBytes("Picture", {7}));
  EXPECT_EQ(v.Bytes("Picture").size(), 1u);
  EXPECT_EQ(kLayout.FieldIndex("Items"), 4);
  EXPECT_EQ(kLayout.FieldIndex("items"), -1);  // names are exact

  EXPECT_FALSE(v.SetInt("Caption", 1));  // another kind: nothing changes
  EXPECT_FALSE(v.SetText(kStyle, "x"));
  EXPECT_FALSE(v.SetInt("Missing", 1));
  EXPECT_FALSE(v.SetInt(99, 1));
  EXPECT_EQ(v.Int("Caption"), 0);
  EXPECT_EQ(v.Text(kStyle), "");
  EXPECT_TRUE(v.Bytes("Missing").empty());
  EXPECT_TRUE(v.TextList(99).empty());
  EXPECT_EQ(v.Text(kCaption), "c");
}

TEST(PropertyBlock, TypesWithoutFieldsWriteNothingAndReadAnything) {
  PropertyValues v(kEmptyLayout);
  EXPECT_TRUE(WriteBlock(v).empty());
  const uint8_t junk[3] = {9, 9, 9};
  EXPECT_EQ(ReadBlock(junk, sizeof junk, v), BlockStatus::kOk);
  EXPECT_EQ(v.size(), 0u);
}

}  // namespace
