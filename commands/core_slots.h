#pragma once
// The core library's command slots: each command's number within the
// library (index 0 of the program's library table), in slot order.

#include <cstdint>

namespace commands {

namespace coreslot {
enum : int32_t {
  kShowMessage,
  kGetItemText,
  kTextLeft,
  kGetItemCount,
  kGetRunDirectory,
  kReadConfigItem,
  kToInteger,
  kSetTrayIcon,
  kGetWindowHandle,
  kAddItem,
  kWriteConfigItem,
  kRaiseFeedbackEvent,
  kToText,
  kDestroy,
  kCount,
};
}  // namespace coreslot

}  // namespace commands
