#pragma once
// Test support for comparing picinfo with ImageMagick: a temporary folder,
// running commands, ImageMagick's decode of a file as RGBA bytes, and
// picinfo's report and frames.

#include <cstdint>
#include <string>
#include <vector>

namespace peer {

using Bytes = std::vector<uint8_t>;

// A fresh folder under /tmp, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string Path(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

struct CommandResult {
  int exitCode = -1;
  std::string output;  // standard output
};
CommandResult Run(const std::string& command);

// Runs ImageMagick's convert with these arguments; fails the test when it fails.
void Convert(const std::string& arguments);
// convert <input> <options> -depth 8 rgba:- (every image, one after the other).
Bytes Rgba(const std::string& input, const std::string& options = "");
// identify -format <format> <file>.
std::string Identify(const std::string& file, const std::string& format);

Bytes ReadFile(const std::string& path);
void WriteFile(const std::string& path, const Bytes& bytes);

struct PicinfoFrame {
  uint32_t delay = 0;
  uint32_t transparent = 0;
  Bytes rgba;  // as written to its PNG file, read back by ImageMagick
};
struct PicinfoResult {
  int exitCode = -1;
  std::string kind;
  int width = 0, height = 0;
  std::vector<PicinfoFrame> frames;
};
// Runs picinfo on a file with the options given and reads its frames back.
PicinfoResult Picinfo(const std::string& file, const std::string& options = "");

}  // namespace peer
