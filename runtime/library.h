#pragma once
// Descriptors of the extension libraries.

#include <cstdint>

#include "runtime/program.h"

namespace rt {

// An extension library's descriptor (version 1, no notify function): its
// identity, name, type slots and command table.
LibraryDescriptor ExtensionLibrary(const char* identity, const char* displayName,
                                   const UnitTypeRecord* types, uint32_t typeCount,
                                   const CommandFn* commands, uint32_t commandCount);

}  // namespace rt
