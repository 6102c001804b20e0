// The benchmark's reference program: a bare Win32 program that creates one
// window with a list box and shows it. Given a folder, it first fills the
// list with the folder's MP3 names by FindFirstFile and LB_ADDSTRING.

#include <windows.h>

#include <string>

#include "tests/player/bench/mp3_list.h"

namespace {

LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_DESTROY) ::PostQuitMessage(0);
  return ::DefWindowProcA(w, m, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "BareWindow";
  ::RegisterClassA(&wc);
  HWND window = ::CreateWindowExA(0, wc.lpszClassName, "bare", WS_OVERLAPPEDWINDOW, 50, 50, 470,
                                  374, nullptr, nullptr, instance, nullptr);
  HWND list =
      ::CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0,
                        199, 464, 116, window, nullptr, instance, nullptr);
  if (commandLine && *commandLine) bench::FillWithMp3Names(list, commandLine);
  ::ShowWindow(window, SW_SHOW);
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
  return 0;
}
