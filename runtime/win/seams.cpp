#include <windows.h>

#include "runtime/seams.h"

namespace rt {

int32_t PlatformMessageBox(void* owner, const char* text, const char* caption, uint32_t style) {
  return ::MessageBoxA(static_cast<HWND>(owner), text, caption, style);
}

void PlatformEndProcess(int32_t code) { ::ExitProcess(static_cast<UINT>(code)); }

}  // namespace rt
