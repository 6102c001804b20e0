#pragma once
// The animation box's world, without windows: the live objects ordered by
// layer, their identifiers, the timer step (expiry, GIF frames, automatic
// rotation and forward movement), moving with its events and pixel-exact
// collisions, hit testing and the mouse events, and compositing an area.
// The box window owns one Scene and answers its Host.
//
// Event handlers run inside the Scene's calls and may destroy the object
// concerned, the box (and with it this Scene) or the whole form. After every
// event the Scene checks a liveness token it copied before the call, and
// finds objects again by identifier; a false result of a call means the
// Scene is gone and its caller must not touch it either.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "extunits/picture/frame_image.h"

namespace cartoon {

// The box's events by number.
namespace event {
enum : int32_t {
  kLeftDown,
  kRightDown,
  kLeftUp,
  kRightUp,
  kDoubleClick,
  kEnter,
  kLeave,
  kMouseMoved,
  kWillMove,
  kMoved,
  kWillDestroy,
  kCollided,
  kTouchedEdge,
  kLeftArea,
  kForwardStopped,
  kRotationStopped,
  kPlaysEnded,
  kWatchedKey,
};
}  // namespace event

// Edge bits of the touched-edge event.
enum Edge : int32_t { kLeftEdge = 1, kTopEdge = 2, kRightEdge = 4, kBottomEdge = 8 };

struct Rect {
  int32_t x = 0, y = 0, width = 0, height = 0;
};

// What an object is made of: a template's settings at creation time, or the
// defaults of an object made without one.
struct ObjectSettings {
  int32_t type = 0;
  std::string text;
  uint32_t textColor = 0;
  std::vector<uint8_t> font;  // a copy of a 60-byte LOGFONTA, else empty
  ext::FrameImage base;
  bool playGif = false;
  int32_t gifDelay = 0;
  int32_t plays = 0;  // GIFAutoDestroy: 0 plays forever
  uint32_t trendColor = 0xFFFFFF;
  int32_t trendDepth = 0, light = 0, alpha = 0;
  int32_t zoomX = 1000, zoomY = 1000;
  int32_t layer = 0, angle = 0;
  bool rotateFollow = false;
  int32_t turnType = 0;
  int32_t existTime = 0;  // milliseconds, 0 for ever
  std::vector<uint8_t> createSound, destroySound, collidedSound;
  bool collideAllowed = false;
};

// Stop conditions of forward movement.
enum StopWhen : int32_t { kStopAtEdge = 1, kStopLeaving = 2, kStopOnHit = 4 };

// Automatic forward movement; off unless a command starts it.
struct Forward {
  bool on = false;
  int32_t interval = 0;                         // ms between steps
  double step = 0;                              // pixels per step
  std::vector<std::pair<double, double>> path;  // points to visit; empty: straight ahead
  size_t nextPoint = 0;
  int32_t repeats = 0;    // passes over the path left (0 with a path: once)
  bool limited = false;   // by distance
  double distance = 0;    // pixels left when limited
  int32_t timeLimit = 0;  // ms, 0: unlimited
  int32_t stopWhen = 0;   // StopWhen bits
  uint64_t started = 0, lastStep = 0, distanceDone = 0;
};

// Automatic rotation; off unless a command starts it.
struct Spin {
  bool on = false;
  int32_t interval = 0, step = 0;
  int32_t total = 0;      // degrees to turn, 0: unlimited
  int32_t timeLimit = 0;  // ms, 0: unlimited
  int32_t turned = 0;
  uint64_t started = 0, lastStep = 0;
};

struct LiveObject {
  int32_t id = 0;
  double x = 0, y = 0;
  bool visible = true;
  uint64_t expiry = 0;  // tick, 0 never
  std::string tag;
  ObjectSettings s;
  ext::FrameImage current;  // the made image, unless it is the base image itself
  bool currentIsBase = true;
  int32_t frame = 0;
  uint64_t frameStart = 0;
  int32_t extraDelay = 0;
  bool destroyAtEnd = false;
  int32_t lastCollided = 0;
  // What the latest move found: edge bits, leaving the area, a collision.
  int32_t moveEdges = 0;
  bool moveLeft = false, moveHit = false;
  Forward forward;
  Spin spin;

  const ext::FrameImage& Image() const { return currentIsBase ? s.base : current; }
  // The rectangle of the current image at the whole-pixel position.
  Rect Bounds() const;
  // True when the current frame is solid at box point (px, py).
  bool SolidAt(int32_t px, int32_t py) const;
  // Remakes the current image from the base image and the image settings.
  void MakeCurrentImage();
};

// The whole-pixel value of a position.
inline int32_t Pixel(double v) { return static_cast<int32_t>(v); }

// What the Scene needs from the box window.
class Host {
 public:
  virtual ~Host() = default;
  // Raises a box event; the handler's result when it gave one. The host
  // must not touch itself after the handler ran.
  virtual std::optional<uint64_t> Raise(int32_t event, std::initializer_list<int32_t> args) = 0;
  virtual void Invalidate(const Rect& area) = 0;
  virtual void PlaySound(const std::vector<uint8_t>& bytes) = 0;
  virtual uint64_t Now() = 0;
  virtual int32_t ClientWidth() = 0;
  virtual int32_t ClientHeight() = 0;
  virtual bool KeyDown(int32_t) { return false; }
  virtual int32_t ShiftState() { return 0; }
};

struct WatchedKey {
  int32_t key = 0, interval = 0;
  uint64_t lastReport = 0;
};

class Scene {
 public:
  explicit Scene(Host& host) : host_(host), alive_(std::make_shared<bool>(true)) {}
  ~Scene() { *alive_ = false; }
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  // Empties the list (no events, no sounds) and starts identifiers at 1.
  void Reset();
  // Create object: takes the next identifier; returns it.
  int32_t Create(ObjectSettings settings, bool fromTemplate, double x, double y, bool visible,
                 std::string tag);
  // Destroy object: event 10 first; false when the Scene went away.
  bool Destroy(int32_t id);
  // Moving an object (see the box's rules); `forward` adds the edge events.
  // False when the Scene went away.
  bool Move(int32_t id, double x, double y, bool forward = false);

  // The timer step; `cursorOverBox` is false when the window under the
  // cursor is not the box. False when the Scene went away.
  bool Step(bool cursorOverBox);

  // Mouse handling; each is false when the Scene went away.
  int32_t HitTest(int32_t x, int32_t y) const;
  bool LeftDown(int32_t x, int32_t y);
  bool LeftUp(int32_t x, int32_t y);
  bool RightDown(int32_t x, int32_t y);
  bool RightUp(int32_t x, int32_t y);
  bool DoubleClick(int32_t x, int32_t y);
  bool MouseMove(int32_t x, int32_t y, bool leftButton);

  // Composites every visible object meeting the area onto `target`, whose
  // top-left pixel is box point (areaX, areaY).
  void Compose(ext::PixelBlock target, int32_t areaX, int32_t areaY) const;

  LiveObject* Find(int32_t id);
  const std::vector<std::unique_ptr<LiveObject>>& Objects() const { return objects_; }
  std::vector<WatchedKey>& WatchedKeys() { return keys_; }
  int32_t Pressed() const { return pressed_; }
  int32_t Hover() const { return hover_; }

 private:
  // Raises an event; nullopt-like false when the Scene went away meanwhile.
  bool Fire(int32_t event, std::initializer_list<int32_t> args,
            std::optional<uint64_t>* result = nullptr);
  void Remove(int32_t id);
  void InvalidateObject(const LiveObject& o) { host_.Invalidate(o.Bounds()); }
  bool StepObject(int32_t id, uint64_t now);
  bool StepFrames(int32_t id, uint64_t now);
  bool StepSpin(int32_t id, uint64_t now);
  bool StepForward(int32_t id, uint64_t now);
  bool StopForward(int32_t id);
  bool AfterMove(int32_t id, int32_t oldX, int32_t oldY, bool forward);
  bool CheckCollision(int32_t id, int32_t oldX, int32_t oldY);
  bool WatchKeys(uint64_t now);

  Host& host_;
  std::shared_ptr<bool> alive_;
  std::vector<std::unique_ptr<LiveObject>> objects_;
  std::vector<WatchedKey> keys_;
  int32_t nextId_ = 1;
  int32_t pressed_ = 0, hover_ = 0;
};

// Two objects collide when some point of their overlap is solid in both.
bool PixelsMeet(const LiveObject& a, const LiveObject& b);

}  // namespace cartoon
