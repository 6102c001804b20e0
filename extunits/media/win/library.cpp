#include "extunits/media/win/library.h"

#include "extunits/media/commands.h"
#include "extunits/media/win/media_unit.h"
#include "forms/win/unit.h"
#include "runtime/library.h"

namespace media {

namespace {

// The player of the unit that argument 0 names. A unit that is not loaded
// is reported by the lookup service itself; one of another type is misuse
// of the same kind and reported the same way.
MciPlayer& PlayerOf(int32_t count, const rt::ArgRecord* args) {
  return forms::UnitArgOrFail<MediaPlayObject>(rt::Args(count, args)).player();
}

template <int N>
void Command(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args) {
  kPlayerCommands[N](PlayerOf(count, args), *result, count, args);
}

const rt::CommandFn kCommands[kCommandCount] = {Command<0>, Command<1>, Command<2>, Command<3>,
                                                Command<4>, Command<5>, Command<6>};

rt::LibraryDescriptor MakeLibrary() {
  static rt::UnitTypeRecord types[kTypeSlots] = {};
  types[kMediaPlayTypeNumber - 1] = MediaPlayType();
  return rt::ExtensionLibrary("5A2C7F4E91B64D0A8E3F1C6B7D920A41", "多媒体支持库", types, kTypeSlots,
                              kCommands, kCommandCount);
}

}  // namespace

const rt::LibraryDescriptor& Library() {
  static const rt::LibraryDescriptor library = MakeLibrary();
  return library;
}

}  // namespace media
