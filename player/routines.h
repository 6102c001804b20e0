#pragma once
// The player program's routines: one per bound event or menu item (the form
// names them), the routines they share, the exit clean-up, and the globals.
// The play list lives in 列表框1, the play mode in the mode label's caption,
// position and volume in the media player unit and the two bars.

#include <cstdint>

namespace player {

struct Globals {
  int32_t savedVolume;  // the volume to restore while muted; 0 when not muted
  int32_t hotKeyShowHide;
  int32_t hotKeyNext;
  int32_t hotKeyPrevious;
  char* songFolder;  // runtime heap texts, freed on every assignment
  int32_t startVolume;
  int32_t animObjectId;
  char* foundName;
  int32_t positionSeconds;
  int32_t lengthSeconds;
};
Globals& Global();

void ExitCleanup();

// The settings file beside the program: section "配置", the song folder
// under "路径" and the volume under "路径2".
class Text;
Text SettingsFile();
Text ReadSetting(const char* key);
void WriteSetting(const char* key, const char* value);

// Form window and play list (playlist.cpp).
void FormCreated();
void OpenSongFolder();
void ShowAbout();
void ShowHotKeyHelp();
void ExitPlayer();

// Playback and play modes (playback.cpp).
void PlaySelected();
void NextSong();
void PreviousSong();
void PauseClicked();
void ResumePlay();
void SeekToSlider();
void SliderPressed(int32_t x, int32_t y, int32_t keys);
void TimerTick();
void ProgressFeedback(int32_t position, int32_t length);
void SetModeSingleLoop();
void SetModeListLoop();
void SetModeSequential();

// Volume, hot keys and window hiding (controls.cpp).
void VolumeChanged();
void ToggleMute();
void ApplyVolume(int32_t volume);  // silence instead while muted
void HotKeyFeedback(int32_t id, int32_t unused);
void TrayClicked(int32_t operation);
void WindowMoved();

}  // namespace player
