#include "commands/win/descriptor.h"

namespace commands {

rt::LibraryDescriptor CommandOnlyLibrary(const char* identity, const char* displayName,
                                         const rt::CommandFn* commands, uint32_t count) {
  rt::LibraryDescriptor d{};
  d.formatMarker = rt::kLibraryFormatMarker;
  d.identity = identity;
  d.versionMajor = 1;
  d.displayName = displayName;
  d.one = 1;
  d.commandCount = count;
  d.commands = commands;
  return d;
}

}  // namespace commands
