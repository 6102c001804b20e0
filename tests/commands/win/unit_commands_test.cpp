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
#include <cstring>
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

constexpr char kTitle[] = "pick a folder";
constexpr char kFolder[] = "cmdsongs";

void Click(HWND window, POINT at) {
  ::ClientToScreen(window, &at);
  INPUT input[3] = {};
  for (INPUT& in : input) in.type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  input[0].mi.dx = at.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
  input[0].mi.dy = at.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(3, input, sizeof(INPUT));
}

void ClickMiddle(HWND window) {
  RECT r;
  ::GetClientRect(window, &r);
  Click(window, {r.right / 2, r.bottom / 2});
}

// The tree row with this text, among the rows shown; null when none.
HTREEITEM FindRow(HWND tree, const char* text) {
  for (auto item = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
       item != nullptr;
       item = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE,
                                                         reinterpret_cast<LPARAM>(item)))) {
    char buffer[MAX_PATH] = {};
    TVITEMA tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = buffer;
    tv.cchTextMax = MAX_PATH;
    ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    if (std::string(buffer) == text) return item;
  }
  return nullptr;
}

// The visible dialog of the thread that shows the title among its texts.
HWND FindDialog(DWORD thread) {
  HWND found = nullptr;
  ::EnumThreadWindows(
      thread,
      [](HWND window, LPARAM out) -> BOOL {
        char name[16] = {};
        ::GetClassNameA(window, name, sizeof name);
        if (std::string(name) != "#32770" || !::IsWindowVisible(window)) return TRUE;
        if (::FindWindowExA(window, nullptr, "Static", kTitle) == nullptr) return TRUE;
        *reinterpret_cast<HWND*>(out) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Plays the user of the dialog: waits for it, notes whether the form was
// disabled, clicks the row of `folder` (none: no row) and then the button.
struct DialogUser {
  HWND form;
  DWORD thread;
  const char* folder;
  int button;                 // IDOK or IDCANCEL
  std::atomic<int> steps{0};  // dialog seen with the form disabled, row clicked, button clicked

  void operator()() {
    HWND dialog = nullptr;
    for (int i = 0; i < 200 && dialog == nullptr; ++i, ::Sleep(50)) {
      dialog = FindDialog(thread);
    }
    if (dialog == nullptr || ::IsWindowEnabled(form)) return;
    ::Sleep(300);
    steps = folder == nullptr || ClickRow(dialog) ? 2 : 1;
    HWND pressed = ::GetDlgItem(dialog, button);  // the texts follow the locale
    if (pressed != nullptr && steps == 2) ClickMiddle(pressed), steps = 3;
    for (int i = 0; i < 40 && ::IsWindow(dialog); ++i) ::Sleep(50);
    if (::IsWindow(dialog)) ::PostMessageA(dialog, WM_CLOSE, 0, 0);  // the test fails, not hangs
  }
  bool ClickRow(HWND dialog) {
    HWND tree = ::FindWindowExA(dialog, nullptr, WC_TREEVIEWA, nullptr);
    HTREEITEM row = tree ? FindRow(tree, folder) : nullptr;
    if (row == nullptr) return false;
    RECT r{};
    std::memcpy(&r, &row, sizeof row);  // the message takes the row in the rectangle
    ::SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
    Click(tree, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    ::Sleep(300);
    return true;
  }
};

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

TEST_F(CommandsTest, DescriptorsAndListRows) {
  const rt::LibraryDescriptor& core = commands::CoreLibrary();
  EXPECT_EQ(core.commandCount, 14u);
  EXPECT_EQ(core.types, units::CoreLibrary().types);
  EXPECT_EQ(commands::HotKeyLibrary().commandCount, 1u);
  EXPECT_EQ(commands::ShellLibrary().commandCount, 1u);
  // Slot order, seen through what the commands do.
  EXPECT_EQ(CoreText(slot::kTextLeft, {rt::MakeText("单曲循环模式:"), rt::MakeInt(4)}), "单曲");
  const ArgRecord list = Unit(kList);
  EXPECT_EQ(CoreInt(slot::kGetItemCount, {list}), 0);
  for (int32_t row : {-1, 0})
    EXPECT_EQ(CoreText(slot::kGetItemText, {list, rt::MakeInt(row)}), "<null>");
  EXPECT_EQ(CoreInt(slot::kAddItem, {list, rt::MakeText("一首歌.mp3"), rt::MakeInt(7)}), 0);
  EXPECT_EQ(CoreInt(slot::kAddItem, {list, rt::MakeText("two"), ArgRecord{}}), 1);
  EXPECT_EQ(CoreInt(slot::kAddItem, {list, rt::MakeText(nullptr)}), 2);
  EXPECT_EQ(CoreInt(slot::kGetItemCount, {list}), 3);
  EXPECT_EQ(CoreText(slot::kGetItemText, {list, rt::MakeInt(0)}), "一首歌.mp3");
  for (int32_t row : {2, 3, -1})  // an empty row, the row count, no selection
    EXPECT_EQ(CoreText(slot::kGetItemText, {list, rt::MakeInt(row)}), "<null>");
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

TEST_F(CommandsTest, TrayIconIsAddedReplacedAndRemoved) {
  units::SetTrayPortForTest(RecordTray);
  TrayCalls().clear();
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
  // The 16-wide image is taken when found; a true-colour one is not, and
  // the walk for 16 then ends on the last entry.
  const auto sixteen = test_pictures::BuildIconFile(1, {entry(32, 16), entry(16, 16)});
  const auto lastIs32 = test_pictures::BuildIconFile(1, {entry(16, 0), entry(32, 0)});
  void* blocks[] = {rt::MakeByteSet(sixteen.data(), static_cast<uint32_t>(sixteen.size())),
                    rt::MakeByteSet(lastIs32.data(), static_cast<uint32_t>(lastIs32.size()))};
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
  const struct {
    std::vector<ArgRecord> args;
    size_t calls;
    UINT message;
    long width;
  } steps[] = {
      {{form, ArgRecord{}, ArgRecord{}}, 0, 0, 0},  // nothing shown: nothing to remove
      {{form, rt::MakeByteSetValue(blocks[0]), rt::MakeText("播放器")}, 1, NIM_ADD, 16},
      {{form, rt::MakeByteSetValue(blocks[1]), ArgRecord{}}, 2, NIM_MODIFY, 32},
      {{form}, 3, NIM_DELETE, 0},  // only the window: removed
      {{form, rt::MakeText("C:\\no such icon.ico")}, 3, NIM_DELETE, 0},
  };
  for (const auto& step : steps) {
    Core(slot::kSetTrayIcon, step.args);
    ASSERT_EQ(TrayCalls().size(), step.calls);
    EXPECT_EQ(TrayCalls().empty() ? 0u : TrayCalls().back().uID, step.message);
    EXPECT_EQ(iconWidth(), step.width);
  }
  EXPECT_STREQ(TrayCalls()[0].szTip, "播放器");
  for (void* block : blocks) rt::Free(block);
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

TEST_F(CommandsTest, FolderDialogChoosesOrCancelsAndEnablesTheFormsAgain) {
  char desktop[MAX_PATH] = {};
  ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop)));
  const std::string folder = std::string(desktop) + "\\" + kFolder;
  ::CreateDirectoryA(folder.c_str(), nullptr);
  auto browse = [](DialogUser& user) {
    std::thread thread(std::ref(user));
    ArgRecord title = rt::MakeText(kTitle);
    char* text = const_cast<char*>(rt::TextOf(Call(commands::ShellLibrary().commands[0], {title})));
    thread.join();
    std::string path = text ? text : "<null>";
    rt::Free(text);
    return path;
  };
  HWND form = WindowOf(0);
  DialogUser chooser{form, ::GetCurrentThreadId(), kFolder, IDOK};
  EXPECT_EQ(browse(chooser), folder);
  EXPECT_EQ(chooser.steps, 3);
  EXPECT_TRUE(::IsWindowEnabled(form));
  DialogUser canceller{form, ::GetCurrentThreadId(), nullptr, IDCANCEL};
  EXPECT_EQ(browse(canceller), "<null>");
  EXPECT_EQ(canceller.steps, 3);
  EXPECT_TRUE(::IsWindowEnabled(form));
  ::RemoveDirectoryA(folder.c_str());
}

}  // namespace
