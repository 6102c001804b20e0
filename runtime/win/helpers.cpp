// The helper table and the other-help table the program calls the runtime
// through. Helpers served by the form framework answer, until it is
// installed, as a program without forms would be answered.

#include "runtime/application.h"
#include "runtime/fatal.h"
#include "runtime/heap.h"
#include "runtime/messages.h"
#include "runtime/runtime.h"

namespace rt {

namespace {

PropValue ReadProperty(uint32_t formId, uint32_t unitId, int32_t index, int32_t element) {
  if (!Framework().readProperty) FatalError(msg::kUnitFormNotLoaded);
  return Framework().readProperty(formId, unitId, index, element);
}

void WriteProperty(uint32_t formId, uint32_t unitId, int32_t index, int32_t element,
                   PropValue value) {
  if (!Framework().writeProperty) FatalError(msg::kUnitFormNotLoaded);
  Framework().writeProperty(formId, unitId, index, element, value);
}

void MessageLoop() {
  if (Framework().messageLoop) Framework().messageLoop();
}

void LoadStartupForm(uint32_t formId) {
  if (!Framework().loadStartupForm) FatalError(msg::kStartupFormFailed);
  Framework().loadStartupForm(formId);
}

// This program has no library data types other than units.
PropValue ReadObjectProperty(void*, int32_t) { return {}; }
void WriteObjectProperty(void*, int32_t, PropValue) {}

const OtherHelpTable kOtherHelp = {
    FindFile,           EndFind,
    MakeArrayPrivate,   RegisterExitRoutine,
    ReadObjectProperty, WriteObjectProperty,
    InitializeRuntime,
};

const HelperTable kHelpers = {
    RuntimeError,
    ResolveDllCommand,
    CallLibraryCommand,
    CallCoreCommand,
    ReadProperty,
    WriteProperty,
    [](int32_t size) { return Allocate(size); },
    [](void* block, int32_t size) { return Reallocate(block, size); },
    Free,
    [](int32_t code) { ExitProgram(code); },
    MessageLoop,
    LoadStartupForm,
    &kOtherHelp,
};

}  // namespace

const HelperTable& Helpers() { return kHelpers; }

}  // namespace rt
