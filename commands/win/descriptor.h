#pragma once
// The descriptor of a runtime library that has commands and no unit types,
// as the extension command libraries are.

#include <cstdint>

#include "runtime/program.h"

namespace commands {

rt::LibraryDescriptor CommandOnlyLibrary(const char* identity, const char* displayName,
                                         const rt::CommandFn* commands, uint32_t count);

}  // namespace commands
