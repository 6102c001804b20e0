#include "player/program.h"

#include "runtime/application.h"

namespace player {

namespace {

// The two do-nothing routines that stand below the code base.
int32_t ReturnsZero() { return 0; }
void ReturnsAtOnce() {}

const rt::CodeBase kCodeBase = {nullptr, 0, ReturnsZero, ReturnsAtOnce};

const rt::ProgramHeader kHeader = {
    3, 0, 0x100a4, &kCodeBase, nullptr, 0, nullptr, 0, 0, nullptr, 0, nullptr, nullptr,
};

void ExitRoutine() {}

}  // namespace

const rt::ProgramHeader& Header() { return kHeader; }

int32_t Entry() {
  const rt::HelperTable& helpers = rt::Helpers();
  helpers.otherHelp->initialize();
  helpers.otherHelp->registerExitRoutine(ExitRoutine);
  helpers.loadStartupForm(kStartupFormId);
  helpers.messageLoop();
  return 0;
}

}  // namespace player
