// The MediaPlay unit on a loaded form beside a Timer: its hidden window,
// its alias, the library's commands finding it, its painting, and the close
// its destruction sends.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "extunits/media/win/library.h"
#include "extunits/media/win/media_unit.h"
#include "forms/win/framework.h"
#include "runtime/runtime.h"
#include "runtime/win/handles.h"
#include "tests/support/handle_counts.h"
#include "tests/extunits/media/fake_mci.h"
#include "tests/support/unit_program.h"

namespace {

using namespace testprog;
using fakemci::Fake;
using testing_support::ExitCodeOf;
using testing_support::ShownMessages;
using Lines = std::vector<std::string>;

constexpr uint32_t kMedia = 0x1601004e;
constexpr uint32_t kOtherMedia = 0x1601004f;
constexpr uint32_t kTimer = 0x16010050;
enum { kGetVolume, kSetVolume, kOpen, kPlay, kTogglePause, kGetPosition, kGetLength };

class MediaUnitTest : public unitprog::UnitProgramTest {
 protected:
  void SetUp() override {
    UnitProgramTest::SetUp();
    StartUnits({Form(kFormId, {Unit(kMedia, unitprog::kMediaPlayCode),
                               Unit(kOtherMedia, unitprog::kMediaPlayCode),
                               Unit(kTimer, unitprog::kTimerCode)})});
    ASSERT_TRUE(Load());
  }
  media::MciPlayer& PlayerOf(uint32_t unit) {
    return dynamic_cast<media::MediaPlayObject&>(*forms::FindUnitObject(kFormId, unit)).player();
  }
  rt::ArgRecord Command(int number, uint32_t unit, std::vector<rt::ArgRecord> args = {}) {
    args.insert(args.begin(), rt::MakeUnitRef(kFormId, unit, unitprog::kMediaPlayCode));
    rt::ArgRecord result{};
    media::Library().commands[number](&result, static_cast<int32_t>(args.size()), args.data());
    return result;
  }
};

TEST_F(MediaUnitTest, TheFormLoadsWithTheUnitsHidden) {
  HWND media = WindowOf(kMedia);
  ASSERT_NE(media, nullptr);
  EXPECT_FALSE(::IsWindowVisible(media));  // visible in the template, yet never shown
  EXPECT_FALSE(::IsWindowVisible(WindowOf(kTimer)));
  EXPECT_EQ(::GetDlgCtrlID(media), 0);
  const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_BORDER;
  EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(media, GWL_STYLE)) & style, style);

  const std::string& alias = PlayerOf(kMedia).alias();
  EXPECT_EQ(alias.size(), 32u);
  for (char c : alias) EXPECT_TRUE(std::isdigit(c) || (c >= 'a' && c <= 'f')) << alias;
  EXPECT_NE(alias, PlayerOf(kOtherMedia).alias());

  const rt::LibraryDescriptor& library = media::Library();
  EXPECT_EQ(library.typeCount, 8u);
  EXPECT_EQ(library.commandCount, 7u);
  EXPECT_EQ(rt::FindUnitType(unitprog::kMediaPlayCode), &library.types[5]);
}

TEST_F(MediaUnitTest, CommandsReachTheNamedUnit) {
  fakemci::Installed fake(PlayerOf(kMedia).alias());
  Fake().answers["open MPEGvideo|D:\\歌曲\\song.MP3|%s"] = {0, ""};
  Fake().otherError = 263;
  EXPECT_EQ(Command(kOpen, kMedia, {rt::MakeText("D:\\歌曲\\song.MP3")}).low, 1u);
  EXPECT_EQ(static_cast<int32_t>(Command(kGetPosition, kMedia).low), -1);
  EXPECT_EQ(Command(kGetLength, kOtherMedia).low, 0u);
  EXPECT_EQ(Fake().sent.size(), 5u);
  EXPECT_EQ(Lines(Fake().sent.begin(), Fake().sent.begin() + 3),
            (Lines{"close %s", "open MPEGvideo|D:\\歌曲\\song.MP3|%s", "status %s position"}));
}

TEST_F(MediaUnitTest, AMissingUnitIsFatal) {
  EXPECT_EQ(ExitCodeOf([this] { Command(kPlay, 0x16010099, {rt::MakeInt(-1)}); }), -1);
  EXPECT_NE(ShownMessages().back().text.find("指定窗口或窗口组件不存在或尚未载入"),
            std::string::npos);
}

TEST_F(MediaUnitTest, AUnitOfAnotherTypeIsFatal) {
  EXPECT_EQ(ExitCodeOf([this] { Command(kTogglePause, kTimer); }), -1);
  EXPECT_NE(ShownMessages().back().text.find("指定窗口或窗口组件不存在或尚未载入"),
            std::string::npos);
}

TEST_F(MediaUnitTest, ClosingTheFormClosesTheDevice) {
  fakemci::Installed fake(PlayerOf(kMedia).alias());
  const int live = forms::UnitObject::LiveCount();
  ::DestroyWindow(WindowOf(0));
  EXPECT_EQ(forms::UnitObject::LiveCount(), live - 4);
  EXPECT_EQ(std::count(Fake().sent.begin(), Fake().sent.end(), "close %s"), 1);
  EXPECT_EQ(forms::FindUnitObject(kFormId, kMedia), nullptr);
}

TEST(MediaPaint, FillsAndCentresThePicture) {
  const testing_support::HandleCounts liveHandles = testing_support::CurrentHandles();
  {
    rt::ScreenDc screen;
    rt::MemoryDc dc(::CreateCompatibleDC(screen.get()));
    rt::GdiBitmap canvas(::CreateCompatibleBitmap(screen.get(), 40, 40));
    rt::GdiBitmap picture(::CreateCompatibleBitmap(screen.get(), 10, 10));
    rt::GdiBrush red(::CreateSolidBrush(RGB(255, 0, 0)));
    {
      rt::SelectGuard drawing(dc.get(), picture.get());
      const RECT small = {0, 0, 10, 10};
      ::FillRect(dc.get(), &small, red.get());
    }
    rt::SelectGuard selected(dc.get(), canvas.get());
    const RECT client = {0, 0, 40, 40};
    media::PaintMediaWindow(dc.get(), client, nullptr);
    EXPECT_EQ(::GetPixel(dc.get(), 20, 20), RGB(212, 208, 200));
    media::PaintMediaWindow(dc.get(), client, picture.get());
    EXPECT_EQ(::GetPixel(dc.get(), 15, 15), RGB(255, 0, 0));
    EXPECT_EQ(::GetPixel(dc.get(), 24, 24), RGB(255, 0, 0));
    EXPECT_EQ(::GetPixel(dc.get(), 14, 14), RGB(212, 208, 200));
    EXPECT_EQ(::GetPixel(dc.get(), 25, 25), RGB(212, 208, 200));
  }
  EXPECT_EQ(testing_support::CurrentHandles(), liveHandles);  // painting keeps nothing
}

}  // namespace
