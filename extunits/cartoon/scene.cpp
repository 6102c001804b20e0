// The Scene's object list, its images, mouse handling and compositing. The
// timer step and moving are in scene_step.cpp.

#include "extunits/cartoon/scene.h"

#include <algorithm>
#include <utility>

namespace cartoon {

// ---- Live objects ------------------------------------------------------------------

namespace {

const ext::Frame* ShownFrame(const LiveObject& o) {
  const ext::FrameImage& image = o.Image();
  if (image.Empty()) return nullptr;
  return &image.At(std::clamp(o.frame, 0, image.FrameCount() - 1));
}

}  // namespace

Rect LiveObject::Bounds() const { return {Pixel(x), Pixel(y), Image().Width(), Image().Height()}; }

bool LiveObject::SolidAt(int32_t px, int32_t py) const {
  const ext::Frame* shown = ShownFrame(*this);
  const Rect r = Bounds();
  const int32_t lx = px - r.x, ly = py - r.y;
  if (shown == nullptr || lx < 0 || ly < 0 || lx >= r.width || ly >= r.height) return false;
  const uint32_t pixel = shown->pixels[static_cast<size_t>(ly) * static_cast<size_t>(r.width) +
                                       static_cast<size_t>(lx)];
  return (pixel >> 24) < 255 && !ext::IsTransparentColor(pixel, shown->transparentColor);
}

// With nothing to change the current image is the base image itself; else
// a copy flipped, turned, zoomed, recoloured and brightened in that order.
void LiveObject::MakeCurrentImage() {
  const bool turn = s.rotateFollow && ext::NormalisedAngle(s.angle) != 0;
  if (s.turnType == 0 && !turn && s.trendDepth <= 0 && s.light == 0 && s.zoomX == 1000 &&
      s.zoomY == 1000) {
    currentIsBase = true;
    current.Clear();
    return;
  }
  current = s.base;
  current.Flip(s.turnType);
  if (turn) current.Rotate(s.angle);
  current.Zoom(s.zoomX, s.zoomY);
  current.TrendColor(s.trendColor, s.trendDepth);
  current.Brightness(s.light);
  currentIsBase = false;
}

bool PixelsMeet(const LiveObject& a, const LiveObject& b) {
  const Rect ra = a.Bounds(), rb = b.Bounds();
  const int32_t left = std::max(ra.x, rb.x), top = std::max(ra.y, rb.y);
  const int32_t right = std::min(ra.x + ra.width, rb.x + rb.width);
  const int32_t bottom = std::min(ra.y + ra.height, rb.y + rb.height);
  for (int32_t y = top; y < bottom; ++y) {
    for (int32_t x = left; x < right; ++x) {
      if (a.SolidAt(x, y) && b.SolidAt(x, y)) return true;
    }
  }
  return false;
}

// ---- The list ------------------------------------------------------------------------

void Scene::Reset() {
  objects_.clear();
  nextId_ = 1;
  pressed_ = hover_ = 0;
}

int32_t Scene::Create(ObjectSettings settings, bool fromTemplate, double x, double y, bool visible,
                      std::string tag) {
  auto made = std::make_unique<LiveObject>();
  LiveObject& o = *made;
  o.id = nextId_++;
  o.x = x;
  o.y = y;
  o.visible = visible;
  o.tag = std::move(tag);
  o.s = std::move(settings);
  const uint64_t now = host_.Now();
  o.frameStart = now;
  o.destroyAtEnd = o.s.plays >= 1;
  if (o.s.existTime > 0) o.expiry = now + static_cast<uint64_t>(o.s.existTime);
  o.MakeCurrentImage();
  // After every object of a lower or equal layer: equal layers draw later above.
  const auto at = std::find_if(objects_.begin(), objects_.end(),
                               [&o](const auto& other) { return other->s.layer > o.s.layer; });
  objects_.insert(at, std::move(made));
  InvalidateObject(o);
  if (fromTemplate && !o.s.createSound.empty()) host_.PlaySound(o.s.createSound);
  return o.id;
}

bool Scene::Destroy(int32_t id) {
  if (!Fire(event::kWillDestroy, {id})) return false;
  LiveObject* o = Find(id);
  if (o == nullptr) return true;
  InvalidateObject(*o);
  const std::vector<uint8_t> sound = std::move(o->s.destroySound);
  Remove(id);
  if (!sound.empty()) host_.PlaySound(sound);
  return true;
}

void Scene::Remove(int32_t id) {
  if (hover_ == id) hover_ = 0;
  objects_.erase(
      std::remove_if(objects_.begin(), objects_.end(), [id](const auto& o) { return o->id == id; }),
      objects_.end());
}

LiveObject* Scene::Find(int32_t id) {
  for (const auto& o : objects_) {
    if (o->id == id) return o.get();
  }
  return nullptr;
}

bool Scene::Fire(int32_t number, std::initializer_list<int32_t> args,
                 std::optional<uint64_t>* result) {
  const std::shared_ptr<bool> alive = alive_;  // this Scene may be gone after the handler
  const std::optional<uint64_t> answer = host_.Raise(number, args);
  if (!*alive) return false;
  if (result != nullptr) *result = answer;
  return true;
}

// ---- Mouse -----------------------------------------------------------------------------

int32_t Scene::HitTest(int32_t x, int32_t y) const {
  for (auto it = objects_.rbegin(); it != objects_.rend(); ++it) {
    if ((*it)->SolidAt(x, y)) return (*it)->id;
  }
  return -1;
}

namespace {
int32_t OrZero(int32_t hit) { return hit > 0 ? hit : 0; }
}  // namespace

bool Scene::LeftDown(int32_t x, int32_t y) {
  pressed_ = HitTest(x, y);
  return Fire(event::kLeftDown, {OrZero(pressed_)});
}

bool Scene::LeftUp(int32_t x, int32_t y) {
  if (pressed_ > 0 && Find(pressed_) == nullptr) pressed_ = -1;
  if (!Fire(event::kLeftUp, {OrZero(HitTest(x, y)), pressed_})) return false;
  pressed_ = 0;
  return true;
}

bool Scene::RightDown(int32_t x, int32_t y) {
  return Fire(event::kRightDown, {OrZero(HitTest(x, y))});
}
bool Scene::RightUp(int32_t x, int32_t y) { return Fire(event::kRightUp, {OrZero(HitTest(x, y))}); }
bool Scene::DoubleClick(int32_t x, int32_t y) {
  return Fire(event::kDoubleClick, {OrZero(HitTest(x, y))});
}

bool Scene::MouseMove(int32_t x, int32_t y, bool leftButton) {
  if (!leftButton) pressed_ = 0;
  const int32_t over = OrZero(HitTest(x, y));
  if (over != hover_) {
    const int32_t old = hover_;
    hover_ = over;
    if (old != 0 && !Fire(event::kLeave, {old, pressed_})) return false;
    if (over != 0 && !Fire(event::kEnter, {over, pressed_})) return false;
  }
  return Fire(event::kMouseMoved, {x, y, pressed_});
}

// ---- Compositing -------------------------------------------------------------------------

void Scene::Compose(ext::PixelBlock target, int32_t areaX, int32_t areaY) const {
  for (const auto& o : objects_) {
    const ext::Frame* shown = ShownFrame(*o);
    if (!o->visible || shown == nullptr) continue;
    const Rect r = o->Bounds();
    if (r.x >= areaX + target.width || r.y >= areaY + target.height || r.x + r.width <= areaX ||
        r.y + r.height <= areaY)
      continue;
    ext::Composite(target, r.x - areaX, r.y - areaY, {shown->pixels.data(), r.width, r.height}, 0,
                   0, r.width, r.height, shown->transparentColor, o->s.alpha);
  }
}

}  // namespace cartoon
