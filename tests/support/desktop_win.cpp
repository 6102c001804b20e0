#include "tests/support/desktop.h"

namespace testing_support {

namespace {

struct Search {
  DWORD processId;
  const std::string* caption;
  HWND found;
};

std::string TextOf(HWND window) {
  char text[1024] = {};
  ::GetWindowTextA(window, text, sizeof text);
  return text;
}

BOOL CALLBACK MatchTopWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  if (pid == search->processId && ::IsWindowVisible(window) && TextOf(window) == *search->caption) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectText(HWND window, LPARAM param) {
  reinterpret_cast<std::vector<std::string>*>(param)->push_back(TextOf(window));
  return TRUE;
}

}  // namespace

HWND WaitForProcessWindow(DWORD processId, const std::string& caption, DWORD timeoutMs,
                          DWORD pollMs) {
  DWORD start = ::GetTickCount();
  Search search{processId, &caption, nullptr};
  while (!search.found && ::GetTickCount() - start < timeoutMs) {
    ::EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found) ::Sleep(pollMs);
  }
  return search.found;
}

std::vector<std::string> ChildTexts(HWND window) {
  std::vector<std::string> texts;
  ::EnumChildWindows(window, CollectText, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

bool ClickButton(HWND window, const std::string& text) {
  for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    char cls[64] = {};
    ::GetClassNameA(child, cls, sizeof cls);
    if (::lstrcmpiA(cls, "Button") == 0 && TextOf(child) == text) {
      ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(child), BN_CLICKED),
                     reinterpret_cast<LPARAM>(child));
      return true;
    }
  }
  return false;
}

}  // namespace testing_support
