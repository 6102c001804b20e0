#include "runtime/fatal.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <exception>
#include <new>

#include "runtime/messages.h"
#include "runtime/runtime.h"
#include "runtime/seams.h"

namespace rt {

namespace {

// Room for the heading, the code line and a text of FatalErrorFormat's size.
constexpr size_t kFatalMessageCapacity = 1280;

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

void FatalMessageText(const char* text, int32_t code, char* out, size_t capacity) {
  if (capacity == 0) return;
  out[0] = '\0';
  size_t used = 0;
  auto append = [&](const char* format, auto... args) {
    if (used >= capacity) return;
    const int n = std::snprintf(out + used, capacity - used, format, args...);
    if (n > 0) used += static_cast<size_t>(n);
  };
  append("%s", msg::kFatalHeading);
  if (code != 0) append("%s%d\r\n\r\n", msg::kFatalCodeLabel, static_cast<int>(code));
  if (text != nullptr && *text != '\0') append("%s%s\r\n", msg::kFatalTextLabel, text);
}

void FatalError(const char* text, int32_t code) {
  EnterBusy();  // never left again: no handler runs from here on
  if (!HookToldUser(text, code)) {
    char message[kFatalMessageCapacity];  // no heap: the failure may be the heap's
    FatalMessageText(text, code, message, sizeof message);
    ShowMessageBox(nullptr, message, msg::kFatalCaption, kMbOk | kMbIconStop);
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
  char digits[24];
  std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(size));
  FatalErrorFormat(msg::kAllocationFailed, digits);
}

void* NewBlock(size_t size, void* (*allocate)(size_t)) {
  if (size == 0) size = 1;  // every new gives a distinct block
  for (;;) {
    if (void* block = allocate(size)) return block;
    std::new_handler handler = std::get_new_handler();
    if (handler == nullptr) throw AllocationFailure(size);
    handler();
  }
}

void FatalFromCurrentException() {
  try {
    throw;
  } catch (const AllocationFailure& e) {
    FatalAllocationFailure(static_cast<int64_t>(e.size()));
  } catch (const std::exception& e) {  // a bad_alloc that knows no size: its own text
    FatalError(e.what(), 0);
  } catch (...) {
    FatalError("", 0);
  }
}

void SetErrorHook(ErrorHook hook) {
  errorHook = hook;
  hookRunning = false;
}

}  // namespace rt
