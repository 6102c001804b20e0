// The form's start-up, the play list and its settings file, the two boxes of
// the menu and leaving the program.

#include <utility>

#include "player/calls.h"
#include "player/constants.h"
#include "player/routines.h"

namespace player {

namespace {

constexpr int32_t kSilverScheme = 3;
constexpr int32_t kAltModifier = 4;

// Registers Alt + key; the window handles are fetched afresh each time.
int32_t RegisterAltKey(int32_t virtualKey) {
  int32_t form = CoreInt(core::kGetWindowHandle, {Unit(kForm)});
  int32_t relay = CoreInt(core::kGetWindowHandle, {Unit(kHotKeyRelay)});
  rt::ArgRecord id =
      Call(lib::kHotKeys, kSetHotKey, {Int(form), Int(relay), Int(kAltModifier), Int(virtualKey)});
  return static_cast<int32_t>(rt::WordOf(id));
}

// Appends every file the walk started with `first` finds, then ends it.
void AppendFound(Text first, uintptr_t& handle) {
  Text name = std::move(first);
  while (!name.empty()) {
    Call(lib::kCore, core::kAddItem, {Unit(kPlayList), Str(name.get()), Omitted()});
    name = FindFile(nullptr, &handle);
  }
  EndFind(handle);
}

// Lists the saved folder's songs. With no folder saved nothing is listed:
// the bare pattern would name the root of whatever drive is current.
void StartupScan() {
  Globals& g = Global();
  Assign(g.songFolder, ReadSetting(kFolderKey));
  if (g.songFolder == nullptr || *g.songFolder == '\0') return;
  Text pattern = Join({g.songFolder, "\\*.mp3"});
  uintptr_t handle = 0;
  Assign(g.foundName, FindFile(pattern.get(), &handle));
  while (g.foundName != nullptr && *g.foundName != '\0') {
    Call(lib::kCore, core::kAddItem, {Unit(kPlayList), Str(g.foundName), Omitted()});
    Assign(g.foundName, FindFile(nullptr, &handle));
  }
  EndFind(handle);
}

}  // namespace

Globals& Global() {
  static Globals globals{};
  return globals;
}

Text SettingsFile() {
  Text directory = CoreText(core::kGetRunDirectory, {});
  return Join({directory.get(), "\\目录.ini"});
}

Text ReadSetting(const char* key) {
  Text file = SettingsFile();
  return CoreText(core::kReadConfigItem, {Str(file.get()), Str(kSection), Str(key), Omitted()});
}

void WriteSetting(const char* key, const char* value) {
  Text file = SettingsFile();
  Call(lib::kCore, core::kWriteConfigItem, {Str(file.get()), Str(kSection), Str(key), Str(value)});
}

void ExitCleanup() {
  Globals& g = Global();
  if (g.songFolder != nullptr) Assign(g.songFolder, Text());
  if (g.foundName != nullptr) Assign(g.foundName, Text());
}

void FormCreated() {
  Globals& g = Global();
  Call(lib::kVisualStyle, kSetVisualStyle, {Int(kSilverScheme)});
  rt::ArgRecord object =
      Call(lib::kCartoon, kCreateObject,
           {Unit(kAnimationBox), Unit(kButterfly), Int(160), Int(0), Omitted(), Omitted()});
  g.animObjectId = static_cast<int32_t>(rt::WordOf(object));
  rt::ArgRecord icon = rt::MakeByteSetValue(TrayIconBlock());
  Call(lib::kCore, core::kSetTrayIcon, {Unit(kForm), icon, Omitted()});
  g.hotKeyShowHide = RegisterAltKey('C');
  g.hotKeyNext = RegisterAltKey('X');
  g.hotKeyPrevious = RegisterAltKey('Z');
  StartupScan();
}

// A cancelled dialog answers the empty text: then nothing is searched and
// the saved folder and volume stay as they are.
void OpenSongFolder() {
  Text answer = TakeText(Call(lib::kShell, kBrowseForFolder, {Str(kFolderDialogTitle), Omitted()}));
  if (answer.empty()) return;
  Text pattern = Join({answer.get(), "\\*.mp3"});
  uintptr_t handle = 0;
  Text first = FindFile(pattern.get(), &handle);
  WriteSetting(kFolderKey, answer.get());
  WriteSetting(kVolumeKey, "30");
  AppendFound(std::move(first), handle);
}

void ShowAbout() {
  Call(lib::kCore, core::kShowMessage, {Str(kAboutText), Int(0), Str(kAboutCaption)});
}

void ShowHotKeyHelp() {
  Call(lib::kCore, core::kShowMessage, {Str(kHotKeyHelpText), Int(0), Str(kHotKeyHelpCaption)});
}

void ExitPlayer() {
  Call(lib::kCore, core::kSetTrayIcon, {Unit(kForm), Omitted(), Omitted()});
  Call(lib::kCore, core::kDestroy, {Unit(kForm), Omitted()});
}

}  // namespace player
