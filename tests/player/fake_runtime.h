#pragma once
// A stand-in runtime for the player's routines: a helper table and seven
// libraries whose commands act on a small model of the form (play list,
// labels, bars), a media player with files that exist or not, a settings
// file, a folder listing and a heap that counts live texts. Commands the
// modelled routines only call for their effect elsewhere do nothing.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace player_test {

struct FakeMedia {
  std::set<std::string> files;  // paths that open
  bool isOpen = false;
  int32_t playFrom = 0;
  int32_t volume = -1;  // last volume set on both channels
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
  void SetInt(uint32_t unit, int32_t property, int32_t value);
};

}  // namespace player_test
