#pragma once
// The name a file search hands back. The ANSI search puts "?" for every
// character of a long name that code page 936 lacks (a Korean name, for
// one); no file has "?" in its name, so such a name can never be opened.
// The search also gives the 8.3 short name, made to fit the code page.

#include "runtime/text936.h"

namespace rt {

// The long name, unless it holds a "?" and there is a short name.
inline const char* OpenableFoundName(const char* longName, const char* shortName) {
  const bool lost = LastCharacter(longName, '?') != std::string_view::npos;
  return lost && shortName != nullptr && *shortName != '\0' ? shortName : longName;
}

}  // namespace rt
