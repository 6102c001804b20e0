// The skin engine on a real form: push buttons in scheme 3 read back from
// the screen in each state against colours computed from the gradient
// tables, hot by a real mouse move, switching schemes and switching off,
// windows created later, and no handle left behind by repaints.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "SkinForm.h"
#include "commands/skin/rules.h"
#include "commands/skin/win/engine.h"
#include "commands/win/skin.h"
#include "runtime/value.h"
#include "runtime/win/handles.h"
#include "tests/support/freed_memory.h"
#include "tests/support/process.h"
#include "runtime/seams.h"
#include "tests/support/unit_program.h"

namespace {

using namespace testprog;

const rt::Routine kRoutines[] = {SKIN_FORM_ROUTINES(TESTPROG_ENTRY)};

enum : uint32_t { kDefaultButton = 0x16010001, kPlainButton, kOtherButton };
constexpr int kWidth = 120, kHeight = 40, kMid = kHeight / 2;

uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// A vertical gradient's colour at row y of a fill from `top` to `bottom`.
uint32_t Along(const skin::Gradient& g, int y, int top, int bottom) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int from = (g.corner[0] >> shift) & 0xFF, to = (g.corner[2] >> shift) & 0xFF;
    out |= static_cast<uint32_t>(from + (to - from) * (y - top) / (bottom - top)) << shift;
  }
  return Rgb(out);
}

bool Near(uint32_t a, uint32_t b, int within = 4) {
  bool ok = true;
  for (int shift = 0; shift < 24; shift += 8)
    ok &= std::abs(static_cast<int>((a >> shift & 0xFF) - (b >> shift & 0xFF))) <= within;
  return ok;
}

// What a window shows, read back pixel by pixel (0x00RRGGBB rows).
std::vector<uint32_t> Shown(HWND window) {
  rt::WindowDc dc(window);
  std::vector<uint32_t> pixels;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) pixels.push_back(Rgb(::GetPixel(dc.get(), x, y)));
  }
  return pixels;
}

int32_t CallSetVisualStyle(int32_t scheme) {
  rt::ArgRecord arg = rt::MakeInt(scheme), result{};
  commands::SkinLibrary().commands[0](&result, 1, &arg);
  return static_cast<int32_t>(result.low);
}

// A parent window whose colour answer runs `during` first, once.
struct ColourParent {
  static inline int answer = GRAY_BRUSH;
  static inline void (*during)() = nullptr;
  static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wParam, LPARAM lParam) {
    if (m != WM_CTLCOLORBTN) return ::DefWindowProcA(w, m, wParam, lParam);
    if (auto run = std::exchange(during, nullptr)) run();
    return reinterpret_cast<LRESULT>(::GetStockObject(answer));
  }
};

// A procedure put over the engine's after it skinned the window.
WNDPROC below = nullptr;
LRESULT CALLBACK Over(HWND w, UINT m, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcA(below, w, m, wParam, lParam);
}

class SkinTest : public unitprog::UnitProgramTest {
 protected:
  void SetUp() override {
    UnitProgramTest::SetUp();
    StartUnitsCompiled(kSkinFormTemplate, kSkinFormTemplateSize, kRoutines);
    EXPECT_EQ(CallSetVisualStyle(3), 1);  // before the form: the hook skins its buttons
    ASSERT_TRUE(Load(kFormId));
    ::SetForegroundWindow(WindowOf(0));
    ::SetFocus(WindowOf(kOtherButton));
    Wait(200);
  }
  void TearDown() override {
    CallSetVisualStyle(0);
    UnitProgramTest::TearDown();
  }
  void Wait(DWORD ms) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < ms) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      Pump();
    }
  }
  // Moves the real pointer (the X server's) to a point of a window.
  void MoveMouseTo(HWND window, POINT at) {
    ::ClientToScreen(window, &at);
    const auto run = testing_support::RunProcess("Z:\\usr\\bin\\xdotool mousemove " +
                                                 std::to_string(at.x) + " " + std::to_string(at.y));
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    Wait(300);
  }
  // Checks the frames, the face ring (gradient `face`, or the flat disabled
  // face) and the inner face (gradient `inner`, or -1: same as the ring).
  void ExpectButton(HWND button, int scheme, int face, int inner, bool disabled = false) {
    const std::vector<uint32_t> p = Shown(button);
    const auto at = [&](int x, int y) { return p[y * kWidth + x]; };
    const COLORREF buttonFace = ::GetSysColor(COLOR_BTNFACE);
    const uint32_t border =
        disabled ? Rgb(skin::Darker(buttonFace, 0x20)) : Rgb(skin::ButtonBorderColour(scheme));
    EXPECT_EQ(at(0, kMid), Rgb(buttonFace));
    EXPECT_EQ(at(1, kMid), border);
    EXPECT_EQ(at(kWidth - 2, kMid), border);
    for (int y : {4, kMid, kHeight - 5}) {
      const uint32_t ring = disabled ? Rgb(skin::kDisabledFace)
                                     : Along(skin::SchemeGradient(scheme, face), y, 2, kHeight - 2);
      EXPECT_TRUE(Near(at(2, y), ring)) << std::hex << at(2, y) << " " << ring << " y " << y;
      EXPECT_TRUE(Near(at(kWidth - 3, y), ring)) << std::hex << at(kWidth - 3, y);
      const uint32_t in =
          inner < 0 ? ring : Along(skin::SchemeGradient(scheme, inner), y, 4, kHeight - 4);
      EXPECT_TRUE(Near(at(6, y), in)) << std::hex << at(6, y) << " " << in << " y " << y;
    }
  }
  // Pixels of the caption near this colour.
  int Count(HWND button, uint32_t colour) {
    int n = 0;
    for (uint32_t v : Shown(button)) n += Near(v, colour, 0x50);
    return n;
  }
};

namespace g = skin::gradient;

// Each state in scheme 3, hot by a real mouse move; 1,000 hot and normal
// repaints leave no handle behind.
TEST_F(SkinTest, PushButtonsShowEachStateInSchemeThree) {
  HWND plain = WindowOf(kPlainButton), byDefault = WindowOf(kDefaultButton);
  ASSERT_NE(skin::NodeOf(plain), nullptr);
  ExpectButton(plain, 3, g::kNormal, g::kInnerNormal);
  EXPECT_GT(Count(plain, 0x000000), 5);  // black caption, vertically centred
  EXPECT_TRUE(
      Near(Shown(plain)[6 * kWidth + kWidth / 2], Along(skin::SchemeGradient(3, 6), 6, 4, 36)));
  ExpectButton(byDefault, 3, g::kFocused, g::kInnerNormal);  // default, not focused
  MoveMouseTo(plain, {kWidth / 2, kMid});
  EXPECT_TRUE(skin::NodeOf(plain)->flags & skin::flag::kHot);
  ExpectButton(plain, 3, g::kHot, g::kInnerNormal);
  MoveMouseTo(plain, {kWidth / 2, 120});
  EXPECT_FALSE(skin::NodeOf(plain)->flags & skin::flag::kHot);
  ExpectButton(plain, 3, g::kNormal, g::kInnerNormal);
  ::SendMessageA(plain, BM_SETSTATE, TRUE, 0);
  ExpectButton(plain, 3, g::kPressed, g::kInnerPressed);
  ::SendMessageA(plain, BM_SETSTATE, FALSE, 0);
  ::SetFocus(plain);
  Wait(50);
  const int64_t handles = rt::LiveHandleCount();
  for (int i = 0; i < 1000; ++i) {
    ::SendMessageA(plain, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    ::SendMessageA(plain, WM_MOUSELEAVE, 0, 0);
  }
  EXPECT_EQ(rt::LiveHandleCount(), handles);
  ExpectButton(plain, 3, g::kFocused, g::kInnerNormal);
  // Disabled: flat face, greyed border, grey caption.
  ::EnableWindow(plain, FALSE);
  ExpectButton(plain, 3, 0, -1, true);
  EXPECT_GT(Count(plain, Rgb(skin::kGreyText)), 5);
  EXPECT_EQ(Count(plain, 0x000000), 0);
}

TEST_F(SkinTest, SwitchingSchemesAndOffRestoresTheOwnProcedures) {
  HWND plain = WindowOf(kPlainButton);
  ASSERT_NE(skin::NodeOf(plain), nullptr);
  const WNDPROC own = skin::NodeOf(plain)->ownProc;
  EXPECT_EQ(CallSetVisualStyle(1), 1);
  ExpectButton(plain, 1, g::kNormal, g::kInnerNormal);
  // Switched while the form is hidden: no redraw then, the new scheme once
  // the form shows.
  ::ShowWindow(WindowOf(0), SW_HIDE);
  EXPECT_EQ(CallSetVisualStyle(2), 1);
  ::ShowWindow(WindowOf(0), SW_SHOW);
  Wait(200);
  ExpectButton(plain, 2, g::kNormal, g::kInnerNormal);
  EXPECT_EQ(CallSetVisualStyle(3), 1);
  // An edit made now is skinned at its creation: the scheme's frame colour,
  // the window colour inside; its node goes with it.
  HWND edit = ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "text", WS_CHILD | WS_VISIBLE, 280, 150,
                                80, 24, WindowOf(0), nullptr, nullptr, nullptr);
  ::RedrawWindow(edit, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  {
    rt::WholeWindowDc dc(edit);
    EXPECT_EQ(::GetPixel(dc.get(), 0, 12), skin::FrameColour(3));
    EXPECT_EQ(::GetPixel(dc.get(), 1, 12), ::GetSysColor(COLOR_WINDOW));
  }
  ::DestroyWindow(edit);
  EXPECT_EQ(skin::SkinnedCount(), 3u);
  EXPECT_EQ(CallSetVisualStyle(0), 1);  // the hook was removed
  EXPECT_EQ(skin::SkinnedCount(), 0u);
  for (uint32_t unit : {kDefaultButton, kPlainButton, kOtherButton}) {
    EXPECT_EQ(reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(WindowOf(unit), GWLP_WNDPROC)), own);
  }
  EXPECT_EQ(CallSetVisualStyle(0), 0);  // already off
}

// The parent's handler skins a new window, then destroys it, while the
// button waits for its colours: they still land in the button's node.
TEST_F(SkinTest, TheParentsColoursReachTheNodeWhileItsHandlerSkinsOrUnskins) {
  WNDCLASSA type = {};
  type.lpfnWndProc = ColourParent::Proc;
  type.lpszClassName = "SkinColourParent";
  ::RegisterClassA(&type);
  static HWND parent, added;
  parent = ::CreateWindowExA(0, type.lpszClassName, "", WS_POPUP, 0, 0, 200, 80, nullptr, nullptr,
                             nullptr, nullptr);
  HWND asking = ::CreateWindowExA(0, "BUTTON", "A", WS_CHILD | WS_VISIBLE, 0, 0, 80, 24, parent,
                                  nullptr, nullptr, nullptr);
  const auto erase = [asking](int answer, void (*during)()) {
    ColourParent::answer = answer;
    ColourParent::during = during;
    rt::WindowDc dc(asking);
    ::SendMessageA(asking, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0);
    return static_cast<HGDIOBJ>(skin::NodeOf(asking)->parentBrush);
  };
  EXPECT_EQ(erase(BLACK_BRUSH,
                  [] {
                    added = ::CreateWindowExA(0, "BUTTON", "B", WS_CHILD, 0, 30, 80, 24, parent,
                                              nullptr, nullptr, nullptr);
                  }),
            ::GetStockObject(BLACK_BRUSH));
  ASSERT_NE(skin::NodeOf(added), nullptr);
  EXPECT_EQ(skin::NodeOf(added)->parentBrush, nullptr);
  EXPECT_EQ(erase(WHITE_BRUSH, [] { ::DestroyWindow(added); }), ::GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(skin::NodeOf(added), nullptr);
  ::DestroyWindow(parent);
}

// Switching off keeps a procedure put over the engine's (messages pass
// through to the button's own); switching on again skins under it.
TEST_F(SkinTest, AProcedureOverTheEnginesStaysWhenTheEngineLetsGo) {
  HWND plain = WindowOf(kPlainButton);
  below = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(plain, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Over)));
  EXPECT_EQ(CallSetVisualStyle(0), 1);
  EXPECT_EQ(skin::SkinnedCount(), 0u);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(plain, GWLP_WNDPROC)), &Over);
  ::SetWindowTextA(plain, "again");
  char text[16] = {};
  ::GetWindowTextA(plain, text, sizeof text);
  EXPECT_STREQ(text, "again");
  EXPECT_EQ(CallSetVisualStyle(3), 1);
  ASSERT_NE(skin::NodeOf(plain), nullptr);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(plain, GWLP_WNDPROC)), &Over);
  ExpectButton(plain, 3, g::kNormal, g::kInnerNormal);
}

int32_t MessageToStandardError(void*, const char* text, const char*, uint32_t) {
  std::fputs(text, stderr);
  return IDOK;
}

// Memory running out while the engine lists the thread's windows (inside
// a Win32 enumeration) ends in the runtime's fatal error, not in an
// exception thrown through the system's frames. The process ends for real:
// no exception can unwind through those frames on i686.
TEST_F(SkinTest, RunningOutOfMemoryWhileListingWindowsIsAFatalError) {
  EXPECT_EXIT(
      {
        rt::SetMessageBoxSeam(MessageToStandardError);
        rt::SetEndProcessSeam(nullptr);
        testing_support::FailNextAllocation();
        CallSetVisualStyle(0);
      },
      ::testing::ExitedWithCode(-1), "bad_alloc");
}

}  // namespace
