#pragma once
// A program for tests of real unit types on forms built in code: library 0
// holds the framework tests' unit types at their numbers (the form window is
// type 1) and the Timer at type 32, library 5 is the multimedia library, and
// the other five are empty.

#include <cstdint>
#include <vector>

#include "forms/template.h"
#include "runtime/program.h"
#include "tests/forms/win/test_program.h"

namespace unitprog {

inline constexpr uint32_t kTimerCode = 0x00010020;
inline constexpr uint32_t kMediaPlayCode = 0x00060006;

class UnitProgramTest : public testprog::FrameworkTest {
 protected:
  // Initialises the runtime with these forms and the seven libraries.
  void StartUnits(std::vector<forms::FormRecord> forms);

 private:
  std::vector<uint8_t> bytes_;
  rt::ProgramHeader header_{};
};

}  // namespace unitprog
