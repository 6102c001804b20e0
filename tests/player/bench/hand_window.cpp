// The benchmark's yardstick: the player's window built by hand in plain
// Win32, with no runtime: the same 470 x 374 window and menu bar, a 465 x 200
// background picture (a BMP, made in memory), six push buttons, a list box
// filled from the folder's MP3 files, a track bar, a scroll bar and four
// static labels, a tray icon, three hot keys and a 1 s timer.
//   hand_window [FOLDER]

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "tests/player/bench/mp3_list.h"
#include <vector>

namespace {

constexpr int kPictureWidth = 465;
constexpr int kPictureHeight = 200;
constexpr UINT kTrayMessage = WM_APP + 1;

HBITMAP background;

// A 24-bit bottom-up BMP file of the picture's size, as a program would
// have it among its resources, made into a DIB section.
HBITMAP BackgroundFromBmp() {
  const int stride = (kPictureWidth * 3 + 3) & ~3;
  std::vector<unsigned char> file(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) +
                                  static_cast<size_t>(stride) * kPictureHeight);
  auto* header = reinterpret_cast<BITMAPFILEHEADER*>(file.data());
  auto* info = reinterpret_cast<BITMAPINFOHEADER*>(header + 1);
  header->bfType = 0x4D42;
  header->bfSize = static_cast<DWORD>(file.size());
  header->bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  info->biSize = sizeof(BITMAPINFOHEADER);
  info->biWidth = kPictureWidth;
  info->biHeight = kPictureHeight;
  info->biPlanes = 1;
  info->biBitCount = 24;
  unsigned char* pixels = file.data() + header->bfOffBits;
  for (int y = 0; y < kPictureHeight; ++y) {
    for (int x = 0; x < kPictureWidth; ++x) {
      unsigned char* p = pixels + y * stride + x * 3;
      p[0] = static_cast<unsigned char>(84 + x % 40);
      p[1] = static_cast<unsigned char>(91 + y % 30);
      p[2] = static_cast<unsigned char>(106);
    }
  }
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info), DIB_RGB_COLORS,
                                      &bits, nullptr, 0);
  if (bitmap) ::memcpy(bits, pixels, static_cast<size_t>(stride) * kPictureHeight);
  return bitmap;
}

HMENU MenuBar() {
  HMENU bar = ::CreateMenu();
  const char* const tops[][3] = {{"添加歌曲", "打开歌曲文件夹", nullptr},
                                 {"作者", "说明", nullptr},
                                 {"快捷键", "快捷键说明", nullptr},
                                 {"播放模式", "单曲循环播放", "列表循环播放"},
                                 {"退出", "退出播放器", nullptr}};
  UINT id = 20000;
  for (const auto& top : tops) {
    HMENU popup = ::CreatePopupMenu();
    for (int i = 1; i < 3 && top[i]; ++i) ::AppendMenuA(popup, MF_STRING, id++, top[i]);
    ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), top[0]);
  }
  return bar;
}

void Paint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(window, &ps);
  if (dc && background) {
    HDC memory = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(memory, background);
    ::BitBlt(dc, 0, 0, kPictureWidth, kPictureHeight, memory, 0, 0, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
  }
  ::EndPaint(window, &ps);
}

LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_PAINT: Paint(w); return 0;
    case WM_TIMER: return 0;
    case WM_DESTROY: ::PostQuitMessage(0); return 0;
    default: return ::DefWindowProcA(w, m, wp, lp);
  }
}

HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int width,
           int height) {
  return ::CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                           nullptr, ::GetModuleHandleA(nullptr), nullptr);
}

void MakeControls(HWND window) {
  const struct {
    const char* caption;
    int x, y, width;
  } buttons[] = {{"播放", 408, 96, 40},  {"静音", 352, 96, 40},    {"继续", 408, 129, 40},
                 {"暂停", 342, 130, 40}, {"上一首", 392, 163, 56}, {"下一首", 318, 164, 56}};
  for (const auto& b : buttons)
    Child(window, "BUTTON", b.caption, BS_PUSHBUTTON, b.x, b.y, b.width, 24);
  Child(window, TRACKBAR_CLASSA, "", TBS_NOTICKS, 169, 29, 280, 28);
  Child(window, "SCROLLBAR", "", SBS_HORZ, 347, 14, 102, 10);
  Child(window, "STATIC", "音量调节：", 0, 278, 11, 61, 16);
  Child(window, "STATIC", "-", 0, 346, 14, 17, 9);
  Child(window, "STATIC", "+", 0, 432, 14, 16, 9);
  Child(window, "STATIC", "", 0, 8, 173, 224, 24);
}

void AddTrayIcon(HWND window) {
  NOTIFYICONDATAA tray = {};
  tray.cbSize = NOTIFYICONDATAA_V1_SIZE;
  tray.hWnd = window;
  tray.uID = 1;
  tray.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  tray.uCallbackMessage = kTrayMessage;
  tray.hIcon = ::LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  ::lstrcpynA(tray.szTip, "hand", sizeof tray.szTip);
  ::Shell_NotifyIconA(NIM_ADD, &tray);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&controls);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "HandWindow";
  ::RegisterClassA(&wc);
  background = BackgroundFromBmp();
  HWND window = ::CreateWindowExA(0, wc.lpszClassName, "hand",
                                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 50, 50,
                                  470, 374, nullptr, MenuBar(), instance, nullptr);
  MakeControls(window);
  HWND list = ::CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", nullptr,
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY, 0, 199, 464, 116,
                                window, nullptr, instance, nullptr);
  if (commandLine && *commandLine) bench::FillWithMp3Names(list, commandLine);
  AddTrayIcon(window);
  for (UINT key : {'C', 'X', 'Z'}) ::RegisterHotKey(window, static_cast<int>(key), MOD_ALT, key);
  ::SetTimer(window, 1, 1000, nullptr);
  ::ShowWindow(window, SW_SHOW);
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return 0;
}
