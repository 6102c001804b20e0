// The folder dialog driven through its own window, from a second thread
// while the command waits in it: a real click on a folder's row and on OK,
// or on Cancel. The forms are disabled while it is open and enabled after.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "CommandsForm.h"
#include "commands/win/shell.h"
#include "runtime/heap.h"
#include "runtime/value.h"
#include "tests/support/unit_program.h"

namespace {

using namespace testprog;

const rt::Routine kDialogRoutines[] = {COMMANDS_FORM_ROUTINES(TESTPROG_ENTRY)};
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
  int button;  // IDOK or IDCANCEL
  std::atomic<bool> sawDialog{false}, formWasDisabled{false}, rowFound{false}, buttonFound{false};

  void operator()() {
    HWND dialog = nullptr;
    for (int i = 0; i < 200 && dialog == nullptr; ++i, ::Sleep(50)) {
      dialog = FindDialog(thread);
    }
    if (dialog == nullptr) return;
    sawDialog = true;
    formWasDisabled = !::IsWindowEnabled(form);
    ::Sleep(300);
    if (folder != nullptr) ClickRow(dialog);
    HWND pressed = ::GetDlgItem(dialog, button);  // the texts follow the locale
    buttonFound = pressed != nullptr;
    if (pressed != nullptr) ClickMiddle(pressed);
    for (int i = 0; i < 40 && ::IsWindow(dialog); ++i) ::Sleep(50);
    if (::IsWindow(dialog)) ::PostMessageA(dialog, WM_CLOSE, 0, 0);  // the test fails, not hangs
  }
  void ClickRow(HWND dialog) {
    HWND tree = ::FindWindowExA(dialog, nullptr, WC_TREEVIEWA, nullptr);
    HTREEITEM row = tree ? FindRow(tree, folder) : nullptr;
    if (row == nullptr) return;
    rowFound = true;
    RECT r{};
    std::memcpy(&r, &row, sizeof row);  // the message takes the row in the rectangle
    ::SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
    Click(tree, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    ::Sleep(300);
  }
};

class FolderDialogTest : public unitprog::UnitProgramTest {
 protected:
  void SetUp() override {
    UnitProgramTest::SetUp();
    StartUnitsCompiled(kCommandsFormTemplate, kCommandsFormTemplateSize, kDialogRoutines);
    ASSERT_TRUE(Load(kFormId));
    char desktop[MAX_PATH] = {};
    ASSERT_TRUE(
        SUCCEEDED(::SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop)));
    folder_ = std::string(desktop) + "\\" + kFolder;
    ::CreateDirectoryA(folder_.c_str(), nullptr);
  }
  void TearDown() override {
    ::RemoveDirectoryA(folder_.c_str());
    UnitProgramTest::TearDown();
  }
  // Runs the command with a user answering the dialog; the chosen path.
  std::string Browse(DialogUser& user) {
    std::thread thread(std::ref(user));
    std::vector<rt::ArgRecord> args = {rt::MakeText(kTitle), rt::ArgRecord{}};
    rt::ArgRecord result;
    commands::ShellLibrary().commands[0](&result, 2, args.data());
    thread.join();
    char* text = const_cast<char*>(rt::TextOf(result));
    std::string path = text ? text : "<null>";
    rt::Free(text);
    return path;
  }
  std::string folder_;
};

TEST_F(FolderDialogTest, ChoosingAFolderOrCancellingEnablesTheFormsAgain) {
  HWND form = WindowOf(0);
  const DWORD thread = ::GetCurrentThreadId();
  DialogUser chooser{form, thread, kFolder, IDOK};
  EXPECT_EQ(Browse(chooser), folder_);
  EXPECT_TRUE(chooser.sawDialog);
  EXPECT_TRUE(chooser.rowFound);
  EXPECT_TRUE(chooser.buttonFound);
  EXPECT_TRUE(chooser.formWasDisabled);
  EXPECT_TRUE(::IsWindowEnabled(form));

  DialogUser canceller{form, thread, nullptr, IDCANCEL};
  EXPECT_EQ(Browse(canceller), "<null>");
  EXPECT_TRUE(canceller.sawDialog);
  EXPECT_TRUE(canceller.buttonFound);
  EXPECT_TRUE(canceller.formWasDisabled);
  EXPECT_TRUE(::IsWindowEnabled(form));
  EXPECT_EQ(rt::LiveBlockCount(), 0);
}

}  // namespace
