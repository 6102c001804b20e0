#pragma once
// The core commands that work on a unit's window or on settings files
// (Win32). Argument 0 of a unit command is the unit reference {form id,
// unit id, type code}; a unit that is not loaded is a fatal runtime error,
// except for GetWindowHandle, which answers 0.

#include <cstdint>

#include "runtime/program.h"

namespace commands {

void GetItemText(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args);
void GetItemCount(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args);
void ReadConfigItem(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args);
void SetTrayIcon(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args);
void GetWindowHandle(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args);
void AddItem(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args);
void WriteConfigItem(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args);
void RaiseFeedbackEvent(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args);
void Destroy(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args);

}  // namespace commands
