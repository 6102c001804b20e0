#pragma once
// The form source file: INI-like sections of "key = value" lines.
//
//   ; a comment (also "#")
//   [form]
//   id = 0x52010001
//   [unit]
//   type = Button
//   prop.Caption = "  leading spaces need quotes"
//
// Keys and values are trimmed; a value's meaning depends on its key.

#include <string>
#include <string_view>
#include <vector>

#include "tools/formc/diagnostics.h"

namespace formc {

struct Entry {
  std::string key;
  std::string value;
  Location at;
};

struct Section {
  std::string kind;  // the name between the brackets
  Location at;
  std::vector<Entry> entries;
};

// Splits the text into sections; fails on lines that are neither a section
// header, a "key = value" pair, a comment nor blank.
std::vector<Section> ParseSections(std::string_view text, const std::string& file);

std::string_view Trim(std::string_view text);

}  // namespace formc
