// The core commands that need no window, called as the program calls them:
// a zeroed result, the argument count and the records.

#include "commands/core_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/heap.h"
#include "runtime/seams.h"
#include "tests/support/runtime_fixture.h"

namespace {

using rt::ArgRecord;

class CoreCommandsTest : public testing_support::RuntimeTest {};

ArgRecord Call(rt::CommandFn command, std::vector<ArgRecord> args) {
  ArgRecord result;
  command(&result, static_cast<int32_t>(args.size()), args.data());
  return result;
}

// The text a command returned ("<null>" for the empty text), freed.
std::string TextResult(rt::CommandFn command, std::vector<ArgRecord> args) {
  char* text = const_cast<char*>(rt::TextOf(Call(command, std::move(args))));
  std::string s = text ? text : "<null>";
  rt::Free(text);
  return s;
}

TEST_F(CoreCommandsTest, NumbersAndTextsConvert) {
  const std::pair<ArgRecord, int32_t> cases[] = {
      {rt::MakeText("３０"), 30},   {rt::MakeText("　－５"), -5},
      {rt::MakeText(" \t-7x"), -7}, {rt::MakeText("4\xA3"), 4},
      {rt::MakeText(nullptr), 0},   {rt::MakeText("99999999999"), INT32_MAX},
      {rt::MakeDouble(-2.7), -2},   {rt::MakeInt64(0x100000005), 5},
      {rt::MakeDateTime(3.0), 0},
  };
  for (const auto& [value, expected] : cases) {
    EXPECT_EQ(static_cast<int32_t>(Call(commands::ToInteger, {value}).low), expected) << expected;
  }
  const char* mode = "单曲循环模式:";
  for (const auto& [n, left] : std::vector<std::pair<int32_t, std::string>>{
           {4, "单曲"}, {3, "单\xC7"}, {100, mode}, {0, "<null>"}, {-3, "<null>"}}) {
    EXPECT_EQ(TextResult(commands::TextLeft, {rt::MakeText(mode), rt::MakeInt(n)}), left) << n;
  }
  const uint8_t byteSet[] = {1, 0, 0, 0, 5, 0, 0, 0, 'a', 'b', 0, 'c', 'd'};
  uint32_t ints[] = {1, 2, 0x34333231, 0x00003635};  // "123456" then zeros
  EXPECT_EQ(TextResult(commands::ToText, {rt::MakeByteSetValue(byteSet)}), "ab");
  EXPECT_EQ(TextResult(commands::ToText, {rt::MakeArray(rt::TypeCode::Int, ints)}), "123456");
  EXPECT_EQ(rt::LiveBlockCount(), 0);
}

struct Box {
  std::string text, caption;
  uint32_t style;
};
Box shown;
int32_t pressed = 0;

int32_t RecordBox(void*, const char* text, const char* caption, uint32_t style) {
  shown = {text, caption, style};
  return pressed;
}

TEST_F(CoreCommandsTest, ShowMessageDefaultsCaptionAddsTaskModalAndMapsButtons) {
  rt::SetMessageBoxSeam(RecordBox);
  const struct {
    ArgRecord content;
    uint32_t flags;
    ArgRecord caption;
    int32_t button;
    Box box;
    int32_t result;
  } cases[] = {
      {rt::MakeText("hi"), 0, {}, 1, {"hi", "信息：", 0x2000}, 0},
      {rt::MakeInt(-5), 0x24, rt::MakeText("问"), 7, {"-5", "问", 0x2024}, 6},
      {rt::MakeBool(true), 0x1001, {}, 2, {"真", "信息：", 0x1001}, 1},
      {rt::MakeUnitRef(1, 2, 3), 3, rt::MakeText(nullptr), 8, {"", "", 0x2003}, 0},
  };
  for (const auto& c : cases) {
    pressed = c.button;
    const ArgRecord result =
        Call(commands::ShowMessage, {c.content, rt::MakeInt(c.flags), c.caption});
    EXPECT_EQ(shown.text + "|" + shown.caption, c.box.text + "|" + c.box.caption);
    EXPECT_EQ(shown.style, c.box.style) << c.box.text;
    EXPECT_EQ(static_cast<int32_t>(result.low), c.result) << c.box.text;
  }
  // Ctrl 1, Shift 2, Alt 4 become MOD_CONTROL, MOD_SHIFT, MOD_ALT; others pass.
  for (const auto& [value, windows] : {std::pair{4, 1u}, {1, 2u}, {2, 4u}, {7, 7u}, {8, 8u}}) {
    EXPECT_EQ(commands::HotKeyModifiers(value), windows) << value;
  }
}

}  // namespace
