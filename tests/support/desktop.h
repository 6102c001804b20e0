#pragma once
// Drives another process's windows from a test, as a user would see them
// (Windows only).

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

// The first visible top-level window of the process with exactly this
// caption, looking every `pollMs` for up to `timeoutMs`; null when none
// appeared.
HWND WaitForProcessWindow(DWORD processId, const std::string& caption, DWORD timeoutMs,
                          DWORD pollMs = 50);

// The texts of a window's descendants, in window order.
std::vector<std::string> ChildTexts(HWND window);

// Clicks the descendant button with this text; false when there is none.
bool ClickButton(HWND window, const std::string& text);

}  // namespace testing_support
