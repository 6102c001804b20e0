#include "commands/win/skin.h"

#include "commands/skin/win/engine.h"
#include "runtime/library.h"
#include "runtime/value.h"

namespace commands {

namespace {

const rt::CommandFn kSkinCommands[] = {SetVisualStyle};

rt::LibraryDescriptor MakeSkinLibrary() {
  return rt::ExtensionLibrary("7C41E0A95B2D4F3896A1D8E2C05F7B64", "XP风格界面库", nullptr, 0,
                              kSkinCommands, 1);
}

}  // namespace

void SetVisualStyle(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args) {
  const int32_t scheme = count >= 1 && !rt::IsOmitted(args[0]) ? rt::ValueToInt(args[0]) : 0;
  *result = rt::MakeInt(static_cast<int32_t>(skin::SetVisualStyle(scheme)));
}

const rt::LibraryDescriptor& SkinLibrary() {
  static const rt::LibraryDescriptor library = MakeSkinLibrary();
  return library;
}

}  // namespace commands
