#pragma once
// A program for framework tests: forms described in code, written as window
// template data, read by the runtime at initialisation, and a code base of
// recording routines that the forms' event links name by index.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "forms/win/framework.h"
#include "forms/template.h"
#include "runtime/program.h"
#include "tests/forms/win/test_units.h"
#include "tests/support/runtime_fixture.h"

namespace testprog {

constexpr uint32_t kFormId = 0x52010001;
constexpr int kRoutines = 16;

// One call of a recording routine.
struct Call {
  int routine;
  uint32_t sourceForm;
  uint32_t sourceUnit;  // 0 when no event source was set
  std::vector<uintptr_t> args;
};

std::vector<Call>& Calls();

// The recording routines R0 .. R15 that compiled test forms name: Rn records
// its calls as routine n. A form's routine list becomes a code base with
//   const rt::Routine kRoutines[] = {NAME_ROUTINES(TESTPROG_ENTRY)};
#define TESTPROG_EACH(X) \
  X(0) X(1) X(2) X(3) X(4) X(5) X(6) X(7) X(8) X(9) X(10) X(11) X(12) X(13) X(14) X(15)
#define TESTPROG_DECLARE(n) rt::RoutineResult R##n(const uintptr_t* args, int32_t count);
TESTPROG_EACH(TESTPROG_DECLARE)
#define TESTPROG_ENTRY(name) &testprog::name,
// What routine n returns; by default no result.
rt::RoutineResult& ResultOf(int routine);
// Runs inside routine n before it returns (may be empty).
void SetAction(int routine, void (*action)());
// The code base of the recording routines, for fixtures that make their own
// program header.
const rt::CodeBase& RecordingCodeBase();

forms::UnitRecord Unit(uint32_t id, uint32_t type, uint32_t flags = forms::unitflag::kVisible);
forms::UnitRecord MenuItem(uint32_t id, uint32_t level, const char* caption,
                           uint32_t handler = forms::kNoHandler);
// A form whose window unit (the real window type) keeps its record's place.
forms::FormRecord Form(uint32_t formId, std::vector<forms::UnitRecord> units);
std::vector<uint8_t> PlacedWindowBlock();

// Loads a form through the load service (modal: returns once it is gone).
bool LoadForm(uint32_t formId, HWND owner = nullptr, bool modal = false);

// Resets the runtime and the framework, installs both with the test
// library, and initialises the runtime with these forms.
class FrameworkTest : public testing_support::RuntimeTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Forms described in code; handler n names routine Rn.
  void Start(std::vector<forms::FormRecord> forms);
  // A compiled form source and the code base its routine list gives.
  template <size_t N>
  void StartCompiled(const uint8_t* data, uint32_t size, const rt::Routine (&routines)[N]) {
    codeBase_ = {routines, static_cast<uint32_t>(N), nullptr, nullptr};
    StartWithBytes(std::vector<uint8_t>(data, data + size), codeBase_);
  }
  // Initialises the runtime with these template bytes as they are, and a
  // multimedia library at index 5 when one is given.
  void StartWithBytes(std::vector<uint8_t> bytes, const rt::CodeBase& codeBase,
                      const rt::LibraryDescriptor* media = nullptr);
  bool Load(uint32_t formId = kFormId, HWND owner = nullptr, bool modal = false);
  // The window of a loaded unit (unit id 0: the form window).
  HWND WindowOf(uint32_t unitId, uint32_t formId = kFormId);
  // Processes the messages waiting, without the framework's loop.
  void Pump();

 private:
  std::vector<uint8_t> bytes_;
  rt::ProgramHeader header_{};
  rt::CodeBase codeBase_{};
  std::unique_ptr<testunits::FormWatch> formWatch_;
};

}  // namespace testprog
