#include "commands/win/shell.h"

#include <windows.h>

#include <shlobj.h>

#include <utility>
#include <vector>

#include "commands/core_commands.h"
#include "forms/win/framework.h"
#include "runtime/library.h"
#include "runtime/value.h"

namespace commands {

namespace {

constexpr UINT kEditBox = 0x10;         // BIF_EDITBOX
constexpr UINT kIncludeFiles = 0x4000;  // BIF_BROWSEINCLUDEFILES

// The program's windows as the dialog found them: the active and the
// foreground window, and each top-level form window it disabled with the
// enabled state it had.
class ModalState {
 public:
  ModalState() {
    active_ = ::GetActiveWindow();
    if (!::IsWindow(active_)) active_ = nullptr;
    foreground_ = ::GetForegroundWindow();
    for (forms::FormWindowObject* form : forms::LiveFormWindows()) {
      HWND window = form->hwnd();
      if (::GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) continue;
      disabled_.emplace_back(window, ::IsWindowEnabled(window) != FALSE);
      ::EnableWindow(window, FALSE);
    }
  }
  ~ModalState() {
    for (const auto& [window, enabled] : disabled_) {
      if (::IsWindow(window)) ::EnableWindow(window, enabled);
    }
    if (::IsWindow(foreground_)) ::SetForegroundWindow(foreground_);
    if (active_ != nullptr && ::IsWindow(active_)) ::SetActiveWindow(active_);
  }
  ModalState(const ModalState&) = delete;
  ModalState& operator=(const ModalState&) = delete;

  HWND owner() const { return active_; }

 private:
  HWND active_ = nullptr;
  HWND foreground_ = nullptr;
  std::vector<std::pair<HWND, bool>> disabled_;
};

// The path of a chosen item (null when it is no file-system folder); the
// item list goes back to the shell allocator that made it.
char* PathOfItem(LPITEMIDLIST item) {
  char path[MAX_PATH] = {};
  char* text = ::SHGetPathFromIDListA(item, path) ? rt::CopyText(path) : nullptr;
  IMalloc* allocator = nullptr;
  if (SUCCEEDED(::SHGetMalloc(&allocator)) && allocator != nullptr) {
    allocator->Free(item);
    allocator->Release();
  }
  return text;
}

void BrowseForFolder(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args) {
  char displayName[MAX_PATH] = {};
  BROWSEINFOA info{};
  info.pszDisplayName = displayName;
  const rt::Args a(count, args);
  info.lpszTitle = a.Text(0);
  const bool withFiles = a.Given(1) && a.Word(1) != 0;
  info.ulFlags = withFiles ? kEditBox | kIncludeFiles : kEditBox;
  LPITEMIDLIST item = nullptr;
  {
    ModalState modal;
    info.hwndOwner = modal.owner();
    item = ::SHBrowseForFolderA(&info);
  }
  if (item != nullptr) SetTextResult(*result, PathOfItem(item));
}

const rt::CommandFn kCommands[] = {BrowseForFolder};

}  // namespace

const rt::LibraryDescriptor& ShellLibrary() {
  static const rt::LibraryDescriptor library = rt::ExtensionLibrary(
      "9F4E2A61C83B4D7E95A0B1C2D3E4F508", "操作系统界面功能支持库", nullptr, 0, kCommands, 1);
  return library;
}

}  // namespace commands
