#pragma once
// A stand-in runtime for the player's routines: a helper table and seven
// libraries whose commands act on a small model of the form (play list,
// labels, bars, timer, window), a media player with files that exist or not,
// a settings file, a folder listing and a heap that counts live texts.
// The routines run exactly as in the program; only what they call is modelled.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace player_test {

struct FakeMedia {
  std::set<std::string> files;  // paths that open
  std::string opened;           // last name given to Open
  bool isOpen = false;
  bool paused = false;
  int32_t plays = 0;
  int32_t playFrom = 0;
  int32_t positionMs = 0;
  int32_t lengthMs = 0;
  int32_t volume = -1;  // last volume set on both channels
};

struct FakeRuntime {
  // The form.
  std::vector<std::string> rows;
  int32_t selection = -1;
  std::map<uint64_t, int32_t> ints;  // (unit, property) -> value
  std::map<uint64_t, std::string> texts;
  // Commands' effects.
  FakeMedia media;
  std::map<std::string, std::string> settings;  // key -> value in "配置"
  std::map<std::string, std::vector<std::string>> folders;
  std::string folderAnswer;  // what the folder dialog returns
  std::vector<std::string> messages;
  std::vector<std::string> calls;  // names of the extension commands called
  bool trayIconShown = false;
  int32_t hotKeysRegistered = 0;
  bool destroyed = false;
  int64_t liveTexts = 0;

  FakeRuntime();  // installs itself and connects the player's call layer
  ~FakeRuntime();

  int32_t Int(uint32_t unit, int32_t property) const;
  void SetInt(uint32_t unit, int32_t property, int32_t value);
  std::string Text(uint32_t unit, int32_t property) const;
};

}  // namespace player_test
