#pragma once
// The window unit's arithmetic, kept portable so it is tested natively: the
// frame and caption style bits, centring, the centred picture's rectangle,
// the window shapes' polygons and the tray tip's cut. Style values are the
// platform's own bit values.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace units {

// Style bits the window unit sets and compares.
namespace winstyle {
inline constexpr uint32_t kPopup = 0x80000000;
inline constexpr uint32_t kChild = 0x40000000;
inline constexpr uint32_t kMinimize = 0x20000000;
inline constexpr uint32_t kClipChildren = 0x02000000;
inline constexpr uint32_t kMaximize = 0x01000000;
inline constexpr uint32_t kCaption = 0x00C00000;
inline constexpr uint32_t kDlgFrame = 0x00400000;
inline constexpr uint32_t kSysMenu = 0x00080000;
inline constexpr uint32_t kThickFrame = 0x00040000;
inline constexpr uint32_t kMinimizeBox = 0x00020000;
inline constexpr uint32_t kMaximizeBox = 0x00010000;
// The bits the style sync compares.
inline constexpr uint32_t kSyncMask = kCaption | kSysMenu | kMaximizeBox | kMinimizeBox;
// The frame bits a new `BorderStyle` replaces.
inline constexpr uint32_t kFrameMask = kDlgFrame | kThickFrame;
inline constexpr uint32_t kExDlgModalFrame = 0x01;
inline constexpr uint32_t kExToolWindow = 0x80;
inline constexpr uint32_t kExClientEdge = 0x200;
inline constexpr uint32_t kExFrameMask = kExDlgModalFrame | kExToolWindow | kExClientEdge;
}  // namespace winstyle

// What the style rules read of the window's properties.
struct FrameProperties {
  int32_t borderStyle = 2;  // 0..6
  bool hasCaption = false;  // `Caption` is not empty
  bool controlBox = true;
  bool maxButton = false;
  bool minButton = false;
};

// The frame table: style and extended style of a `BorderStyle`.
uint32_t FrameStyle(int32_t borderStyle);
uint32_t FrameExStyle(int32_t borderStyle);
// Caption, system menu and box bits.
uint32_t CaptionBits(const FrameProperties& p);
// What the style sync wants within kSyncMask | kDlgFrame.
uint32_t WantedSyncBits(const FrameProperties& p);
// The style after the sync, or `current` itself when nothing changes.
uint32_t SyncedStyle(uint32_t current, const FrameProperties& p);

// Clamps a choice into lo..hi.
int32_t Clamp(int32_t value, int32_t lo, int32_t hi);

// Where a window of this size is centred on a screen (halves truncated
// toward zero, so a window larger than the screen gets a negative place).
struct Point {
  int32_t x = 0, y = 0;
  bool operator==(const Point& o) const { return x == o.x && y == o.y; }
};
Point CentredOnScreen(int32_t screenWidth, int32_t screenHeight, int32_t width, int32_t height);

struct Rect {
  int32_t left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Rect& o) const {
    return left == o.left && top == o.top && width == o.width && height == o.height;
  }
};
// Picture mode 2: the picture centred in the client, shrunk to fit (aspect
// kept) when it is larger in either direction.
Rect CentredPicture(int32_t clientWidth, int32_t clientHeight, int32_t pictureWidth,
                    int32_t pictureHeight);

// The platform's MulDiv: a * b / c rounded half away from zero, -1 when c is
// 0 or the result does not fit 32 bits.
int32_t MulDivRounded(int32_t a, int32_t b, int32_t c);

inline constexpr int32_t kFirstPolygonShape = 4;
inline constexpr int32_t kLastShape = 29;
// The polygon of shapes 4..29 scaled to a window of this size; empty for
// other shape numbers.
std::vector<Point> ShapePolygon(int32_t shape, int32_t width, int32_t height);

// The tray tip as the 64-byte record field takes it: at most 62 bytes.
inline constexpr size_t kTrayTipBytes = 62;
std::string TrayTip(const char* text);

// The help file a window opens when `HelpFile` is empty: the program's
// full file name with its extension replaced by ".hlp".
std::string HelpFileFor(const std::string& program);

// The tray callback's mouse message to event 9's argument: 1 left button
// released, 2 left double click, 3 right button released or context menu,
// 0 for anything else (no event).
int32_t TrayEventArgument(uint32_t mouseMessage);

// Design-time requests on a window property block: its `Icon` bytes (empty
// when it has none or is refused), and the block rewritten after `visit`
// saw and perhaps changed `Caption`, `HelpFile` and `ClassName` in this
// order (empty when refused).
std::vector<uint8_t> WindowIconBytes(const uint8_t* data, size_t length);
std::vector<uint8_t> RewriteWindowTexts(const uint8_t* data, size_t length,
                                        void (*visit)(void* context, std::string& text),
                                        void* context);

}  // namespace units
