// The player executable, started as a user starts it.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/desktop.h"
#include "tests/support/process.h"

namespace {

using testing_support::ChildTexts;
using testing_support::TestProgramDirectory;
using testing_support::WaitForProcessWindow;

struct Started {
  PROCESS_INFORMATION pi = {};
  bool ok = false;
};

Started StartPlayer() {
  Started s;
  std::string exe = TestProgramDirectory() + "..\\..\\player\\player.exe";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  s.ok = ::CreateProcessA(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &s.pi);
  return s;
}

// The player shows its form at start, and its close box ends it with code 0
// as the exit menu does.
TEST(PlayerStartup, ShowsItsFormAndTheCloseBoxEndsItWithZero) {
  Started player = StartPlayer();
  ASSERT_TRUE(player.ok);
  HWND form = WaitForProcessWindow(player.pi.dwProcessId,
                                   "欢迎使用Vessa播放器，本版献给那些毕业即将分开的情侣们", 15000);
  ASSERT_NE(form, nullptr);
  EXPECT_FALSE(ChildTexts(form).empty());
  ::PostMessageA(form, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_EQ(::WaitForSingleObject(player.pi.hProcess, 15000), WAIT_OBJECT_0);
  DWORD code = 1;
  ::GetExitCodeProcess(player.pi.hProcess, &code);
  EXPECT_EQ(code, 0u);
  ::CloseHandle(player.pi.hThread);
  ::CloseHandle(player.pi.hProcess);
}

}  // namespace
