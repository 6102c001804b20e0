// The list box, the scroll bar and the slider on a real form: creation from
// their blocks, clamping, the stored against the shown position, events from
// real mouse and keyboard input, re-creation only on a real change, and no
// handle left behind by re-creations.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

#include "ListsForm.h"
#include "forms/win/framework.h"
#include "runtime/heap.h"
#include "runtime/value.h"
#include "runtime/win/handles.h"
#include "tests/support/handle_counts.h"
#include "tests/support/unit_program.h"
#include "units/win/listbox.h"

namespace {

using namespace testprog;

const rt::Routine kListsRoutines[] = {LISTS_FORM_ROUTINES(TESTPROG_ENTRY)};

constexpr uint32_t kNewerBlockForm = 0x52010002;
enum : uint32_t { kEmptyList = 0x16010001, kFilledList, kMultiList, kScroll, kSlider, kFlatSlider };
// Overall property numbers.
enum : int32_t { kListSorted = 9, kListBackColor = 13, kCurrentIndex = 16, kListItems = 17 };
enum : int32_t { kScrollPosition = 12, kScrollTrackDrag = 13 };
enum : int32_t { kOrientation = 9, kSelStart = 13, kSelLength = 14, kSliderPosition = 19 };

int hookedAdds = 0;

LRESULT CALLBACK CountAdds(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && call->message == LB_ADDSTRING) ++hookedAdds;
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

class ListsTest : public unitprog::UnitProgramTest {
 protected:
  void SetUp() override {
    UnitProgramTest::SetUp();
    StartUnitsCompiled(kListsFormTemplate, kListsFormTemplateSize, kListsRoutines);
    ASSERT_TRUE(Load(kFormId));
    ::SetForegroundWindow(WindowOf(0));
    Wait(200);
    Calls().clear();
  }
  int32_t Read(uint32_t unit, int32_t number) {
    return static_cast<int32_t>(forms::ReadProperty(kFormId, unit, number, -1).value);
  }
  void Write(uint32_t unit, int32_t number, int32_t value) {
    forms::WriteProperty(kFormId, unit, number, -1, {static_cast<uint32_t>(value), 0});
  }
  LRESULT Send(uint32_t unit, UINT message, WPARAM w = 0, LPARAM l = 0) {
    return ::SendMessageA(WindowOf(unit), message, w, l);
  }
  // Dispatches messages for `ms` milliseconds, so real input arrives.
  void Wait(DWORD ms) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < ms) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      Pump();
    }
  }
  static INPUT Mouse(DWORD flags, POINT screen = {0, 0}) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_MOVE) {
      in.mi.dwFlags |= MOUSEEVENTF_ABSOLUTE;
      in.mi.dx = screen.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
      in.mi.dy = screen.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    return in;
  }
  // Presses at one client point of a unit's window, moves to another in
  // steps, releases; `clicks` presses in place make a double click. The
  // input goes in one batch: controls track a press in loops of their own.
  void Drag(uint32_t unit, POINT from, POINT to, int clicks = 1) {
    HWND w = WindowOf(unit);
    ::ClientToScreen(w, &from);
    ::ClientToScreen(w, &to);
    std::vector<INPUT> input = {Mouse(MOUSEEVENTF_MOVE, from)};
    for (int i = 0; i < clicks; ++i) {
      input.push_back(Mouse(MOUSEEVENTF_LEFTDOWN));
      for (int step = 1; step <= 4 && (from.x != to.x || from.y != to.y); ++step) {
        input.push_back(Mouse(MOUSEEVENTF_MOVE, {from.x + (to.x - from.x) * step / 4,
                                                 from.y + (to.y - from.y) * step / 4}));
      }
      input.push_back(Mouse(MOUSEEVENTF_LEFTUP));
    }
    ::SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
    Wait(400);
  }
  void Click(uint32_t unit, int x, int y, int clicks = 1) { Drag(unit, {x, y}, {x, y}, clicks); }
  void Key(WORD vk) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, in, sizeof(INPUT));
    Wait(150);
  }
  size_t CallsOf(int routine) {
    size_t n = 0;
    for (const Call& c : Calls()) n += c.routine == routine;
    return n;
  }
};

TEST_F(ListsTest, ListBoxesFillClampAndReadTheLiveSelection) {
  EXPECT_EQ(Read(kEmptyList, kCurrentIndex), -1);
  const auto style = static_cast<uint32_t>(::GetWindowLongA(WindowOf(kEmptyList), GWL_STYLE));
  EXPECT_EQ(style & (LBS_NOTIFY | LBS_SORT | LBS_EXTENDEDSEL), static_cast<uint32_t>(LBS_NOTIFY));
  EXPECT_TRUE(::GetWindowLongA(WindowOf(kEmptyList), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

  // The default row height is the font's plus one spacing pixel.
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICA tm;
  ::GetTextMetricsA(dc, &tm);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  EXPECT_EQ(Send(kEmptyList, LB_GETITEMHEIGHT), tm.tmHeight + 1);

  // Three texts and two numbers: the third row has none; 5 came in as row 2.
  ASSERT_EQ(Send(kFilledList, LB_GETCOUNT), 3);
  EXPECT_EQ(Send(kFilledList, LB_GETITEMDATA, 0), 7);
  EXPECT_EQ(Send(kFilledList, LB_GETITEMDATA, 1), 9);
  EXPECT_EQ(Send(kFilledList, LB_GETITEMDATA, 2), 0);
  EXPECT_EQ(Send(kFilledList, LB_GETCURSEL), 2);
  Write(kFilledList, kCurrentIndex, 0);
  Write(kFilledList, kCurrentIndex, 5);
  EXPECT_EQ(Read(kFilledList, kCurrentIndex), 2);
  Write(kFilledList, kCurrentIndex, -7);
  EXPECT_EQ(Read(kFilledList, kCurrentIndex), -1);
  EXPECT_EQ(Send(kFilledList, LB_GETCURSEL), LB_ERR);

  // Extended selection always reads -1, and a write leaves the control alone.
  const LRESULT caret = Send(kMultiList, LB_GETSEL, 0);
  Write(kMultiList, kCurrentIndex, 2);
  EXPECT_EQ(Read(kMultiList, kCurrentIndex), -1);
  EXPECT_EQ(Send(kMultiList, LB_GETSEL, 0), caret);
  EXPECT_EQ(Send(kMultiList, LB_GETSEL, 2), 0);

  // Rows added by the command's operation go to the live control only.
  forms::UnitObject* list = forms::FindUnitObject(kFormId, kEmptyList);
  EXPECT_EQ(units::ListBoxAddItem(list, "x", 42), 0);
  EXPECT_EQ(units::ListBoxAddItem(list, nullptr, -2), 1);
  EXPECT_EQ(Send(kEmptyList, LB_GETITEMDATA, 0), 42);
  EXPECT_EQ(Send(kEmptyList, LB_GETITEMDATA, 1), -2);
  EXPECT_EQ(units::ListBoxAddItem(forms::FindUnitObject(kFormId, kScroll), "x", 1), -1);
  // A large folder is listed row by row: the rows skip the thread's
  // window-procedure hooks, and a row added with data 0 reads 0.
  hookedAdds = 0;
  HHOOK hook = ::SetWindowsHookExA(WH_CALLWNDPROC, CountAdds, nullptr, ::GetCurrentThreadId());
  EXPECT_EQ(units::ListBoxAddItem(list, "y", 0), 2);
  Send(kEmptyList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("z"));  // a sent row is seen
  ::UnhookWindowsHookEx(hook);
  EXPECT_EQ(hookedAdds, 1);
  EXPECT_EQ(Send(kEmptyList, LB_GETITEMDATA, 2), 0);
  // `Items` reads the copy the control was filled from, as a text list.
  for (uint32_t unit : {kEmptyList, kFilledList}) {
    void* items = reinterpret_cast<void*>(forms::ReadProperty(kFormId, unit, kListItems, -1).value);
    const rt::ByteSpan bytes = rt::ByteSetBytes(items);
    ASSERT_EQ(bytes.size, unit == kEmptyList ? 2u : 2u + 3 * 4 + 3 + 3 + 5);
    EXPECT_EQ(bytes.data[0], unit == kEmptyList ? 0 : 3);
    rt::Free(items);
  }
  EXPECT_EQ(CallsOf(1), 0u);  // program writes raise nothing
  EXPECT_FALSE(Load(kNewerBlockForm));
}

TEST_F(ListsTest, ListColoursComeFromTheReflectedColourMessage) {
  HWND list = WindowOf(kFilledList);
  HDC dc = ::GetDC(list);
  const auto brush = static_cast<HBRUSH>(reinterpret_cast<HANDLE>(
      ::SendMessageA(WindowOf(0), WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(list))));
  EXPECT_EQ(::GetTextColor(dc), RGB(255, 0, 0));
  EXPECT_EQ(::GetBkColor(dc), RGB(0, 255, 0));
  LOGBRUSH lb{};
  ASSERT_EQ(::GetObjectA(brush, sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbColor, RGB(0, 255, 0));
  ::ReleaseDC(list, dc);

  // The system colour stands for the button face; the empty rows show it.
  Write(kFilledList, kListBackColor, static_cast<int32_t>(0xFF000000));
  ::UpdateWindow(list);
  RECT rc;
  ::GetClientRect(list, &rc);
  dc = ::GetDC(list);
  EXPECT_EQ(::GetPixel(dc, rc.right - 4, rc.bottom - 4), ::GetSysColor(COLOR_BTNFACE));
  ::ReleaseDC(list, dc);
}

TEST_F(ListsTest, ListEventsComeFromRealClicksAndFocus) {
  for (const char* text : {"a", "b", "c"}) {
    units::ListBoxAddItem(forms::FindUnitObject(kFormId, kEmptyList), text, 0);
  }
  ::SetFocus(WindowOf(kSlider));
  Wait(50);
  Calls().clear();
  const auto row = static_cast<int>(Send(kEmptyList, LB_GETITEMHEIGHT));
  Click(kEmptyList, 20, row + row / 2);
  EXPECT_EQ(Read(kEmptyList, kCurrentIndex), 1);
  EXPECT_EQ(CallsOf(1), 1u);
  EXPECT_EQ(CallsOf(3), 1u);  // the click gave it the focus
  Click(kEmptyList, 20, 2 * row + row / 2, 2);
  EXPECT_EQ(CallsOf(1), 2u);
  EXPECT_EQ(CallsOf(2), 1u);
  ::SetFocus(WindowOf(kSlider));
  Wait(50);
  EXPECT_EQ(CallsOf(4), 1u);
}

TEST_F(ListsTest, ListsAreRecreatedOnlyOnARealChange) {
  HWND before = WindowOf(kEmptyList);
  units::ListBoxAddItem(forms::FindUnitObject(kFormId, kEmptyList), "gone", 0);
  Write(kEmptyList, kListSorted, 0);
  EXPECT_EQ(WindowOf(kEmptyList), before);
  Write(kEmptyList, kListSorted, 1);
  ASSERT_NE(WindowOf(kEmptyList), before);
  EXPECT_TRUE(::GetWindowLongA(WindowOf(kEmptyList), GWL_STYLE) & LBS_SORT);
  EXPECT_EQ(Send(kEmptyList, LB_GETCOUNT), 0);  // added rows do not survive

  const uint8_t texts[] = {2, 0, 1, 0, 0, 0, 'z', 1, 0, 0, 0, 'y'};
  before = WindowOf(kEmptyList);
  void* value = rt::MakeByteSet(texts, sizeof texts);
  forms::WriteProperty(kFormId, kEmptyList, kListItems, -1,
                       {reinterpret_cast<uintptr_t>(value), 0});
  rt::Free(value);
  EXPECT_NE(WindowOf(kEmptyList), before);
  ASSERT_EQ(Send(kEmptyList, LB_GETCOUNT), 2);
  char first[8] = {};
  Send(kEmptyList, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(first));
  EXPECT_STREQ(first, "y");  // sorted now
}

TEST_F(ListsTest, ScrollBarStoresPositionsAndRaisesOnlyForUserMoves) {
  ::SetFocus(WindowOf(kScroll));
  ::SetFocus(WindowOf(kSlider));
  Wait(50);
  EXPECT_EQ(CallsOf(3), 1u);  // focus gained and lost, after the control's own handling
  EXPECT_EQ(CallsOf(4), 1u);
  EXPECT_EQ(::GetFocus(), WindowOf(kSlider));
  Write(kScroll, kScrollPosition, 500);
  EXPECT_EQ(Read(kScroll, kScrollPosition), 500);
  EXPECT_EQ(::GetScrollPos(WindowOf(kScroll), SB_CTL), 100);
  Write(kScroll, kScrollPosition, -3);
  EXPECT_EQ(Read(kScroll, kScrollPosition), 0);
  EXPECT_EQ(::GetScrollPos(WindowOf(kScroll), SB_CTL), 1);
  EXPECT_EQ(CallsOf(5), 0u);

  RECT rc;
  ::GetClientRect(WindowOf(kScroll), &rc);
  const int arrow = ::GetSystemMetrics(SM_CXHSCROLL);
  Write(kScroll, kScrollPosition, 100);
  Click(kScroll, rc.right - arrow / 2, rc.bottom / 2);  // at the end already
  EXPECT_EQ(CallsOf(5), 0u);
  Click(kScroll, arrow / 2, rc.bottom / 2);
  EXPECT_EQ(CallsOf(5), 1u);
  EXPECT_EQ(Read(kScroll, kScrollPosition), 99);

  // Without TrackDrag a drag of the thumb raises once, when it is released.
  Write(kScroll, kScrollTrackDrag, 0);
  Write(kScroll, kScrollPosition, 50);
  Calls().clear();
  SCROLLBARINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(::GetScrollBarInfo(WindowOf(kScroll), OBJID_CLIENT, &info));
  const int thumb = (info.xyThumbTop + info.xyThumbBottom) / 2;
  Drag(kScroll, {thumb, rc.bottom / 2}, {thumb - 60, rc.bottom / 2});
  EXPECT_EQ(CallsOf(5), 1u);
  EXPECT_LT(Read(kScroll, kScrollPosition), 50);
}

TEST_F(ListsTest, SliderRaisesForEveryNotificationButTheEndOfATrack) {
  Write(kSlider, kSliderPosition, 40);
  EXPECT_EQ(Send(kSlider, TBM_GETPOS), 40);
  EXPECT_EQ(CallsOf(6), 0u);
  ::SetFocus(WindowOf(kSlider));
  for (int i = 0; i < 3; ++i) Key(VK_RIGHT);
  EXPECT_EQ(CallsOf(6), 3u);  // key releases end with TB_ENDTRACK and raise nothing
  EXPECT_EQ(Read(kSlider, kSliderPosition), 43);

  // A click on the channel pages once, then ends the track.
  RECT channel;
  Send(kSlider, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
  Calls().clear();
  Click(kSlider, channel.right - 5, (channel.top + channel.bottom) / 2);
  EXPECT_EQ(CallsOf(6), 1u);
  EXPECT_EQ(Read(kSlider, kSliderPosition), 48);
}

TEST_F(ListsTest, SliderStepsSelectionAndRecreation) {
  // Ends that meet step by 1; the selection is clamped into them.
  EXPECT_EQ(Send(kFlatSlider, TBM_GETLINESIZE), 1);
  EXPECT_EQ(Send(kFlatSlider, TBM_GETPAGESIZE), 1);
  EXPECT_EQ(Read(kFlatSlider, kSelStart), 5);
  EXPECT_EQ(Read(kFlatSlider, kSelLength), 0);
  Write(kFlatSlider, 18, 30);  // Maximum; the selection is not sent again
  EXPECT_EQ(Send(kFlatSlider, TBM_GETLINESIZE), 1);
  Write(kFlatSlider, kSelStart, 10);
  EXPECT_EQ(Read(kFlatSlider, kSelStart), 10);
  EXPECT_EQ(Read(kFlatSlider, kSelLength), 9);

  HWND before = WindowOf(kSlider);
  Write(kSlider, kOrientation, 0);
  EXPECT_EQ(WindowOf(kSlider), before);
  Write(kSlider, kOrientation, 7);  // clamped to vertical
  EXPECT_NE(WindowOf(kSlider), before);
  EXPECT_TRUE(::GetWindowLongA(WindowOf(kSlider), GWL_STYLE) & TBS_VERT);
  EXPECT_EQ(Read(kSlider, kOrientation), 1);
}

TEST_F(ListsTest, RecreationsAndRepaintsLeaveNoHandleBehind) {
  const testing_support::HandleCounts handles = testing_support::CurrentHandles();
  // 500 re-creations of each kind, each followed by a new brush and a repaint.
  for (int i = 0; i < 1000; ++i) {
    if (i % 2) {
      Write(kFilledList, kListSorted, i / 2 % 2);
    } else {
      Write(kSlider, kOrientation, i / 2 % 2);
    }
    Write(kFilledList, kListBackColor, i);
    ::RedrawWindow(WindowOf(kFilledList), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  EXPECT_EQ(testing_support::CurrentHandles(), handles);
  EXPECT_EQ(Send(kFilledList, LB_GETCOUNT), 3);
}

}  // namespace
