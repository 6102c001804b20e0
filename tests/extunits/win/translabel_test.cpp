// The transparent label on a real form: its stored values and clamps, what
// the screen shows beneath and around its glyphs after a move, and no handle
// left behind by many caption writes.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TransLabelForm.h"
#include "extunits/translabel/rules.h"
#include "extunits/translabel/win/translabel.h"
#include "extunits/win/picture_win.h"
#include "forms/win/framework.h"
#include "runtime/heap.h"
#include "runtime/value.h"
#include "runtime/win/handles.h"
#include "tests/support/handle_counts.h"
#include "tests/extunits/picture_builders.h"
#include "tests/support/unit_program.h"
#include "units/blocks.h"
#include "units/win/window.h"

namespace {

using namespace testprog;
namespace tp = translabel::prop;

const rt::Routine kRoutines[] = {TRANS_LABEL_FORM_ROUTINES(TESTPROG_ENTRY)};

enum : uint32_t { kRedLabel = 0x16010001, kPlainLabel };
constexpr int kFormWidth = 300, kFormHeight = 200;

// The form's picture: every pixel's colour tells where it is.
uint32_t PicturePixel(int x, int y) {
  return (static_cast<uint32_t>(x * 5 % 256) << 16) | (static_cast<uint32_t>(y * 7 % 256) << 8) |
         0x80;
}

// What the form window shows in `area` (client coordinates), read back from
// the window's device context: top-down rows of 0x00RRGGBB.
std::vector<uint32_t> Shown(HWND window, const RECT& area) {
  const int w = area.right - area.left, h = area.bottom - area.top;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  rt::WindowDc screen(window);
  rt::GdiBitmap bitmap(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  rt::MemoryDc dc(::CreateCompatibleDC(screen.get()));
  {
    rt::SelectGuard selected(dc.get(), bitmap.get());
    ::BitBlt(dc.get(), 0, 0, w, h, screen.get(), area.left, area.top, SRCCOPY);
  }
  ::GdiFlush();
  const auto* p = static_cast<const uint32_t*>(bits);
  std::vector<uint32_t> pixels(p, p + static_cast<size_t>(w) * h);
  for (uint32_t& v : pixels) v &= 0xFFFFFF;
  return pixels;
}

class TransLabelTest : public unitprog::UnitProgramTest {
 protected:
  void SetUp() override {
    UnitProgramTest::SetUp();
    StartUnitsCompiled(kTransLabelFormTemplate, kTransLabelFormTemplateSize, kRoutines);
    ext::InstallPictureService();
    ASSERT_TRUE(Load(kFormId));
    std::vector<uint32_t> picture;
    for (int y = 0; y < kFormHeight; ++y) {
      for (int x = 0; x < kFormWidth; ++x) picture.push_back(PicturePixel(x, y));
    }
    const test_pictures::Bytes bmp = test_pictures::BuildBmp(kFormWidth, kFormHeight, 24, picture);
    void* set = rt::MakeByteSet(bmp.data(), static_cast<uint32_t>(bmp.size()));
    forms::WriteProperty(kFormId, 0, units::WindowPropertyNumber(units::windowfield::kBackPicture),
                         -1, {reinterpret_cast<uintptr_t>(set), 0});
    rt::Free(set);
    Settle();
  }
  void Settle() {
    for (int i = 0; i < 5; ++i) {
      Pump();
      ::Sleep(20);
    }
  }
  void Write(uint32_t unit, int32_t number, int32_t value) {
    forms::WriteProperty(kFormId, unit, number, -1, {static_cast<uint32_t>(value), 0});
  }
  void WriteCaption(uint32_t unit, const char* text) {
    forms::WriteProperty(kFormId, unit, 8 + tp::kCaption, -1,
                         {reinterpret_cast<uintptr_t>(text), 0});
  }
  int32_t Read(uint32_t unit, int32_t own) {
    return static_cast<int32_t>(forms::ReadProperty(kFormId, unit, 8 + own, -1).value);
  }
  translabel::TransLabelObject& Object(uint32_t unit) {
    return *dynamic_cast<translabel::TransLabelObject*>(forms::FindUnitObject(kFormId, unit));
  }
  // Pixels of `area` that differ from the picture.
  int Covered(const RECT& area) {
    const std::vector<uint32_t> pixels = Shown(WindowOf(0), area);
    int differ = 0, i = 0;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) differ += pixels[i++] != PicturePixel(x, y);
    }
    return differ;
  }
};

// Its type record is a plain window unit's: not a label for mnemonics, not
// skipped by Tab, and a press on it does not drag the form.
TEST(TransLabelType, CarriesTheWindowUnitFlagsOnly) {
  EXPECT_EQ(translabel::TransLabelType().flags,
            rt::typeflag::kAlwaysSet | rt::typeflag::kWindowUnit);
}

TEST_F(TransLabelTest, StoresClampsAndDefaults) {
  HWND plain = WindowOf(kPlainLabel);
  char text[16] = {};
  ::GetWindowTextA(plain, text, sizeof text);
  EXPECT_STREQ(text, "\xCD\xB8\xC3\xF7\xB1\xEA\xC7\xA9");  // 透明标签
  EXPECT_EQ(::GetWindowLongA(plain, GWL_EXSTYLE) & WS_EX_TRANSPARENT, WS_EX_TRANSPARENT);
  EXPECT_EQ(Read(kPlainLabel, tp::kVertAlignment), 1);
  const struct {
    int32_t own, written, read;
  } cases[] = {{tp::kEffect, 7, 3},        {tp::kEffect, -2, 0},
               {tp::kAlignment, -1, 0},    {tp::kAlignment, 5, 2},
               {tp::kVertAlignment, 9, 2}, {tp::kTextColor, 0x123456, 0x123456}};
  for (const auto& c : cases) {
    Write(kPlainLabel, 8 + c.own, c.written);
    EXPECT_EQ(Read(kPlainLabel, c.own), c.read) << c.own << " " << c.written;
  }
  // The font block: its address and length, a null address when empty.
  rt::PropValue font{};
  EXPECT_TRUE(Object(kPlainLabel).GetProperty(tp::kFont, font));
  EXPECT_EQ(font.value, 0u);
  EXPECT_TRUE(Object(kRedLabel).GetProperty(tp::kFont, font));
  EXPECT_NE(font.value, 0u);
  EXPECT_EQ(font.second, 60u);
  EXPECT_FALSE(Object(kRedLabel).GetProperty(tp::kCount, font));
}

TEST_F(TransLabelTest, ThePictureShowsBetweenTheGlyphsAfterAMove) {
  const RECT before{20, 20, 140, 60}, after{150, 110, 270, 150};
  const int area = 120 * 40;
  const int coveredBefore = Covered(before);
  EXPECT_GT(coveredBefore, 40);  // the glyphs
  EXPECT_LT(coveredBefore, area / 3);
  Write(kRedLabel, 0, after.left);
  Write(kRedLabel, 1, after.top);
  Settle();
  EXPECT_EQ(Covered(before), 0);  // nothing left behind
  const int coveredAfter = Covered(after);
  EXPECT_GT(coveredAfter, 40);
  EXPECT_LT(coveredAfter, area / 3);
  // Red glyphs, and the picture everywhere else.
  const std::vector<uint32_t> pixels = Shown(WindowOf(0), after);
  int red = 0;
  for (uint32_t p : pixels) red += p == 0xFF0000;
  EXPECT_GT(red, 20);
  // An empty caption leaves the picture alone.
  WriteCaption(kRedLabel, "");
  Settle();
  EXPECT_EQ(Covered(after), 0);
}

// A label moved while hidden shows at its new place once it is visible
// again: the picture between its glyphs, nothing left at the old place.
TEST_F(TransLabelTest, ALabelMovedWhileHiddenShowsAtItsNewPlace) {
  const RECT before{20, 20, 140, 60}, after{150, 110, 270, 150};
  const int area = 120 * 40;
  Write(kRedLabel, 5, 0);
  Write(kRedLabel, 0, after.left);
  Write(kRedLabel, 1, after.top);
  Settle();
  EXPECT_EQ(Covered(before), 0);
  EXPECT_EQ(Covered(after), 0);
  Write(kRedLabel, 5, 1);
  Settle();
  EXPECT_EQ(Covered(before), 0);
  const int covered = Covered(after);
  EXPECT_GT(covered, 40);
  EXPECT_LT(covered, area / 3);
}

TEST_F(TransLabelTest, CaptionWritesLeaveNoHandleBehind) {
  WriteCaption(kRedLabel, "warm up");
  Settle();
  const testing_support::HandleCounts handles = testing_support::CurrentHandles();
  for (int i = 0; i < 1000; ++i) {
    const std::string text = "caption " + std::to_string(i);
    WriteCaption(kRedLabel, text.c_str());
    if (i % 50 == 0) Pump();
  }
  Settle();
  EXPECT_EQ(testing_support::CurrentHandles(), handles);
  char text[32] = {};
  ::GetWindowTextA(WindowOf(kRedLabel), text, sizeof text);
  EXPECT_STREQ(text, "caption 999");
}

}  // namespace
