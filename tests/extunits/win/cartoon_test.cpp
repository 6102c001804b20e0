// The animation units on a real form: the library, CreateObject, the
// painted composition, counted GIF plays driven by a test clock, a handler
// that destroys the box, and handles over many timer steps.

#include <windows.h>

#include <gtest/gtest.h>

#include "CartoonForm.h"
#include "extunits/cartoon/rules.h"
#include "extunits/cartoon/win/cartoon_box.h"
#include "extunits/cartoon/win/cartoon_object.h"
#include "extunits/cartoon/win/library.h"
#include "forms/win/framework.h"
#include "runtime/runtime.h"
#include "runtime/value.h"
#include "runtime/win/handles.h"
#include "tests/support/handle_counts.h"
#include "tests/extunits/picture_builders.h"
#include "tests/support/client_pixels.h"
#include "tests/support/unit_program.h"
#include "units/win/prop_value.h"

namespace {

// Own property numbers of the object, as programs set them.
constexpr int32_t kPictureNumber = 3;
constexpr int32_t kGifAutoDestroyNumber = 8;

using namespace testprog;

constexpr uint32_t kBox = 0x16010001;
constexpr uint32_t kTemplate = 0x16010002;
const rt::Routine kCartoonRoutines[] = {CARTOON_FORM_ROUTINES(TESTPROG_ENTRY)};

uint64_t fakeNow = 1000;
uint64_t FakeClock() { return fakeNow; }

// A 6 x 4 GIF of `frames` frames, each 20 ms: a red 2 x 2 square at the
// top left on white (the template's transparent colour).
std::vector<uint8_t> SquareGif(int frames) {
  test_pictures::GifBuilder gif(6, 4, {0xFFFFFF, 0xFF0000});
  std::vector<uint8_t> indices(24, 0);
  indices[0] = indices[1] = indices[6] = indices[7] = 1;
  for (int f = 0; f < frames; ++f) gif.Control(0, false, 0, 2).Image(0, 0, 6, 4, indices);
  return gif.Finish();
}

class CartoonTest : public unitprog::UnitProgramTest {
 protected:
  void SetUp() override {
    UnitProgramTest::SetUp();
    fakeNow = 1000;
    cartoon::SetClockForTest(FakeClock);
    StartUnitsCompiled(kCartoonFormTemplate, kCartoonFormTemplateSize, kCartoonRoutines);
    ASSERT_TRUE(Load());
  }
  void TearDown() override {
    cartoon::SetClockForTest(nullptr);
    UnitProgramTest::TearDown();
  }
  cartoon::CartoonBoxUnit* Box() {
    return dynamic_cast<cartoon::CartoonBoxUnit*>(forms::FindUnitObject(kFormId, kBox));
  }
  cartoon::CartoonObjectUnit& Template() {
    return dynamic_cast<cartoon::CartoonObjectUnit&>(*forms::FindUnitObject(kFormId, kTemplate));
  }
  void SetPicture(const std::vector<uint8_t>& bytes) {
    Template().SetProperty(kPictureNumber, units::BytesValue(bytes));
  }
  int32_t Create(bool withTemplate, int32_t x, int32_t y) {
    std::vector<rt::ArgRecord> args = {
        rt::MakeUnitRef(kFormId, kBox, unitprog::kCartoonBoxCode),
        withTemplate ? rt::MakeUnitRef(kFormId, kTemplate, unitprog::kCartoonObjectCode)
                     : rt::ArgRecord{},
        rt::MakeInt(x), rt::MakeInt(y)};
    rt::ArgRecord result{};
    cartoon::Library().commands[0](&result, static_cast<int32_t>(args.size()), args.data());
    return static_cast<int32_t>(result.low);
  }
  // One timer step through the window, `ms` later, with the paints it asks.
  void Step(uint64_t ms = 5) {
    fakeNow += ms;
    ::SendMessageA(WindowOf(kBox), WM_TIMER, 1, 0);
    Pump();
  }
  int CallsOf(int routine) {
    int n = 0;
    for (const Call& c : Calls()) n += c.routine == routine;
    return n;
  }
};

// Like the label, the box lets a press drag a form that allows it anywhere.
TEST(CartoonBoxType, APressOnTheBoxMayDragTheForm) {
  EXPECT_NE(cartoon::CartoonBoxType().flags & rt::typeflag::kDragsForm, 0u);
}

TEST_F(CartoonTest, CreateObjectPutsTheTemplatesPictureIntoTheBox) {
  const rt::LibraryDescriptor& library = cartoon::Library();
  EXPECT_EQ(library.typeCount, 9u);
  EXPECT_EQ(library.commandCount, 1u);
  EXPECT_EQ(rt::FindUnitType(unitprog::kCartoonBoxCode), &library.types[7]);
  EXPECT_EQ(rt::FindUnitType(unitprog::kCartoonObjectCode), &library.types[8]);
  EXPECT_FALSE(::IsWindowVisible(WindowOf(kTemplate)));

  SetPicture(SquareGif(1));
  EXPECT_EQ(Create(true, 10, 20), 1);
  EXPECT_EQ(Create(false, 0, 0), 2);
  const std::vector<uint32_t> pixels = testing_support::RenderClient(WindowOf(kBox), 200, 100);
  EXPECT_EQ(pixels[20 * 200 + 10], 0xFF0000u);  // the square
  EXPECT_EQ(pixels[21 * 200 + 11], 0xFF0000u);
  EXPECT_EQ(pixels[20 * 200 + 12], 0x00FF00u);  // white is transparent: the background
  EXPECT_EQ(pixels[0], 0x00FF00u);

  ::SendMessageA(WindowOf(kBox), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(11, 21));
  ASSERT_EQ(CallsOf(0), 1);
  EXPECT_EQ(Calls().back().args, (std::vector<uintptr_t>{1}));

  constexpr int32_t kPicDrawMode = 8 + 3;  // the box's fourth own property
  forms::WriteProperty(kFormId, kBox, kPicDrawMode, -1, {7, 0});
  EXPECT_EQ(forms::ReadProperty(kFormId, kBox, kPicDrawMode, -1).value, 3u);
}

// Three frames, two counted plays: six frame changes, then event 16 and
// the object's destruction (event 10). Changing the template afterwards
// reaches no object.
TEST_F(CartoonTest, CountedPlaysEndTheObjectAndTemplateChangesStayOut) {
  SetPicture(SquareGif(3));
  const int32_t id = Create(true, 0, 0);
  cartoon::Scene& scene = Box()->scene();
  SetPicture(SquareGif(1));
  EXPECT_EQ(scene.Find(id)->Image().FrameCount(), 3);
  for (int step = 0; step < 200 && scene.Find(id) != nullptr; ++step) Step();
  EXPECT_EQ(scene.Find(id), nullptr);
  EXPECT_EQ(fakeNow, 1000u + 6 * 20);
  ASSERT_EQ(CallsOf(6), 1);
  ASSERT_EQ(CallsOf(10), 1);
  EXPECT_EQ(Calls().front().routine, 6);
}

// The real clock and timer: the box waits for each frame change instead of
// stepping every 5 ms, and the two plays still end on time.
TEST_F(CartoonTest, TheRealTimerStepsWhenFramesAreDue) {
  cartoon::SetClockForTest(nullptr);
  SetPicture(SquareGif(3));
  const int32_t id = Create(true, 0, 0);
  const DWORD start = ::GetTickCount();
  while (Box()->scene().Find(id) != nullptr && ::GetTickCount() - start < 3000) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    Pump();
  }
  EXPECT_EQ(Box()->scene().Find(id), nullptr);
  EXPECT_GE(::GetTickCount() - start, 120u);
  EXPECT_EQ(CallsOf(6), 1);
}

TEST_F(CartoonTest, AHandlerThatDestroysTheBoxLeavesTheProgramRunning) {
  SetPicture(SquareGif(3));
  Create(true, 0, 0);
  SetAction(6, [] {
    forms::UnitObject* box = forms::FindUnitObject(kFormId, kBox);
    if (box) ::DestroyWindow(box->hwnd());
  });
  for (int step = 0; step < 200 && ::IsWindow(WindowOf(kBox)); ++step) Step();
  EXPECT_EQ(forms::FindUnitObject(kFormId, kBox), nullptr);
  EXPECT_EQ(CallsOf(10), 0);  // the step ended with the box
  EXPECT_TRUE(::IsWindow(WindowOf(0)));
  Pump();
}

TEST_F(CartoonTest, HandlesStayFlatOverTenThousandSteps) {
  SetPicture(SquareGif(2));
  Template().SetProperty(kGifAutoDestroyNumber, units::IntValue(0));
  Create(true, 0, 0);
  for (int i = 0; i < 100; ++i) Step();
  const testing_support::HandleCounts before = testing_support::CurrentHandles();
  for (int i = 0; i < 10000; ++i) Step();
  EXPECT_EQ(testing_support::CurrentHandles(), before);
  EXPECT_EQ(Box()->scene().Objects().size(), 1u);
}

}  // namespace
