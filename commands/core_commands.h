#pragma once
// The core library's commands that need no window: the message box (through
// the runtime's seam), texts, numbers and the run directory; and the rules
// the settings-file commands share. Every command has the command signature
// and answers bad input with a neutral result.

#include <cstdint>
#include <string>

#include "runtime/program.h"

namespace commands {

// Result setters: a number, a logical value, a text the caller will own.
void SetIntResult(rt::ArgRecord& result, int32_t value);
void SetBoolResult(rt::ArgRecord& result, bool value);
void SetTextResult(rt::ArgRecord& result, char* text);

// ---- Rules ---------------------------------------------------------------------------------

// The message box style: `flags`, made task modal unless it is system modal.
uint32_t MessageStyle(uint32_t flags);
// The pressed button as the command reports it: Windows code 1..7 minus one, else 0.
int32_t PressedButton(int32_t windowsCode);
// Code page 936 full-width ASCII forms, full-width space, "～" and "＊" made
// single bytes, pair by pair from the start; a lone lead byte at the end
// ends the text.
std::string HalfWidth(const char* text);
// The leading decimal integer after white space, with an optional sign;
// 0 without digits. Values beyond 32 bits saturate.
int32_t LeadingInteger(const char* text);
// Skips leading bytes 1 to 32 (control characters and spaces); null stays null.
const char* SkipControlBytes(const char* text);
// The Windows MOD_* bits of the runtime's modifier value (1 Ctrl, 2 Shift,
// 4 Alt and their sums); other values pass unchanged.
uint32_t HotKeyModifiers(int32_t runtimeValue);

// ---- Commands ------------------------------------------------------------------------------

void ShowMessage(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args);
void TextLeft(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args);
void GetRunDirectory(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args);
void ToInteger(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args);
void ToText(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args);

}  // namespace commands
