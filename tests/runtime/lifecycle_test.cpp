// The program image, libraries, services and the shutdown sequence.

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "runtime/fatal.h"
#include "runtime/heap.h"
#include "runtime/file_names.h"
#include "runtime/runtime.h"
#include "runtime/service.h"
#include "tests/support/runtime_fixture.h"

namespace {

using namespace rt;
using testing_support::ExitCodeOf;
using testing_support::ShownMessages;

std::vector<std::string> events;

intptr_t NotifyA(int32_t code, uintptr_t arg1, uintptr_t) {
  events.push_back("A" + std::to_string(code));
  EXPECT_EQ(arg1, code == kNotifyStart ? reinterpret_cast<uintptr_t>(&Service) : 0u);
  return 0;
}
intptr_t NotifyC(int32_t code, uintptr_t, uintptr_t) {
  events.push_back("C" + std::to_string(code));
  return -1;
}

const UnitTypeRecord kTypes[3] = {
    {"窗口", "window", {}, 0xD0, {}, 0, nullptr, nullptr, {}},
    {},  // empty slot
    {"时钟", "Timer", {}, 0x80008040, {}, 1, nullptr, nullptr, {}},
};

LibraryDescriptor MakeLibrary(NotifyFn notify, uint32_t typeCount, const UnitTypeRecord* types) {
  LibraryDescriptor d{};
  d.formatMarker = kLibraryFormatMarker;
  d.typeCount = typeCount;
  d.types = types;
  d.notify = notify;
  return d;
}

const LibraryDescriptor kLibA = MakeLibrary(NotifyA, 3, kTypes);
const LibraryDescriptor kLibB = MakeLibrary(nullptr, 0, nullptr);  // never notified
const LibraryDescriptor kLibC = MakeLibrary(NotifyC, 0, nullptr);
const LibraryDescriptor* const kLibraries[3] = {&kLibA, &kLibB, &kLibC};
const char kConstantData[] = "constant";

ProgramHeader MakeHeader() {
  ProgramHeader h{};
  h.formatValue = 3;
  h.keptPlusOne = 0x100a4;
  h.constantData = kConstantData;
  h.constantSize = sizeof kConstantData;
  h.libraryCount = 3;
  h.libraries = kLibraries;
  return h;
}

class LifecycleTest : public testing_support::RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    events.clear();
    AdoptProgram(header_);
  }
  ProgramHeader header_ = MakeHeader();
};

TEST_F(LifecycleTest, AdoptingTheProgramKeepsHeaderWordsAndTheConstantRange) {
  EXPECT_EQ(HeaderWord(0), 3u);
  EXPECT_EQ(HeaderWord(2), 0x100a5u);
  EXPECT_EQ(Service(svc::kHeaderWord0, 0, 0), 3u);
  EXPECT_TRUE(IsConstant(kConstantData + 3));
}

TEST_F(LifecycleTest, LibrariesAreNotifiedInIndexOrderWhenTheyHaveANotifyFunction) {
  NotifyLibrariesStart();
  EXPECT_EQ(events, (std::vector<std::string>{"A1", "C1"}));
}

TEST_F(LifecycleTest, UnitTypesAreFoundByLibraryAndNumber) {
  EXPECT_EQ(FindUnitType(0x00010001), &kTypes[0]);
  EXPECT_EQ(FindUnitType(0x00010003), &kTypes[2]);
  EXPECT_EQ(FindUnitType(0x00010002), nullptr);  // empty slot
  EXPECT_EQ(FindUnitType(0x00010004), nullptr);  // beyond the table
  EXPECT_EQ(FindUnitType(0x00010000), nullptr);
  EXPECT_EQ(FindUnitType(0x00020001), nullptr);  // library without types
  EXPECT_EQ(FindUnitType(0x00090001), nullptr);  // no such library
  EXPECT_EQ(FindUnitType(0x80000301), nullptr);
  EXPECT_EQ(Service(svc::kUnitTypeRecord, 0x00010003, 0), reinterpret_cast<uintptr_t>(&kTypes[2]));
}

TEST_F(LifecycleTest, ShutdownRunsItsStepsInOrderAndEachOnce) {
  FrameworkHooks framework;
  framework.releaseForms = [] { events.push_back("forms"); };
  InstallFramework(framework);
  InstallPlatform({nullptr, [] { events.push_back("resources"); }});
  void (*sound)() = [] { events.push_back("sound"); };
  AddShutdownStep(sound);
  AddShutdownStep(sound);
  RegisterExitRoutine([] { events.push_back("first routine"); });
  RegisterExitRoutine([] { events.push_back("exit routine"); });
  EXPECT_EQ(ExitCodeOf([] { ExitProgram(7); }), 7);
  EXPECT_EQ(events,
            (std::vector<std::string>{"forms", "exit routine", "A6", "C6", "sound", "resources"}));
  EXPECT_TRUE(ShutdownStarted());
  EXPECT_GT(BusyCount(), 0);
}

TEST_F(LifecycleTest, ExitFromInsideTheExitRoutineDoesNotRunItAgain) {
  RegisterExitRoutine([] {
    events.push_back("exit routine");
    ExitProgram(9);
  });
  EXPECT_EQ(ExitCodeOf([] { ExitProgram(1); }), 9);
  EXPECT_EQ(events, (std::vector<std::string>{"exit routine", "A6", "C6"}));
}

TEST_F(LifecycleTest, FatalErrorInsideTheExitRoutineStillSaysFarewellOnce) {
  RegisterExitRoutine([] {
    events.push_back("exit routine");
    FatalError("坏了");
  });
  EXPECT_EQ(ExitCodeOf([] { ExitProgram(0); }), -1);
  EXPECT_EQ(events, (std::vector<std::string>{"exit routine", "A6", "C6"}));
  EXPECT_EQ(ShownMessages().size(), 1u);
}

TEST_F(LifecycleTest, ExitFromAnotherThreadIsHandedToTheMainThread) {
  static int32_t handedOff = 0;
  handedOff = 0;
  InstallPlatform({[](int32_t code) { handedOff = code; }, nullptr});
  RegisterExitRoutine([] { events.push_back("exit routine"); });
  int32_t code = 0;
  std::thread other([&] { code = ExitCodeOf([] { ExitProgram(5); }); });
  other.join();
  EXPECT_EQ(handedOff, 5);
  EXPECT_EQ(code, 5);
  EXPECT_TRUE(events.empty());  // nothing of the shutdown ran on that thread
}

TEST_F(LifecycleTest, BusyCounterNeverGoesBelowZero) {
  LeaveBusy();
  EXPECT_EQ(BusyCount(), 0);
  Service(svc::kEnterBusy, 0, 0);
  Service(svc::kEnterBusy, 0, 0);
  Service(svc::kLeaveBusy, 0, 0);
  EXPECT_EQ(BusyCount(), 1);
}

TEST_F(LifecycleTest, ProgramPathSplitsAtTheLastBackslash) {
  SetProgramPath("C:\\Music\\播放器\\player.exe");
  EXPECT_EQ(ProgramDirectory(), "C:\\Music\\播放器");
  EXPECT_EQ(ProgramFileName(), "player.exe");
  EXPECT_EQ(ProgramDirectoryWithBackslash(), "C:\\Music\\播放器\\");
  SetProgramPath("D:\\player.exe");
  EXPECT_EQ(ProgramDirectory(), "D:");
  EXPECT_EQ(ProgramFileName(), "player.exe");
  SetProgramPath("player.exe");
  EXPECT_EQ(ProgramDirectory(), "");
  EXPECT_EQ(ProgramFileName(), "player.exe");
  EXPECT_EQ(ProgramDirectoryWithBackslash(), "");
  // 誠 and 衆 end in the byte 0x5C, which is no backslash there.
  SetProgramPath("C:\\誠\\衆.exe");
  EXPECT_EQ(ProgramDirectory(), "C:\\誠");
  EXPECT_EQ(ProgramFileName(), "衆.exe");
  SetProgramPath("衆.exe");
  EXPECT_EQ(ProgramDirectory(), "");
}

// A found name with "?" for characters the code page lacks cannot be
// opened; the short name stands in for it. Other names stay.
TEST(FoundNames, ANameTheCodePageCannotHoldGivesWayToTheShortName) {
  EXPECT_STREQ(OpenableFoundName("??.mp3", "7E4F~1.MP3"), "7E4F~1.MP3");
  EXPECT_STREQ(OpenableFoundName("a?b.mp3", "AB~1.MP3"), "AB~1.MP3");
  EXPECT_STREQ(OpenableFoundName("??.mp3", ""), "??.mp3");  // nothing better to give
  EXPECT_STREQ(OpenableFoundName("long name.mp3", "LONGNA~1.MP3"), "long name.mp3");
  EXPECT_STREQ(OpenableFoundName("单曲.mp3", "D4A6~1.MP3"), "单曲.mp3");
}

TEST_F(LifecycleTest, ServicesAnswerByCode) {
  SetProgramPath("C:\\dir\\p.exe");
  EXPECT_EQ(Service(svc::kAnswerFive, 0, 0), 5u);
  EXPECT_EQ(Service(4242, 1, 2), 0u);
  EXPECT_EQ(Service(2099, 1, 2), 0u);
  EXPECT_STREQ(reinterpret_cast<const char*>(Service(svc::kProgramDirectory, 0, 0)), "C:\\dir");
  EXPECT_STREQ(reinterpret_cast<const char*>(Service(svc::kProgramFileName, 0, 0)), "p.exe");

  char buffer[kRuntimeTextBufferSize];
  Service(svc::kCopyRuntimeText, 2001, reinterpret_cast<uintptr_t>(buffer));
  EXPECT_STREQ(buffer, "C:\\dir\\");
  Service(svc::kCopyRuntimeText, 2002, reinterpret_cast<uintptr_t>(buffer));
  EXPECT_STREQ(buffer, "p.exe");
  Service(svc::kCopyRuntimeText, 7, reinterpret_cast<uintptr_t>(buffer));
  EXPECT_STREQ(buffer, "");

  ArgRecord shortValue{0xFFFF, 0, TypeCode::Short};
  EXPECT_EQ(
      static_cast<int32_t>(Service(svc::kValueToInt, reinterpret_cast<uintptr_t>(&shortValue), 0)),
      -1);

  auto block = static_cast<uintptr_t>(Service(svc::kAllocate, 16, 0));
  block = static_cast<uintptr_t>(Service(svc::kReallocate, block, 32));
  Service(svc::kFree, block, 0);
  Service(svc::kFreeValue, reinterpret_cast<uintptr_t>(CopyText("t")), TypeCode::Text);
  EXPECT_EQ(LiveBlockCount(), 0);
}

TEST_F(LifecycleTest, ServicesThatEndTheProgram) {
  EXPECT_EQ(ExitCodeOf([] { Service(svc::kExitProgram, 3, 0); }), 3);
  EXPECT_EQ(ExitCodeOf([] { Service(svc::kFatalError, reinterpret_cast<uintptr_t>("文本"), 0); }),
            -1);
  EXPECT_EQ(ShownMessages().back().text, "运行时出错!\r\n\r\n错误信息：文本\r\n");
  // No form framework: no unit is loaded.
  EXPECT_EQ(Service(svc::kFindUnit, 0x52010001, 0), 0u);
  EXPECT_EQ(ExitCodeOf([] { Service(svc::kFindUnitOrFail, 0x52010001, 0); }), -1);
  EXPECT_NE(ShownMessages().back().text.find("指定窗口或窗口组件不存在或尚未载入"),
            std::string::npos);
}

TEST_F(LifecycleTest, CallStubsHandAZeroedResultAndTheArguments) {
  ArgRecord args[2] = {MakeInt(20), MakeInt(22)};
  CommandFn add = [](ArgRecord* result, int32_t count, ArgRecord* a) {
    EXPECT_EQ(result->low | result->high | result->type, 0u);
    EXPECT_EQ(count, 2);
    result->low = a[0].low + a[1].low;
    result->type = TypeCode::Int;
  };
  ArgRecord r = CallCoreCommand(add, 2, args);
  EXPECT_EQ(r.low, 42u);
  EXPECT_EQ(r.type, TypeCode::Int);
  r = CallLibraryCommand(add, 5, 2, args);
  EXPECT_EQ(r.low, 42u);
}

}  // namespace
