// The window unit on real forms: the defaults of an empty block, frames,
// window states, the shape, the centred picture, tray messages and the tray
// icon operation, menu commands, and no handle left behind by property
// writes that remake icons, shapes and pictures.

#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "WindowForm.h"
#include "extunits/win/picture_win.h"
#include "forms/win/framework.h"
#include "runtime/application.h"
#include "runtime/heap.h"
#include "runtime/value.h"
#include "runtime/win/handles.h"
#include "runtime/win/icons.h"
#include "tests/support/handle_counts.h"
#include "tests/extunits/picture_builders.h"
#include "tests/support/client_pixels.h"
#include "tests/support/unit_program.h"
#include "units/blocks.h"
#include "units/win/window.h"

namespace {

using namespace testprog;
using test_pictures::Bytes;
namespace wf = units::windowfield;

const rt::Routine kWindowRoutines[] = {WINDOW_FORM_ROUTINES(TESTPROG_ENTRY)};

// The forms of data/window.form.
enum : uint32_t {
  kEmptyForm = 0x52010001,
  kNoBorderForm,
  kMaximisedForm,
  kPlainForm,
  kHiddenForm,
  kFocusForm,
  kToolForm
};

struct TrayCall {
  uint32_t message;
  NOTIFYICONDATAA data;
};
std::vector<TrayCall>& TrayCalls() {
  static std::vector<TrayCall> calls;
  return calls;
}
bool RecordTray(uint32_t message, void* data) {
  TrayCalls().push_back({message, *static_cast<NOTIFYICONDATAA*>(data)});
  return true;
}

Bytes SolidBmp(int width, int height, uint32_t rgb) {
  return test_pictures::BuildBmp(width, height, 24,
                                 std::vector<uint32_t>(static_cast<size_t>(width) * height, rgb));
}

test_pictures::IconFileEntry IconEntry(int size, int colours) {
  const std::vector<uint32_t> pixels(static_cast<size_t>(size) * size, 0x102030);
  return {size,
          size,
          colours,
          1,
          24,
          test_pictures::BuildIconImage(size, size, 24, pixels,
                                        Bytes(static_cast<size_t>(size) * size, 0))};
}
Bytes IconFile(int size) { return test_pictures::BuildIconFile(1, {IconEntry(size, 16)}); }

int IconWidth(HWND window, WPARAM which) {
  auto icon = reinterpret_cast<HICON>(::SendMessageA(window, WM_GETICON, which, 0));
  ICONINFO info{};
  if (icon == nullptr || !::GetIconInfo(icon, &info)) return 0;
  BITMAP bm{};
  ::GetObjectA(info.hbmMask, sizeof bm, &bm);
  rt::GdiBitmap mask(info.hbmMask), color(info.hbmColor);  // GetIconInfo's copies
  return bm.bmWidth;
}

class WindowTest : public unitprog::UnitProgramTest {
 protected:
  void SetUp() override {
    UnitProgramTest::SetUp();
    StartUnitsCompiled(kWindowFormTemplate, kWindowFormTemplateSize, kWindowRoutines);
    ext::InstallPictureService();
    TrayCalls().clear();
    units::SetTrayPortForTest(RecordTray);
  }
  void TearDown() override {
    UnitProgramTest::TearDown();
    units::SetTrayPortForTest(nullptr);
  }
  HWND Open(uint32_t form) {
    form_ = form;
    EXPECT_TRUE(Load(form));
    Pump();
    return WindowOf(0, form);
  }
  units::WindowObject& Window() {
    return *dynamic_cast<units::WindowObject*>(forms::FindUnitObject(form_, 0));
  }
  void Write(size_t field, int32_t value) {
    forms::WriteProperty(form_, 0, units::WindowPropertyNumber(field), -1,
                         {static_cast<uint32_t>(value), 0});
  }
  void WriteBytes(size_t field, const Bytes& bytes) {
    void* set = rt::MakeByteSet(bytes.data(), static_cast<uint32_t>(bytes.size()));
    forms::WriteProperty(form_, 0, units::WindowPropertyNumber(field), -1,
                         {reinterpret_cast<uintptr_t>(set), 0});
    rt::Free(set);
  }
  int32_t Read(size_t field) {
    return static_cast<int32_t>(
        forms::ReadProperty(form_, 0, units::WindowPropertyNumber(field), -1).value);
  }
  RECT Rect() {
    RECT rc;
    ::GetWindowRect(WindowOf(0, form_), &rc);
    return rc;
  }
  uint32_t form_ = 0;
};

bool Same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
RECT Screen() { return {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}; }

TEST_F(WindowTest, AnEmptyBlockGivesACentredDialogFrameThatEscCloses) {
  HWND form = Open(kEmptyForm);
  const auto style = static_cast<uint32_t>(::GetWindowLongA(form, GWL_STYLE));
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
            static_cast<uint32_t>(WS_CAPTION | WS_SYSMENU));
  EXPECT_EQ(Rect().left, (::GetSystemMetrics(SM_CXSCREEN) - 301) / 2);
  EXPECT_EQ(Rect().top, (::GetSystemMetrics(SM_CYSCREEN) - 200) / 2);
  EXPECT_EQ(Read(wf::kBackPictureMode), 1);
  EXPECT_EQ(static_cast<uint32_t>(Read(wf::kBackColor)), 0xFF000000u);

  MSG esc = {form, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
  ResultOf(1) = {true, 0};  // the close query says no
  EXPECT_TRUE(Window().PreTranslate(esc));
  ASSERT_TRUE(::IsWindow(form));
  ResultOf(1) = {};
  EXPECT_TRUE(Window().PreTranslate(esc));
  EXPECT_FALSE(::IsWindow(form));
  EXPECT_EQ(
      std::count_if(Calls().begin(), Calls().end(), [](const Call& c) { return c.routine == 1; }),
      2);
  ASSERT_FALSE(Calls().empty());
  EXPECT_EQ(Calls().back().routine, 2);  // destroyed
}

TEST_F(WindowTest, NoBorderMeansNoCaptionButTheMaximiseBoxStays) {
  HWND form = Open(kNoBorderForm);
  const auto style = ::GetWindowLongA(form, GWL_STYLE);
  EXPECT_FALSE(style & WS_DLGFRAME);
  EXPECT_FALSE(style & WS_BORDER);
  EXPECT_TRUE(style & WS_MAXIMIZEBOX);
  Write(wf::kBorderStyle, 9);  // clamped to 6: dialog frame and client edge
  EXPECT_EQ(Read(wf::kBorderStyle), 6);
  EXPECT_TRUE(::GetWindowLongA(form, GWL_STYLE) & WS_CAPTION);
  EXPECT_TRUE(::GetWindowLongA(form, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(WindowTest, MaximisingAFixedBorderCoversTheScreen) {
  HWND first = Open(kMaximisedForm);
  EXPECT_TRUE(Same(Rect(), Screen()));
  EXPECT_FALSE(::IsZoomed(first));
  HWND later = Open(kPlainForm);
  Write(wf::kWindowState, 3);
  EXPECT_TRUE(Same(Rect(), Screen()));
  EXPECT_FALSE(::IsZoomed(later));
  EXPECT_EQ(Read(wf::kWindowState), 0);  // the live state: not maximised by the system
}

TEST_F(WindowTest, WindowStateIsStoredWhileHiddenAndReadLive) {
  Open(kHiddenForm);
  const RECT before = Rect();
  Write(wf::kWindowState, 3);
  EXPECT_TRUE(Same(Rect(), before));
  EXPECT_EQ(Read(wf::kWindowState), 0);
  EXPECT_EQ(Window().StartState(), 3);

  HWND shown = Open(kPlainForm);
  Write(wf::kWindowState, 2);
  EXPECT_TRUE(::IsIconic(shown));
  EXPECT_EQ(Read(wf::kWindowState), 2);
  Window().SetProperty(units::WindowPropertyNumber(wf::kWindowState) - 8,
                       {1, 0});          // stored while minimised
  EXPECT_EQ(Read(wf::kWindowState), 0);  // restored and centred
  EXPECT_EQ(Rect().left, (::GetSystemMetrics(SM_CXSCREEN) - 100) / 2);
}

TEST_F(WindowTest, ShapeThreeIsARing) {
  HWND form = Open(kPlainForm);
  Write(wf::kWindowShape, 3);
  rt::GdiRegion region(::CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(::GetWindowRgn(form, region.get()), ERROR);
  struct {
    int x, y;
    bool inside;
  } points[] = {{50, 30, false}, {50, 20, false}, {30, 30, false}, {50, 5, true},
                {10, 30, true},  {90, 30, true},  {2, 2, false}};
  for (const auto& p : points) {
    EXPECT_EQ(::PtInRegion(region.get(), p.x, p.y) != 0, p.inside) << p.x << "," << p.y;
  }
  Write(wf::kWindowShape, 40);
  EXPECT_EQ(Read(wf::kWindowShape), 29);
  Write(wf::kWindowShape, 0);
  EXPECT_EQ(::GetWindowRgn(form, region.get()), ERROR);  // no region any more
}

std::vector<uint32_t> Render(HWND window, int width, int height) {
  return testing_support::RenderClient(window, width, height);
}

TEST_F(WindowTest, CentredPictureModeShrinksAWidePictureToFit) {
  HWND form = Open(kPlainForm);
  forms::WriteProperty(form_, 0, 3, -1, {100, 0});  // height: the client is 100 x 100
  WriteBytes(wf::kBackPicture, SolidBmp(200, 100, 0xFF0000));
  Write(wf::kBackPictureMode, 2);
  const std::vector<uint32_t> pixels = Render(form, 100, 100);
  const uint32_t red = 0xFF0000, green = 0x00FF00;
  struct {
    int x, y;
    uint32_t rgb;
  } expected[] = {{50, 24, green}, {50, 25, red},   {0, 25, red},    {99, 74, red},
                  {50, 74, red},   {50, 75, green}, {50, 99, green}, {50, 0, green}};
  for (const auto& e : expected) {
    EXPECT_EQ(pixels[static_cast<size_t>(e.y) * 100 + e.x] & 0xFFFFFF, e.rgb) << e.x << "," << e.y;
  }
}

TEST_F(WindowTest, TrayMessagesAndTheTrayIconOperation) {
  HWND form = Open(kEmptyForm);
  for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONUP}) {
    ::SendMessageA(form, units::kTrayCallbackMessage, units::kTrayIconId, message);
  }
  EXPECT_TRUE(Calls().empty() || Calls().back().routine != 9);
  ::SendMessageA(form, units::kTrayCallbackMessage, units::kTrayIconId, WM_CONTEXTMENU);
  ASSERT_FALSE(Calls().empty());
  EXPECT_EQ(Calls().back().routine, 9);
  EXPECT_EQ(Calls().back().args, (std::vector<uintptr_t>{3}));

  Window().SetTrayIcon(nullptr, "无图标");  // nothing shown, nothing to remove
  EXPECT_TRUE(TrayCalls().empty());
  const Bytes file = IconFile(16);
  const int64_t handles = rt::LiveHandleCount();
  const std::string tip(80, 'T');
  Window().SetTrayIcon(rt::IconFromFile(file.data(), file.size(), 16).Release(), tip.c_str());
  Window().SetTrayIcon(rt::IconFromFile(file.data(), file.size(), 16).Release(), "新");
  EXPECT_EQ(rt::LiveHandleCount(), handles + 1);  // the first icon went with its replacement
  ASSERT_EQ(TrayCalls().size(), 2u);
  const NOTIFYICONDATAA& added = TrayCalls()[0].data;
  EXPECT_EQ(TrayCalls()[0].message, static_cast<uint32_t>(NIM_ADD));
  EXPECT_EQ(added.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));
  EXPECT_EQ(added.hWnd, form);
  EXPECT_EQ(added.uID, 100u);
  EXPECT_EQ(added.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(added.uCallbackMessage, 0x8064u);
  EXPECT_EQ(std::string(added.szTip), std::string(62, 'T'));
  EXPECT_EQ(TrayCalls()[1].message, static_cast<uint32_t>(NIM_MODIFY));
  ::DestroyWindow(form);  // the tray icon goes with the window
  ASSERT_EQ(TrayCalls().size(), 3u);
  EXPECT_EQ(TrayCalls()[2].message, static_cast<uint32_t>(NIM_DELETE));
  EXPECT_EQ(rt::LiveHandleCount(), handles);
}

TEST_F(WindowTest, BigAndSmallIconsAreChosenByWidth) {
  HWND form = Open(kPlainForm);
  // Colour counts above 15 count, and 0 (256 or more); the 16-pixel entry
  // with 2 colours does not.
  WriteBytes(wf::kIcon, test_pictures::BuildIconFile(1, {IconEntry(16, 2), IconEntry(32, 0),
                                                         IconEntry(16, 16), IconEntry(48, 16)}));
  EXPECT_EQ(IconWidth(form, ICON_BIG), 32);
  EXPECT_EQ(IconWidth(form, ICON_SMALL), 16);
  WriteBytes(wf::kIcon, test_pictures::BuildIconFile(1, {IconEntry(16, 2), IconEntry(48, 16)}));
  EXPECT_EQ(IconWidth(form, ICON_BIG), 48);  // no match: the last entry
  EXPECT_EQ(IconWidth(form, ICON_SMALL), 48);
  Bytes cut = IconFile(32);
  cut.resize(cut.size() - 10);  // the image's bits end early (its entry says so too)
  cut[14] = static_cast<uint8_t>(cut[14] - 10);
  const int64_t handles = rt::LiveHandleCount();
  WriteBytes(wf::kIcon, cut);
  EXPECT_EQ(rt::LiveHandleCount(), handles - 2);  // the owned icons went; defaults are not owned
}

TEST_F(WindowTest, FirstActivationComesOnceBeforeActivationAndShowingRaisesItsEvents) {
  HWND form = Open(kEmptyForm);
  auto routines = [] {
    std::vector<int> r;
    for (const Call& c : Calls()) r.push_back(c.routine);
    return r;
  };
  std::vector<int> seen = routines();
  const auto first8 = std::find(seen.begin(), seen.end(), 8);
  ASSERT_NE(first8, seen.end());
  EXPECT_EQ(std::count(seen.begin(), seen.end(), 8), 1);
  EXPECT_LT(first8 - seen.begin(), std::find(seen.begin(), seen.end(), 5) - seen.begin());
  Calls().clear();
  forms::WriteProperty(form_, 0, 5, -1, {0, 0});  // visible: false
  forms::WriteProperty(form_, 0, 5, -1, {1, 0});
  ::SetActiveWindow(form);
  Pump();
  seen = routines();
  EXPECT_NE(std::find(seen.begin(), seen.end(), 11), seen.end());
  EXPECT_NE(std::find(seen.begin(), seen.end(), 10), seen.end());
  EXPECT_EQ(std::count(seen.begin(), seen.end(), 8), 0);
}

TEST_F(WindowTest, EnterMovesTheFocusAndTheFocusComesBackAfterDeactivation) {
  HWND form = Open(kFocusForm);
  HWND first = WindowOf(0x16010001, kFocusForm), second = WindowOf(0x16010002, kFocusForm);
  ::SetFocus(form);  // the form passes the focus to the first unit in tab order
  EXPECT_EQ(::GetFocus(), first);
  MSG enter = {first, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
  EXPECT_TRUE(Window().PreTranslate(enter));
  EXPECT_EQ(::GetFocus(), second);
  HWND other = Open(kPlainForm);
  ::SetActiveWindow(other);
  form_ = kFocusForm;
  ::SetActiveWindow(form);
  Pump();
  EXPECT_EQ(::GetFocus(), second);
}

// A handler of event 5 that activates another form deactivates this one
// inside the event; the unit that had the focus still gets it back.
TEST_F(WindowTest, TheFocusComesBackAfterADeactivationInsideTheActivationEvent) {
  static HWND other;
  other = Open(kPlainForm);
  HWND form = Open(kFocusForm);
  HWND second = WindowOf(0x16010002, kFocusForm);
  ::SetFocus(second);
  ::SetActiveWindow(other);
  SetAction(5, [] { ::SetActiveWindow(other); });
  ::SetActiveWindow(form);
  SetAction(5, nullptr);
  Pump();
  ASSERT_EQ(::GetActiveWindow(), other);
  ::SetActiveWindow(form);
  Pump();
  EXPECT_EQ(::GetFocus(), second);
}

TEST_F(WindowTest, WithoutATaskbarButtonTheHiddenWindowOwnsTheForm) {
  HWND tool = Open(kToolForm);
  EXPECT_EQ(::GetWindow(tool, GW_OWNER), static_cast<HWND>(rt::RuntimeWindow()));
  EXPECT_TRUE(::GetWindowLongA(tool, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(Window().topmost);
  EXPECT_EQ(::GetMenuState(::GetSystemMenu(tool, FALSE), SC_MOVE, MF_BYCOMMAND), 0xFFFFFFFFu);
  Write(wf::kMovable, 1);  // the standard system menu again
  EXPECT_NE(::GetMenuState(::GetSystemMenu(tool, FALSE), SC_MOVE, MF_BYCOMMAND), 0xFFFFFFFFu);
  Write(wf::kAlwaysOnTop, 0);
  EXPECT_FALSE(Window().topmost);
  HWND plain = Open(kEmptyForm);
  EXPECT_EQ(::GetWindow(plain, GW_OWNER), nullptr);
  Write(wf::kAlwaysOnTop, 1);
  EXPECT_TRUE(::GetWindowLongA(plain, GWL_EXSTYLE) & WS_EX_TOPMOST);
  Write(wf::kAlwaysOnTop, 0);
  EXPECT_FALSE(::GetWindowLongA(plain, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(WindowTest, AMenuChoiceRunsItsRoutine) {
  HWND form = Open(kEmptyForm);
  ASSERT_NE(::GetMenu(form), nullptr);
  ::SendMessageA(form, WM_COMMAND, 20000, 0);
  ASSERT_FALSE(Calls().empty());
  EXPECT_EQ(Calls().back().routine, 4);
  EXPECT_EQ(Calls().back().sourceUnit, 0x26010001u);
}

TEST_F(WindowTest, RemakingIconsShapesAndPicturesLeavesNoHandle) {
  HWND form = Open(kPlainForm);
  const Bytes icons[2] = {IconFile(32), IconFile(16)};
  const Bytes pictures[2] = {SolidBmp(8, 8, 0x0000FF), SolidBmp(4, 6, 0xFFFFFF)};
  const testing_support::HandleCounts handles = testing_support::CurrentHandles();
  for (int i = 0; i < 1000; ++i) {
    WriteBytes(wf::kIcon, icons[i % 2]);
    Write(wf::kWindowShape, 1 + i % 29);
    WriteBytes(wf::kBackPicture, pictures[i % 2]);
    Render(form, 100, 60);
  }
  EXPECT_NE(::SendMessageA(form, WM_GETICON, ICON_BIG, 0), 0);
  forms::WriteProperty(form_, 0, units::WindowPropertyNumber(wf::kIcon), -1,
                       {0, 0});  // back to the defaults
  forms::WriteProperty(form_, 0, units::WindowPropertyNumber(wf::kBackPicture), -1,
                       {0, 0});  // and no picture
  EXPECT_EQ(testing_support::CurrentHandles(), handles);
}

}  // namespace
