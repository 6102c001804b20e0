// Builds without MCI (the portable tests' native build): every request fails
// as for a system without such a device, until a test puts its own port in.

#include <chrono>

#include "extunits/media/mci_player.h"

namespace media {

namespace {

constexpr uint32_t kNoDevice = 259;  // MCIERR_UNRECOGNIZED_COMMAND

uint32_t SendNothing(const char*, char* reply, uint32_t replySize) {
  if (reply && replySize > 0) reply[0] = '\0';
  return kNoDevice;
}

uint32_t OpenNothing(const char*, const char*, const char*) { return kNoDevice; }

bool NoWindow(uintptr_t) { return false; }

uint32_t SteadyMilliseconds() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

const MciPort kNoMciPort = {SendNothing, OpenNothing, NoWindow, SteadyMilliseconds};

}  // namespace

const MciPort& PlatformPort() { return kNoMciPort; }

}  // namespace media
