#pragma once
// Where a problem in a form source lies, and the one error the compiler
// reports: "file:line: message".

#include <stdexcept>
#include <string>

namespace formc {

struct Location {
  std::string file;
  int line = 0;  // 0: the file as a whole
};

class CompileError : public std::runtime_error {
 public:
  CompileError(const Location& at, const std::string& message);
};

[[noreturn]] void Fail(const Location& at, const std::string& message);

}  // namespace formc
