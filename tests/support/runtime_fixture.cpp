#include "tests/support/runtime_fixture.h"

#include "runtime/fatal.h"
#include "runtime/heap.h"
#include "runtime/runtime.h"
#include "runtime/seams.h"

namespace testing_support {

namespace {

std::vector<ShownMessage> shown;

int32_t RecordMessage(void* owner, const char* text, const char* caption, uint32_t style) {
  shown.push_back({text ? text : "", caption ? caption : "", style, owner});
  return 1;  // IDOK
}

void ThrowEnd(int32_t code) { throw ProcessEnded{code}; }

}  // namespace

const std::vector<ShownMessage>& ShownMessages() { return shown; }

int32_t ExitCodeOf(const std::function<void()>& body) {
  try {
    body();
  } catch (const ProcessEnded& end) {
    return end.code;
  }
  ADD_FAILURE() << "the process did not end";
  return 12345;
}

void RuntimeTest::SetUp() {
  shown.clear();
  rt::ResetRuntimeForTest();
  rt::SetErrorHook(nullptr);
  rt::FailAllocationAfter(0);
  rt::SetMessageBoxSeam(RecordMessage);
  rt::SetEndProcessSeam(ThrowEnd);
}

void RuntimeTest::TearDown() {
  rt::SetMessageBoxSeam(nullptr);
  rt::SetEndProcessSeam(nullptr);
  rt::SetErrorHook(nullptr);
  rt::FailAllocationAfter(0);
  rt::ResetRuntimeForTest();
}

}  // namespace testing_support
