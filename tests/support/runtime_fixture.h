#pragma once
// Test support for code that may end in a fatal error or an exit: the message
// box and the end of the process are replaced, so a test reads the message and
// the exit code and goes on.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "runtime/seams.h"

namespace testing_support {

// Thrown by the replaced end of the process.
using ProcessEnded = rt::ProcessEndUnwind;

struct ShownMessage {
  std::string text;
  std::string caption;
  uint32_t style;
  void* owner;
};

// Messages shown since the fixture started.
const std::vector<ShownMessage>& ShownMessages();

// Runs `body`, which must end the process; returns the exit code, or fails
// the test and returns 12345 when it returned normally.
int32_t ExitCodeOf(const std::function<void()>& body);

// Resets the runtime and installs the seams; restores the defaults after.
class RuntimeTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

}  // namespace testing_support
