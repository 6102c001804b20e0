#pragma once
// A program for tests of real unit types on forms: library 0 is the core
// library, library 1 the extended UI library 2 (the animation units),
// library 3 the extended UI library 1 (the transparent label), library 5 the
// multimedia library, library 6 the framework tests' stand-in types, and the
// other two are empty.

#include <cstdint>
#include <vector>

#include "forms/template.h"
#include "runtime/program.h"
#include "tests/forms/win/test_program.h"

namespace unitprog {

inline constexpr uint32_t kTimerCode = 0x00010020;
inline constexpr uint32_t kMediaPlayCode = 0x00060006;
inline constexpr uint32_t kCartoonBoxCode = 0x00020008;
inline constexpr uint32_t kCartoonObjectCode = 0x00020009;

class UnitProgramTest : public testprog::FrameworkTest {
 protected:
  // Initialises the runtime with these forms and the seven libraries.
  void StartUnits(std::vector<forms::FormRecord> forms);
  // The same with a compiled form source and its routine list.
  template <size_t N>
  void StartUnitsCompiled(const uint8_t* data, uint32_t size, const rt::Routine (&routines)[N]) {
    codeBase_ = {routines, static_cast<uint32_t>(N), nullptr, nullptr};
    StartUnitsWithBytes(std::vector<uint8_t>(data, data + size), codeBase_);
  }

 private:
  void StartUnitsWithBytes(std::vector<uint8_t> bytes, const rt::CodeBase& codeBase);
  rt::CodeBase codeBase_{};
};

}  // namespace unitprog
