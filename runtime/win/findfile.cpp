// The file search of other-help 0 and 1: the caller keeps the search handle
// in its own variable, starts it at 0 and ends a walk with EndFind.

#include <windows.h>

#include "runtime/application.h"
#include "runtime/value.h"

namespace rt {

namespace {

constexpr DWORD kAttributeBits = 0x37;  // read-only, hidden, system, directory, archive

bool Accepted(DWORD attributes, uint32_t mask, int32_t anyFile) {
  if (anyFile) return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  mask &= kAttributeBits;
  return mask ? (attributes & mask) != 0 : attributes == 0;
}

}  // namespace

char* FindFile(const char* pattern, uint32_t attributeMask, int32_t anyFile,
               uintptr_t* searchHandle) {
  if (searchHandle == nullptr) return nullptr;
  WIN32_FIND_DATAA data;
  HANDLE handle;
  if (pattern && *pattern) {
    EndFind(*searchHandle);
    handle = ::FindFirstFileA(pattern, &data);
    if (handle == INVALID_HANDLE_VALUE) {
      *searchHandle = 0;
      return nullptr;
    }
  } else {
    handle = reinterpret_cast<HANDLE>(*searchHandle);
    if (!handle || !::FindNextFileA(handle, &data)) {
      EndFind(*searchHandle);
      *searchHandle = 0;
      return nullptr;
    }
  }
  while (!Accepted(data.dwFileAttributes, attributeMask, anyFile)) {
    if (!::FindNextFileA(handle, &data)) {
      ::FindClose(handle);
      *searchHandle = 0;
      return nullptr;
    }
  }
  *searchHandle = reinterpret_cast<uintptr_t>(handle);
  return CopyText(data.cFileName);
}

void EndFind(uintptr_t searchHandle) {
  if (searchHandle) ::FindClose(reinterpret_cast<HANDLE>(searchHandle));
}

}  // namespace rt
