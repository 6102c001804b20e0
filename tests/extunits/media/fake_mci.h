#pragma once
// A replacement MCI port for tests: it records every request, with the
// player's alias written back as "%s" so that commands compare with their
// formats, and answers from a table (everything else gets `otherError`).

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "extunits/media/mci_player.h"

namespace fakemci {

struct Answer {
  uint32_t error = 0;
  std::string reply;
};

struct State {
  std::string alias;                      // the alias written back as "%s"
  std::vector<std::string> sent;          // opens read "open <type>|<element>|<alias>"
  std::map<std::string, Answer> answers;  // by command as recorded
  uint32_t otherError = 0;
  std::set<uintptr_t> windows;  // values that name windows
  uint32_t now = 0;             // the clock
};

State& Fake();

// Installs the fake port with a fresh state for the player's alias; the
// destructor puts the previous port back.
class Installed {
 public:
  explicit Installed(const std::string& alias);
  ~Installed();
  Installed(const Installed&) = delete;
  Installed& operator=(const Installed&) = delete;

 private:
  const media::MciPort* previous_;
};

}  // namespace fakemci
