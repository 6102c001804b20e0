#pragma once
// Drives the real player executable as a user would: a copy of player.exe in
// a folder of its own (so its settings file is the test's), started as a
// process, its form found by caption and its controls by their place on the
// form; clicks, keys and menu choices go to the real windows.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace player_e2e {

// Waits up to `ms` for `done`, checking every 50 ms.
bool WaitFor(const std::function<bool()>& done, DWORD ms);

class PlayerDriver {
 public:
  // Where the program comes from: the build's player.exe, copied into the
  // folder, or the player.exe already there (an unpacked package).
  enum class Program { kBuilt, kInFolder };

  // Prepares a folder named `name` under the test program's folder, with
  // player.exe in it; `settings` are written beside it when not empty (lines
  // of the section "配置").
  PlayerDriver(const std::string& name, const std::vector<std::string>& settings,
               Program program = Program::kBuilt);
  ~PlayerDriver();

  bool Start();  // starts the program and waits for its form
  HWND form() const { return form_; }
  const std::string& folder() const { return folder_; }
  HANDLE process() const { return pi_.hProcess; }
  DWORD processId() const { return pi_.dwProcessId; }

  // A unit's window by its place in the form's client area.
  HWND UnitAt(int left, int top) const;
  HWND Button(const std::string& caption) const;
  std::string Text(HWND window) const;

  // The play list and the controls' states.
  int RowCount() const;
  int Selection() const;
  void Select(int row) const;
  std::string SongName() const;
  std::string Mode() const;
  int SliderPosition() const;
  int SliderMaximum() const;
  int VolumePosition() const;

  // The colour on the screen at a point of the window's client area.
  COLORREF ScreenPixel(HWND window, int x, int y) const;

  // Input.
  void Click(const std::string& caption) const;
  bool ChooseMenu(const std::string& caption) const;
  void ClickAt(HWND window, int x, int y, bool right = false) const;  // real mouse input
  void Drag(HWND window, int x0, int y, int x1, bool right = false) const;
  void AltKey(char key) const;

  // The folder dialog: waits for it and clicks the row of the Desktop
  // subfolder `name`, then the OK button; or clicks its cancel button.
  bool PickDesktopFolder(const std::string& name) const;
  bool CancelFolderDialog() const;

  std::string Setting(const std::string& key) const;
  void WriteSetting(const std::string& key, const std::string& value) const;
  // Ends the program when it still runs; its exit code, or -2 when it had to be killed.
  long WaitForExit(DWORD ms);

 private:
  std::string folder_;
  PROCESS_INFORMATION pi_ = {};
  HWND form_ = nullptr;
};

// The scenarios' song folder beside the test program, and its MP3 names in
// the order the directory search returns them.
std::string SongFolder();
std::vector<std::string> SongsInSearchOrder(const std::string& folder);

// The prefix user's Desktop folder, where the folder dialog's tree starts.
std::string DesktopFolder();
// Copies the MP3 files of one folder into another (made when missing).
void CopySongs(const std::string& from, const std::string& to);
// Wine's stand-in for the notification area, when it is shown.
HWND TrayWindow();

// A window of the test's own that keeps the focus on the Wine desktop, so that
// hot keys typed reach the player (see the notes on hot keys under Wine).
class FocusWindow {
 public:
  FocusWindow();
  ~FocusWindow();
  void Focus() const;

 private:
  HWND window_ = nullptr;
};

}  // namespace player_e2e
