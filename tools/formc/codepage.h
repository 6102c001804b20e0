#pragma once
// Converting the source's UTF-8 texts into the program's code page 936.

#include <string>
#include <string_view>

namespace formc {

enum class Conversion {
  kOk,
  kBadUtf8,      // the input is not UTF-8
  kNotIn936,     // a character that code page 936 cannot hold
  kUnavailable,  // the host's iconv has no code page 936
};

// The code page 936 bytes of `utf8` in `out`; `out` is unspecified on failure,
// and `offender` then names the character (or byte) that failed.
Conversion ToCodePage936(std::string_view utf8, std::string& out, std::string* offender = nullptr);

}  // namespace formc
