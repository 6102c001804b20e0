#pragma once
// The handles a test program holds: those the project's owners count, and
// the GDI and USER objects the system counts, which also sees a handle made
// outside the owners. Wine's GetGuiResources always answers 0, so there only
// the owners' count tells; on Windows both do. Leak tests compare two of
// these (Windows only).

#include <windows.h>

#include <cstdint>
#include <ostream>

#include "runtime/win/handles.h"

namespace testing_support {

struct HandleCounts {
  int64_t owned = 0;
  DWORD gdi = 0;
  DWORD user = 0;
  bool operator==(const HandleCounts& o) const {
    return owned == o.owned && gdi == o.gdi && user == o.user;
  }
};

inline HandleCounts CurrentHandles() {
  HANDLE self = ::GetCurrentProcess();
  return {rt::LiveHandleCount(), ::GetGuiResources(self, GR_GDIOBJECTS),
          ::GetGuiResources(self, GR_USEROBJECTS)};
}

inline std::ostream& operator<<(std::ostream& out, const HandleCounts& c) {
  return out << c.owned << " owned, " << c.gdi << " GDI, " << c.user << " USER";
}

}  // namespace testing_support
