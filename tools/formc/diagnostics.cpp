#include "tools/formc/diagnostics.h"

namespace formc {

namespace {

std::string Describe(const Location& at, const std::string& message) {
  if (at.line <= 0) return at.file + ": " + message;
  return at.file + ":" + std::to_string(at.line) + ": " + message;
}

}  // namespace

CompileError::CompileError(const Location& at, const std::string& message)
    : std::runtime_error(Describe(at, message)) {}

void Fail(const Location& at, const std::string& message) { throw CompileError(at, message); }

}  // namespace formc
