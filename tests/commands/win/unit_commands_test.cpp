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
#include "forms/win/framework.h"
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
// A text result ("<null>" for the empty text), freed.
std::string TakeText(const ArgRecord& result) {
  char* text = const_cast<char*>(rt::TextOf(result));
  std::string s = text ? text : "<null>";
  rt::Free(text);
  return s;
}
std::string CoreText(int32_t slot, std::vector<ArgRecord> args) {
  return TakeText(Core(slot, std::move(args)));
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

// The folder dialog, once it shows the title among its texts.
HWND FindDialog() {
  HWND dialog = ::FindWindowA("#32770", nullptr);
  const bool ours = dialog != nullptr && ::IsWindowVisible(dialog) &&
                    ::FindWindowExA(dialog, nullptr, "Static", kTitle) != nullptr;
  return ours ? dialog : nullptr;
}

// Plays the user of the dialog from another thread: waits for it, notes
// whether the form was disabled, has the dialog select `folder` in its tree
// (none: leaves it) and presses the button.
// Whether the dialog's folder tree has the test folder selected.
bool ShowsFolder(HWND dialog) {
  HWND tree = ::FindWindowExA(dialog, nullptr, WC_TREEVIEWA, nullptr);
  for (HWND child = ::GetWindow(dialog, GW_CHILD); tree == nullptr && child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT))
    tree = ::FindWindowExA(child, nullptr, WC_TREEVIEWA, nullptr);
  const auto item =
      reinterpret_cast<HTREEITEM>(tree ? ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) : 0);
  if (item == nullptr) return false;
  char text[MAX_PATH] = {};
  TVITEMA query = {};
  query.mask = TVIF_TEXT;
  query.hItem = item;
  query.pszText = text;
  query.cchTextMax = sizeof text;
  return ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query)) &&
         std::string(text) == kFolder;
}

struct DialogUser {
  HWND form;
  const char* folder;
  int button;                 // IDOK or IDCANCEL
  std::atomic<int> steps{0};  // dialog seen with the form disabled, button pressed

  void operator()() {
    HWND dialog = nullptr;
    for (int i = 0; i < 200 && dialog == nullptr; ++i, ::Sleep(50)) dialog = FindDialog();
    if (dialog == nullptr) return;
    steps = ::IsWindowEnabled(form) ? 0 : 1;
    // The tree fills in while the dialog runs, and may undo a selection
    // made too early: it is made until the tree shows it.
    for (int i = 0; folder != nullptr && i < 50 && !ShowsFolder(dialog); ++i, ::Sleep(100))
      ::SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder));
    if (steps == 1) {
      ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
      steps = 2;
    }
    for (int i = 0; i < 40 && ::IsWindow(dialog); ++i) ::Sleep(50);
    if (::IsWindow(dialog)) ::PostMessageA(dialog, WM_CLOSE, 0, 0);  // the test fails, not hangs
  }
};

void Press(WORD key) {
  INPUT input[4] = {};
  const WORD keys[] = {VK_MENU, key, key, VK_MENU};
  for (int i = 0; i < 4; ++i) {
    input[i].type = INPUT_KEYBOARD;
    input[i].ki.wVk = keys[i];
    input[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
  }
  ::SendInput(4, input, sizeof(INPUT));
}

class CommandsTest : public unitprog::UnitProgramTest {
 protected:
  void SetUp() override {
    UnitProgramTest::SetUp();
    commands::ResetHotKeysForTest();
    StartUnitsCompiled(kCommandsFormTemplate, kCommandsFormTemplateSize, kCommandsRoutines);
    ASSERT_TRUE(Load(kFormId));
    ::SetForegroundWindow(WindowOf(0));
    Pump();
    Calls().clear();
  }
  // Presses Alt + key and dispatches messages for up to 3 s until a routine ran.
  void PressAndWait(WORD key) {
    Calls().clear();
    Press(key);
    const DWORD start = ::GetTickCount();
    while (Calls().empty() && ::GetTickCount() - start < 3000) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      Pump();
    }
  }
};

TEST_F(CommandsTest, ListRowsAndWindowHandles) {
  EXPECT_EQ(commands::CoreLibrary().types, units::CoreLibrary().types);
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
  char dir[MAX_PATH];
  ::GetTempPathA(MAX_PATH, dir);
  const std::string file = std::string(dir) + "commands_test.ini";
  ::DeleteFileA(file.c_str());
  const ArgRecord name = rt::MakeText(file.c_str()), section = rt::MakeText("设置");
  auto write = [&](ArgRecord key, ArgRecord value) {
    return Core(slot::kWriteConfigItem, {name, section, key, value}).low != 0;
  };
  auto read = [&](const char* in, const char* key, ArgRecord fallback = {}) {
    return CoreText(slot::kReadConfigItem, {name, rt::MakeText(in), rt::MakeText(key), fallback});
  };
  const std::string big(12000, 'v');
  EXPECT_TRUE(write(rt::MakeText("音量"), rt::MakeText("30")));
  EXPECT_TRUE(write(rt::MakeText("big"), rt::MakeText(big.c_str())));
  EXPECT_TRUE(write(rt::MakeText("empty"), rt::MakeText(nullptr)));  // given: written as ""
  EXPECT_EQ(read("设置", "音量"), "30");
  EXPECT_EQ(read(" \t设置", "  音量"), "30");  // leading blanks are stripped
  EXPECT_EQ(read("设置", "big"), big.substr(0, 10239));
  EXPECT_EQ(read("设置", "empty", rt::MakeText("d")), "<null>");
  EXPECT_EQ(read("设置", "none", rt::MakeText("d")), "d");
  EXPECT_EQ(read("   ", "音量", rt::MakeText("d")), "<null>");  // not read at all
  EXPECT_TRUE(write(rt::MakeText("音量"), ArgRecord{}));        // omitted: the key goes
  EXPECT_EQ(read("设置", "音量", rt::MakeText("gone")), "gone");
  EXPECT_EQ(read("设置", "big").size(), 10239u);
  EXPECT_TRUE(write(ArgRecord{}, ArgRecord{}));  // no key: the whole section goes
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
  EXPECT_EQ(CoreInt(slot::kRaiseFeedbackEvent,
                    {label, rt::MakeInt(6), rt::MakeInt(7), rt::MakeBool(false)}),
            0);
  EXPECT_EQ(Calls().size(), 1u);  // posted: the handler runs later
  Pump();
  ASSERT_EQ(Calls().size(), 2u);
  EXPECT_EQ(Calls()[1].args, (std::vector<uintptr_t>{6, 7}));
  ResultOf(1) = {};
  EXPECT_EQ(CoreInt(slot::kRaiseFeedbackEvent, {label, rt::MakeInt(5), ArgRecord{}}), 0);
  EXPECT_EQ(Calls().back().args, (std::vector<uintptr_t>{5, 0}));
}

TEST_F(CommandsTest, TrayIconTakesTheSixteenWideImageAndGoesWithOnlyTheWindow) {
  units::SetTrayPortForTest(RecordTray);
  TrayCalls().clear();
  auto entry = [](int size, int colours) {
    const size_t n = static_cast<size_t>(size) * size;
    return test_pictures::IconFileEntry{
        size,
        size,
        colours,
        1,
        24,
        test_pictures::BuildIconImage(size, size, 24, std::vector<uint32_t>(n, 0x102030),
                                      test_pictures::Bytes(n, 0))};
  };
  // Each file holds both widths. A colour count of 0 is stored for true
  // colour; a 16-wide image of 15 colours or fewer is passed over, and the
  // walk ends on the last entry, here the 32-wide one.
  const auto sixteen = test_pictures::BuildIconFile(1, {entry(32, 16), entry(16, 16)});
  const auto trueColour = test_pictures::BuildIconFile(1, {entry(32, 0), entry(16, 0)});
  const auto lastIs32 = test_pictures::BuildIconFile(1, {entry(16, 8), entry(32, 0)});
  auto* window = dynamic_cast<units::WindowObject*>(forms::FindUnitObject(kFormId, 0));
  const ArgRecord form = Unit(kWindowUnit);
  for (const auto& [file, width] :
       {std::pair{&sixteen, 16L}, {&trueColour, 16L}, {&lastIs32, 32L}}) {
    void* block = rt::MakeByteSet(file->data(), static_cast<uint32_t>(file->size()));
    Core(slot::kSetTrayIcon, {form, rt::MakeByteSetValue(block), rt::MakeText("播放器")});
    rt::Free(block);
    ICONINFO info{};
    ASSERT_TRUE(window->trayIcon() && ::GetIconInfo(window->trayIcon(), &info));
    rt::GdiBitmap mask(info.hbmMask), colour(info.hbmColor);
    BITMAP bm{};
    ::GetObjectA(mask.get(), sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, width);
  }
  EXPECT_STREQ(TrayCalls()[0].szTip, "播放器");
  Core(slot::kSetTrayIcon, {form});  // only the window: removed
  ASSERT_EQ(TrayCalls().size(), 4u);
  EXPECT_EQ(TrayCalls().back().uID, static_cast<UINT>(NIM_DELETE));
  EXPECT_EQ(window->trayIcon(), nullptr);
  Core(slot::kSetTrayIcon, {form, rt::MakeText("C:\\no such icon.ico")});  // nothing to remove
  EXPECT_EQ(TrayCalls().size(), 4u);
  units::SetTrayPortForTest(nullptr);
}

// Hot keys first on a second form, then on the main one after the second
// is destroyed at once; a unit goes at once, a form's destroy is deferred.
TEST_F(CommandsTest, HotKeysRelayToTheLabelAndDestroyActsOrDefers) {
  auto handle = [](HWND w) {
    return rt::MakeInt(static_cast<int32_t>(reinterpret_cast<intptr_t>(w)));
  };
  auto setHotKey = [&](HWND window, WORD key) {
    const ArgRecord relay = handle(WindowOf(kFeedback));
    return static_cast<int32_t>(Call(commands::HotKeyLibrary().commands[0],
                                     {handle(window), relay, rt::MakeInt(4), rt::MakeInt(key)})
                                    .low);
  };
  ASSERT_TRUE(Load(kSecondForm));
  HWND second = WindowOf(0, kSecondForm);
  EXPECT_EQ(setHotKey(second, 'C'), 33001);
  EXPECT_EQ(setHotKey(second, 'X'), 33002);
  EXPECT_EQ(setHotKey(second, 'Z'), 33003);
  PressAndWait('X');
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].routine, 1);
  EXPECT_EQ(Calls()[0].args, (std::vector<uintptr_t>{33002, 0}));

  Core(slot::kDestroy, {Unit(kWindowUnit, kSecondForm), rt::MakeBool(true)});
  EXPECT_FALSE(::IsWindow(second));
  EXPECT_EQ(setHotKey(WindowOf(0), 'V'), 33004);  // the main form is hooked now
  ::SetForegroundWindow(WindowOf(0));
  PressAndWait('V');
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].args, (std::vector<uintptr_t>{33004, 0}));
  for (int32_t id = 33001; id <= 33003; ++id) commands::RemoveHotKey(second, id);
  EXPECT_TRUE(commands::RemoveHotKey(WindowOf(0), 33004));

  HWND doomed = WindowOf(kDoomed);
  Core(slot::kDestroy, {Unit(kDoomed)});
  EXPECT_FALSE(::IsWindow(doomed));
  EXPECT_EQ(forms::FindUnitObject(kFormId, kDoomed), nullptr);
  ASSERT_TRUE(Load(kSecondForm));
  second = WindowOf(0, kSecondForm);
  Core(slot::kDestroy, {Unit(kWindowUnit, kSecondForm)});
  EXPECT_TRUE(::IsWindow(second));  // the deferred destroy message is waiting
  Pump();
  EXPECT_FALSE(::IsWindow(second));
  EXPECT_TRUE(::IsWindow(WindowOf(0)));
}

TEST_F(CommandsTest, FolderDialogChoosesOrCancelsAndEnablesTheFormsAgain) {
  char desktop[MAX_PATH] = {};
  ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop)));
  const std::string folder = std::string(desktop) + "\\" + kFolder;
  ::CreateDirectoryA(folder.c_str(), nullptr);
  HWND form = WindowOf(0);
  for (const auto& [path, button, chosen] :
       {std::tuple{folder.c_str(), IDOK, folder}, {nullptr, IDCANCEL, std::string("<null>")}}) {
    DialogUser user{form, path, button};
    std::thread thread(std::ref(user));
    const ArgRecord title = rt::MakeText(kTitle);
    EXPECT_EQ(TakeText(Call(commands::ShellLibrary().commands[0], {title})), chosen);
    thread.join();
    EXPECT_EQ(user.steps, 2);
    EXPECT_TRUE(::IsWindowEnabled(form));
  }
  ::RemoveDirectoryA(folder.c_str());
}

}  // namespace
