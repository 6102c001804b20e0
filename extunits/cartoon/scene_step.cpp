// The Scene's timer step and moving: expiry, GIF frames, automatic rotation
// and forward movement, edge events and collisions.

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "extunits/cartoon/scene.h"

namespace cartoon {

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr uint64_t kStopAfterDistance = 200;  // ms
}  // namespace

bool Scene::Step(bool cursorOverBox) {
  if (hover_ != 0 && !cursorOverBox) {
    const int32_t old = hover_;
    hover_ = 0;
    if (!Fire(event::kLeave, {old, pressed_})) return false;
  }
  const uint64_t now = host_.Now();
  if (!WatchKeys(now)) return false;
  std::vector<int32_t> ids;
  ids.reserve(objects_.size());
  for (const auto& o : objects_) ids.push_back(o->id);
  for (int32_t id : ids) {
    if (!StepObject(id, now)) return false;
  }
  return true;
}

bool Scene::WatchKeys(uint64_t now) {
  for (WatchedKey& k : keys_) {
    if (!host_.KeyDown(k.key) || now - k.lastReport < static_cast<uint64_t>(k.interval)) continue;
    k.lastReport = now;
    return Fire(event::kWatchedKey, {k.key, host_.ShiftState()});
  }
  return true;
}

// Each part finds the object again: a handler of the part before may have
// destroyed it.
bool Scene::StepObject(int32_t id, uint64_t now) {
  LiveObject* o = Find(id);
  if (o == nullptr) return true;
  if (o->expiry != 0 && now >= o->expiry) return Destroy(id);
  if (!o->visible) return true;
  return StepFrames(id, now) && StepSpin(id, now) && StepForward(id, now);
}

// A frame lasts its delay plus the extra delay, the first frame also
// GIFDelay. Nothing is invalidated while the frame's time is not up.
bool Scene::StepFrames(int32_t id, uint64_t now) {
  LiveObject* o = Find(id);
  if (o == nullptr || !o->s.playGif || o->Image().FrameCount() <= 1) return true;
  const ext::FrameImage& image = o->Image();
  o->frame = std::clamp(o->frame, 0, image.FrameCount() - 1);
  const int64_t lasts =
      int64_t{image.At(o->frame).delay} + o->extraDelay + (o->frame == 0 ? o->s.gifDelay : 0);
  if (static_cast<int64_t>(now - o->frameStart) < lasts) return true;
  o->frameStart = now;
  InvalidateObject(*o);
  if (++o->frame < image.FrameCount()) return true;
  o->frame = 0;
  if (o->s.plays <= 0 || --o->s.plays > 0) return true;
  o->s.playGif = false;
  const bool destroy = o->destroyAtEnd;
  if (!Fire(event::kPlaysEnded, {id})) return false;
  return destroy && Find(id) != nullptr ? Destroy(id) : true;
}

// Turns by the step every interval, keeping the object's centre in place.
bool Scene::StepSpin(int32_t id, uint64_t now) {
  LiveObject* o = Find(id);
  if (o == nullptr || !o->spin.on || !o->s.rotateFollow) return true;
  Spin& spin = o->spin;
  if (now - spin.lastStep < static_cast<uint64_t>(spin.interval)) return true;
  spin.lastStep = now;
  const double cx = o->x + o->Image().Width() / 2.0, cy = o->y + o->Image().Height() / 2.0;
  InvalidateObject(*o);
  o->s.angle = ext::NormalisedAngle(o->s.angle + spin.step);
  o->MakeCurrentImage();
  o->x = cx - o->Image().Width() / 2.0;
  o->y = cy - o->Image().Height() / 2.0;
  InvalidateObject(*o);
  spin.turned += std::abs(spin.step);
  const bool done = (spin.total > 0 && spin.turned >= spin.total) ||
                    (spin.timeLimit > 0 && now - spin.started >= uint64_t(spin.timeLimit));
  if (!done) return true;
  spin.on = false;
  return Fire(event::kRotationStopped, {id});
}

bool Scene::StopForward(int32_t id) {
  if (LiveObject* o = Find(id)) o->forward.on = false;
  return Fire(event::kForwardStopped, {id});
}

namespace {

// The next position along the path (advancing its point and passes) or
// straight ahead at the angle, clockwise from straight up. Sets `pathDone`
// when the last pass ended.
void NextPosition(LiveObject& o, double step, double& x, double& y, bool& pathDone) {
  Forward& f = o.forward;
  if (f.path.empty()) {
    const double radians = ext::NormalisedAngle(o.s.angle) * kPi / 180.0;
    x = o.x + step * std::sin(radians);
    y = o.y - step * std::cos(radians);
    return;
  }
  const auto [px, py] = f.path[std::min(f.nextPoint, f.path.size() - 1)];
  const double dx = px - o.x, dy = py - o.y, length = std::hypot(dx, dy);
  if (length > step) {
    x = o.x + dx * step / length;
    y = o.y + dy * step / length;
    return;
  }
  x = px;
  y = py;
  if (++f.nextPoint < f.path.size()) return;
  f.nextPoint = 0;
  pathDone = --f.repeats <= 0;
}

}  // namespace

bool Scene::StepForward(int32_t id, uint64_t now) {
  LiveObject* o = Find(id);
  if (o == nullptr || !o->forward.on) return true;
  Forward& f = o->forward;
  if (f.timeLimit > 0 && now - f.started >= static_cast<uint64_t>(f.timeLimit)) {
    return StopForward(id);
  }
  if (f.distanceDone != 0)
    return now - f.distanceDone >= kStopAfterDistance ? StopForward(id) : true;
  if (now - f.lastStep < static_cast<uint64_t>(f.interval)) return true;
  f.lastStep = now;
  double x = 0, y = 0;
  bool pathDone = false;
  const double step = f.limited ? std::min(f.step, f.distance) : f.step;
  NextPosition(*o, step, x, y, pathDone);
  if (!Move(id, x, y, true)) return false;
  if ((o = Find(id)) == nullptr) return true;
  Forward& g = o->forward;
  const bool unbounded = g.timeLimit <= 0 && !g.limited && g.path.empty();
  const bool stop = pathDone || ((g.stopWhen & kStopAtEdge) && o->moveEdges != 0) ||
                    ((g.stopWhen & kStopLeaving) && o->moveLeft) ||
                    ((g.stopWhen & kStopOnHit) && o->moveHit) || (o->moveLeft && unbounded);
  if (g.limited && (g.distance -= step) <= 0) g.distanceDone = std::max<uint64_t>(now, 1);
  return stop ? StopForward(id) : true;
}

// ---- Moving ------------------------------------------------------------------------------

bool Scene::Move(int32_t id, double x, double y, bool forward) {
  LiveObject* o = Find(id);
  if (o == nullptr) return true;
  o->moveEdges = 0;
  o->moveLeft = o->moveHit = false;
  const int32_t oldX = Pixel(o->x), oldY = Pixel(o->y), newX = Pixel(x), newY = Pixel(y);
  if (oldX == newX && oldY == newY) {
    o->x = x;
    o->y = y;
    return true;
  }
  std::optional<uint64_t> answer;
  if (!Fire(event::kWillMove, {id, newX, newY}, &answer)) return false;
  if (answer && static_cast<uint32_t>(*answer) == 0) return true;  // the handler said no
  if ((o = Find(id)) == nullptr) return true;
  InvalidateObject(*o);
  o->x = x;
  o->y = y;
  InvalidateObject(*o);
  if (!Fire(event::kMoved, {id, newX, newY})) return false;
  return AfterMove(id, oldX, oldY, forward);
}

bool Scene::AfterMove(int32_t id, int32_t oldX, int32_t oldY, bool forward) {
  LiveObject* o = Find(id);
  if (o == nullptr) return true;
  if (forward) {
    const Rect r = o->Bounds();
    const int32_t w = host_.ClientWidth(), h = host_.ClientHeight();
    if (r.x + r.width <= 0 || r.y + r.height <= 0 || r.x >= w || r.y >= h) {
      o->moveLeft = true;
      if (!Fire(event::kLeftArea, {id})) return false;
    } else {
      const int32_t edges = (r.x <= 0 ? kLeftEdge : 0) | (r.y <= 0 ? kTopEdge : 0) |
                            (r.x + r.width >= w ? kRightEdge : 0) |
                            (r.y + r.height >= h ? kBottomEdge : 0);
      o->moveEdges = edges;
      if (edges != 0 && !Fire(event::kTouchedEdge, {id, oldX, oldY, edges})) return false;
    }
  }
  return CheckCollision(id, oldX, oldY);
}

// From the top of the list down while the layer is not below the mover's;
// only objects of the same layer and another type that allow collisions.
bool Scene::CheckCollision(int32_t id, int32_t oldX, int32_t oldY) {
  LiveObject* o = Find(id);
  if (o == nullptr || !o->s.collideAllowed) return true;
  int32_t hit = 0;
  for (auto it = objects_.rbegin(); it != objects_.rend() && (*it)->s.layer >= o->s.layer; ++it) {
    const LiveObject& other = **it;
    if (&other == o || !other.s.collideAllowed || other.s.layer != o->s.layer ||
        other.s.type == o->s.type)
      continue;
    if (PixelsMeet(*o, other)) {
      hit = other.id;
      break;
    }
  }
  o->moveHit = hit != 0;
  if (hit == 0 || hit == o->lastCollided) {
    o->lastCollided = hit;
    return true;
  }
  o->lastCollided = hit;
  if (!o->s.collidedSound.empty()) host_.PlaySound(o->s.collidedSound);
  return Fire(event::kCollided, {id, oldX, oldY, hit});
}

}  // namespace cartoon
