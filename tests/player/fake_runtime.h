#pragma once
// A stand-in runtime for the player's routines: a helper table and seven
// libraries whose commands act on a small model of the form (play list,
// labels, bars), a media player with files that exist or not, a settings
// file, a folder listing and a heap that counts live texts. Writing the play
// list's `CurrentIndex` clamps it as the list box does. Commands the
// modelled routines only call for their effect elsewhere do nothing.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace player_test {

// One MCI device: a file that opens has a length; the position moves only
// when a test lets time pass while it plays, and stops at the length.
struct FakeMedia {
  static constexpr int32_t kDeviceDefaultVolume = 100;  // what a new device plays at

  std::map<std::string, int32_t> files;  // paths that open -> length in ms
  std::string openFile;                  // the last name opened, whether it opened or not
  bool isOpen = false;
  bool playing = false;
  bool paused = false;
  int32_t position = 0;  // ms
  int32_t length = 0;
  int32_t playFrom = 0;
  int32_t plays = 0;          // play commands accepted
  int32_t volume = -1;        // last volume set on both channels
  int32_t volumeAtPlay = -1;  // the volume when the last play command came

  void Elapse(int32_t ms);  // playing and not paused: the position moves on
};

struct FakeRuntime {
  std::vector<std::string> rows;
  std::map<uint64_t, int32_t> ints;  // (unit, property) -> value
  std::map<uint64_t, std::string> texts;
  FakeMedia media;
  std::map<std::string, std::string> settings;              // key -> value in "配置"
  std::map<std::string, std::vector<std::string>> folders;  // pattern -> names found
  int64_t liveTexts = 0;

  FakeRuntime();  // installs itself and connects the player's call layer
  ~FakeRuntime();

  int32_t Int(uint32_t unit, int32_t property) const;
  std::string Text(uint32_t unit, int32_t property) const;
  void SetInt(uint32_t unit, int32_t property, int32_t value);
};

}  // namespace player_test
