#include "player/win/program.h"

#include <type_traits>

#include "PlayerForm.h"
#include "player/calls.h"
#include "player/constants.h"
#include "player/win/libraries.h"
#include "player/routines.h"
#include "runtime/runtime.h"

namespace player {

namespace {

// ---- The code base ------------------------------------------------------------

// Event arguments arrive one word each, first argument first; a missing one
// reads as 0.
int32_t Arg(const uintptr_t* args, int32_t count, int32_t i) {
  return i < count && args != nullptr ? static_cast<int32_t>(args[i]) : 0;
}

// Adapts a routine of zero to three Int arguments to the routine signature.
// The player's routines return no value to their events.
template <auto F>
rt::RoutineResult Bound(const uintptr_t* args, int32_t count) {
  if constexpr (std::is_invocable_v<decltype(F)>) {
    F();
  } else if constexpr (std::is_invocable_v<decltype(F), int32_t>) {
    F(Arg(args, count, 0));
  } else if constexpr (std::is_invocable_v<decltype(F), int32_t, int32_t>) {
    F(Arg(args, count, 0), Arg(args, count, 1));
  } else {
    F(Arg(args, count, 0), Arg(args, count, 1), Arg(args, count, 2));
  }
  return {};
}

// In the order of the form's handler links.
#define PLAYER_ROUTINE_ENTRY(name) &Bound<&name>,
const rt::Routine kRoutines[] = {PLAYER_FORM_ROUTINES(PLAYER_ROUTINE_ENTRY)};
#undef PLAYER_ROUTINE_ENTRY
static_assert(sizeof kRoutines / sizeof kRoutines[0] == kPlayerFormRoutineCount);

// The two do-nothing routines that stand below the code base.
int32_t ReturnsZero() { return 0; }
void ReturnsAtOnce() {}

const rt::CodeBase kCodeBase = {kRoutines, kPlayerFormRoutineCount, ReturnsZero, ReturnsAtOnce};

// ---- The header -----------------------------------------------------------------

const rt::LibraryDescriptor* const* Libraries() {
  static const rt::LibraryDescriptor* const libraries[lib::kCount] = {
      &commands::CoreLibrary(),  &::cartoon::Library(),      &commands::SkinLibrary(),
      &::translabel::Library(),  &commands::HotKeyLibrary(), &::media::Library(),
      &commands::ShellLibrary(),
  };
  return libraries;
}

rt::ProgramHeader MakeHeader() {
  rt::ProgramHeader h{};
  h.formatValue = 3;
  h.keptPlusOne = 0x100a4;
  h.codeBase = &kCodeBase;
  h.constantData = TrayIconBlock();
  h.constantSize = TrayIconBlockSize();
  h.templateData = kPlayerFormTemplate;
  h.templateSize = kPlayerFormTemplateSize;
  h.libraryCount = lib::kCount;
  h.libraries = Libraries();
  return h;
}

}  // namespace

const rt::ProgramHeader& Header() {
  static const rt::ProgramHeader header = MakeHeader();
  return header;
}

int32_t Entry() {
  const rt::HelperTable& helpers = rt::Helpers();
  helpers.otherHelp->initialize();
  Connect(helpers, Header().libraries);
  Global() = Globals{};
  RegisterExitRoutine(ExitCleanup);
  helpers.loadStartupForm(kStartupFormId);
  helpers.messageLoop();
  return 0;
}

}  // namespace player
