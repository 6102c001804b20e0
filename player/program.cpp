#include "player/program.h"

#include "extunits/media/win/library.h"
#include "runtime/application.h"
#include "units/win/library.h"

namespace player {

namespace {

// The two do-nothing routines that stand below the code base.
int32_t ReturnsZero() { return 0; }
void ReturnsAtOnce() {}

const rt::CodeBase kCodeBase = {nullptr, 0, ReturnsZero, ReturnsAtOnce};

// The seven runtime libraries in index order; those not built yet are empty.
rt::LibraryDescriptor EmptyLibrary() {
  rt::LibraryDescriptor d{};
  d.formatMarker = rt::kLibraryFormatMarker;
  return d;
}
const rt::LibraryDescriptor kNotYetBuilt = EmptyLibrary();
const rt::LibraryDescriptor* const kLibraries[] = {
    &units::CoreLibrary(), &kNotYetBuilt,     &kNotYetBuilt, &kNotYetBuilt,
    &kNotYetBuilt,         &media::Library(), &kNotYetBuilt,
};

const rt::ProgramHeader kHeader = {
    3, 0, 0x100a4, &kCodeBase, nullptr, 0, nullptr, 0, 7, kLibraries, 0, nullptr, nullptr,
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
