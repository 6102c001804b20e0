// Start-up and exit of a real process, and the runtime's Windows services.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "runtime/application.h"
#include "runtime/runtime.h"
#include "runtime/service.h"
#include "runtime/fatal.h"
#include "runtime/seams.h"
#include "runtime/win/handles.h"
#include "runtime/win/late_import.h"
#include "tests/support/freed_memory.h"
#include "tests/support/process.h"
#include "tests/support/runtime_fixture.h"

namespace {

using namespace rt;
using testing_support::ExitCodeOf;
using testing_support::RunProcess;
using testing_support::ShownMessages;

testing_support::ProcessResult Scenario(const std::string& name) {
  auto result =
      RunProcess(testing_support::TestProgramDirectory() + "runtime_scenarios.exe " + name);
  EXPECT_FALSE(result.timedOut) << name;
  return result;
}

std::string Lines(std::initializer_list<std::string> lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\n";
  return s;
}

const std::string kStopBox = "|" + std::to_string(MB_OK | MB_ICONSTOP);

TEST(StartupProcess, WithoutTemplateDataTheStartupFormFailsFatally) {
  auto r = Scenario("no-template");
  EXPECT_EQ(r.exitCode, 0xFFFFFFFFu);
  EXPECT_EQ(
      r.output,
      Lines({"notify A 1", "MSG|错误|运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n" + kStopBox,
             "notify A 6"}));
}

TEST(StartupProcess, ExitRunsTheLastRegisteredRoutineOnceThenSaysFarewell) {
  auto r = Scenario("exit-order");
  EXPECT_EQ(r.exitCode, 7u);
  EXPECT_EQ(r.output, Lines({"notify A 1", "exit routine", "notify A 6"}));

  r = Scenario("exit-in-exit-routine");
  EXPECT_EQ(r.exitCode, 9u);
  EXPECT_EQ(r.output, Lines({"notify A 1", "exit routine", "notify A 6"}));
}

TEST(StartupProcess, ExitFromAnotherThreadShutsDownOnTheMainThread) {
  auto r = Scenario("other-thread-exit");
  EXPECT_EQ(r.exitCode, 5u);
  EXPECT_EQ(r.output, Lines({"notify A 1", "exit routine on main", "notify A 6"}));

  r = Scenario("exit-request-message");
  EXPECT_EQ(r.exitCode, 3u);
  EXPECT_EQ(r.output, Lines({"notify A 1", "notify A 6"}));
}

TEST(StartupProcess, ReturningFromTheEntryRoutineEndsTheProgramWithCodeZero) {
  auto r = Scenario("entry-returns");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.output, Lines({"notify A 1", "exit routine", "notify A 6"}));
}

TEST(StartupProcess, RuntimeErrorHelperShowsNumberAndText) {
  auto r = Scenario("runtime-error");
  EXPECT_EQ(r.exitCode, 0xFFFFFFFFu);
  EXPECT_NE(r.output.find("错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1"),
            std::string::npos);
}

// ---- In this process --------------------------------------------------------

std::vector<std::string> seen;
intptr_t Notify(int32_t code, uintptr_t arg1, uintptr_t) {
  seen.push_back("notify " + std::to_string(code));
  EXPECT_EQ(arg1, code == kNotifyStart ? reinterpret_cast<uintptr_t>(&Service) : 0u);
  return 0;
}

const uint8_t kTemplate[4] = {1, 2, 3, 4};
int32_t Zero() { return 0; }
void Nothing() {}
const CodeBase kCodeBase = {nullptr, 0, Zero, Nothing};
LibraryDescriptor MakeLib() {
  LibraryDescriptor d{};
  d.notify = Notify;
  return d;
}
const LibraryDescriptor kLib = MakeLib();
const LibraryDescriptor* const kLibs[] = {&kLib};
const char* const kDllNames[] = {"kernel32.dll", "KERNEL32.DLL", "", "nosuchlibrary.dll"};
const char* const kDllCommands[] = {"GetTickCount", "NoSuchExport", "GetTickCount", "F"};
const ProgramHeader kHeader = {3, 0, 0,     &kCodeBase, nullptr,   0,           kTemplate,
                               4, 1, kLibs, 4,          kDllNames, kDllCommands};

class RuntimeWinTest : public testing_support::RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    seen.clear();
    FrameworkHooks hooks;
    hooks.readTemplate = [](const uint8_t* data, uint32_t size, const CodeBase* base) {
      EXPECT_EQ(data, kTemplate);
      EXPECT_EQ(base, &kCodeBase);
      seen.push_back("template " + std::to_string(size));
    };
    InstallFramework(hooks);
    BeginApplication(kHeader);
    InitializeRuntime();
  }
};

TEST_F(RuntimeWinTest, InitialisationNotifiesLibrariesThenReadsTheTemplate) {
  EXPECT_EQ(seen, (std::vector<std::string>{"notify 1", "template 4"}));
  EXPECT_EQ(HeaderWord(0), 3u);
  EXPECT_TRUE(OnMainThread());
}

TEST_F(RuntimeWinTest, HiddenWindowIsAnEmptyHiddenToolWindow) {
  HWND hidden = static_cast<HWND>(RuntimeWindow());
  ASSERT_TRUE(::IsWindow(hidden));
  EXPECT_FALSE(::IsWindowVisible(hidden));
  EXPECT_TRUE(::GetWindowLongA(hidden, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_EQ(::GetParent(hidden), nullptr);
  EXPECT_EQ(::GetWindowTextLengthA(hidden), 0);
  // Message-only until a form needs it as its owner; then a hidden top-level
  // window that still takes the exit request's road.
  EXPECT_NE(::GetAncestor(hidden, GA_PARENT), ::GetDesktopWindow());
  EXPECT_EQ(RuntimeOwnerWindow(), hidden);
  EXPECT_EQ(::GetAncestor(hidden, GA_PARENT), ::GetDesktopWindow());
  EXPECT_FALSE(::IsWindowVisible(hidden));
  EXPECT_EQ(::GetParent(hidden), nullptr);
  EXPECT_EQ(RuntimeOwnerWindow(), hidden);
}

TEST_F(RuntimeWinTest, ProgramDirectoryBecomesTheCurrentDirectory) {
  std::string dir = testing_support::TestProgramDirectory();
  EXPECT_EQ(ProgramDirectoryWithBackslash(), dir);
  EXPECT_EQ(ProgramDirectory() + "\\", dir);
  EXPECT_EQ(ProgramFileName(), "runtime_wine.exe");
  char current[MAX_PATH];
  ::GetCurrentDirectoryA(MAX_PATH, current);
  EXPECT_EQ(std::string(current) + "\\", dir);
  char buffer[kRuntimeTextBufferSize];
  Service(svc::kCopyRuntimeText, 1, reinterpret_cast<uintptr_t>(buffer));
  EXPECT_EQ(buffer, dir);
}

TEST_F(RuntimeWinTest, DllCommandsResolveOrReportWhatIsMissing) {
  void* address = Helpers().resolveDllCommand(0);
  EXPECT_EQ(address, reinterpret_cast<void*>(
                         ::GetProcAddress(::GetModuleHandleA("kernel32"), "GetTickCount")));
  EXPECT_EQ(ExitCodeOf([] { Helpers().resolveDllCommand(1); }), -1);
  EXPECT_EQ(ExitCodeOf([] { Helpers().resolveDllCommand(2); }), -1);
  EXPECT_EQ(ExitCodeOf([] { Helpers().resolveDllCommand(3); }), -1);
  ASSERT_EQ(ShownMessages().size(), 3u);
  EXPECT_NE(
      ShownMessages()[0].text.find("无法找到指定DLL库文件“KERNEL32.DLL”中的输出命令“NoSuchExport”"),
      std::string::npos);
  EXPECT_NE(ShownMessages()[1].text.find("无法找到指定DLL库文件中的输出命令“GetTickCount”"),
            std::string::npos);
  EXPECT_NE(ShownMessages()[2].text.find("“nosuchlibrary.dll”中的输出命令“F”"), std::string::npos);
}

// A late function is the system's own once bound: a gradient from a colour
// to the same colour paints it; a function the DLL lacks is a fatal error.
TEST_F(RuntimeWinTest, LateFunctionsCallTheSystemOrReportWhatIsMissing) {
  MemoryDc dc(::CreateCompatibleDC(nullptr));
  GdiBitmap bitmap(::CreateBitmap(4, 1, 1, 32, nullptr));
  HGDIOBJ old = ::SelectObject(dc.get(), bitmap.get());
  TRIVERTEX ends[2] = {{0, 0, 0xFF00, 0x8000, 0, 0}, {4, 1, 0xFF00, 0x8000, 0, 0}};
  GRADIENT_RECT rect = {0, 1};
  for (int call = 0; call < 2; ++call) {
    EXPECT_TRUE(rt::msimg32::GradientFill(dc.get(), ends, 2, &rect, 1, GRADIENT_FILL_RECT_H));
    EXPECT_EQ(::GetPixel(dc.get(), 3, 0), RGB(0xFF, 0x80, 0));
  }
  ::SelectObject(dc.get(), old);
  EXPECT_EQ(ExitCodeOf([] { BindLateImport("msimg32.dll", "NoSuchExport"); }), -1);
  ASSERT_EQ(ShownMessages().size(), 1u);
  EXPECT_NE(ShownMessages()[0].text.find("“msimg32.dll”中的输出命令“NoSuchExport”"),
            std::string::npos);
}

// The sound workers may make the first call of a late function while the
// main thread makes it too: every caller gets the system's function.
TEST(LateImportTest, FirstCallsFromSeveralThreadsAtOnceAllReachTheFunction) {
  static const LateImport<decltype(&::GetCurrentThreadId)> threadId{"kernel32.dll",
                                                                    "GetCurrentThreadId"};
  std::vector<DWORD> answers(8), ids(8);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < answers.size(); ++i) {
    threads.emplace_back([&, i] {
      ids[i] = ::GetCurrentThreadId();
      answers[i] = threadId();
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(answers, ids);
}

TEST_F(RuntimeWinTest, HelpersWithoutFormsAnswerAsForAProgramWithoutForms) {
  Helpers().messageLoop();  // returns at once
  EXPECT_EQ(ExitCodeOf([] { Helpers().loadStartupForm(0x52010001); }), -1);
  EXPECT_EQ(ExitCodeOf([] { Helpers().readProperty(0x52010001, 0, 0, -1); }), -1);
  ASSERT_EQ(ShownMessages().size(), 2u);
  EXPECT_NE(ShownMessages()[1].text.find("未载入欲访问窗口组件所在的窗口"), std::string::npos);
  HICON icons[2] = {HICON(1), HICON(1)};
  Service(svc::kDefaultIcons, reinterpret_cast<uintptr_t>(icons), 0);
  EXPECT_EQ(icons[0], nullptr);  // this test program has no icon resource
}

// ---- File search --------------------------------------------------------------

int64_t newCallsBefore = 0;
int64_t newCallsAtBox = 0;

// The fatal path must not need the heap: the failure it reports may be the heap's.
TEST_F(RuntimeWinTest, TheFatalPathAllocatesNothingOnItsWayToTheBox) {
  SetMessageBoxSeam([](void*, const char*, const char*, uint32_t) {
    newCallsAtBox = testing_support::OperatorNewCount();
    return 1;
  });
  EXPECT_EQ(ExitCodeOf([] {
              newCallsBefore = testing_support::OperatorNewCount();
              FatalAllocationFailure(int64_t{1} << 40);
            }),
            -1);
  EXPECT_EQ(newCallsAtBox, newCallsBefore);
  EXPECT_EQ(ExitCodeOf([] {
              newCallsBefore = testing_support::OperatorNewCount();
              RuntimeError(4);
            }),
            -1);
  EXPECT_EQ(newCallsAtBox, newCallsBefore);
}

class FindFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    dir_ = std::string(temp) + "findfile_test\\";
    ::CreateDirectoryA(dir_.c_str(), nullptr);
    for (const char* name : {"a.mp3", "b.mp3", "c.txt"}) Touch(name);
    ::CreateDirectoryA((dir_ + "d.mp3").c_str(), nullptr);
    Touch("h.mp3");
    ::SetFileAttributesA((dir_ + "h.mp3").c_str(), FILE_ATTRIBUTE_HIDDEN);
  }
  void TearDown() override {
    for (const char* name : {"a.mp3", "b.mp3", "c.txt", "h.mp3"}) {
      ::SetFileAttributesA((dir_ + name).c_str(), FILE_ATTRIBUTE_NORMAL);
      ::DeleteFileA((dir_ + name).c_str());
    }
    ::RemoveDirectoryA((dir_ + "d.mp3").c_str());
    ::RemoveDirectoryA(dir_.c_str());
  }
  void Touch(const char* name) {
    rt::FileHandle file(::CreateFileA((dir_ + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  // Every name of one walk, sorted.
  std::vector<std::string> Walk(const std::string& pattern, uint32_t mask, int32_t anyFile) {
    std::vector<std::string> names;
    uintptr_t handle = 0;
    const OtherHelpTable& help = *Helpers().otherHelp;
    for (char* name = help.findFile((dir_ + pattern).c_str(), mask, anyFile, &handle); name;
         name = help.findFile(nullptr, mask, anyFile, &handle)) {
      names.push_back(name);
      Helpers().free(name);
    }
    EXPECT_EQ(handle, 0u);
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string dir_;
};

TEST_F(FindFileTest, AnyFileAcceptsEveryEntryThatIsNotADirectory) {
  EXPECT_EQ(Walk("*.mp3", 0, 1), (std::vector<std::string>{"a.mp3", "b.mp3", "h.mp3"}));
}

TEST_F(FindFileTest, MaskSelectsByAttributeBits) {
  EXPECT_EQ(Walk("*", FILE_ATTRIBUTE_DIRECTORY, 0), (std::vector<std::string>{".", "..", "d.mp3"}));
  EXPECT_EQ(Walk("*", FILE_ATTRIBUTE_HIDDEN | 0x1000, 0), (std::vector<std::string>{"h.mp3"}));
}

// The program's texts and file names are code page 936; the test environment
// must run with it, or Chinese names and messages come out as mojibake.
TEST_F(FindFileTest, ChineseNamesArriveInCodePage936) {
  EXPECT_EQ(::GetACP(), 936u);
  wchar_t wide[2] = {};
  EXPECT_EQ(::MultiByteToWideChar(CP_ACP, 0, "\xB5\xA5\xC7\xFA", 4, wide, 2), 2);
  EXPECT_EQ(std::wstring(wide, 2), L"\u5355\u66F2");
  const std::wstring file = std::wstring(dir_.begin(), dir_.end()) + L"\u5355\u66F2.wav";
  ::CloseHandle(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  const std::vector<std::string> found = Walk("*.wav", 0, 1);
  ::DeleteFileW(file.c_str());
  EXPECT_EQ(found, (std::vector<std::string>{"\xB5\xA5\xC7\xFA.wav"}));
}

// A name code page 936 cannot hold (Korean) comes back as a name that opens.
TEST_F(FindFileTest, ANameTheCodePageLacksComesBackAsOneThatOpens) {
  const std::wstring file = std::wstring(dir_.begin(), dir_.end()) + L"\uD55C\uAE00.wav";
  ::CloseHandle(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  const std::vector<std::string> found = Walk("*.wav", 0, 1);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].find('?'), std::string::npos) << found[0];
  rt::FileHandle opened(::CreateFileA((dir_ + found[0]).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_TRUE(opened) << found[0];
  opened = rt::FileHandle();
  ::DeleteFileW(file.c_str());
}

TEST_F(FindFileTest, NothingFoundLeavesZeroAndEndFindClosesAnOpenWalk) {
  const int64_t live = rt::LiveHandleCount();
  uintptr_t handle = 1234;  // not a walk of ours: left alone
  EXPECT_EQ(Helpers().otherHelp->findFile((dir_ + "*.wav").c_str(), 0, 1, &handle), nullptr);
  EXPECT_EQ(handle, 0u);
  char* first = Helpers().otherHelp->findFile((dir_ + "*.mp3").c_str(), 0, 1, &handle);
  ASSERT_NE(first, nullptr);
  EXPECT_NE(handle, 0u);
  EXPECT_EQ(rt::LiveHandleCount(), live + 1);
  Helpers().free(first);
  Helpers().otherHelp->endFind(handle);
  Helpers().otherHelp->endFind(handle);  // a second end finds nothing to close
  Helpers().otherHelp->endFind(0);
  EXPECT_EQ(rt::LiveHandleCount(), live);
  Walk("*", 0, 1);  // a walk run to its end closes itself
  EXPECT_EQ(rt::LiveHandleCount(), live);
  handle = 0;
  EXPECT_EQ(Helpers().otherHelp->findFile(nullptr, 0, 1, &handle), nullptr);
}

}  // namespace
