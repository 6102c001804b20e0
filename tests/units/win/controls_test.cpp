// The Label and the Button on a real form: defaults and clamps, the label's
// gradient modes and frame checked pixel by pixel against colours computed
// here, the feedback message, pictures on buttons, real clicks and Enter on
// a default button, and no handle left behind by repaints and re-creations.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "ControlsForm.h"
#include "extunits/win/picture_win.h"
#include "forms/win/framework.h"
#include "runtime/heap.h"
#include "runtime/value.h"
#include "runtime/win/handles.h"
#include "tests/support/handle_counts.h"
#include "tests/extunits/picture_builders.h"
#include "tests/support/client_pixels.h"
#include "tests/support/unit_program.h"
#include "units/blocks.h"
#include "units/label_paint.h"
#include "units/win/button.h"
#include "units/win/control_style.h"
#include "units/win/label.h"

namespace {

using namespace testprog;
using test_pictures::Bytes;
namespace lp = units::labelprop;
namespace bp = units::buttonprop;

const rt::Routine kControlRoutines[] = {CONTROLS_FORM_ROUTINES(TESTPROG_ENTRY)};

constexpr uint32_t kForm = 0x52010001;
enum : uint32_t { kPlainLabel = 0x16010001, kGradient, kFrame, kDefaultButton, kPlainButton };

std::vector<uint32_t> Render(HWND window, int width, int height) {
  return testing_support::RenderClient(window, width, height);
}

uint32_t Grey(int v) { return static_cast<uint32_t>(v) * 0x010101u; }

// A channel going from `from` to `to` over `length`, at t (truncated toward
// `from`, as integer division does).
int Along(int from, int to, int t, int length) { return from + (to - from) * t / length; }

class ControlsTest : public unitprog::UnitProgramTest {
 protected:
  void SetUp() override {
    UnitProgramTest::SetUp();
    StartUnitsCompiled(kControlsFormTemplate, kControlsFormTemplateSize, kControlRoutines);
    ext::InstallPictureService();
    ASSERT_TRUE(Load(kForm));
    Pump();
  }
  HWND Window(uint32_t unit) { return WindowOf(unit, kForm); }
  void Write(uint32_t unit, int32_t own, int32_t value) {
    forms::WriteProperty(kForm, unit, 8 + own, -1, {static_cast<uint32_t>(value), 0});
  }
  void WriteBytes(uint32_t unit, int32_t own, const Bytes& bytes) {
    void* set = rt::MakeByteSet(bytes.data(), static_cast<uint32_t>(bytes.size()));
    forms::WriteProperty(kForm, unit, 8 + own, -1, {reinterpret_cast<uintptr_t>(set), 0});
    rt::Free(set);
  }
  int32_t Read(uint32_t unit, int32_t own) {
    return static_cast<int32_t>(forms::ReadProperty(kForm, unit, 8 + own, -1).value);
  }
  units::ButtonObject& Button(uint32_t unit) {
    return *dynamic_cast<units::ButtonObject*>(forms::FindUnitObject(kForm, unit));
  }
  // Dispatches what is waiting the way the framework's loop does: the
  // runtime objects from the message's window up to the form see it first.
  void PumpWithPreTranslation() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      bool consumed = false;
      for (HWND w = msg.hwnd; w && !consumed; w = ::GetParent(w)) {
        forms::UnitObject* object = forms::UnitObject::FromWindow(w);
        consumed = object && object->PreTranslate(msg);
      }
      if (consumed) continue;
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  int CallsOf(int routine) {
    int n = 0;
    for (const Call& c : Calls()) n += c.routine == routine ? 1 : 0;
    return n;
  }
};

// A context with no clip box (GetClipBox answering ERROR, whatever it left
// in the rectangle) gets no paint from the form or a label.
int WINAPI NoClipBox(HDC, LPRECT clip) {
  *clip = {-30000, -30000, 30000, 30000};
  return ERROR;
}

TEST_F(ControlsTest, NothingIsPaintedWhereTheContextHasNoClipBox) {
  units::getClipBox = NoClipBox;
  const std::vector<uint32_t> form = Render(Window(0), 60, 60);
  const std::vector<uint32_t> label = Render(Window(kGradient), 60, 20);
  units::getClipBox = ::GetClipBox;
  EXPECT_EQ(std::count(form.begin(), form.end(), 0u), 60 * 60);
  EXPECT_EQ(std::count(label.begin(), label.end(), 0u), 60 * 20);
  const std::vector<uint32_t> painted = Render(Window(0), 60, 60);
  EXPECT_NE(std::count(painted.begin(), painted.end(), 0u), 60 * 60);
}

TEST_F(ControlsTest, AnEmptyLabelShowsItsCaptionOnButtonFaceAndClampsItsValues) {
  HWND label = Window(kPlainLabel);
  char text[16] = {};
  ::GetWindowTextA(label, text, sizeof text);
  EXPECT_STREQ(text, "\xB1\xEA\xC7\xA9");  // 标签 in code page 936
  EXPECT_EQ(::GetWindowLongA(label, GWL_EXSTYLE) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE), 0);
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  const uint32_t facePixel = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
  const std::vector<uint32_t> pixels = Render(label, 100, 30);
  EXPECT_EQ(pixels[0], facePixel);
  EXPECT_EQ(pixels[29 * 100 + 99], facePixel);
  // The caption: drawn left-aligned and vertically centred.
  int drawn = 0, right = 0, top = 30, bottom = 0;
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 100; ++x) {
      if (pixels[y * 100 + x] == facePixel) continue;
      ++drawn;
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  EXPECT_GT(drawn, 10);
  EXPECT_LT(right, 50);
  EXPECT_NEAR(top + bottom, 29, 6);

  Write(kPlainLabel, lp::kFrameWidth, 2);  // the other clamps are checked natively
  EXPECT_EQ(Read(kPlainLabel, lp::kFrameWidth), 5);
  Write(kPlainLabel, lp::kBorderStyle, 1);
  EXPECT_TRUE(::GetWindowLongA(label, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  // The binding's texts are stored and saved only.
  forms::WriteProperty(kForm, kPlainLabel, 8 + lp::kDataField, -1,
                       {reinterpret_cast<uintptr_t>("col"), 0});
  const auto save =
      forms::Operation<forms::PropertyDataFn>(&units::LabelType(), forms::op::kPropertyData);
  forms::PropertyValues saved(units::kLabelBlock);
  ASSERT_EQ(forms::ReadBlock(save(forms::FindUnitObject(kForm, kPlainLabel)), saved),
            forms::BlockStatus::kOk);
  EXPECT_EQ(saved.Text(units::labelfield::kDataField), "col");
  EXPECT_EQ(saved.Int(units::labelfield::kFrameWidth), 5);
}

TEST_F(ControlsTest, GradientModesPaintTheColoursComputedAlongEachDirection) {
  HWND label = Window(kGradient);        // 120 x 60, red (0x0000FF) to blue (0xFF0000)
  auto expect = [](int t, int length) {  // red falls, blue rises
    const int s = length;                // two colours: one segment
    if (t >= s) return 0x0000FFu;
    return static_cast<uint32_t>(Along(255, 0, t, s) << 16 | Along(0, 255, t, s));
  };
  std::vector<uint32_t> pixels = Render(label, 120, 60);
  for (int x = 0; x < 120; x += 7) EXPECT_EQ(pixels[30 * 120 + x], expect(x, 120)) << x;
  // Each mode: its start corner, a point inside and its far corner.
  struct {
    int mode, x, y, t, length;
  } cases[] = {{1, 5, 0, 0, 60},      {1, 5, 40, 40, 60},    {5, 5, 59, 0, 60},
               {5, 5, 10, 49, 60},    {6, 119, 3, 0, 120},   {6, 30, 3, 89, 120},
               {3, 0, 0, 0, 120},     {3, 40, 30, 70, 120},  {3, 119, 59, 178, 120},
               {4, 119, 0, 0, 120},   {4, 100, 20, 39, 120}, {7, 119, 59, 0, 120},
               {7, 100, 50, 28, 120}, {8, 0, 59, 0, 120},    {8, 10, 29, 40, 120}};
  int mode = 0;
  for (const auto& c : cases) {
    if (c.mode != mode) {
      Write(kGradient, lp::kGradientMode, mode = c.mode);
      pixels = Render(label, 120, 60);
    }
    EXPECT_EQ(pixels[c.y * 120 + c.x], expect(c.t, c.length)) << c.mode << " " << c.x << "," << c.y;
  }
  // One usable colour: no gradient, the plain background colour.
  Write(kGradient, lp::kGradientColor1, static_cast<int32_t>(units::kUnusedColour));
  Write(kGradient, lp::kBackColor, 0x00FF00);
  pixels = Render(label, 120, 60);
  EXPECT_EQ(pixels[0], 0x00FF00u);
  EXPECT_EQ(pixels[59 * 120 + 119], 0x00FF00u);
}

TEST_F(ControlsTest, TheGradientFrameHasFourBandsAndAtMostHalfTheHeight) {
  HWND label = Window(kFrame);  // 100 x 40, width 8, black to white, green inside
  std::vector<uint32_t> pixels = Render(label, 100, 40);
  struct {
    int x, y;
    uint32_t rgb;
  } expected[] = {
      {50, 3, Grey(Along(0, 255, 3, 8))},         // top band, down from its top
      {50, 36, Grey(Along(0, 255, 36 - 32, 8))},  // bottom band, down from its own top
      {2, 20, Grey(Along(0, 255, 2, 8))},         // left band, across
      {97, 20, Grey(Along(0, 255, 97 - 92, 8))},  // right band, across from its own left
      {8, 8, 0x00FF00},
      {91, 31, 0x00FF00},
      {50, 20, 0x00FF00},
  };
  for (const auto& e : expected) EXPECT_EQ(pixels[e.y * 100 + e.x], e.rgb) << e.x << "," << e.y;
  // 10 pixels high: the bands are 5 deep and nothing is left inside.
  forms::WriteProperty(kForm, kFrame, 3, -1, {10, 0});
  pixels = Render(label, 100, 10);
  EXPECT_EQ(pixels[2 * 100 + 50], Grey(Along(0, 255, 2, 5)));
  EXPECT_EQ(pixels[4 * 100 + 50], Grey(Along(0, 255, 4, 5)));
  EXPECT_EQ(pixels[7 * 100 + 50], Grey(Along(0, 255, 2, 5)));
  EXPECT_EQ(pixels[5 * 100 + 3], Grey(Along(0, 255, 3, 8)));
}

TEST_F(ControlsTest, BackPicturesAreDrawnInsideTheFrameByModeAndBadBytesAreCleared) {
  HWND label = Window(kFrame);  // inside the frame: (8, 8) to (92, 32), green
  WriteBytes(kFrame, lp::kBackPicture,
             test_pictures::BuildBmp(8, 8, 24, std::vector<uint32_t>(64, 0x0000FF)));
  const uint32_t blue = 0x0000FF, green = 0x00FF00, band = Grey(Along(0, 255, 2, 8));
  struct {
    int mode, x, y;
    uint32_t rgb;
  } cases[] = {{0, 8, 8, blue},   {0, 15, 15, blue}, {0, 16, 16, green}, {0, 2, 20, band},
               {2, 46, 16, blue}, {2, 53, 23, blue}, {2, 45, 20, green}, {2, 54, 20, green},
               {1, 90, 30, blue}, {1, 50, 20, blue}, {1, 2, 20, band}};
  for (const auto& c : cases) {
    Write(kFrame, lp::kBackPictureMode, c.mode);
    EXPECT_EQ(Render(label, 100, 40)[c.y * 100 + c.x], c.rgb) << c.mode << " " << c.x << "," << c.y;
  }
  WriteBytes(kFrame, lp::kBackPicture, Bytes{1, 2, 3});
  EXPECT_EQ(Render(label, 100, 40)[20 * 100 + 50], green);
  EXPECT_TRUE(dynamic_cast<units::LabelObject*>(forms::FindUnitObject(kForm, kFrame))
                  ->values()
                  .Bytes(units::labelfield::kBackPicture)
                  .empty());
}

TEST_F(ControlsTest, TheFeedbackMessageAnswersWithTheHandlersResult) {
  ResultOf(1) = {true, 42};
  EXPECT_EQ(::SendMessageA(Window(kGradient), units::kMsgFeedback, 7, 9), 42);
  ASSERT_FALSE(Calls().empty());
  EXPECT_EQ(Calls().back().routine, 1);
  EXPECT_EQ(Calls().back().args, (std::vector<uintptr_t>{7, 9}));
  ResultOf(1) = {};
  EXPECT_EQ(::SendMessageA(Window(kGradient), units::kMsgFeedback, 1, 2), 0);
  const size_t before = Calls().size();
  EXPECT_EQ(::SendMessageA(Window(kPlainLabel), units::kMsgFeedback, 1, 2), 0);  // no handler
  EXPECT_EQ(Calls().size(), before);
  ::PostMessageA(Window(kGradient), units::kMsgFeedback, 3, 4);  // from the loop later
  Pump();
  EXPECT_EQ(Calls().back().args, (std::vector<uintptr_t>{3, 4}));
}

TEST_F(ControlsTest, ButtonStylesFollowTheirPropertiesAndTheDefaultButtonQuery) {
  HWND plain = Window(kPlainButton);
  auto style = [](HWND w) { return static_cast<uint32_t>(::GetWindowLongA(w, GWL_STYLE)); };
  EXPECT_EQ(style(plain) & (BS_CENTER | BS_VCENTER | BS_MULTILINE | 0x1F),
            static_cast<uint32_t>(BS_CENTER | BS_VCENTER | BS_MULTILINE));
  char text[16] = {};
  ::GetWindowTextA(plain, text, sizeof text);
  EXPECT_STREQ(text, "\xB0\xB4\xC5\xA5");  // 按钮
  EXPECT_EQ(::SendMessageA(plain, WM_GETFONT, 0, 0),
            reinterpret_cast<LRESULT>(::GetStockObject(DEFAULT_GUI_FONT)));
  const auto isDefault =
      forms::Operation<forms::IsDefaultButtonFn>(&units::ButtonType(), forms::op::kIsDefaultButton);
  ASSERT_NE(isDefault, nullptr);
  EXPECT_EQ(isDefault(&Button(kPlainButton)), 0);
  EXPECT_EQ(isDefault(&Button(kDefaultButton)), 1);
  Write(kPlainButton, bp::kDefaultButton, 5);
  EXPECT_EQ(Read(kPlainButton, bp::kDefaultButton), 1);
  EXPECT_EQ(isDefault(&Button(kPlainButton)), 1);
  Write(kPlainButton, bp::kDefaultButton, -3);
  EXPECT_EQ(Read(kPlainButton, bp::kDefaultButton), 0);
  EXPECT_EQ(isDefault(&Button(kPlainButton)), 0);
  Write(kPlainButton, bp::kAlignment, 0);
  Write(kPlainButton, bp::kVertAlignment, 9);
  EXPECT_EQ(style(plain) & (BS_CENTER | BS_VCENTER), static_cast<uint32_t>(BS_LEFT | BS_BOTTOM));
  // A font block of 60 bytes becomes the control's font; another block the default.
  LOGFONTA font{};
  font.lfHeight = -20;
  std::strcpy(font.lfFaceName, "Arial");
  const auto* f = reinterpret_cast<const uint8_t*>(&font);
  const Bytes block(f, f + sizeof font);
  Button(kPlainButton).SetProperty(bp::kFont, {reinterpret_cast<uintptr_t>(block.data()), 60});
  EXPECT_NE(::SendMessageA(plain, WM_GETFONT, 0, 0),
            reinterpret_cast<LRESULT>(::GetStockObject(DEFAULT_GUI_FONT)));
  const Bytes shortBlock(10, 1);
  Button(kPlainButton).SetProperty(bp::kFont, {reinterpret_cast<uintptr_t>(shortBlock.data()), 10});
  EXPECT_EQ(::SendMessageA(plain, WM_GETFONT, 0, 0),
            reinterpret_cast<LRESULT>(::GetStockObject(DEFAULT_GUI_FONT)));
}

Bytes IconFile(int size) { return test_pictures::SolidIconFile(size, 0x102030); }

TEST_F(ControlsTest, APictureButtonShowsAnIconABitmapOrItsCaption) {
  const Bytes jpeg =
      test_pictures::EncodeJpeg(16, 12, std::vector<uint32_t>(16 * 12, 0xFF0000), 90, false);
  struct {
    Bytes picture;
    uint32_t kind;
    WPARAM imageType;
  } cases[] = {{jpeg, BS_BITMAP, IMAGE_BITMAP},
               {IconFile(32), BS_ICON, IMAGE_ICON},
               {Bytes{'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'}, 0, IMAGE_BITMAP}};
  for (const auto& c : cases) {
    HWND before = Window(kPlainButton);
    WriteBytes(kPlainButton, bp::kPicture, c.picture);
    HWND button = Window(kPlainButton);
    ASSERT_NE(button, nullptr);
    EXPECT_NE(button, before);  // re-created
    const auto style = static_cast<uint32_t>(::GetWindowLongA(button, GWL_STYLE));
    EXPECT_EQ(style & (BS_ICON | BS_BITMAP), c.kind);
    EXPECT_EQ(style & (BS_CENTER | BS_VCENTER), static_cast<uint32_t>(BS_CENTER | BS_VCENTER));
    const LRESULT image = ::SendMessageA(button, BM_GETIMAGE, c.imageType, 0);
    EXPECT_EQ(image != 0, c.kind != 0) << c.kind;
    EXPECT_EQ(Read(kPlainButton, bp::kPicture) != 0, true);  // the bytes stay stored
  }
  EXPECT_EQ(Button(kPlainButton).icon(), nullptr);
  EXPECT_EQ(Button(kPlainButton).bitmap(), nullptr);
}

void Key(WORD key) {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = key;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, input, sizeof(INPUT));
}

void ClickAt(HWND window) {
  RECT rc;
  ::GetWindowRect(window, &rc);
  ::SetCursorPos((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(2, input, sizeof(INPUT));
}

TEST_F(ControlsTest, EnterOnAFocusedDefaultButtonAndRealClicksRaiseEventZeroOnce) {
  HWND form = WindowOf(0, kForm);
  ::SetForegroundWindow(form);
  ::SetFocus(Window(kPlainButton));
  Pump();
  Calls().clear();
  ::SetFocus(Window(kDefaultButton));
  Pump();
  ASSERT_EQ(::GetFocus(), Window(kDefaultButton));
  EXPECT_EQ(CallsOf(3), 1);  // -7: the focus came
  Key(VK_RETURN);
  for (int i = 0; i < 50 && CallsOf(2) == 0; ++i) {
    PumpWithPreTranslation();
    ::Sleep(10);
  }
  PumpWithPreTranslation();
  EXPECT_EQ(CallsOf(2), 1);

  ClickAt(Window(kPlainButton));
  for (int i = 0; i < 50 && CallsOf(5) == 0; ++i) {
    PumpWithPreTranslation();
    ::Sleep(10);
  }
  EXPECT_EQ(CallsOf(5), 1);
  EXPECT_EQ(CallsOf(4), 1);  // -8: the click took the focus away
  EXPECT_EQ(CallsOf(2), 1);
}

TEST_F(ControlsTest, RepaintsAndReCreationsLeaveNoHandleBehind) {
  LOGFONTA font{};
  font.lfHeight = -14;
  const auto* f = reinterpret_cast<const uint8_t*>(&font);
  const Bytes block(f, f + sizeof font);
  const rt::PropValue fontValue{reinterpret_cast<uintptr_t>(block.data()), 60};
  dynamic_cast<units::LabelObject*>(forms::FindUnitObject(kForm, kFrame))
      ->SetProperty(lp::kFont, fontValue);
  Write(kFrame, lp::kEffect, 3);
  WriteBytes(kPlainLabel, lp::kBackPicture,
             test_pictures::BuildBmp(8, 8, 24, std::vector<uint32_t>(64, 0x0000FF)));
  Render(Window(kPlainLabel), 100, 30);  // the picture is made on first paint
  Button(kDefaultButton).SetProperty(bp::kFont, fontValue);
  const testing_support::HandleCounts handles = testing_support::CurrentHandles();
  const int units = forms::UnitObject::LiveCount();
  for (int i = 0; i < 1000; ++i) {
    for (uint32_t unit : {kPlainLabel, kGradient, kFrame}) {
      ::InvalidateRect(Window(unit), nullptr, FALSE);
      ::UpdateWindow(Window(unit));
    }
    Render(Window(kFrame), 100, 40);
    WriteBytes(kPlainButton, bp::kPicture, i % 2 ? IconFile(16) : Bytes{1, 2, 3});
    Write(kGradient, lp::kGradientMode, 1 + i % 8);
  }
  WriteBytes(kPlainButton, bp::kPicture, Bytes{});
  Pump();
  EXPECT_EQ(testing_support::CurrentHandles(), handles);
  EXPECT_EQ(forms::UnitObject::LiveCount(), units);
}

}  // namespace
