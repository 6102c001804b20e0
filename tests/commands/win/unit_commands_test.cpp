// The command libraries on a real form, called through their descriptors'
// tables as the program calls them: list, settings, feedback, tray and
// destroy commands, hot keys pressed for real, and the folder dialog driven
// through its own window.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "CommandsForm.h"
#include "commands/win/core_library.h"
#include "commands/win/hotkey.h"
#include "commands/win/shell.h"
#include "forms/framework.h"
#include "runtime/heap.h"
#include "runtime/value.h"
#include "tests/extunits/picture_builders.h"
#include "tests/support/unit_program.h"
#include "units/win/library.h"
#include "units/win/window.h"

namespace {

using namespace testprog;
using rt::ArgRecord;
namespace slot = commands::coreslot;

const rt::Routine kCommandsRoutines[] = {COMMANDS_FORM_ROUTINES(TESTPROG_ENTRY)};

constexpr uint32_t kSecondForm = 0x52010002;
constexpr uint32_t kWindowUnit = 0x06010000;
enum : uint32_t { kList = 0x16010001, kFeedback, kDoomed };

ArgRecord Unit(uint32_t unitId, uint32_t formId = kFormId) {
  return rt::MakeUnitRef(formId, unitId, unitId == kWindowUnit ? 0x00010001 : 0x0001000A);
}

ArgRecord Call(rt::CommandFn command, std::vector<ArgRecord> args) {
  ArgRecord result;
  command(&result, static_cast<int32_t>(args.size()), args.data());
  return result;
}
ArgRecord Core(int32_t slot, std::vector<ArgRecord> args) {
  return Call(commands::CoreLibrary().commands[slot], std::move(args));
}
int32_t CoreInt(int32_t slot, std::vector<ArgRecord> args) {
  return static_cast<int32_t>(Core(slot, std::move(args)).low);
}
std::string CoreText(int32_t slot, std::vector<ArgRecord> args) {
  char* text = const_cast<char*>(rt::TextOf(Core(slot, std::move(args))));
  std::string s = text ? text : "<null>";
  rt::Free(text);
  return s;
}

std::vector<NOTIFYICONDATAA>& TrayCalls() {
  static std::vector<NOTIFYICONDATAA> calls;
  return calls;
}
bool RecordTray(uint32_t message, void* data) {
  TrayCalls().push_back(*static_cast<NOTIFYICONDATAA*>(data));
  TrayCalls().back().uID = message;  // the message, in place of the fixed id
  return true;
}

class CommandsTest : public unitprog::UnitProgramTest {
 protected:
  void SetUp() override {
    UnitProgramTest::SetUp();
    StartUnitsCompiled(kCommandsFormTemplate, kCommandsFormTemplateSize, kCommandsRoutines);
    ASSERT_TRUE(Load(kFormId));
    ::SetForegroundWindow(WindowOf(0));
    Pump();
    Calls().clear();
  }
  // Dispatches messages for up to `ms` milliseconds, until `done` holds.
  template <typename Done>
  void WaitFor(DWORD ms, Done done) {
    const DWORD start = ::GetTickCount();
    while (!done() && ::GetTickCount() - start < ms) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      Pump();
    }
  }
  std::string TempPath(const char* name) {
    char dir[MAX_PATH];
    ::GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
  }
};

TEST_F(CommandsTest, DescriptorsHoldTheCommandsInSlotOrder) {
  const rt::LibraryDescriptor& core = commands::CoreLibrary();
  EXPECT_EQ(core.commandCount, 14u);
  EXPECT_EQ(core.typeCount, 51u);
  EXPECT_EQ(core.types, units::CoreLibrary().types);
  EXPECT_EQ(core.notify, units::CoreLibrary().notify);
  for (uint32_t i = 0; i < core.commandCount; ++i) EXPECT_NE(core.commands[i], nullptr) << i;
  EXPECT_STREQ(core.displayName, "系统核心支持库");
  EXPECT_EQ(commands::HotKeyLibrary().commandCount, 1u);
  EXPECT_STREQ(commands::HotKeyLibrary().displayName, "扩展功能支持库一");
  EXPECT_EQ(commands::ShellLibrary().commandCount, 1u);
  EXPECT_STREQ(commands::ShellLibrary().displayName, "操作系统界面功能支持库");
  // Slot order, seen through what the commands do.
  EXPECT_EQ(CoreInt(slot::kToInteger, {rt::MakeText("３０")}), 30);
  EXPECT_EQ(CoreText(slot::kToText, {rt::MakeInt(30)}), "30");
  EXPECT_EQ(CoreText(slot::kTextLeft, {rt::MakeText("单曲循环模式:"), rt::MakeInt(4)}), "单曲");
}

TEST_F(CommandsTest, ListRowsCountsAndOutOfRangeRows) {
  const ArgRecord list = Unit(kList);
  EXPECT_EQ(CoreInt(slot::kGetItemCount, {list}), 0);
  for (int32_t row : {-1, 0})
    EXPECT_EQ(CoreText(slot::kGetItemText, {list, rt::MakeInt(row)}), "<null>");
  EXPECT_EQ(CoreInt(slot::kAddItem, {list, rt::MakeText("一首歌.mp3"), rt::MakeInt(7)}), 0);
  EXPECT_EQ(CoreInt(slot::kAddItem, {list, rt::MakeText("two"), ArgRecord{}}), 1);
  EXPECT_EQ(CoreInt(slot::kAddItem, {list, rt::MakeText(nullptr)}), 2);
  EXPECT_EQ(CoreInt(slot::kGetItemCount, {list}), 3);
  EXPECT_EQ(CoreText(slot::kGetItemText, {list, rt::MakeInt(0)}), "一首歌.mp3");
  EXPECT_EQ(CoreText(slot::kGetItemText, {list, rt::MakeInt(1)}), "two");
  EXPECT_EQ(CoreText(slot::kGetItemText, {list, rt::MakeInt(2)}), "<null>");
  EXPECT_EQ(CoreText(slot::kGetItemText, {list, rt::MakeInt(3)}), "<null>");
  EXPECT_EQ(CoreText(slot::kGetItemText, {list, rt::MakeInt(-1)}), "<null>");
  HWND control = WindowOf(kList);
  EXPECT_EQ(::SendMessageA(control, LB_GETITEMDATA, 0, 0), 7);
  EXPECT_EQ(::SendMessageA(control, LB_GETITEMDATA, 1, 0), 0);
  EXPECT_EQ(CoreInt(slot::kGetWindowHandle, {list}),
            static_cast<int32_t>(reinterpret_cast<uintptr_t>(control)));
  EXPECT_EQ(CoreInt(slot::kGetWindowHandle, {Unit(0x16010099)}), 0);
  EXPECT_EQ(rt::LiveBlockCount(), 0);
}

TEST_F(CommandsTest, SettingsReadWriteAndDelete) {
  const std::string file = TempPath("commands_test.ini");
  ::DeleteFileA(file.c_str());
  const ArgRecord name = rt::MakeText(file.c_str());
  auto write = [&](std::vector<ArgRecord> rest) {
    rest.insert(rest.begin(), name);
    return Core(slot::kWriteConfigItem, rest).low != 0;
  };
  auto read = [&](const char* section, const char* key, ArgRecord fallback = {}) {
    return CoreText(slot::kReadConfigItem,
                    {name, rt::MakeText(section), rt::MakeText(key), fallback});
  };
  const std::string big(12000, 'v');
  EXPECT_TRUE(write({rt::MakeText("设置"), rt::MakeText("音量"), rt::MakeText("30")}));
  EXPECT_TRUE(write({rt::MakeText("设置"), rt::MakeText("big"), rt::MakeText(big.c_str())}));
  EXPECT_EQ(read("设置", "音量"), "30");
  EXPECT_EQ(read(" \t设置", "  音量"), "30");  // leading blanks are stripped
  EXPECT_EQ(read("设置", "big"), big.substr(0, 10239));
  EXPECT_EQ(read("设置", "none", rt::MakeText("d")), "d");
  EXPECT_EQ(read("设置", "none"), "<null>");
  EXPECT_EQ(read("   ", "音量", rt::MakeText("d")), "<null>");  // not read at all
  EXPECT_EQ(CoreText(slot::kReadConfigItem, {rt::MakeText(" "), rt::MakeText("设置"),
                                             rt::MakeText("音量"), rt::MakeText("d")}),
            "<null>");
  EXPECT_TRUE(write({rt::MakeText("设置"), rt::MakeText("音量"), ArgRecord{}}));
  EXPECT_EQ(read("设置", "音量", rt::MakeText("gone")), "gone");
  EXPECT_EQ(read("设置", "big").size(), 10239u);
  EXPECT_TRUE(write({rt::MakeText("设置"), ArgRecord{}, ArgRecord{}}));
  EXPECT_EQ(read("设置", "big"), "<null>");
  ::DeleteFileA(file.c_str());
  EXPECT_EQ(rt::LiveBlockCount(), 0);
}

TEST_F(CommandsTest, FeedbackWaitsForTheHandlerOrPosts) {
  const ArgRecord label = Unit(kFeedback);
  ResultOf(1) = {true, 42};
  EXPECT_EQ(CoreInt(slot::kRaiseFeedbackEvent, {label, rt::MakeInt(3), rt::MakeInt(4)}), 42);
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].args, (std::vector<uintptr_t>{3, 4}));
  EXPECT_EQ(
      CoreInt(slot::kRaiseFeedbackEvent, {label, rt::MakeInt(5), ArgRecord{}, rt::MakeBool(true)}),
      42);
  EXPECT_EQ(Calls().back().args, (std::vector<uintptr_t>{5, 0}));
  Calls().clear();
  EXPECT_EQ(CoreInt(slot::kRaiseFeedbackEvent,
                    {label, rt::MakeInt(6), rt::MakeInt(7), rt::MakeBool(false)}),
            0);
  EXPECT_TRUE(Calls().empty());  // posted: the handler runs later
  Pump();
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].args, (std::vector<uintptr_t>{6, 7}));
  ResultOf(1) = {};
  EXPECT_EQ(CoreInt(slot::kRaiseFeedbackEvent, {label}), 0);  // no result: 0
}

TEST_F(CommandsTest, TrayIconFromBytesOrFileIsReplacedAndRemoved) {
  units::SetTrayPortForTest(RecordTray);
  TrayCalls().clear();
  // A true-colour 16 entry does not stop the walk for 16; the 32 one is last.
  auto entry = [](int size, int colours) {
    const std::vector<uint32_t> pixels(static_cast<size_t>(size) * size, 0x102030);
    return test_pictures::IconFileEntry{
        size,
        size,
        colours,
        1,
        24,
        test_pictures::BuildIconImage(size, size, 24, pixels,
                                      test_pictures::Bytes(static_cast<size_t>(size) * size, 0))};
  };
  const auto sixteen = test_pictures::BuildIconFile(1, {entry(32, 16), entry(16, 16)});
  const auto lastIs32 = test_pictures::BuildIconFile(1, {entry(16, 0), entry(32, 0)});
  void* block = rt::MakeByteSet(sixteen.data(), static_cast<uint32_t>(sixteen.size()));
  const std::string file = TempPath("commands_tray.ico");
  {
    rt::FileHandle out(::CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ::WriteFile(out.get(), lastIs32.data(), static_cast<DWORD>(lastIs32.size()), &written, nullptr);
  }
  auto* window = dynamic_cast<units::WindowObject*>(forms::FindUnitObject(kFormId, 0));
  auto iconWidth = [&] {
    ICONINFO info{};
    if (!window->trayIcon() || !::GetIconInfo(window->trayIcon(), &info)) return 0L;
    BITMAP bm{};
    ::GetObjectA(info.hbmMask, sizeof bm, &bm);
    rt::GdiBitmap mask(info.hbmMask), colour(info.hbmColor);
    return bm.bmWidth;
  };
  const ArgRecord form = Unit(kWindowUnit);
  Core(slot::kSetTrayIcon, {form});  // nothing shown: nothing to remove
  EXPECT_TRUE(TrayCalls().empty());
  Core(slot::kSetTrayIcon, {form, rt::MakeByteSetValue(block), rt::MakeText("播放器")});
  ASSERT_EQ(TrayCalls().size(), 1u);
  EXPECT_EQ(TrayCalls()[0].uID, static_cast<UINT>(NIM_ADD));
  EXPECT_STREQ(TrayCalls()[0].szTip, "播放器");
  EXPECT_EQ(iconWidth(), 16);
  Core(slot::kSetTrayIcon, {form, rt::MakeText(file.c_str()), ArgRecord{}});
  ASSERT_EQ(TrayCalls().size(), 2u);
  EXPECT_EQ(TrayCalls()[1].uID, static_cast<UINT>(NIM_MODIFY));
  EXPECT_EQ(iconWidth(), 32);
  Core(slot::kSetTrayIcon, {form, ArgRecord{}, ArgRecord{}});
  ASSERT_EQ(TrayCalls().size(), 3u);
  EXPECT_EQ(TrayCalls()[2].uID, static_cast<UINT>(NIM_DELETE));
  EXPECT_EQ(window->trayIcon(), nullptr);
  Core(slot::kSetTrayIcon, {form, rt::MakeText("C:\\no such icon.ico")});
  EXPECT_EQ(TrayCalls().size(), 3u);
  rt::Free(block);
  ::DeleteFileA(file.c_str());
  units::SetTrayPortForTest(nullptr);
}

TEST_F(CommandsTest, DestroyDefersOrActsAtOnce) {
  ASSERT_TRUE(Load(kSecondForm));
  HWND second = WindowOf(0, kSecondForm);
  Core(slot::kDestroy, {Unit(kWindowUnit, kSecondForm)});
  EXPECT_TRUE(::IsWindow(second));  // the deferred destroy message is waiting
  Pump();
  EXPECT_FALSE(::IsWindow(second));
  ASSERT_TRUE(Load(kSecondForm));
  second = WindowOf(0, kSecondForm);
  Core(slot::kDestroy, {Unit(kWindowUnit, kSecondForm), rt::MakeBool(true)});
  EXPECT_FALSE(::IsWindow(second));
  HWND doomed = WindowOf(kDoomed);
  Core(slot::kDestroy, {Unit(kDoomed)});
  EXPECT_FALSE(::IsWindow(doomed));
  EXPECT_EQ(forms::FindUnitObject(kFormId, kDoomed), nullptr);
  EXPECT_TRUE(::IsWindow(WindowOf(0)));
}

void Press(std::vector<WORD> keys) {
  std::vector<INPUT> input;
  for (WORD key : keys) input.push_back({INPUT_KEYBOARD, {}}), input.back().ki.wVk = key;
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
    input.push_back({INPUT_KEYBOARD, {}});
    input.back().ki.wVk = *it;
    input.back().ki.dwFlags = KEYEVENTF_KEYUP;
  }
  ::SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

TEST_F(CommandsTest, HotKeysCountFrom33001AndRelayToTheLabel) {
  const rt::CommandFn setHotKey = commands::HotKeyLibrary().commands[0];
  auto handle = [](HWND w) {
    return rt::MakeInt(static_cast<int32_t>(reinterpret_cast<intptr_t>(w)));
  };
  const ArgRecord form = handle(WindowOf(0)), label = handle(WindowOf(kFeedback));
  const int32_t ids[] = {
      static_cast<int32_t>(Call(setHotKey, {form, label, rt::MakeInt(4), rt::MakeInt('C')}).low),
      static_cast<int32_t>(Call(setHotKey, {form, label, rt::MakeInt(4), rt::MakeInt('X')}).low),
      static_cast<int32_t>(Call(setHotKey, {form, label, rt::MakeInt(4), rt::MakeInt('Z')}).low)};
  EXPECT_EQ(ids[0], 33001);
  EXPECT_EQ(ids[1], 33002);
  EXPECT_EQ(ids[2], 33003);
  ::SetForegroundWindow(WindowOf(0));
  Pump();
  Press({VK_MENU, 'X'});
  WaitFor(3000, [] { return !Calls().empty(); });
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].routine, 1);
  EXPECT_EQ(Calls()[0].args, (std::vector<uintptr_t>{33002, 0}));
  for (int32_t id : ids) EXPECT_TRUE(commands::RemoveHotKey(WindowOf(0), id));
}

}  // namespace
