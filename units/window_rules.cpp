#include "units/window_rules.h"

#include <string_view>

#include "runtime/text936.h"
#include "units/blocks.h"

namespace units {

using namespace winstyle;

// ---- Frame and caption styles ----------------------------------------------

uint32_t FrameStyle(int32_t borderStyle) {
  switch (borderStyle) {
    case 0: return 0;
    case 1:
    case 3:
    case 5: return kDlgFrame | kThickFrame;
    default: return kDlgFrame;
  }
}

uint32_t FrameExStyle(int32_t borderStyle) {
  switch (borderStyle) {
    case 3:
    case 4: return kExToolWindow;
    case 5:
    case 6: return kExClientEdge;
    default: return 0;
  }
}

uint32_t CaptionBits(const FrameProperties& p) {
  uint32_t bits = 0;
  if (p.borderStyle != 0 && (p.hasCaption || p.controlBox)) {
    bits |= kCaption;
    if (p.controlBox) bits |= kSysMenu;
  }
  if (p.maxButton) bits |= kMaximizeBox;
  if (p.minButton) bits |= kMinimizeBox;
  return bits;
}

uint32_t WantedSyncBits(const FrameProperties& p) {
  return CaptionBits(p) | (p.borderStyle != 0 ? kDlgFrame : 0);
}

// The wanted bits include WS_DLGFRAME, which WS_CAPTION contains; the
// comparison is over the four masked bits only, as the change is.
uint32_t SyncedStyle(uint32_t current, const FrameProperties& p) {
  const uint32_t wanted = WantedSyncBits(p);
  if ((current & kSyncMask) == wanted) return current;
  return (current & ~kSyncMask) | wanted;
}

int32_t Clamp(int32_t value, int32_t lo, int32_t hi) {
  return value < lo ? lo : value > hi ? hi : value;
}

// ---- Places and sizes ---------------------------------------------------------

Point CentredOnScreen(int32_t screenWidth, int32_t screenHeight, int32_t width, int32_t height) {
  return {(screenWidth - width) / 2, (screenHeight - height) / 2};
}

namespace {

struct Span {
  int32_t offset, available;
};

Span CentreOneWay(int32_t client, int32_t picture) {
  if (client >= picture) return {(client - picture) / 2, picture};
  return {0, client};
}

}  // namespace

Rect CentredPicture(int32_t clientWidth, int32_t clientHeight, int32_t pictureWidth,
                    int32_t pictureHeight) {
  const Span x = CentreOneWay(clientWidth, pictureWidth);
  const Span y = CentreOneWay(clientHeight, pictureHeight);
  Rect r{x.offset, y.offset, pictureWidth, pictureHeight};
  if (pictureWidth <= 0 || pictureHeight <= 0) return r;
  if (clientWidth < pictureWidth || clientHeight < pictureHeight) {
    const double fx = static_cast<double>(x.available) / pictureWidth;
    const double fy = static_cast<double>(y.available) / pictureHeight;
    const double f = fx < fy ? fx : fy;
    r.width = static_cast<int32_t>(pictureWidth * f);
    r.height = static_cast<int32_t>(pictureHeight * f);
    r.left += (x.available - r.width) / 2;
    r.top += (y.available - r.height) / 2;
  }
  return r;
}

int32_t MulDivRounded(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  const int64_t product = static_cast<int64_t>(a) * b;
  const int64_t divisor = c < 0 ? -static_cast<int64_t>(c) : c;
  const int64_t magnitude = ((product < 0 ? -product : product) + divisor / 2) / divisor;
  const int64_t result = (product < 0) != (c < 0) ? -magnitude : magnitude;
  if (result > INT32_MAX || result < INT32_MIN) return -1;
  return static_cast<int32_t>(result);
}

// ---- Window shapes --------------------------------------------------------------

namespace {

constexpr uint16_t kEnd = 0xFFFF;
constexpr int32_t kShapeScale = 32767;

// Shapes 4..29 in order: (x, y) pairs in 1/32767 of the window's size, each
// shape closed by kEnd.
const uint16_t kShapeTable[] = {
    // clang-format off
    // 4
    16383, 0, 32767, 32767, 0, 32767, 16383, 0, kEnd,
    // 5
    0, 0, 32767, 0, 16383, 32767, kEnd,
    // 6
    0, 0, 32767, 32767, 0, 32767, kEnd,
    // 7
    32767, 0, 32767, 32767, 0, 32767, kEnd,
    // 8
    10922, 0, 32767, 0, 21845, 32767, 0, 32767, kEnd,
    // 9
    16383, 0, 32767, 12287, 27306, 32767, 5461, 32767, 0, 12287, kEnd,
    // 10
    8191, 0, 24576, 0, 32767, 16383, 24576, 32767, 8191, 32767, 0, 16383, kEnd,
    // 11
    10922, 0, 21845, 0, 32767, 32767, 0, 32767, kEnd,
    // 12
    16383, 0, 32767, 16383, 16383, 32767, 0, 16383, kEnd,
    // 13
    16383, 0, 12779, 12779, 0, 12779, 10157, 20315, 6553, 32767, 16383, 25558, 26213, 32767,
    22609, 20315, 32767, 12779, 19987, 12779, kEnd,
    // 14
    16383, 0, 13106, 13106, 0, 16383, 13106, 19660, 16383, 32767, 19660, 19660, 32767, 16383,
    19660, 13106, kEnd,
    // 15
    12288, 0, 0, 5461, 10922, 13653, 8191, 15018, 17748, 21844, 15018, 23209, 32767, 32767,
    21844, 19113, 24574, 17748, 16383, 10921, 19113, 9556, kEnd,
    // 16
    655, 3932, 6553, 11468, 0, 13106, 4915, 18021, 0, 22281, 8519, 21298, 7208, 26541,
    11796, 23592, 13106, 32767, 16055, 22609, 19987, 29817, 21298, 22281, 30473, 30473,
    25558, 19660, 32767, 19987, 26868, 15728, 32111, 12451, 25558, 11140, 27524, 6881,
    21298, 8191, 22281, 0, 16383, 8519, 12779, 3604, 10813, 9502, kEnd,
    // 17
    22609, 0, 17038, 6553, 14745, 2949, 13106, 9830, 6553, 5898, 8191, 11796, 1638, 12451,
    5898, 17694, 0, 19660, 4915, 23264, 1966, 27196, 7208, 27524, 7208, 32767, 11468, 27524,
    13106, 29490, 15072, 26213, 18349, 29490, 18677, 24247, 22936, 26541, 22609, 21953,
    28507, 26868, 24902, 18677, 27524, 17038, 25885, 14089, 32767, 10157, 24902, 9830,
    26868, 4915, 22281, 8847, kEnd,
    // 18
    32767, 16383, 18724, 0, 0, 0, 14043, 16383, 0, 32767, 18724, 32767, kEnd,
    // 19
    6553, 0, 0, 6553, 0, 32767, 32767, 32767, 32767, 0, kEnd,
    // 20
    32767, 8191, 32767, 24576, 8191, 24576, 8191, 32767, 0, 16383, 8191, 0, 8191, 8191, kEnd,
    // 21
    0, 8191, 0, 24576, 24576, 24576, 24576, 32767, 32767, 16383, 24576, 0, 24576, 8191, kEnd,
    // 22
    24576, 32767, 8191, 32767, 8191, 8191, 0, 8191, 16383, 0, 32767, 8191, 24576, 8191, kEnd,
    // 23
    24576, 0, 8191, 0, 8191, 24576, 0, 24576, 16383, 32767, 32767, 24576, 24576, 24576, kEnd,
    // 24
    24576, 8191, 24576, 0, 32767, 16383, 24576, 32767, 24576, 24576, 8191, 24576, 8191, 32767,
    0, 16383, 8191, 0, 8191, 8191, kEnd,
    // 25
    24576, 24576, 32767, 24576, 16383, 32767, 0, 24576, 8191, 24576, 8191, 8191, 0, 8191,
    16383, 0, 32767, 8191, 24576, 8191, kEnd,
    // 26
    16383, 0, 9830, 6553, 13106, 6553, 13106, 13106, 6553, 13106, 6553, 9830, 0, 16383,
    6553, 22937, 6553, 19661, 13106, 19661, 13106, 26214, 9830, 26214, 16383, 32767,
    22937, 26214, 19661, 26214, 19661, 19661, 26214, 19661, 26214, 22937, 32767, 16383,
    26214, 9830, 26214, 13106, 19661, 13106, 19661, 6553, 22937, 6553, kEnd,
    // 27
    16383, 0, 9830, 9362, 13106, 9362, 13106, 18724, 6553, 18724, 6553, 14043, 0, 23405,
    6553, 32767, 6553, 28086, 26213, 28086, 26213, 32767, 32767, 23405, 26213, 14043,
    26213, 18724, 19660, 18724, 19660, 9362, 22936, 9362, kEnd,
    // 28
    0, 8191, 4095, 16383, 0, 24576, 24576, 24576, 24576, 32767, 32767, 16383, 24576, 0,
    24576, 8191, kEnd,
    // 29
    32767, 16383, 18724, 0, 0, 0, 0, 32767, 18724, 32767, kEnd,
    // clang-format on
};

}  // namespace

std::vector<Point> ShapePolygon(int32_t shape, int32_t width, int32_t height) {
  std::vector<Point> points;
  if (shape < kFirstPolygonShape || shape > kLastShape) return points;
  size_t i = 0;
  for (int32_t skip = shape - kFirstPolygonShape; skip > 0; ++i) {
    if (kShapeTable[i] == kEnd) --skip;
  }
  for (; kShapeTable[i] != kEnd; i += 2) {
    points.push_back({MulDivRounded(kShapeTable[i], width, kShapeScale),
                      MulDivRounded(kShapeTable[i + 1], height, kShapeScale)});
  }
  return points;
}

// ---- Tray ----------------------------------------------------------------------------

std::string TrayTip(const char* text) {
  const std::string_view whole = text ? text : "";
  return std::string(whole.substr(0, rt::WholeCharactersWithin(whole, kTrayTipBytes)));
}

std::string HelpFileFor(const std::string& program) {
  std::string file = program;
  const size_t dot = rt::LastCharacter(file, '.');
  const size_t slash = rt::LastCharacter(file, '\\');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) file.resize(dot);
  return file + ".hlp";
}

int32_t TrayEventArgument(uint32_t mouseMessage) {
  switch (mouseMessage) {
    case 0x0202: return 1;  // WM_LBUTTONUP
    case 0x0203: return 2;  // WM_LBUTTONDBLCLK
    case 0x0205:            // WM_RBUTTONUP
    case 0x007B: return 3;  // WM_CONTEXTMENU
    default: return 0;
  }
}

// ---- Design-time requests -----------------------------------------------------------

std::vector<uint8_t> WindowIconBytes(const uint8_t* data, size_t length) {
  forms::PropertyValues values(kWindowBlock);
  if (forms::ReadBlock(data, length, values) != forms::BlockStatus::kOk) return {};
  return values.Bytes(windowfield::kIcon);
}

std::vector<uint8_t> RewriteWindowTexts(const uint8_t* data, size_t length,
                                        void (*visit)(void* context, std::string& text),
                                        void* context) {
  forms::PropertyValues values(kWindowBlock);
  if (forms::ReadBlock(data, length, values) != forms::BlockStatus::kOk) return {};
  for (size_t field : {windowfield::kCaption, windowfield::kHelpFile, windowfield::kClassName}) {
    std::string text = values.Text(field);
    if (visit) visit(context, text);
    values.SetText(field, std::move(text));
  }
  return forms::WriteBlock(values);
}

}  // namespace units
