#pragma once
// Runs another program of the test suite and collects what it printed and
// how it ended (Windows only).

#include <cstdint>
#include <string>

namespace testing_support {

struct ProcessResult {
  std::string output;  // standard output and standard error, as bytes
  uint32_t exitCode = 0;
  bool timedOut = false;
};

// The directory of the running test program, with a trailing backslash.
std::string TestProgramDirectory();

// Starts `commandLine`, waits at most `timeoutMs`, kills it when it is late.
ProcessResult RunProcess(const std::string& commandLine, uint32_t timeoutMs = 30000);

}  // namespace testing_support
