// picinfo against ImageMagick: pictures of every kind and variant are made
// with ImageMagick, loaded through picinfo (this system's code path, frames
// written as PNG) and compared with ImageMagick's own decode of the same
// file: exactly for the lossless kinds, within kJpegTolerance for JPEG.
//
// What "the same" means where the two differ by design:
// - Still pictures are opaque frames; icons and cursors are drawn on white,
//   so ImageMagick's RGBA of the chosen image is blended onto white first.
// - A GIF animation here keeps every frame as a canvas that starts white
//   and fully transparent, and disposal 2 puts back what lay under the
//   image (like disposal 3). ImageMagick's -coalesce clears to transparent
//   instead. So every GIF is compared with a canvas built by those rules
//   from ImageMagick's uncoalesced frames, and GIFs without disposal 2 also
//   directly with -coalesce, where transparent pixels match by alpha only.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "extunits/picture/gif.h"
#include "tests/tools/peer.h"

namespace {

using peer::Bytes;
using peer::Convert;
using peer::Identify;
using peer::Picinfo;
using peer::PicinfoResult;
using peer::Rgba;

// libjpeg-turbo decodes for both; differences come only from settings such
// as the IDCT or upsampling method, at most this much per colour byte.
constexpr int kJpegTolerance = 2;

class PicinfoPeer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new peer::TempDir;
    Convert("-seed 11 -size 37x23 plasma: " + Path("base.png"));
    Convert("-seed 12 -size 37x23 plasma: -alpha set -channel A -fx '(i+j)/59' +channel -depth 8 " +
            Path("alpha.png"));
  }
  static void TearDownTestSuite() { delete dir_; }
  static std::string Path(const std::string& name) { return dir_->Path(name); }
  static peer::TempDir* dir_;
};
peer::TempDir* PicinfoPeer::dir_ = nullptr;

// Compares RGBA byte blocks pixel by pixel; reports the first difference.
void ExpectSamePixels(const Bytes& actual, const Bytes& expected, int width, int tolerance = 0,
                      bool alpha = true, const std::string& what = "") {
  ASSERT_EQ(actual.size(), expected.size()) << what;
  size_t differing = 0, first = 0;
  for (size_t i = 0; i < actual.size(); ++i) {
    if (!alpha && i % 4 == 3) continue;
    if (std::abs(actual[i] - expected[i]) > tolerance && differing++ == 0) first = i;
  }
  EXPECT_EQ(differing, 0u) << what << ": first at x " << first / 4 % width << " y "
                           << first / 4 / width << " byte " << first % 4 << ": "
                           << int(actual[first]) << " vs " << int(expected[first]);
}

void ExpectOpaque(const Bytes& rgba) {
  for (size_t i = 3; i < rgba.size(); i += 4) ASSERT_EQ(rgba[i], 255) << i / 4;
}

// Checks picinfo's report of a still picture and compares its pixels.
void ExpectStill(const std::string& file, const std::string& kind, int width, int height,
                 const Bytes& expected, int tolerance = 0) {
  const PicinfoResult r = Picinfo(file);
  ASSERT_EQ(r.exitCode, 0) << file;
  EXPECT_EQ(r.kind, kind);
  EXPECT_EQ(r.width, width);
  EXPECT_EQ(r.height, height);
  ASSERT_EQ(r.frames.size(), 1u);
  EXPECT_EQ(r.frames[0].delay, 0u);
  EXPECT_EQ(r.frames[0].transparent, 0xFF000000u);
  ExpectOpaque(r.frames[0].rgba);
  ExpectSamePixels(r.frames[0].rgba, expected, width, tolerance, false, file);
}

uint32_t Le(const Bytes& b, size_t at, int size) {
  uint32_t v = 0;
  for (int i = size - 1; i >= 0; --i) v = v << 8 | b[at + static_cast<size_t>(i)];
  return v;
}

// ---- BMP, PCX, JPEG ------------------------------------------------------------

TEST_F(PicinfoPeer, BmpOfEveryDepth) {
  struct Case {
    const char* options;
    uint32_t bits, headerSize;
  };
  const Case cases[] = {
      {"-type bilevel -compress none bmp3:", 1, 40},
      {"+dither -colors 16 -type palette -compress none bmp3:", 4, 40},
      {"+dither -colors 200 -type palette -compress none bmp3:", 8, 40},
      {"-type truecolor -compress none bmp3:", 24, 40},
      {"-alpha on -define bmp3:alpha=true -compress none bmp3:", 32, 40},
      // A larger info header moves the colour table.
      {"+dither -colors 100 -type palette -compress none bmp:", 8, 124},
  };
  for (const Case& c : cases) {
    const std::string file = Path("depth" + std::to_string(c.bits) + ".bmp");
    Convert(Path("base.png") + " " + c.options + file);
    const Bytes bytes = peer::ReadFile(file);
    ASSERT_EQ(Le(bytes, 28, 2), c.bits) << c.options;  // the variant really is the one named
    ASSERT_EQ(Le(bytes, 14, 4), c.headerSize) << c.options;
    ASSERT_EQ(Le(bytes, 30, 4), 0u) << c.options;
    ExpectStill(file, "bmp", 37, 23, Rgba(file));
  }
}

TEST_F(PicinfoPeer, CompressedBmpIsNotAPicture) {
  for (const char* options : {"+dither -colors 200 -type palette bmp3:", "-alpha on bmp:"}) {
    const std::string file = Path("compressed.bmp");
    Convert(Path("alpha.png") + " " + options + file);
    ASSERT_NE(Le(peer::ReadFile(file), 30, 4), 0u) << options;  // RLE8 or bit fields
    const PicinfoResult r = Picinfo(file);
    EXPECT_EQ(r.exitCode, 1) << options;
    EXPECT_EQ(r.kind, "none");
  }
}

TEST_F(PicinfoPeer, PcxWithEightAndOneBits) {
  const std::string eight = Path("eight.pcx");
  Convert(Path("base.png") + " +dither -colors 60 -type palette " + eight);
  ASSERT_EQ(peer::ReadFile(eight)[3], 8);
  ExpectStill(eight, "pcx8", 37, 23, Rgba(eight));

  // ImageMagick writes one-bit files only from palette images, as version 5.
  Convert(Path("base.png") + " -monochrome " + Path("mono.gif"));
  const std::string one = Path("one.pcx");
  Convert(Path("mono.gif") + " " + one);
  Bytes bytes = peer::ReadFile(one);
  ASSERT_EQ(bytes[3], 1);
  ASSERT_EQ(bytes[65], 1);  // one plane
  // One bit per pixel is recognised with version 3 (no palette) only.
  EXPECT_EQ(Picinfo(one).exitCode, 1);
  bytes[1] = 3;
  peer::WriteFile(one, bytes);
  // ImageMagick reads (and writes) a clear bit as white; this system keeps
  // the format's own convention, a set bit is white. So its decode is
  // compared with ImageMagick's negated.
  ExpectStill(one, "pcx1", 37, 23, Rgba(one, "-negate"));
}

TEST_F(PicinfoPeer, JpegBaselineProgressiveAndGrey) {
  for (const char* options : {"-quality 85", "-quality 70 -interlace JPEG",
                              "-colorspace gray -quality 90", "-sampling-factor 2x2 -quality 95"}) {
    const std::string file = Path("picture.jpg");
    Convert(Path("base.png") + " " + options + " " + file);
    SCOPED_TRACE(options);
    ExpectStill(file, "jpeg", 37, 23, Rgba(file), kJpegTolerance);
  }
}

// ---- Icons and cursors ---------------------------------------------------------

// ImageMagick's RGBA blended onto white, as the icon is drawn.
Bytes OnWhite(Bytes rgba) {
  for (size_t i = 0; i < rgba.size(); i += 4) {
    const int a = rgba[i + 3];
    for (size_t c = 0; c < 3; ++c)
      rgba[i + c] = static_cast<uint8_t>((rgba[i + c] * a + 255 * (255 - a) + 127) / 255);
    rgba[i + 3] = 255;
  }
  return rgba;
}

TEST_F(PicinfoPeer, IconsAndCursorsShowTheChosenImage) {
  Convert("-seed 21 -size 16x16 plasma: +dither -colors 16 " + Path("i16.gif"));
  Convert("-seed 22 -size 32x32 plasma: +dither -colors 16 " + Path("i32.gif"));
  Convert("-seed 23 -size 48x48 plasma: -alpha set -channel A -fx '(i+j)/94' +channel -depth 8 " +
          Path("i48.png"));
  Convert("-seed 24 -size 48x48 plasma: +dither -colors 200 " + Path("j48.gif"));
  Convert("-seed 25 -size 24x24 plasma: -monochrome " + Path("j24.gif"));
  Convert("-seed 26 -size 16x16 plasma: -alpha set -channel A -fx 'i/15' +channel -depth 8 " +
          Path("j16.png"));
  Convert(Path("i16.gif") + " " + Path("i32.gif") + " " + Path("i48.png") + " " + Path("x.ico"));
  Convert(Path("j16.png") + " " + Path("j48.gif") + " " + Path("j24.gif") + " " + Path("y.ico"));
  Convert(Path("j16.png") + " " + Path("z.ico"));
  struct Case {
    std::string file;
    int chosen, size;
    uint32_t bits;
  };
  // x.ico: the 32-pixel 16-colour image is chosen; y.ico has no 32-pixel
  // image, so its last (one-bit) image is; z.ico has one 16-pixel image.
  const Case cases[] = {{"x.ico", 1, 32, 4}, {"y.ico", 2, 24, 1}, {"z.ico", 0, 16, 32}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const Bytes bytes = peer::ReadFile(Path(c.file));
    ASSERT_EQ(Le(bytes, 6 + 16 * static_cast<size_t>(c.chosen) + 6, 2), c.bits);
    const Bytes expected = OnWhite(Rgba(Path(c.file) + "[" + std::to_string(c.chosen) + "]"));
    ExpectStill(Path(c.file), "icon", c.size, c.size, expected);
    // The same images as a cursor (type 2, hot spot in the entry).
    Bytes cursor = bytes;
    cursor[2] = 2;
    peer::WriteFile(Path("c.cur"), cursor);
    ExpectStill(Path("c.cur"), "cursor", c.size, c.size, expected);
  }
}

// ---- GIF ---------------------------------------------------------------------

struct ImFrame {
  int width, height, left, top, delay;
  std::string dispose;
  Bytes rgba;
};

std::vector<ImFrame> UncoalescedFrames(const std::string& file) {
  std::istringstream info(Identify(file, "%w %h %X %Y %T %D\n"));
  std::vector<ImFrame> frames;
  ImFrame f;
  while (info >> f.width >> f.height >> f.left >> f.top >> f.delay >> f.dispose)
    frames.push_back(f);
  const Bytes all = Rgba(file);
  size_t at = 0;
  for (ImFrame& frame : frames) {
    const size_t n = static_cast<size_t>(frame.width * frame.height * 4);
    if (at + n > all.size()) break;
    frame.rgba.assign(all.begin() + static_cast<long>(at), all.begin() + static_cast<long>(at + n));
    at += n;
  }
  return frames;
}

// Canvases made from ImageMagick's frames by this system's rules: white and
// transparent at first; pixels of the transparent colour (the colour
// ImageMagick gives transparent pixels) skipped; disposal Background and
// Previous restore the area the image covered.
std::vector<Bytes> ModelCanvases(const std::vector<ImFrame>& frames, int width, int height) {
  Bytes canvas(static_cast<size_t>(width * height * 4), 255);
  for (size_t i = 3; i < canvas.size(); i += 4) canvas[i] = 0;  // white, transparent
  std::vector<Bytes> out;
  Bytes saved;
  for (const ImFrame& f : frames) {
    saved = canvas;
    uint32_t transparentRgb = 0xFFFFFFFF;
    for (size_t i = 0; i < f.rgba.size(); i += 4) {
      if (f.rgba[i + 3] == 0) transparentRgb = f.rgba[i] << 16 | f.rgba[i + 1] << 8 | f.rgba[i + 2];
    }
    for (int y = 0; y < f.height && f.top + y < height; ++y) {
      for (int x = 0; x < f.width && f.left + x < width; ++x) {
        const uint8_t* p = &f.rgba[static_cast<size_t>((y * f.width + x) * 4)];
        if (p[3] == 0 || static_cast<uint32_t>(p[0] << 16 | p[1] << 8 | p[2]) == transparentRgb)
          continue;
        std::copy(p, p + 4, &canvas[static_cast<size_t>(((f.top + y) * width + f.left + x) * 4)]);
      }
    }
    out.push_back(canvas);
    if (f.dispose == "Background" || f.dispose == "Previous") canvas = saved;
  }
  return out;
}

void ExpectGifMatches(const std::string& file, bool compareCoalesced) {
  SCOPED_TRACE(file);
  const PicinfoResult r = Picinfo(file);
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.kind, "gif");
  const std::vector<ImFrame> frames = UncoalescedFrames(file);
  ASSERT_EQ(r.frames.size(), frames.size());
  std::istringstream screen(Identify(file + "[0]", "%W %H"));
  int width = 0, height = 0;
  screen >> width >> height;
  ASSERT_EQ(r.width, width);
  ASSERT_EQ(r.height, height);
  const std::vector<Bytes> model = ModelCanvases(frames, width, height);
  const Bytes coalesced = compareCoalesced ? Rgba(file, "-coalesce") : Bytes();
  for (size_t i = 0; i < frames.size(); ++i) {
    EXPECT_EQ(r.frames[i].delay, frames[i].delay == 0 ? 50u : frames[i].delay * 10u) << i;
    ExpectSamePixels(r.frames[i].rgba, model[i], width, 0, true,
                     "model frame " + std::to_string(i));
    if (!compareCoalesced) continue;
    const size_t n = static_cast<size_t>(width * height * 4);
    Bytes expected(coalesced.begin() + static_cast<long>(i * n),
                   coalesced.begin() + static_cast<long>((i + 1) * n));
    Bytes actual = r.frames[i].rgba;
    for (size_t p = 0; p < n; p += 4) {  // transparent pixels match by alpha alone
      if (expected[p + 3] == 0) std::fill(&expected[p], &expected[p + 3], 0);
      if (actual[p + 3] == 0) std::fill(&actual[p], &actual[p + 3], 0);
    }
    ExpectSamePixels(actual, expected, width, 0, true, "coalesced frame " + std::to_string(i));
  }
}

// Which variants a GIF really holds (so the test covers what it claims).
struct GifVariants {
  bool local = false, interlaced = false, transparent = false;
  std::vector<int> disposals;
};
GifVariants Variants(const std::string& file) {
  const Bytes bytes = peer::ReadFile(file);
  ext::GifReader reader;
  GifVariants v;
  ext::GifImage image;
  if (!reader.Open(bytes.data(), bytes.size())) return v;
  while (reader.Next(image)) {
    v.local |= image.localTable;
    v.interlaced |= image.interlaced;
    v.transparent |= image.transparent;
    v.disposals.push_back(image.disposal >> 2);
  }
  return v;
}

TEST_F(PicinfoPeer, GifAnimationsFrameByFrame) {
  Convert(
      "-size 40x30 xc:none \\( -seed 4 -size 30x20 plasma: +dither -colors 8 \\) -geometry +3+2 "
      "-composite " +
      Path("f0.png"));
  Convert("-seed 1 -size 12x9 plasma: +dither -colors 6 " + Path("f1.png"));
  Convert("-seed 2 -size 10x7 plasma: +dither -colors 5 -fill none -draw 'rectangle 2,2 5,4' " +
          Path("f2.png"));
  Convert("-seed 3 -size 14x11 plasma: +dither -colors 7 " + Path("f3.png"));
  const std::string frames = "-dispose none -delay 25 " + Path("f0.png") +
                             " -dispose none -delay 0 -page +5+4 " + Path("f1.png") +
                             " -dispose previous -delay 7 -page +20+15 " + Path("f2.png") +
                             " -dispose none -delay 100 -page +1+1 " + Path("f3.png") +
                             " -dispose background -delay 3 -page +26+19 " + Path("f1.png") +
                             " -dispose none -page +24+18 " + Path("f2.png");
  Convert(frames + " -loop 0 " + Path("anim.gif"));
  Convert(frames + " -loop 0 -interlace GIF " + Path("interlaced.gif"));
  Convert("-dispose none " + Path("f0.png") + " -dispose background -page +3+2 " + Path("f1.png") +
          " -dispose none -page +20+15 " + Path("f2.png") + " " + Path("restore.gif"));
  Convert(Path("f3.png") + " " + Path("still.gif"));
  Convert(Path("f3.png") + " gif87:" + Path("still87.gif"));

  const GifVariants anim = Variants(Path("anim.gif"));
  EXPECT_TRUE(anim.local);
  EXPECT_TRUE(anim.transparent);
  EXPECT_EQ(anim.disposals, (std::vector<int>{1, 1, 3, 1, 2, 1}));
  EXPECT_TRUE(Variants(Path("interlaced.gif")).interlaced);
  // The Background disposal here is of an image drawn over the opaque first
  // picture; what is put back is that picture, not transparency.
  ExpectGifMatches(Path("anim.gif"), false);
  ExpectGifMatches(Path("interlaced.gif"), false);
  ExpectGifMatches(Path("restore.gif"), false);
  ExpectGifMatches(Path("still.gif"), true);
  ExpectGifMatches(Path("still87.gif"), true);
  // Without Background disposal over opaque pixels both ways agree.
  Convert("-dispose none " + Path("f0.png") + " -dispose previous -page +20+15 " + Path("f2.png") +
          " -dispose none -page +5+4 " + Path("f1.png") + " " + Path("agree.gif"));
  ExpectGifMatches(Path("agree.gif"), true);
}

TEST_F(PicinfoPeer, GifTransparentColorOptions) {
  Convert("-dispose none -delay 5 " + Path("base.png") + " -page +4+4 " + Path("alpha.png") + " " +
          Path("two.gif"));
  const PicinfoResult given = Picinfo(Path("two.gif"), "-t 0x00ff00ff");
  ASSERT_EQ(given.frames.size(), 2u);
  for (const auto& f : given.frames) EXPECT_EQ(f.transparent, 0x00FF00FFu);
  const PicinfoResult taken = Picinfo(Path("two.gif"), "-a");
  ASSERT_EQ(taken.frames.size(), 2u);
  for (const auto& f : taken.frames) {
    EXPECT_EQ(f.transparent, uint32_t(f.rgba[2]) << 16 | f.rgba[1] << 8 | f.rgba[0]);
  }
}

// ---- PNG ---------------------------------------------------------------------

TEST_F(PicinfoPeer, PngOfEveryColorTypeAndDepth) {
  struct Case {
    const char* source;
    const char* options;
    const char* format;  // an output format prefix such as png8:
    int depth, type, interlace;
  };
#define GREY "-colorspace gray -define png:color-type=0 "
  const Case cases[] = {
      {"base", GREY "-depth 1 -define png:bit-depth=1", "", 1, 0, 0},
      {"base", GREY "-depth 2 -define png:bit-depth=2", "", 2, 0, 0},
      {"base", GREY "-depth 4 -define png:bit-depth=4", "", 4, 0, 0},
      {"base", GREY "-define png:bit-depth=8", "", 8, 0, 0},
      {"base", GREY "-depth 16 -define png:bit-depth=16", "", 16, 0, 0},
      {"base", "-define png:color-type=2 -define png:bit-depth=8", "", 8, 2, 0},
      {"base", "-depth 16 -define png:color-type=2 -define png:bit-depth=16", "", 16, 2, 0},
      {"base", "+dither -colors 2 -define png:bit-depth=1", "png8:", 1, 3, 0},
      {"base", "+dither -colors 4 -define png:bit-depth=2", "png8:", 2, 3, 0},
      {"base", "+dither -colors 16 -define png:bit-depth=4 -interlace PNG", "png8:", 4, 3, 1},
      {"base", "+dither -colors 200", "png8:", 8, 3, 0},
      {"alpha", "-channel A -threshold 50% +channel +dither -colors 30", "png8:", 8, 3, 0},
      {"alpha", "-colorspace gray -define png:color-type=4 -define png:bit-depth=8", "", 8, 4, 0},
      {"alpha", "-colorspace gray -depth 16 -define png:color-type=4 -define png:bit-depth=16", "",
       16, 4, 0},
      {"alpha", "-define png:color-type=6 -define png:bit-depth=8", "", 8, 6, 0},
      {"alpha", "-depth 16 -define png:color-type=6 -define png:bit-depth=16", "", 16, 6, 0},
      {"alpha", "-interlace PNG -define png:color-type=6 -define png:bit-depth=8", "", 8, 6, 1},
  };
#undef GREY
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    const std::string file = Path("case.png");
    Convert(Path(std::string(c.source) + ".png") + " " + c.options +
            " -define png:exclude-chunk=bKGD " + c.format + file);
    const Bytes bytes = peer::ReadFile(file);
    ASSERT_EQ(bytes[24], c.depth);
    ASSERT_EQ(bytes[25], c.type);
    ASSERT_EQ(bytes[28], c.interlace);
    const PicinfoResult r = Picinfo(file);
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.kind, "png");
    ASSERT_EQ(r.frames.size(), 1u);
    EXPECT_EQ(r.frames[0].delay, 0u);
    // 16-bit samples keep their high byte here; ImageMagick scales them
    // (v * 255 / 65535, truncated), which can be 1 less.
    ExpectSamePixels(r.frames[0].rgba, Rgba(file), 37, c.depth == 16 ? 1 : 0);
  }
}

TEST_F(PicinfoPeer, PngBackgroundChunkIsCompositedUnderTheImage) {
  const char kBkgd[] = "bKGD";
  // ImageMagick's -flatten composites onto the same background colour; the
  // two round the blend differently, by at most 1. A gamma chunk changes
  // nothing: the blend is of the stored sample values.
  for (const char* options :
       {"-depth 8 -define png:exclude-chunk=gAMA,cHRM,sRGB", "-depth 16", "-depth 8"}) {
    SCOPED_TRACE(options);
    const std::string file = Path("background.png");
    Convert(Path("alpha.png") + " " + options + " -background '#3366cc' -define png:color-type=6 " +
            file);
    const Bytes bytes = peer::ReadFile(file);
    ASSERT_NE(std::search(bytes.begin(), bytes.end(), kBkgd, kBkgd + 4), bytes.end());
    ExpectStill(file, "png", 37, 23, Rgba(file, "-flatten"), 1);
  }
}

TEST_F(PicinfoPeer, FilesThatAreNoPicture) {
  peer::WriteFile(Path("text.txt"), Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'});
  const PicinfoResult r = Picinfo(Path("text.txt"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.kind, "none");
  EXPECT_EQ(Picinfo(Path("missing.png")).exitCode, 2);
}

}  // namespace
