// The runtime heap with its constant ranges, and the fatal error path.

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "runtime/fatal.h"
#include "runtime/heap.h"
#include "runtime/runtime.h"
#include "runtime/seams.h"
#include "tests/support/runtime_fixture.h"

namespace {

using namespace rt;
using testing_support::ExitCodeOf;
using testing_support::ShownMessages;

class HeapTest : public testing_support::RuntimeTest {};
class FatalTest : public testing_support::RuntimeTest {};

const char kConstants[] = "0123456789ABCDEF";

TEST_F(HeapTest, ConstantsAreNeverFreedOrResizedInPlace) {
  AddConstantRange(kConstants, 16);
  EXPECT_TRUE(IsConstant(kConstants));
  EXPECT_TRUE(IsConstant(kConstants + 15));
  EXPECT_FALSE(IsConstant(kConstants + 16));
  Free(const_cast<char*>(kConstants + 3));  // harmless

  // Growing copies only up to the end of the constant range.
  auto* grown = static_cast<char*>(Reallocate(const_cast<char*>(kConstants + 10), 100));
  EXPECT_NE(grown, kConstants + 10);
  EXPECT_EQ(std::memcmp(grown, "ABCDEF", 6), 0);
  EXPECT_EQ(std::string(kConstants), "0123456789ABCDEF");
  Free(grown);

  // Shrinking copies only the new size.
  auto* shrunk = static_cast<char*>(Reallocate(const_cast<char*>(kConstants), 4));
  EXPECT_EQ(std::memcmp(shrunk, "0123", 4), 0);
  Free(shrunk);
  EXPECT_EQ(LiveBlockCount(), 0);
}

TEST_F(HeapTest, ReallocateKeepsContentsAndNullAllocates) {
  auto* block = static_cast<char*>(Reallocate(nullptr, 4));
  std::memcpy(block, "abcd", 4);
  block = static_cast<char*>(Reallocate(block, 4096));
  EXPECT_EQ(std::memcmp(block, "abcd", 4), 0);
  Free(block);
  Free(nullptr);
  EXPECT_EQ(LiveBlockCount(), 0);
}

TEST_F(HeapTest, AllocationFailureIsFatalWithTheSize) {
  FailAllocationAfter(2);
  void* first = Allocate(10);
  EXPECT_EQ(ExitCodeOf([] { Allocate(1234); }), -1);
  Free(first);
  EXPECT_EQ(ExitCodeOf([] { Allocate(-5); }), -1);
  void* block = Allocate(8);
  FailAllocationAfter(1);
  EXPECT_EQ(ExitCodeOf([&] { Reallocate(block, 77); }), -1);
  Free(block);
  ASSERT_EQ(ShownMessages().size(), 3u);
  EXPECT_EQ(ShownMessages()[0].text, "运行时出错!\r\n\r\n错误信息：分配 1234 字节内存失败!\r\n");
  EXPECT_NE(ShownMessages()[1].text.find("分配 -5 字节内存失败!"), std::string::npos);
  EXPECT_NE(ShownMessages()[2].text.find("分配 77 字节"), std::string::npos);
}

// A failed C++ allocation names the size asked for, once the new handler
// had its chance to make room.
TEST_F(HeapTest, FailedOperatorNewIsFatalWithTheSize) {
  static int handlerCalls = 0;
  handlerCalls = 0;
  std::set_new_handler([] {
    ++handlerCalls;
    std::set_new_handler(nullptr);
  });
  auto refuse = [](size_t) -> void* { return nullptr; };
  EXPECT_EQ(ExitCodeOf([&] { GuardCallback([&] { return NewBlock(123456, refuse); }); }), -1);
  EXPECT_EQ(handlerCalls, 1);
  ASSERT_EQ(ShownMessages().size(), 1u);
  EXPECT_EQ(ShownMessages()[0].text, "运行时出错!\r\n\r\n错误信息：分配 123456 字节内存失败!\r\n");
  void* block = NewBlock(0, std::malloc);  // a block of its own even for 0 bytes
  EXPECT_NE(block, nullptr);
  std::free(block);
}

std::string MessageText(const char* text, int32_t code, size_t capacity = 256) {
  std::vector<char> out(capacity + 1, '#');
  FatalMessageText(text, code, out.data(), capacity);
  EXPECT_EQ(out[capacity], '#') << "written past the buffer";
  return out.data();
}

TEST_F(FatalTest, MessageHasCodeAndTextLinesOnlyWhenSet) {
  EXPECT_EQ(MessageText("坏了", 0), "运行时出错!\r\n\r\n错误信息：坏了\r\n");
  EXPECT_EQ(MessageText("", 7), "运行时出错!\r\n\r\n错误代码：7\r\n\r\n");
  EXPECT_EQ(MessageText(nullptr, -3), "运行时出错!\r\n\r\n错误代码：-3\r\n\r\n");
  EXPECT_EQ(MessageText("x", 2), "运行时出错!\r\n\r\n错误代码：2\r\n\r\n错误信息：x\r\n");
  // A long text is cut to the buffer, which stays terminated.
  EXPECT_EQ(MessageText(std::string(500, 'y').c_str(), 0, 40).size(), 39u);
}

TEST_F(FatalTest, ShowsAStopBoxWithoutOwnerClearsTheExitRoutineAndExitsMinusOne) {
  static int exitRoutineRuns = 0;
  exitRoutineRuns = 0;
  RegisterExitRoutine([] { ++exitRoutineRuns; });
  EXPECT_EQ(ExitCodeOf([] { FatalError("载入启动窗口失败"); }), -1);
  ASSERT_EQ(ShownMessages().size(), 1u);
  EXPECT_EQ(ShownMessages()[0].caption, "错误");
  EXPECT_EQ(ShownMessages()[0].style, kMbOk | kMbIconStop);
  EXPECT_EQ(ShownMessages()[0].owner, nullptr);
  EXPECT_EQ(exitRoutineRuns, 0);
  EXPECT_GT(BusyCount(), 0);
}

TEST_F(FatalTest, RuntimeErrorHelperUsesTheTableAndShowsTheNumber) {
  EXPECT_EQ(ExitCodeOf([] { RuntimeError(4); }), -1);
  EXPECT_EQ(ShownMessages().back().text,
            "运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1\r\n");
  EXPECT_STREQ(RuntimeErrorText(1), "数组成员引用下标超出定义范围");
  EXPECT_STREQ(RuntimeErrorText(11), "所提供参数的数据类型不符合要求");
  EXPECT_EQ(RuntimeErrorText(0), nullptr);
  EXPECT_EQ(RuntimeErrorText(12), nullptr);
  EXPECT_EQ(ExitCodeOf([] { RuntimeError(99); }), -1);
  EXPECT_EQ(ShownMessages().back().text, "运行时出错!\r\n\r\n错误代码：99\r\n\r\n");
}

// The hook's own fatal error must not call it again and must show the box.
int hookCalls = 0;
int32_t hookAnswer = 0;
int32_t Hook(int32_t code, const char* text) {
  ++hookCalls;
  EXPECT_EQ(code, 5);
  EXPECT_STREQ(text, "数据或数组类型不匹配");
  if (hookCalls == 2) FatalError("inside", 0);
  return hookAnswer;
}

TEST_F(FatalTest, ErrorHookMayTellTheUserButTheProgramStillEnds) {
  hookCalls = 0;
  hookAnswer = 1;
  SetErrorHook(Hook);
  EXPECT_EQ(ExitCodeOf([] { RuntimeError(5); }), -1);
  EXPECT_EQ(hookCalls, 1);
  EXPECT_TRUE(ShownMessages().empty());

  hookAnswer = 0;
  EXPECT_EQ(ExitCodeOf([] { RuntimeError(5); }), -1);
  EXPECT_EQ(hookCalls, 2);
  ASSERT_EQ(ShownMessages().size(), 1u);
  EXPECT_NE(ShownMessages()[0].text.find("inside"), std::string::npos);
}

}  // namespace
