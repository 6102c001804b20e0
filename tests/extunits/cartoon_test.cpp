// The animation box's world without windows: identifiers and layers, moving
// with its events and collisions, GIF plays, hit testing, the work a still
// step does, a handler that destroys the box, the property rules and
// rotation.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "extunits/blocks.h"
#include "extunits/cartoon/rules.h"
#include "extunits/cartoon/scene.h"
#include "tests/support/block_fuzz.h"

namespace {

using cartoon::LiveObject;
using cartoon::ObjectSettings;
using cartoon::Scene;
using ext::Frame;
using ext::FrameImage;
namespace ev = cartoon::event;

struct Raised {
  int32_t event;
  std::vector<int32_t> args;
  bool operator==(const Raised& o) const { return event == o.event && args == o.args; }
};

class FakeHost : public cartoon::Host {
 public:
  std::optional<uint64_t> Raise(int32_t event, std::initializer_list<int32_t> args) override {
    raised.push_back({event, args});
    if (actions.count(event)) actions[event]();
    if (results.count(event)) return results[event];
    return std::nullopt;
  }
  void Invalidate(const cartoon::Rect&) override { ++invalidations; }
  void PlaySound(const std::vector<uint8_t>& bytes) override { sounds.push_back(bytes); }
  uint64_t Now() override { return now; }
  int32_t ClientWidth() override { return 100; }
  int32_t ClientHeight() override { return 50; }

  std::vector<Raised> raised;
  std::map<int32_t, uint64_t> results;
  std::map<int32_t, std::function<void()>> actions;
  int invalidations = 0;
  std::vector<std::vector<uint8_t>> sounds;
  uint64_t now = 1000;
};

// A w x h image of `frames` frames, every pixel `colour` (opaque), each
// frame shown `delay` ms.
FrameImage Solid(int32_t w, int32_t h, uint32_t colour, int frames = 1, uint32_t delay = 0) {
  FrameImage image;
  image.Reset(w, h);
  for (int f = 0; f < frames; ++f) {
    Frame frame;
    frame.delay = delay;
    frame.pixels.assign(static_cast<size_t>(w * h), colour);
    image.AddFrame(frame);
  }
  return image;
}

ObjectSettings Settings(FrameImage image, int32_t layer = 0, int32_t type = 0) {
  ObjectSettings s;
  s.base = std::move(image);
  s.layer = layer;
  s.type = type;
  return s;
}

class SceneTest : public testing::Test {
 protected:
  FakeHost host;
  std::unique_ptr<Scene> scene = std::make_unique<Scene>(host);
  int32_t Add(ObjectSettings s, double x, double y) {
    return scene->Create(std::move(s), true, x, y, true, "");
  }
  std::vector<int32_t> Order() {
    std::vector<int32_t> ids;
    for (const auto& o : scene->Objects()) ids.push_back(o->id);
    return ids;
  }
};

TEST_F(SceneTest, IdentifiersLayersAndDrawingOrder) {
  EXPECT_EQ(Add(Settings(Solid(4, 4, 0x0000FF), 1), 0, 0), 1);
  EXPECT_EQ(Add(Settings(Solid(4, 4, 0x00FF00), 0), 0, 0), 2);
  EXPECT_EQ(Add(Settings(Solid(4, 4, 0xFF0000), 1), 2, 2), 3);  // equal layer: after 1
  EXPECT_EQ(Order(), (std::vector<int32_t>{2, 1, 3}));
  std::vector<uint32_t> pixels(16, 0);
  scene->Compose({pixels.data(), 4, 4}, 0, 0);
  EXPECT_EQ(pixels[0], 0x0000FFu);   // object 1 above object 2
  EXPECT_EQ(pixels[15], 0xFF0000u);  // object 3 above object 1
  EXPECT_EQ(scene->HitTest(3, 3), 3);
  EXPECT_EQ(scene->HitTest(0, 0), 1);
  EXPECT_EQ(scene->HitTest(9, 9), -1);
  scene->Reset();
  EXPECT_EQ(Add(ObjectSettings{}, 0, 0), 1);  // starts again at 1
}

TEST_F(SceneTest, AHandlerCancelsAMoveAndWholePixelsDecideWhetherItIsOne) {
  const int32_t id = Add(Settings(Solid(2, 2, 1)), 10, 10);
  ASSERT_TRUE(scene->Move(id, 10.7, 10.2));  // same pixel: stored silently
  EXPECT_TRUE(host.raised.empty());
  EXPECT_DOUBLE_EQ(scene->Find(id)->x, 10.7);
  host.results[ev::kWillMove] = 0;
  ASSERT_TRUE(scene->Move(id, 20, 30));
  EXPECT_EQ(host.raised, (std::vector<Raised>{{ev::kWillMove, {id, 20, 30}}}));
  EXPECT_EQ(scene->Find(id)->Bounds().x, 10);
  host.results.clear();
  host.raised.clear();
  ASSERT_TRUE(scene->Move(id, 20, 30));
  EXPECT_EQ(host.raised,
            (std::vector<Raised>{{ev::kWillMove, {id, 20, 30}}, {ev::kMoved, {id, 20, 30}}}));
}

TEST_F(SceneTest, ACollisionIsReportedOncePerContactAndOnlyWhereBothAreSolid) {
  ObjectSettings mover = Settings(Solid(4, 4, 0x111111), 0, 1);
  mover.collideAllowed = true;
  mover.collidedSound = {7};
  ObjectSettings target = Settings(Solid(4, 4, 0x222222), 0, 2);
  target.collideAllowed = true;
  target.base.At(0).pixels[0] = 0xFF000000;  // its top-left pixel is transparent
  const int32_t m = Add(mover, 0, 0);
  const int32_t t = Add(target, 20, 20);
  Add(Settings(Solid(4, 4, 1), 0, 1), 20, 20);  // same type as the mover: ignored
  auto collisions = [&] {
    int n = 0;
    for (const Raised& r : host.raised) n += r.event == ev::kCollided;
    return n;
  };
  scene->Move(m, 17, 17);  // overlaps only the transparent corner
  EXPECT_EQ(collisions(), 0);
  scene->Move(m, 18, 18);
  EXPECT_EQ(host.raised.back(), (Raised{ev::kCollided, {m, 17, 17, t}}));
  scene->Move(m, 19, 19);
  EXPECT_EQ(collisions(), 1);
  scene->Move(m, 40, 40);  // a move free of collisions
  scene->Move(m, 21, 21);
  EXPECT_EQ(collisions(), 2);
  EXPECT_EQ(host.sounds.size(), 2u);
}

TEST_F(SceneTest, CountedGifPlaysEndWithEvent16AndDestruction) {
  ObjectSettings s = Settings(Solid(2, 2, 5, 3, 100));
  s.playGif = true;
  s.plays = 2;
  s.gifDelay = 50;
  s.destroySound = {9};
  const int32_t id = Add(s, 0, 0);
  int changes = 0;
  int32_t lastFrame = 0;
  for (int step = 0; step < 400 && scene->Find(id); ++step) {
    host.now += 5;
    ASSERT_TRUE(scene->Step(true));
    if (LiveObject* o = scene->Find(id); o && o->frame != lastFrame) {
      ++changes;
      lastFrame = o->frame;
    }
  }
  EXPECT_EQ(changes, 5);  // the sixth change ends the plays and the object
  EXPECT_EQ(scene->Find(id), nullptr);
  EXPECT_EQ(host.raised, (std::vector<Raised>{{ev::kPlaysEnded, {id}}, {ev::kWillDestroy, {id}}}));
  EXPECT_EQ(host.now, 1000u + 2 * (150 + 100 + 100));  // frame 0 also waits GIFDelay
  EXPECT_EQ(host.sounds, (std::vector<std::vector<uint8_t>>{{9}}));
}

TEST_F(SceneTest, AStillStepDoesNoWork) {
  ObjectSettings gif = Settings(Solid(2, 2, 5, 2, 250));
  gif.playGif = true;
  Add(gif, 0, 0);
  const int32_t still = Add(Settings(Solid(2, 2, 5)), 5, 5);
  EXPECT_EQ(scene->NextDue(), 1250u);  // the GIF's first change; the still object has none
  scene->Find(still)->forward.on = true;
  EXPECT_EQ(scene->NextDue(), 0u);  // moving: every step may have work
  scene->Find(still)->forward.on = false;
  host.invalidations = 0;
  for (int i = 0; i < 49; ++i) {
    host.now += 5;
    scene->Step(true);
  }
  EXPECT_EQ(host.invalidations, 0);
  host.now += 5;
  scene->Step(true);
  EXPECT_EQ(host.invalidations, 1);
}

TEST_F(SceneTest, ExpiryAndForwardMovementStopAtTheEdge) {
  ObjectSettings s = Settings(Solid(10, 10, 1));
  s.existTime = 100;
  const int32_t brief = Add(s, 0, 0);
  const int32_t mover = Add(Settings(Solid(10, 10, 1)), 80, 20);
  LiveObject& o = *scene->Find(mover);
  o.s.angle = 90;  // to the right
  o.forward = {};
  o.forward.on = true;
  o.forward.step = 4;
  o.forward.stopWhen = cartoon::kStopAtEdge;
  for (int i = 0; i < 30; ++i) {
    host.now += 5;
    scene->Step(true);
  }
  EXPECT_EQ(scene->Find(brief), nullptr);
  EXPECT_EQ(scene->Find(mover)->Bounds().x, 92);
  EXPECT_FALSE(scene->Find(mover)->forward.on);
  const std::vector<Raised> expected = {{ev::kTouchedEdge, {mover, 88, 20, cartoon::kRightEdge}},
                                        {ev::kForwardStopped, {mover}}};
  EXPECT_NE(std::search(host.raised.begin(), host.raised.end(), expected.begin(), expected.end()),
            host.raised.end());
  EXPECT_EQ(host.raised.back(), (Raised{ev::kWillDestroy, {brief}}));
}

// 90 degrees a step on a 4 x 2 object: it turns about its centre and stops
// with event 15 once the total is used up.
TEST_F(SceneTest, AutomaticRotationKeepsTheCentreAndStops) {
  ObjectSettings s = Settings(Solid(4, 2, 1));
  s.rotateFollow = true;
  const int32_t id = Add(s, 10, 10);
  LiveObject& o = *scene->Find(id);
  o.spin.on = true;
  o.spin.interval = 10;
  o.spin.step = 90;
  o.spin.total = 180;
  host.now += 10;
  scene->Step(true);
  EXPECT_EQ(o.s.angle, 90);
  EXPECT_EQ(o.Image().Width(), 2);
  EXPECT_DOUBLE_EQ(o.x, 11);
  EXPECT_DOUBLE_EQ(o.y, 9);
  host.now += 10;
  scene->Step(true);
  EXPECT_EQ(o.s.angle, 180);
  EXPECT_FALSE(o.spin.on);
  EXPECT_EQ(host.raised, (std::vector<Raised>{{ev::kRotationStopped, {id}}}));
}

TEST_F(SceneTest, MouseEventsCarryTheHitAndThePressedObject) {
  const int32_t id = Add(Settings(Solid(4, 4, 1)), 10, 10);
  scene->MouseMove(11, 11, false);
  scene->LeftDown(11, 11);
  scene->LeftUp(0, 0);
  scene->MouseMove(0, 0, false);
  EXPECT_EQ(host.raised, (std::vector<Raised>{{ev::kEnter, {id, 0}},
                                              {ev::kMouseMoved, {11, 11, 0}},
                                              {ev::kLeftDown, {id}},
                                              {ev::kLeftUp, {0, id}},
                                              {ev::kLeave, {id, 0}},
                                              {ev::kMouseMoved, {0, 0, 0}}}));
}

// A handler may destroy the box: the Scene stops at once, touching nothing.
TEST_F(SceneTest, AHandlerThatDestroysTheBoxEndsTheStep) {
  ObjectSettings s = Settings(Solid(2, 2, 5, 2, 10));
  s.playGif = true;
  s.plays = 1;
  Add(s, 0, 0);
  Add(s, 5, 5);
  host.actions[ev::kPlaysEnded] = [this] { scene.reset(); };
  bool alive = true;
  for (int i = 0; i < 10 && alive; ++i) {
    host.now += 5;
    alive = scene->Step(true);
  }
  EXPECT_FALSE(alive);
  EXPECT_EQ(host.raised.size(), 1u);  // nothing after the handler
}

TEST(CartoonRules, ClampsAndAngles) {
  using namespace cartoon;
  EXPECT_EQ(StoredBoxField(extunits::cartoonboxfield::kPicDrawMode, 7), 3);
  EXPECT_EQ(StoredBoxField(extunits::cartoonboxfield::kBorder, -2), 0);
  EXPECT_EQ(StoredBoxField(extunits::cartoonboxfield::kBrushStyle, 99), 55);
  EXPECT_EQ(StoredObjectField(extunits::cartoonobjectfield::kAngle, 400), 360);
  EXPECT_EQ(StoredObjectField(extunits::cartoonobjectfield::kAlpha, 101), 100);
  EXPECT_EQ(StoredObjectField(extunits::cartoonobjectfield::kZoom, -5), 0);
  EXPECT_EQ(StoredObjectField(extunits::cartoonobjectfield::kLight, -500), -500);
  EXPECT_EQ(ext::NormalisedAngle(360), 0);
  EXPECT_EQ(ext::NormalisedAngle(-90), 270);
}

// 3 x 2 with distinct pixels; quarter turns move them exactly.
TEST(Rotate, QuarterTurnsAreExactAndOtherAnglesFillTheBoundingBox) {
  FrameImage image;
  image.Reset(3, 2);
  image.AddFrame({ext::kNoColor, 0, {1, 2, 3, 4, 5, 6}});
  FrameImage turned = image;
  turned.Rotate(90);
  EXPECT_EQ(turned.Width(), 2);
  EXPECT_EQ(turned.At(0).pixels, (std::vector<uint32_t>{4, 1, 5, 2, 6, 3}));
  turned = image;
  turned.Rotate(180);
  EXPECT_EQ(turned.At(0).pixels, (std::vector<uint32_t>{6, 5, 4, 3, 2, 1}));
  turned = image;
  turned.Rotate(-90);
  EXPECT_EQ(turned.At(0).pixels, (std::vector<uint32_t>{3, 6, 2, 5, 1, 4}));
  turned.Rotate(90);
  EXPECT_EQ(turned, image);

  FrameImage square = Solid(10, 10, 0x123456);
  square.Rotate(45);  // 14.14 -> 15
  EXPECT_EQ(square.Width(), 15);
  EXPECT_EQ(square.Height(), 15);
  EXPECT_EQ(square.At(0).pixels[7 * 15 + 7], 0x123456u);
  EXPECT_EQ(square.At(0).pixels[0], 0xFF000000u);  // a corner outside the picture
}

TEST(CurrentImage, AngleActsOnlyWithRotateFollowAndTheBaseIsShared) {
  LiveObject o;
  o.s.base = Solid(3, 2, 1);
  o.s.angle = -90;
  o.MakeCurrentImage();
  EXPECT_TRUE(o.currentIsBase);
  o.s.rotateFollow = true;
  o.MakeCurrentImage();
  FrameImage expected = o.s.base;
  expected.Rotate(270);
  EXPECT_EQ(o.Image(), expected);
  o.s.angle = 360;
  o.s.zoomX = o.s.zoomY = 100;  // 0.3 x 0.2 pixels: nothing to draw or hit
  o.MakeCurrentImage();
  EXPECT_TRUE(o.Image().Empty());
  EXPECT_FALSE(o.SolidAt(0, 0));
}

// Loading applies the clamps a set applies. A stored pen style of 7 or more
// would index past the box's seven pen styles when its pen is made.
TEST(CartoonBlocks, LoadedBlocksKeepEveryClamp) {
  EXPECT_EQ(
      testing_support::FuzzLoadedBlocks(extunits::kCartoonBoxBlock, cartoon::kBoxClamps, 2000),
      std::set<int32_t>{});
  EXPECT_EQ(testing_support::FuzzLoadedBlocks(extunits::kCartoonObjectBlock, cartoon::kObjectClamps,
                                              2000),
            std::set<int32_t>{});
  forms::PropertyValues box(extunits::kCartoonBoxBlock);
  box.SetInt(extunits::cartoonboxfield::kPenStyle, 7);
  const std::vector<uint8_t> block = forms::WriteBlock(box);
  ASSERT_EQ(forms::ReadBlock(block.data(), block.size(), box, cartoon::kBoxClamps),
            forms::BlockStatus::kOk);
  EXPECT_EQ(box.Int(extunits::cartoonboxfield::kPenStyle), 6);
}

}  // namespace
