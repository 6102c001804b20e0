#include "runtime/value.h"

#include <cmath>
#include <cstring>
#include <string>

#include "runtime/heap.h"
#include "runtime/text936.h"
#include "tests/support/runtime_fixture.h"

namespace {

using namespace rt;
using testing_support::ExitCodeOf;
using testing_support::ShownMessages;

class ValueTest : public testing_support::RuntimeTest {};

std::string TextAndFree(char* text) {
  std::string s = text ? text : "<null>";
  Free(text);
  return s;
}

std::string ToText(const ArgRecord& r) { return TextAndFree(ValueToText(r)); }

TEST_F(ValueTest, AddressesRoundTripThroughRecordsAndAccessorsCheckTheType) {
  static const char text[] = "abc";
  ArgRecord r = MakeText(text);
  EXPECT_EQ(TextOf(r), text);
  EXPECT_EQ(ByteSetOf(r), nullptr);
  EXPECT_EQ(ArrayOf(r), nullptr);
  if (sizeof(void*) == 4) {
    EXPECT_EQ(r.high, 0u);
  }

  ArgRecord unit = MakeUnitRef(0x52010001, 0x16010005, 0x00060006);
  EXPECT_EQ(unit.low, 0x52010001u);
  EXPECT_EQ(unit.high, 0x16010005u);
  EXPECT_EQ(TextOf(unit), nullptr);

  uint32_t block[3] = {1, 2, 3};
  ArgRecord array = MakeArray(TypeCode::Int, block);
  EXPECT_EQ(array.type, TypeCode::Int | kArrayBit);
  EXPECT_EQ(ArrayOf(array), block);
  EXPECT_TRUE(IsOmitted(ArgRecord{}));
}

TEST_F(ValueTest, CopyHelpersReturnNullForEmptyInput) {
  EXPECT_EQ(CopyText(nullptr), nullptr);
  EXPECT_EQ(CopyText(""), nullptr);
  EXPECT_EQ(CopyCountedText("abc", 0), nullptr);
  EXPECT_EQ(CopyCountedText("abc", -4), nullptr);
  EXPECT_EQ(MakeByteSet("abc", 0), nullptr);
  EXPECT_EQ(LiveBlockCount(), 0);

  EXPECT_EQ(TextAndFree(CopyText("单曲循环")), "单曲循环");
  EXPECT_EQ(TextAndFree(CopyCountedText("abcdef", 3)), "abc");
  // The counted copy takes the bytes as given, NUL included.
  char* counted = CopyCountedText("a\0b", 3);
  EXPECT_EQ(std::memcmp(counted, "a\0b\0", 4), 0);
  Free(counted);

  void* set = MakeByteSet("xyz", 3);
  ByteSpan bytes = ByteSetBytes(set);
  ASSERT_EQ(bytes.size, 3u);
  EXPECT_EQ(std::memcmp(bytes.data, "xyz", 3), 0);
  EXPECT_EQ(static_cast<uint32_t*>(set)[0], 1u);
  Free(set);

  const uint32_t emptyBlock[2] = {1, 0};
  EXPECT_EQ(ByteSetBytes(emptyBlock).size, 0u);
  EXPECT_EQ(ByteSetBytes(emptyBlock).data, nullptr);
  EXPECT_EQ(LiveBlockCount(), 0);
}

TEST_F(ValueTest, NumericSizes) {
  EXPECT_EQ(NumericSize(TypeCode::Byte), 1);
  EXPECT_EQ(NumericSize(TypeCode::Short), 2);
  EXPECT_EQ(NumericSize(TypeCode::Int), 4);
  EXPECT_EQ(NumericSize(TypeCode::Float), 4);
  EXPECT_EQ(NumericSize(TypeCode::Int64), 8);
  EXPECT_EQ(NumericSize(TypeCode::Double), 8);
  EXPECT_EQ(NumericSize(TypeCode::Bool), 0);
  EXPECT_EQ(NumericSize(TypeCode::Text), 0);
  EXPECT_EQ(NumericSize(TypeCode::DateTime), 0);
}

TEST_F(ValueTest, ValueToIntWidensAndTruncates) {
  EXPECT_EQ(ValueToInt(MakeByte(0xFF)), 255);
  EXPECT_EQ(ValueToInt(MakeShort(-1)), -1);
  ArgRecord shortBits{0xFFFF, 0, TypeCode::Short};
  EXPECT_EQ(ValueToInt(shortBits), -1);
  EXPECT_EQ(ValueToInt(MakeInt(-123456)), -123456);
  EXPECT_EQ(ValueToInt(MakeInt64(0x123456789LL)), 0x23456789);
  EXPECT_EQ(ValueToInt(MakeDouble(-2.7)), -2);
  EXPECT_EQ(ValueToInt(MakeFloat(3.99f)), 3);
  EXPECT_EQ(ValueToInt(MakeDouble(1e20)), INT32_MIN);  // does not fit
  EXPECT_EQ(ValueToInt(MakeDouble(std::nan(""))), INT32_MIN);
}

TEST_F(ValueTest, ValueToIntOfANonNumberIsFatal) {
  for (ArgRecord r : {MakeText("30"), MakeBool(true), ArgRecord{}}) {
    EXPECT_EQ(ExitCodeOf([&] { ValueToInt(r); }), -1);
  }
  ASSERT_EQ(ShownMessages().size(), 3u);
  EXPECT_EQ(ShownMessages()[0].text, "运行时出错!\r\n\r\n错误信息：欲转换数据类型不是数值\r\n");
}

TEST_F(ValueTest, NumbersAndLogicalsAsText) {
  EXPECT_EQ(ToText(MakeByte(255)), "255");
  EXPECT_EQ(ToText(MakeShort(-2)), "-2");
  EXPECT_EQ(ToText(MakeInt(30)), "30");
  EXPECT_EQ(ToText(MakeInt64(-9000000000LL)), "-9000000000");
  EXPECT_EQ(ToText(MakeFloat(0.1f)), "0.1");
  EXPECT_EQ(ToText(MakeFloat(1234567.0f)), "1.23457e+06");
  EXPECT_EQ(ToText(MakeFloat(16777216.0f)), "1.67772e+07");
  EXPECT_EQ(ToText(MakeDouble(0.1)), "0.1");
  EXPECT_EQ(ToText(MakeDouble(1.0 / 3.0)), "0.3333333333333");
  EXPECT_EQ(ToText(MakeDouble(-2.5)), "-2.5");
  EXPECT_EQ(ToText(MakeDouble(1e20)), "1e+20");
  EXPECT_EQ(ToText(MakeBool(true)), "真");
  EXPECT_EQ(ToText(MakeBool(false)), "假");
  EXPECT_EQ(ToText(MakeText("歌曲")), "歌曲");
  EXPECT_EQ(ToText(MakeText(nullptr)), "<null>");
  EXPECT_EQ(ToText(MakeUnitRef(1, 2, 0x00010001)), "<null>");
}

TEST_F(ValueTest, DateTimeTextLeavesOutTrailingZeroParts) {
  EXPECT_EQ(ToText(MakeDateTime(0.0)), "1899年12月30日");
  EXPECT_EQ(ToText(MakeDateTime(2.0)), "1900年1月1日");
  EXPECT_EQ(ToText(MakeDateTime(45000.5)), "2023年3月15日12时");
  EXPECT_EQ(ToText(MakeDateTime(45000.0 + 750.0 / 1440)), "2023年3月15日12时30分");
  EXPECT_EQ(ToText(MakeDateTime(45000.0 + 45005.0 / 86400)), "2023年3月15日12时30分5秒");
  // Before 1899 the fraction still counts forward from midnight.
  EXPECT_EQ(ToText(MakeDateTime(-1.25)), "1899年12月29日6时");
  // Clamped to 1 January 100 .. 31 December 9999.
  EXPECT_EQ(ToText(MakeDateTime(-1e9)), "100年1月1日");
  EXPECT_EQ(ToText(MakeDateTime(1e9)), "9999年12月31日");
  EXPECT_EQ(ToText(MakeDateTime(36526.0)), "2000年1月1日");
  EXPECT_EQ(ToText(MakeDateTime(36585.0)), "2000年2月29日");
}

TEST_F(ValueTest, FreeingArraysFreesTextAndByteSetElementsFirst) {
  // One dimension of 3 texts, one of them null.
  void* block = Allocate(8 + 3 * sizeof(void*));
  uint32_t header[2] = {1, 3};
  std::memcpy(block, header, 8);
  char* elements[3] = {CopyText("a"), nullptr, CopyText("b")};
  std::memcpy(static_cast<char*>(block) + 8, elements, sizeof elements);
  EXPECT_EQ(LiveBlockCount(), 3);
  FreeValue(reinterpret_cast<uintptr_t>(block), TypeCode::Text | kArrayBit);
  EXPECT_EQ(LiveBlockCount(), 0);

  // Two dimensions 2 x 2 of ints: only the block itself.
  void* ints = Allocate(12 + 16);
  uint32_t dims[3] = {2, 2, 2};
  std::memcpy(ints, dims, 12);
  EXPECT_EQ(ArrayElementCount(ints), 4u);
  FreeArray(ints, TypeCode::Int);
  EXPECT_EQ(LiveBlockCount(), 0);

  FreeValue(reinterpret_cast<uintptr_t>(CopyText("x")), TypeCode::Text);
  FreeValue(0, TypeCode::ByteSet);
  EXPECT_EQ(LiveBlockCount(), 0);
}

TEST_F(ValueTest, MakeArrayPrivateCopiesOnlyConstantBlocks) {
  static const uint32_t constant[6] = {2, 2, 1, 7, 8, 99};
  AddConstantRange(constant, 5 * sizeof(uint32_t));  // the 99 lies outside
  void* block = const_cast<uint32_t*>(constant);
  MakeArrayPrivate(4, &block);
  ASSERT_NE(block, constant);
  EXPECT_EQ(std::memcmp(block, constant, 20), 0);
  void* same = block;
  MakeArrayPrivate(4, &block);  // already private
  EXPECT_EQ(block, same);
  Free(block);

  // A header that claims more than the constant data holds is cut there.
  static const uint32_t lying[3] = {1, 1000, 5};
  AddConstantRange(lying, sizeof lying);
  void* cut = const_cast<uint32_t*>(lying);
  MakeArrayPrivate(4, &cut);
  EXPECT_EQ(std::memcmp(cut, lying, sizeof lying), 0);
  Free(cut);
  EXPECT_EQ(LiveBlockCount(), 0);
}

// Texts are cut and split between characters only ("誠" is D5 5C).
TEST(Text936, CutsAndSplitsBetweenCharacters) {
  const std::string tail = "a誠b";
  EXPECT_EQ(rt::WholeCharactersWithin(tail, 2), 1u);
  EXPECT_EQ(rt::WholeCharactersWithin(tail, 3), 3u);
  EXPECT_EQ(rt::WholeCharactersWithin(tail, 99), 4u);
  EXPECT_EQ(rt::WholeCharactersWithin("", 5), 0u);
  EXPECT_EQ(rt::LastCharacter("x\\誠", '\\'), 1u);
  EXPECT_EQ(rt::LastCharacter("誠", '\\'), std::string_view::npos);
  EXPECT_EQ(rt::LastCharacter("\\\xD5", '\\'), 0u);  // a lead byte that ends the text stands alone
  EXPECT_EQ(rt::LastCharacter("\xD5\\", '\\'), std::string_view::npos);
}

}  // namespace
