#pragma once
// Reading the values of form source entries: numbers, flags, texts (turned
// into code page 936), text lists, byte blocks and routine names. Each
// reader fails with the entry's location when the value does not fit.
//
// Byte values: "@path" (a file, relative to the source), "hex:0A 0B ...",
// "font:face,height[,weight[,italic]]" (a LOGFONTA record), or nothing.
// Texts: the trimmed value, or a "quoted" one with \" \\ \n \r \t escapes.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/formc/source.h"

namespace formc {

// Reads the files a source names, relative to its folder, and remembers
// every file read (for the build's dependency list).
class FileReader {
 public:
  explicit FileReader(std::string folder) : folder_(std::move(folder)) {}
  std::vector<uint8_t> Read(const std::string& name, const Location& at);
  const std::vector<std::string>& filesRead() const { return filesRead_; }

 private:
  std::string folder_;
  std::vector<std::string> filesRead_;
};

int64_t ReadNumber(const Entry& entry, int64_t min, int64_t max);
// A 32-bit field: -2147483648 to 0xFFFFFFFF (stored as its bit pattern),
// or true/false, yes/no, on/off.
int32_t ReadInt(const Entry& entry);
uint32_t ReadWord(const Entry& entry);
bool ReadBool(const Entry& entry);
std::string ReadText(const Entry& entry);
std::vector<std::string> ReadTextList(const Entry& entry);  // comma-separated texts
std::vector<uint8_t> ReadBytes(const Entry& entry, FileReader& files);
std::vector<uint32_t> ReadWords(const Entry& entry);  // comma-separated
std::string ReadRoutineName(const Entry& entry);      // a C++ identifier
uint32_t ReadShortcut(const Entry& entry);            // 0..76 or "Ctrl+A", "F5", "Del" ...
std::vector<uint8_t> ReadCursor(const Entry& entry, FileReader& files);  // 0..14 or @file

// The code page 936 bytes of a UTF-8 text, or a failure at `at`.
std::string ToProgramText(const std::string& utf8, const Location& at);

}  // namespace formc
