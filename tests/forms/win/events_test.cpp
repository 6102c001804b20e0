// Event dispatch: handlers found through event lists and links, word and
// typed arguments, results, the event source, and the busy rule.

#include <windows.h>

#include <gtest/gtest.h>

#include "EventsForm.h"
#include "forms/events.h"
#include "forms/win/framework.h"
#include "runtime/runtime.h"
#include "runtime/service.h"
#include "tests/forms/win/test_program.h"
#include "tests/forms/win/test_units.h"

namespace {

using namespace testprog;
using testing_support::ExitCodeOf;
using testing_support::ShownMessages;

const rt::Routine kEventsRoutines[] = {EVENTS_FORM_ROUTINES(TESTPROG_ENTRY)};
constexpr uint32_t kOddForm = 0x52010002;

// The forms of data/events.form.
class EventsTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    StartCompiled(kEventsFormTemplate, kEventsFormTemplateSize, kEventsRoutines);
    ASSERT_TRUE(Load());
    Calls().clear();
  }

  bool Raise(uint32_t unit, int32_t event, std::vector<uintptr_t> args,
             forms::WordEvent* out = nullptr) {
    forms::WordEvent e;
    e.formId = kFormId;
    e.unitId = unit;
    e.event = event;
    e.argCount = static_cast<int32_t>(args.size());
    for (size_t i = 0; i < args.size(); ++i) e.args[i] = args[i];
    bool ran = rt::Service(rt::svc::kRaiseEvent, reinterpret_cast<uintptr_t>(&e), 0) != 0;
    if (out) *out = e;
    return ran;
  }
};

TEST_F(EventsTest, HandlersGetTheirArgumentsAndResultsComeBack) {
  ResultOf(0) = {true, 42};
  forms::WordEvent e;
  EXPECT_TRUE(Raise(0x16010001, 0, {7, 8, 9}, &e));
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].args, (std::vector<uintptr_t>{7, 8, 9}));
  EXPECT_EQ(Calls()[0].sourceForm, kFormId);
  EXPECT_EQ(Calls()[0].sourceUnit, 0x16010001u);
  EXPECT_EQ(e.hasResult, 1);
  EXPECT_EQ(e.result, 42u);

  ResultOf(1) = {};  // a handler without a result leaves has-result alone
  EXPECT_TRUE(Raise(0x16010001, -1, {1}, &e));
  EXPECT_EQ(e.hasResult, 0);
}

TEST_F(EventsTest, UnknownEventsRaiseNothing) {
  forms::WordEvent e;
  EXPECT_FALSE(Raise(0x16010001, 9, {}, &e));
  EXPECT_FALSE(Raise(0x16010004, -1, {}, &e));
  EXPECT_EQ(e.hasResult, 0);
  EXPECT_TRUE(Calls().empty());
}

TEST_F(EventsTest, EventLinksOnlyJoinUnitsOfTheSameType) {
  EXPECT_TRUE(Raise(0x16010002, 0, {}));
  EXPECT_TRUE(Raise(0x16010003, 0, {}));
  ASSERT_EQ(Calls().size(), 2u);
  EXPECT_EQ(Calls()[0].routine, 0);               // the linked unit's list
  EXPECT_EQ(Calls()[0].sourceUnit, 0x16010002u);  // but the source is the raiser
  EXPECT_EQ(Calls()[1].routine, 6);
}

TEST_F(EventsTest, NothingIsDeliveredWhileBusy) {
  rt::EnterBusy();
  EXPECT_FALSE(Raise(0x16010001, 0, {}));
  rt::LeaveBusy();
  EXPECT_TRUE(Calls().empty());
}

TEST_F(EventsTest, TheEventSourceIsClearedAfterEveryHandler) {
  static uint32_t outerSourceAfterInner = 1;
  SetAction(0, [] {
    forms::RaiseWordEvent(kFormId, 0x16010003, 0);  // nested
    uint32_t ids[2] = {};
    outerSourceAfterInner = static_cast<uint32_t>(
        rt::Service(rt::svc::kEventSource, reinterpret_cast<uintptr_t>(ids), 0));
  });
  EXPECT_TRUE(Raise(0x16010001, 0, {}));
  EXPECT_EQ(outerSourceAfterInner, 0u);
  EXPECT_EQ(rt::Service(rt::svc::kEventSource, 0, 0), 0u);
  ASSERT_EQ(Calls().size(), 2u);
  EXPECT_EQ(Calls()[1].sourceUnit, 0x16010003u);
}

TEST_F(EventsTest, TypedArgumentsAreWidenedByTheirTypes) {
  forms::TypedEvent e;
  e.formId = kFormId;
  e.unitId = 0x16010001;
  e.event = forms::event::kMain;
  const char* text = "歌曲";
  const uint64_t address = reinterpret_cast<uintptr_t>(text);
  e.args[0] = {0xFFFF, 0, rt::TypeCode::Short, 0};
  e.args[1] = {0x1FF, 0, rt::TypeCode::Byte, 0};
  e.args[2] = {0x89ABCDEF, 0x01234567, rt::TypeCode::Int64, 0};
  e.args[3] = {static_cast<uint32_t>(address), static_cast<uint32_t>(address >> 32),
               rt::TypeCode::Text, 0};
  e.args[4] = {5, 6, 0x00010002, 0};                 // a unit: the form id only
  e.args[5] = {5, 6, 0x00010002, 2};                 // flags ask for both words
  e.args[6] = {0x11, 0x22, rt::TypeCode::Int64, 1};  // flags ask for one word
  e.args[7] = {3, 4, 0x00010003, 1};                 // the menu type always passes two
  e.argCount = 8;
  ResultOf(0) = {true, 0x0000000500000007ull};
  EXPECT_EQ(rt::Service(rt::svc::kRaiseTypedEvent, reinterpret_cast<uintptr_t>(&e), 0), 1u);
  ASSERT_EQ(Calls().size(), 1u);
  const auto& args = Calls()[0].args;
  ASSERT_EQ(args.size(), 11u);
  EXPECT_EQ(static_cast<int32_t>(args[0]), -1);
  EXPECT_EQ(args[1], 255u);
  EXPECT_EQ(args[2], 0x89ABCDEFu);
  EXPECT_EQ(args[3], 0x01234567u);
  EXPECT_EQ(reinterpret_cast<const char*>(args[4]), text);
  EXPECT_EQ(args[5], 5u);
  EXPECT_EQ(args[6], 5u);
  EXPECT_EQ(args[7], 6u);
  EXPECT_EQ(args[8], 0x11u);
  EXPECT_EQ(args[9], 3u);
  EXPECT_EQ(args[10], 4u);
  EXPECT_EQ(e.hasResult, 1);
  EXPECT_EQ(e.resultLow, 7u);
  EXPECT_EQ(e.resultHigh, 5u);
}

using EventErrorsTest = EventsTest;

TEST_F(EventErrorsTest, AnUnknownFormIsFatal) {
  EXPECT_EQ(ExitCodeOf([] { forms::RaiseWordEvent(0x52010099, 0x16010001, 0); }), -1);
  EXPECT_EQ(ShownMessages().back().text, "运行时出错!\r\n\r\n错误信息：未找到引发事件的窗口\r\n");
}

TEST_F(EventErrorsTest, AnUnknownUnitIsFatal) {
  EXPECT_EQ(ExitCodeOf([] { forms::RaiseWordEvent(kFormId, 0x16010099, 0); }), -1);
  EXPECT_NE(ShownMessages().back().text.find("未找到引发事件的窗口组件"), std::string::npos);
}

TEST_F(EventErrorsTest, ATypeThatCannotRaiseEventsIsFatal) {
  EXPECT_EQ(ExitCodeOf([] { forms::RaiseWordEvent(kOddForm, 0x16010009, 0); }), -1);
  EXPECT_NE(ShownMessages().back().text.find("引发事件的窗口组件无效"), std::string::npos);
}

}  // namespace
