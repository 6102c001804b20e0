// The file search of other-help 0 and 1: the caller keeps the search handle
// in its own variable, starts it at 0 and ends a walk with EndFind. A name
// the code page cannot hold comes back as its short name, which opens.

#include <windows.h>

#include <utility>
#include <vector>

#include "runtime/application.h"
#include "runtime/file_names.h"
#include "runtime/value.h"
#include "runtime/win/handles.h"
#include "runtime/win/platform_state.h"

namespace rt {

namespace {

constexpr DWORD kAttributeBits = 0x37;  // read-only, hidden, system, directory, archive

bool Accepted(DWORD attributes, uint32_t mask, int32_t anyFile) {
  if (anyFile) return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  mask &= kAttributeBits;
  return mask ? (attributes & mask) != 0 : attributes == 0;
}

// The open walk with this value, no longer kept; empty when there is none.
// Only a walk opened here is ever closed, so a stale or made-up value is
// harmless.
FindHandle TakeWalk(uintptr_t searchHandle) {
  auto& walks = Platform().findWalks;
  for (auto it = walks.begin(); it != walks.end(); ++it) {
    if (reinterpret_cast<uintptr_t>(it->get()) != searchHandle) continue;
    FindHandle walk = std::move(*it);
    walks.erase(it);
    return walk;
  }
  return FindHandle();
}

}  // namespace

char* FindFile(const char* pattern, uint32_t attributeMask, int32_t anyFile,
               uintptr_t* searchHandle) {
  if (searchHandle == nullptr) return nullptr;
  WIN32_FIND_DATAA data;
  FindHandle walk;
  if (pattern && *pattern) {
    EndFind(*searchHandle);
    *searchHandle = 0;
    walk.Reset(::FindFirstFileA(pattern, &data));
    if (!walk) return nullptr;
  } else {
    walk = TakeWalk(std::exchange(*searchHandle, 0));
    if (!walk || !::FindNextFileA(walk.get(), &data)) return nullptr;
  }
  while (!Accepted(data.dwFileAttributes, attributeMask, anyFile)) {
    if (!::FindNextFileA(walk.get(), &data)) return nullptr;
  }
  *searchHandle = reinterpret_cast<uintptr_t>(walk.get());
  Platform().findWalks.push_back(std::move(walk));
  return CopyText(OpenableFoundName(data.cFileName, data.cAlternateFileName));
}

void EndFind(uintptr_t searchHandle) { TakeWalk(searchHandle); }

}  // namespace rt
