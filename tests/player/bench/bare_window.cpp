// The benchmark's reference program: a bare Win32 program that creates one
// window with a list box and shows it. Given a folder, it first fills the
// list with the folder's MP3 names by FindFirstFile and LB_ADDSTRING.

#include <windows.h>

#include <string>

namespace {

LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_DESTROY) ::PostQuitMessage(0);
  return ::DefWindowProcA(w, m, wp, lp);
}

void FillFrom(HWND list, const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((folder + "\\*.mp3").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(data.cFileName));
    }
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
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
  if (commandLine && *commandLine) FillFrom(list, commandLine);
  ::ShowWindow(window, SW_SHOW);
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
  return 0;
}
