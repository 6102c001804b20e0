// The player executable, started as a user starts it.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
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

// Without its form the player reports the missing start-up form through the
// fatal error box and ends with -1 once the box is closed.
TEST(PlayerStartup, MissingStartupFormIsReportedAndEndsWithMinusOne) {
  Started player = StartPlayer();
  ASSERT_TRUE(player.ok);
  HWND box = WaitForProcessWindow(player.pi.dwProcessId, "错误", 15000);
  ASSERT_NE(box, nullptr);
  auto texts = ChildTexts(box);
  bool hasText = std::any_of(texts.begin(), texts.end(), [](const std::string& t) {
    return t == "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n" ||
           t == "运行时出错!\r\n\r\n错误信息：载入启动窗口失败";
  });
  EXPECT_TRUE(hasText);
  EXPECT_TRUE(testing_support::ClickButton(box, "OK") || testing_support::ClickButton(box, "确定"));
  ASSERT_EQ(::WaitForSingleObject(player.pi.hProcess, 15000), WAIT_OBJECT_0);
  DWORD code = 0;
  ::GetExitCodeProcess(player.pi.hProcess, &code);
  EXPECT_EQ(code, 0xFFFFFFFFu);
  ::CloseHandle(player.pi.hThread);
  ::CloseHandle(player.pi.hProcess);
}

}  // namespace
