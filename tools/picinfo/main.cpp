// picinfo: loads a picture file the way the animation units do (FrameImage
// load, still pictures through this system's own decoders) and prints what
// came out:
//   kind gif
//   width 32
//   height 28
//   frames 2
//   frame 0 delay 500 transparent 0xff000000
// Exit status 0 for a picture, 1 when the file is not one, 2 for a usage or
// file error. Options:
//   -t COLOR  transparent colour given to the load (COLORREF, default none)
//   -a        take each frame's transparent colour from its top-left pixel
//   -w DIR    also write the frames as DIR/frame-<n>.png (alpha = 255 -
//             the frame's transparency byte)

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "extunits/picture/frame_load.h"
#include "extunits/picture/kind.h"
#include "tools/picinfo/png_writer.h"

namespace {

struct Options {
  uint32_t transparentColor = ext::kNoColor;
  bool takeColor = false;
  std::string frameDirectory;
  std::string file;
};

bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-a") {
      o.takeColor = true;
    } else if (arg == "-t" && i + 1 < argc) {
      o.transparentColor = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 0));
    } else if (arg == "-w" && i + 1 < argc) {
      o.frameDirectory = argv[++i];
    } else if (o.file.empty() && !arg.empty() && arg[0] != '-') {
      o.file = arg;
    } else {
      return false;
    }
  }
  return !o.file.empty();
}

const char* KindOf(const std::vector<uint8_t>& bytes) {
  if (ext::HasPngSignature(bytes.data(), bytes.size())) return "png";
  return ext::KindName(ext::DetectKind(bytes.data(), bytes.size()));
}

void Print(const ext::FrameImage& image, const char* kind) {
  std::printf("kind %s\nwidth %d\nheight %d\nframes %d\n", kind, image.Width(), image.Height(),
              image.FrameCount());
  for (int32_t i = 0; i < image.FrameCount(); ++i) {
    std::printf("frame %d delay %u transparent 0x%08x\n", i, image.At(i).delay,
                image.At(i).transparentColor);
  }
}

bool WriteFrames(const ext::FrameImage& image, const std::string& directory) {
  for (int32_t i = 0; i < image.FrameCount(); ++i) {
    const std::string path = directory + "/frame-" + std::to_string(i) + ".png";
    if (!picinfo::WritePng(path, image.Width(), image.Height(), image.At(i).pixels)) {
      std::fprintf(stderr, "picinfo: cannot write %s\n", path.c_str());
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr, "usage: picinfo [-t COLOR] [-a] [-w DIR] FILE\n");
    return 2;
  }
  std::ifstream in(options.file, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "picinfo: cannot read %s\n", options.file.c_str());
    return 2;
  }
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>()};
  ext::FrameImage image;
  ext::LoadFrameImageWith(image, bytes.data(), bytes.size(), options.transparentColor,
                          options.takeColor, ext::LoadStillPortable);
  if (image.Empty()) {
    std::printf("kind none\n");
    return 1;
  }
  Print(image, KindOf(bytes));
  if (!options.frameDirectory.empty() && !WriteFrames(image, options.frameDirectory)) return 2;
  return 0;
}
