#include "tests/player/player_driver.h"

#include <commctrl.h>
#include <shlobj.h>

#include "tests/support/desktop.h"
#include "tests/support/process.h"

namespace player_e2e {

namespace {

const char kCaption[] = "欢迎使用Vessa播放器，本版献给那些毕业即将分开的情侣们";
const char kSection[] = "配置";

std::string SettingsFileIn(const std::string& folder) { return folder + "目录.ini"; }

struct Placed {
  HWND form;
  int left, top;
  HWND found;
};

BOOL CALLBACK MatchPlace(HWND child, LPARAM param) {
  auto* p = reinterpret_cast<Placed*>(param);
  if (::GetParent(child) != p->form) return TRUE;
  RECT r;
  ::GetWindowRect(child, &r);
  ::MapWindowPoints(nullptr, p->form, reinterpret_cast<POINT*>(&r), 2);
  if (r.left == p->left && r.top == p->top) {
    p->found = child;
    return FALSE;
  }
  return TRUE;
}

void SendMouse(DWORD flags, POINT at) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = at.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = at.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  ::SendInput(1, &in, sizeof in);
  ::Sleep(30);
}

void SendKey(WORD key, bool up) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = key;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  ::SendInput(1, &in, sizeof in);
  ::Sleep(20);
}

LRESULT CALLBACK FocusProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  return ::DefWindowProcA(w, m, wp, lp);
}

// A buffer in another process's memory, for messages whose pointers are
// passed on as they are.
class RemoteBuffer {
 public:
  RemoteBuffer(DWORD processId, SIZE_T size) : size_(size) {
    process_ =
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process_) address_ = ::VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  }
  ~RemoteBuffer() {
    if (address_) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) ::CloseHandle(process_);
  }
  void* address() const { return address_; }
  void Write(const void* data, SIZE_T n, SIZE_T offset = 0) const {
    ::WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, n, nullptr);
  }
  void Read(void* data, SIZE_T n, SIZE_T offset = 0) const {
    ::ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, n, nullptr);
  }

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
  SIZE_T size_;
};

struct DialogSearch {
  DWORD processId;
  HWND form;
  HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<DialogSearch*>(param);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  if (pid == s->processId && window != s->form && ::IsWindowVisible(window) &&
      ::FindWindowExA(window, nullptr, WC_TREEVIEWA, nullptr)) {
    s->found = window;
    return FALSE;
  }
  return TRUE;
}

// The text of a tree item, read in the tree's own process.
std::string TreeItemText(HWND tree, DWORD processId, HTREEITEM item) {
  RemoteBuffer buffer(processId, sizeof(TVITEMA) + 260);
  if (!buffer.address()) return "";
  TVITEMA tv = {};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = static_cast<char*>(buffer.address()) + sizeof(TVITEMA);
  tv.cchTextMax = 260;
  buffer.Write(&tv, sizeof tv);
  ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(buffer.address()));
  char text[261] = {};
  buffer.Read(text, 260, sizeof(TVITEMA));
  return text;
}

bool ClickDialogButton(HWND dialog, const char* a, const char* b) {
  return testing_support::ClickButton(dialog, a) || testing_support::ClickButton(dialog, b);
}

// The process's folder dialog, waiting up to 10 s; null when none showed.
HWND WaitForFolderDialog(DWORD processId, HWND form) {
  DialogSearch s{processId, form, nullptr};
  WaitFor([&] { return ::EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&s)), s.found; }, 10000);
  return s.found;
}

// A control's answer to a message without arguments.
int Ask(HWND control, UINT message) {
  return static_cast<int>(::SendMessageA(control, message, 0, 0));
}

}  // namespace

bool WaitFor(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > ms) return false;
    ::Sleep(50);
  }
  return true;
}

// ---- The program ---------------------------------------------------------------

PlayerDriver::PlayerDriver(const std::string& name, const std::vector<std::string>& settings,
                           Program program) {
  const std::string here = testing_support::TestProgramDirectory();
  folder_ = here + name + "\\";
  ::CreateDirectoryA(folder_.c_str(), nullptr);
  ::DeleteFileA(SettingsFileIn(folder_).c_str());
  if (program == Program::kBuilt) {
    ::CopyFileA((here + "..\\..\\player\\player.exe").c_str(), (folder_ + "player.exe").c_str(),
                FALSE);
  }
  for (const std::string& line : settings) {
    const size_t eq = line.find('=');
    WriteSetting(line.substr(0, eq), line.substr(eq + 1));
  }
}

PlayerDriver::~PlayerDriver() {
  if (pi_.hProcess) {
    WaitForExit(0);
    ::CloseHandle(pi_.hThread);
    ::CloseHandle(pi_.hProcess);
  }
}

bool PlayerDriver::Start() {
  std::string exe = folder_ + "player.exe";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  if (!::CreateProcessA(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi_)) {
    return false;
  }
  form_ = testing_support::WaitForProcessWindow(pi_.dwProcessId, kCaption, 20000);
  return form_ != nullptr;
}

long PlayerDriver::WaitForExit(DWORD ms) {
  if (::WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) {
    ::TerminateProcess(pi_.hProcess, 1);
    ::WaitForSingleObject(pi_.hProcess, 5000);
    return -2;
  }
  DWORD code = 0;
  ::GetExitCodeProcess(pi_.hProcess, &code);
  return static_cast<long>(code);
}

// ---- Reading the form ---------------------------------------------------------------

HWND PlayerDriver::UnitAt(int left, int top) const {
  Placed p{form_, left, top, nullptr};
  ::EnumChildWindows(form_, MatchPlace, reinterpret_cast<LPARAM>(&p));
  return p.found;
}

HWND PlayerDriver::Button(const std::string& caption) const {
  for (HWND c = ::GetWindow(form_, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
    char cls[32] = {};
    ::GetClassNameA(c, cls, sizeof cls);
    if (::lstrcmpiA(cls, "Button") == 0 && Text(c) == caption) return c;
  }
  return nullptr;
}

std::string PlayerDriver::Text(HWND window) const {
  char text[1024] = {};
  ::GetWindowTextA(window, text, sizeof text);
  return text;
}

int PlayerDriver::RowCount() const { return Ask(UnitAt(0, 199), LB_GETCOUNT); }
int PlayerDriver::Selection() const { return Ask(UnitAt(0, 199), LB_GETCURSEL); }

void PlayerDriver::Select(int row) const {
  ::SendMessageA(UnitAt(0, 199), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

std::string PlayerDriver::SongName() const { return Text(UnitAt(8, 173)); }
std::string PlayerDriver::Mode() const { return Text(UnitAt(173, 57)); }

int PlayerDriver::SliderPosition() const { return Ask(UnitAt(169, 29), TBM_GETPOS); }
int PlayerDriver::SliderMaximum() const { return Ask(UnitAt(169, 29), TBM_GETRANGEMAX); }
int PlayerDriver::VolumePosition() const { return Ask(UnitAt(347, 14), SBM_GETPOS); }

COLORREF PlayerDriver::ScreenPixel(HWND window, int x, int y) const {
  POINT p = {x, y};
  ::ClientToScreen(window, &p);
  HDC screen = ::GetDC(nullptr);
  const COLORREF colour = ::GetPixel(screen, p.x, p.y);
  ::ReleaseDC(nullptr, screen);
  return colour;
}

// ---- Input ------------------------------------------------------------------------

void PlayerDriver::Click(const std::string& caption) const {
  ::PostMessageA(Button(caption), BM_CLICK, 0, 0);
}

// The form's menu items in menu order; item i has the command id 20000 + i.
bool PlayerDriver::ChooseMenu(const std::string& caption) const {
  static const char* const kItems[] = {"添加歌曲",     "打开歌曲文件夹", "作者",     "说明",
                                       "快捷键",       "快捷键说明",     "播放模式", "单曲循环播放",
                                       "列表循环播放", "顺序播放",       "退出",     "退出播放器"};
  for (UINT i = 0; i < sizeof kItems / sizeof kItems[0]; ++i) {
    if (caption == kItems[i]) {
      return ::PostMessageA(form_, WM_COMMAND, MAKEWPARAM(20000 + i, 0), 0) != 0;
    }
  }
  return false;
}

void PlayerDriver::ClickAt(HWND window, int x, int y, bool right) const {
  Drag(window, x, y, x, right);
}

// Presses at x0, moves in five steps to x1 and lets go there.
void PlayerDriver::Drag(HWND window, int x0, int y, int x1, bool right) const {
  POINT a = {x0, y}, b = {x1, y};
  ::ClientToScreen(window, &a);
  ::ClientToScreen(window, &b);
  SendMouse(0, a);
  SendMouse(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN, a);
  for (int i = 1; i <= 5 && x1 != x0; ++i) SendMouse(0, {a.x + (b.x - a.x) * i / 5, a.y});
  SendMouse(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP, b);
}

// Wine brings its key state back to the X keyboard's when a window takes the
// focus, and the X keyboard never saw the keys sent here: a focus change still
// pending in either program (the player's form just shown, the driver's window
// just focused) would let go of Alt between the keys, and the hot key would
// never fire. Nothing shows when those are done, so the keys wait until the
// player is idle and a moment more.
void PlayerDriver::AltKey(char key) const {
  ::WaitForInputIdle(pi_.hProcess, 2000);
  ::Sleep(300);
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
  SendKey(VK_MENU, false);
  SendKey(static_cast<WORD>(key), false);
  SendKey(static_cast<WORD>(key), true);
  SendKey(VK_MENU, true);
}

// ---- The folder dialog -------------------------------------------------------------

bool PlayerDriver::PickDesktopFolder(const std::string& name) const {
  HWND dialog = WaitForFolderDialog(pi_.dwProcessId, form_);
  if (!dialog) return false;
  HWND tree = ::FindWindowExA(dialog, nullptr, WC_TREEVIEWA, nullptr);
  HTREEITEM item = nullptr;
  WaitFor(
      [&] {
        auto root = reinterpret_cast<LPARAM>(TreeView_GetRoot(tree));
        item = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, root));
        while (item && TreeItemText(tree, pi_.dwProcessId, item) != name) {
          item = TreeView_GetNextSibling(tree, item);
        }
        return item != nullptr;
      },
      5000);
  if (!item) return false;
  // The row's rectangle: the item goes in, the rectangle comes back.
  RemoteBuffer buffer(pi_.dwProcessId, sizeof(RECT));
  RECT r = {};
  buffer.Write(&item, sizeof item);
  ::SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(buffer.address()));
  buffer.Read(&r, sizeof r);
  ClickAt(tree, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ::Sleep(300);
  return ClickDialogButton(dialog, "确定", "OK");
}

bool PlayerDriver::CancelFolderDialog() const {
  HWND dialog = WaitForFolderDialog(pi_.dwProcessId, form_);
  return dialog && ClickDialogButton(dialog, "取消", "Cancel");
}

// ---- The settings file ---------------------------------------------------------------

std::string PlayerDriver::Setting(const std::string& key) const {
  char value[1024] = {};
  ::GetPrivateProfileStringA(kSection, key.c_str(), "", value, sizeof value,
                             SettingsFileIn(folder_).c_str());
  return value;
}

void PlayerDriver::WriteSetting(const std::string& key, const std::string& value) const {
  ::WritePrivateProfileStringA(kSection, key.c_str(), value.c_str(),
                               SettingsFileIn(folder_).c_str());
}

// ---- Songs --------------------------------------------------------------------------

std::string SongFolder() { return testing_support::TestProgramDirectory() + "songs"; }

std::vector<std::string> SongsInSearchOrder(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((folder + "\\*.mp3").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
  return names;
}

std::string DesktopFolder() {
  char path[MAX_PATH] = {};
  ::SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, path);
  return path;
}

void CopySongs(const std::string& from, const std::string& to) {
  ::CreateDirectoryA(to.c_str(), nullptr);
  for (const std::string& name : SongsInSearchOrder(from)) {
    ::CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE);
  }
}

HWND TrayWindow() {
  HWND tray = ::FindWindowA("__winex11_standalone_tray", nullptr);
  return tray && ::IsWindowVisible(tray) ? tray : nullptr;
}

// ---- A window of the test's own -------------------------------------------------------

FocusWindow::FocusWindow() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = FocusProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = "PlayerE2EFocus";
  ::RegisterClassA(&wc);
  window_ = ::CreateWindowExA(0, wc.lpszClassName, "driver", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 900,
                              700, 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
}

FocusWindow::~FocusWindow() {
  if (window_) ::DestroyWindow(window_);
}

void FocusWindow::Focus() const {
  ::SetForegroundWindow(window_);
  ::SetFocus(window_);
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
}

}  // namespace player_e2e
