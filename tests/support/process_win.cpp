#include <windows.h>

#include "tests/support/process.h"

namespace testing_support {

std::string TestProgramDirectory() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s = path;
  return s.substr(0, s.rfind('\\') + 1);
}

namespace {

// Reads the pipe on a thread of its own, so a chatty child never blocks.
struct PipeReader {
  HANDLE pipe;
  std::string data;
  static DWORD WINAPI Run(void* self) {
    auto* reader = static_cast<PipeReader*>(self);
    char buffer[4096];
    DWORD n;
    while (::ReadFile(reader->pipe, buffer, sizeof buffer, &n, nullptr) && n > 0) {
      reader->data.append(buffer, n);
    }
    return 0;
  }
};

}  // namespace

ProcessResult RunProcess(const std::string& commandLine, uint32_t timeoutMs) {
  ProcessResult result;
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE readEnd, writeEnd;
  if (!::CreatePipe(&readEnd, &writeEnd, &sa, 0)) return result;
  ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = si.hStdError = writeEnd;
  si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi = {};
  std::string line = commandLine;
  BOOL started =
      ::CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  ::CloseHandle(writeEnd);
  if (!started) {
    ::CloseHandle(readEnd);
    result.exitCode = 0xDEAD;
    result.output = "could not start: " + commandLine;
    return result;
  }
  PipeReader reader{readEnd, {}};
  HANDLE thread = ::CreateThread(nullptr, 0, PipeReader::Run, &reader, 0, nullptr);
  if (::WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_TIMEOUT) {
    result.timedOut = true;
    ::TerminateProcess(pi.hProcess, 0xDEAD);
    ::WaitForSingleObject(pi.hProcess, 5000);
  }
  DWORD code = 0;
  ::GetExitCodeProcess(pi.hProcess, &code);
  result.exitCode = code;
  ::WaitForSingleObject(thread, 5000);
  ::CloseHandle(thread);
  ::CloseHandle(readEnd);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  result.output = reader.data;
  return result;
}

}  // namespace testing_support
