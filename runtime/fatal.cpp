#include "runtime/fatal.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

#include "runtime/messages.h"
#include "runtime/runtime.h"
#include "runtime/seams.h"

namespace rt {

namespace {

const char* const kRuntimeErrors[] = {
    "数组成员引用下标超出定义范围",
    "未得到所需要的数值型数据",
    "引用数组成员时维数不为1且不等于该数组目前所具有的维数",
    "数组成员引用下标必须大于等于1",
    "数据或数组类型不匹配",
    "调用DLL命令后发现堆栈错误",
    "子语句参数未返回数据或者返回了非系统基本类型或数组型数据",
    "被比较数据只能使用等于或不等于命令比较",
    "“多项选择”命令的索引值参数小于零或超出了所提供参数表范围",
    "“重定义数组”命令的数组维定义参数值必须大于零或单维时大于等于零",
    "所提供参数的数据类型不符合要求",
};

std::atomic<ErrorHook> errorHook{nullptr};
std::atomic<bool> hookRunning{false};

// Runs the hook unless there is none or it is already running; true when it
// has told the user.
bool HookToldUser(const char* text, int32_t code) {
  ErrorHook hook = errorHook.load();
  if (hook == nullptr || hookRunning.exchange(true)) return false;
  int32_t answer = hook(code, text);
  hookRunning = false;
  return answer != 0;
}

}  // namespace

std::string FatalMessageText(const char* text, int32_t code) {
  std::string message = msg::kFatalHeading;
  if (code != 0) {
    message += msg::kFatalCodeLabel;
    message += std::to_string(code);
    message += "\r\n\r\n";
  }
  if (text != nullptr && *text != '\0') {
    message += msg::kFatalTextLabel;
    message += text;
    message += "\r\n";
  }
  return message;
}

void FatalError(const char* text, int32_t code) {
  EnterBusy();  // never left again: no handler runs from here on
  if (!HookToldUser(text, code)) {
    std::string message = FatalMessageText(text, code);
    ShowMessageBox(nullptr, message.c_str(), msg::kFatalCaption, kMbOk | kMbIconStop);
  }
  RegisterExitRoutine(nullptr);  // the program's exit routine does not run
  ExitProgram(-1);
}

void FatalErrorFormat(const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  FatalError(text, 0);
}

const char* RuntimeErrorText(int32_t number) {
  constexpr int32_t count = sizeof kRuntimeErrors / sizeof kRuntimeErrors[0];
  return number >= 1 && number <= count ? kRuntimeErrors[number - 1] : nullptr;
}

void RuntimeError(int32_t number) { FatalError(RuntimeErrorText(number), number); }

void FatalAllocationFailure(int64_t size) {
  // The message names the size as the caller asked for it.
  FatalErrorFormat(msg::kAllocationFailed, std::to_string(size).c_str());
}

void SetErrorHook(ErrorHook hook) {
  errorHook = hook;
  hookRunning = false;
}

}  // namespace rt
