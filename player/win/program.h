#pragma once
// The player program as the runtime sees it: its header and entry routine.

#include <cstdint>

#include "runtime/program.h"

namespace player {

constexpr uint32_t kStartupFormId = 0x52010001;

const rt::ProgramHeader& Header();

// Initialises the runtime, registers the exit routine, loads the start-up
// form and runs the message loop.
int32_t Entry();

}  // namespace player
