// The volume bar and the mute button, the three hot keys relayed through
// 标签2, and hiding the form to the notification area and bringing it back.

#include "player/calls.h"
#include "player/constants.h"
#include "player/routines.h"

namespace player {

namespace {

constexpr int32_t kRestoreAndCentre = 1;
constexpr int32_t kMinimised = 2;
constexpr int32_t kTrayLeftClick = 1;

int32_t BarVolume() { return ReadInt(kVolumeBar, prop::kBarPosition); }

bool SetVolume(int32_t volume) { return Media(media::kSetVolume, {Int(volume), Int(volume)}) != 0; }

// Showing comes first: restoring and centring act only on a visible window.
void ShowOrHide() {
  if (ReadInt(kForm, prop::kVisible) == 0) {
    WriteInt(kForm, prop::kVisible, 1);
    WriteInt(kForm, prop::kWindowState, kRestoreAndCentre);
  } else {
    WriteInt(kForm, prop::kVisible, 0);
  }
}

}  // namespace

// Muted while savedVolume holds the volume to return to: the tick and the
// play button keep applying silence until the mute button is pressed again
// or the bar is moved. Before a song is open nothing can be muted.
void ApplyVolume(int32_t volume) { SetVolume(Global().savedVolume > 0 ? 0 : volume); }

void ToggleMute() {
  Globals& g = Global();
  if (g.savedVolume > 0) {
    g.savedVolume = 0;
    SetVolume(BarVolume());
  } else if (SetVolume(0)) {
    g.savedVolume = BarVolume();
  }
}

void VolumeChanged() {
  Global().savedVolume = 0;
  const int32_t volume = BarVolume();
  SetVolume(volume);
  Text value = CoreText(core::kToText, {Int(volume)});
  WriteSetting(kVolumeKey, value.get());
}

void HotKeyFeedback(int32_t id, int32_t) {
  const Globals& g = Global();
  if (id == 0) return;  // a failed registration keeps 0 and matches nothing
  if (id == g.hotKeyShowHide) {
    ShowOrHide();
  } else if (id == g.hotKeyNext) {
    NextSong();
  } else if (id == g.hotKeyPrevious) {
    PreviousSong();
  }
}

void TrayClicked(int32_t operation) {
  if (operation == kTrayLeftClick) ShowOrHide();
}

void WindowMoved() {
  if (ReadInt(kForm, prop::kWindowState) == kMinimised) WriteInt(kForm, prop::kVisible, 0);
}

}  // namespace player
