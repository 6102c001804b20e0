#include <cstdio>
#include <cstdlib>

#include "runtime/seams.h"

namespace rt {

// Without a desktop the message goes to standard error; the answer is OK (1).
int32_t PlatformMessageBox(void*, const char* text, const char* caption, uint32_t) {
  std::fprintf(stderr, "[%s] %s\n", caption ? caption : "", text ? text : "");
  return 1;
}

void PlatformEndProcess(int32_t code) {
  std::fflush(nullptr);
  std::_Exit(code);
}

}  // namespace rt
