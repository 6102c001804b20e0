#include "tests/tools/peer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace peer {

TempDir::TempDir() {
  char pattern[] = "/tmp/picture-peer-XXXXXX";
  const char* made = mkdtemp(pattern);
  if (made == nullptr) throw std::runtime_error("cannot make a temporary folder");
  path_ = made;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

CommandResult Run(const std::string& command) {
  CommandResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[65536];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
  const int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

void Convert(const std::string& arguments) {
  const CommandResult r = Run("convert " + arguments + " 2>&1");
  EXPECT_EQ(r.exitCode, 0) << "convert " << arguments << "\n" << r.output;
}

Bytes Rgba(const std::string& input, const std::string& options) {
  const CommandResult r = Run("convert " + input + " " + options + " -depth 8 rgba:-");
  EXPECT_EQ(r.exitCode, 0) << "convert " << input << " " << options;
  return Bytes(r.output.begin(), r.output.end());
}

std::string Identify(const std::string& file, const std::string& format) {
  return Run("identify -format '" + format + "' " + file).output;
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

PicinfoResult Picinfo(const std::string& file, const std::string& options) {
  TempDir frames;
  PicinfoResult result;
  const CommandResult r =
      Run(std::string(PICINFO_PATH) + " " + options + " -w " + frames.Path("") + " " + file);
  result.exitCode = r.exitCode;
  std::istringstream lines(r.output);
  std::string word;
  while (lines >> word) {
    if (word == "kind") lines >> result.kind;
    if (word == "width") lines >> result.width;
    if (word == "height") lines >> result.height;
    if (word == "frame") {
      PicinfoFrame f;
      int index;
      std::string delayWord, transparentWord, hex;
      lines >> index >> delayWord >> f.delay >> transparentWord >> hex;
      f.transparent = static_cast<uint32_t>(std::stoul(hex, nullptr, 16));
      f.rgba = Rgba(frames.Path("frame-" + std::to_string(index) + ".png"));
      result.frames.push_back(f);
    }
  }
  return result;
}

}  // namespace peer
