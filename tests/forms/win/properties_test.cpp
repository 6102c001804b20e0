// Property access: the common properties with their clamping, the type's
// own properties converted by their property type, fonts by element, and the
// rebuild of a unit whose new value needs a new window.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "PropertiesForm.h"
#include "forms/win/framework.h"
#include "forms/win/properties.h"
#include "runtime/heap.h"
#include "runtime/runtime.h"
#include "runtime/value.h"
#include "tests/forms/win/test_program.h"
#include "tests/forms/win/test_units.h"

namespace {

using namespace testprog;
using rt::PropValue;
using testing_support::ExitCodeOf;
using testing_support::ShownMessages;

constexpr uint32_t kUnit = 0x16010001;
constexpr uint32_t kOther = 0x16010002;

const rt::Routine kNoRoutines[] = {nullptr};

// The form of data/properties.form.
class PropertiesTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    StartCompiled(kPropertiesFormTemplate, kPropertiesFormTemplateSize, kNoRoutines);
  }
  int32_t ReadInt(uint32_t unit, int32_t index, int32_t element = -1) {
    return static_cast<int32_t>(forms::ReadProperty(kFormId, unit, index, element).value);
  }
  void WriteInt(uint32_t unit, int32_t index, int64_t value, int32_t element = -1) {
    forms::WriteProperty(kFormId, unit, index, element, {static_cast<uint64_t>(value), 0});
  }
  std::string ReadText(uint32_t unit, int32_t index, int32_t element = -1) {
    auto* text = reinterpret_cast<char*>(forms::ReadProperty(kFormId, unit, index, element).value);
    std::string s = text ? text : "<null>";
    rt::Free(text);
    return s;
  }
  testunits::WidgetObject& Widget(uint32_t unit) {
    return *static_cast<testunits::WidgetObject*>(forms::FindUnitObject(kFormId, unit));
  }
};

TEST_F(PropertiesTest, CommonValuesComeFromTheRecordUntilTheWindowExists) {
  EXPECT_EQ(ReadInt(kUnit, 2), 80);  // never created: the template's width
  WriteInt(kUnit, 0, 40000);
  WriteInt(kUnit, 1, -40000);
  WriteInt(kUnit, 2, -5);
  WriteInt(kUnit, 3, 99999);
  EXPECT_EQ(ReadInt(kUnit, 0), 32627);
  EXPECT_EQ(ReadInt(kUnit, 1), -32627);
  EXPECT_EQ(ReadInt(kUnit, 2), 0);
  EXPECT_EQ(ReadInt(kUnit, 3), 32627);
  EXPECT_EQ(ReadInt(kUnit, 5), 1);
  EXPECT_EQ(ReadInt(kUnit, 6), 0);
  EXPECT_EQ(ReadText(kOther, 4), "旧");
}

TEST_F(PropertiesTest, CommonValuesOfALiveWindowMoveAndShowIt) {
  ASSERT_TRUE(Load());
  HWND w = WindowOf(kUnit);
  WriteInt(kUnit, 0, 33);
  WriteInt(kUnit, 1, 44);
  WriteInt(kUnit, 2, 55);
  RECT rc;
  ::GetWindowRect(w, &rc);
  ::MapWindowPoints(nullptr, ::GetParent(w), reinterpret_cast<POINT*>(&rc), 2);
  EXPECT_EQ(rc.left, 33);
  EXPECT_EQ(rc.top, 44);
  EXPECT_EQ(rc.right - rc.left, 55);
  EXPECT_EQ(rc.bottom - rc.top, 24);  // height kept
  EXPECT_EQ(ReadInt(kUnit, 0), 33);
  WriteInt(kUnit, 5, 0);
  EXPECT_FALSE(::IsWindowVisible(w));
  EXPECT_EQ(ReadInt(kUnit, 5), 0);
  WriteInt(kUnit, 6, 1);
  EXPECT_FALSE(::IsWindowEnabled(w));
  EXPECT_EQ(ReadInt(kUnit, 6), 1);
  forms::WriteProperty(kFormId, kUnit, 4, -1, {0, 0});  // a null tag is the empty text
  EXPECT_EQ(ReadText(kUnit, 4), "<null>");
  // The form's own window is a top-level window: screen coordinates.
  EXPECT_EQ(ReadInt(0, 0), 100);
}

TEST_F(PropertiesTest, MousePointerTakesEffectAtOnce) {
  ASSERT_TRUE(Load());
  const uint8_t ibeam[] = {3, 0, 0, 0};
  void* set = rt::MakeByteSet(ibeam, 4);
  forms::WriteProperty(kFormId, kUnit, 7, -1, {reinterpret_cast<uintptr_t>(set), 0});
  rt::Free(set);
  ::SendMessageA(WindowOf(0), WM_SETCURSOR, reinterpret_cast<WPARAM>(WindowOf(kUnit)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, IDC_IBEAM));
  auto* read = reinterpret_cast<void*>(forms::ReadProperty(kFormId, kUnit, 7, -1).value);
  rt::ByteSpan bytes = rt::ByteSetBytes(read);
  ASSERT_EQ(bytes.size, 4u);
  EXPECT_EQ(bytes.data[0], 3);
  rt::Free(read);
}

TEST_F(PropertiesTest, OwnPropertiesNeedALiveWindow) {
  EXPECT_EQ(ExitCodeOf([&] { ReadInt(kUnit, 8); }), -1);
  EXPECT_NE(ShownMessages().back().text.find("指定窗口尚未载入"), std::string::npos);
  EXPECT_EQ(ExitCodeOf([] { forms::ReadProperty(0x52010099, kUnit, 0, -1); }), -1);
  EXPECT_NE(ShownMessages().back().text.find("未载入欲访问窗口组件所在的窗口"), std::string::npos);
}

TEST_F(PropertiesTest, OwnValuesAreConvertedByTheirPropertyType) {
  ASSERT_TRUE(Load());
  WriteInt(kUnit, 8 + testunits::kNumber, -17);
  EXPECT_EQ(ReadInt(kUnit, 8 + testunits::kNumber), -17);
  WriteInt(kUnit, 8 + testunits::kFlag, 5);  // logical: non-zero is 1
  EXPECT_EQ(Widget(kUnit).flag, 1);
  Widget(kUnit).flag = 2;  // only exactly 1 reads as true
  EXPECT_EQ(ReadInt(kUnit, 8 + testunits::kFlag), 0);
  WriteInt(kUnit, 8 + testunits::kPositive, -3);
  EXPECT_EQ(Widget(kUnit).positive, 0);
  forms::WriteProperty(kFormId, kUnit, 8 + testunits::kText, -1, {0, 0});
  EXPECT_EQ(Widget(kUnit).text, "");
  forms::WriteProperty(kFormId, kUnit, 8 + testunits::kText, -1,
                       {reinterpret_cast<uintptr_t>("文字"), 0});
  EXPECT_EQ(ReadText(kUnit, 8 + testunits::kText), "文字");

  void* set = rt::MakeByteSet("\x01\x02\x03", 3);
  forms::WriteProperty(kFormId, kUnit, 8 + testunits::kBlob, -1,
                       {reinterpret_cast<uintptr_t>(set), 0});
  rt::Free(set);
  EXPECT_EQ(Widget(kUnit).blob, (std::vector<uint8_t>{1, 2, 3}));
  auto* read =
      reinterpret_cast<void*>(forms::ReadProperty(kFormId, kUnit, 8 + testunits::kBlob, -1).value);
  EXPECT_EQ(rt::ByteSetBytes(read).size, 3u);
  rt::Free(read);
  forms::WriteProperty(kFormId, kUnit, 8 + testunits::kBlob, -1, {0, 0});
  EXPECT_TRUE(Widget(kUnit).blob.empty());
  EXPECT_EQ(rt::LiveBlockCount(), 0);
}

// A unit's font block need not end its face name: it is read within 32 bytes.
TEST_F(PropertiesTest, AFaceNameWithoutItsEndIsReadWithinItsBytes) {
  struct {
    LOGFONTA font;
    char after[8];
  } probe;
  std::memset(&probe, 'B', sizeof probe);
  probe.after[7] = '\0';
  std::memset(probe.font.lfFaceName, 'A', sizeof probe.font.lfFaceName);
  rt::PropValue face = forms::ReadFontElement(probe.font, 6);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(face.value)), std::string(32, 'A'));
  rt::Free(reinterpret_cast<void*>(face.value));
  auto* record = reinterpret_cast<forms::FontRecord*>(forms::ReadFontElement(probe.font, -1).value);
  EXPECT_EQ(std::string(record->faceName), std::string(32, 'A'));
  rt::Free(record->faceName);
  rt::Free(record);
}

TEST_F(PropertiesTest, FontsAreReadAndWrittenByElement) {
  ASSERT_TRUE(Load());
  const int32_t font = 8 + testunits::kFont;
  EXPECT_TRUE(Widget(kUnit).font.empty());  // the default GUI font stands in
  WriteInt(kUnit, font, 1, 1);              // bold
  ASSERT_EQ(Widget(kUnit).font.size(), sizeof(LOGFONTA));
  LOGFONTA lf;
  std::memcpy(&lf, Widget(kUnit).font.data(), sizeof lf);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  WriteInt(kUnit, font, -450, 0);  // angle modulo 3600
  WriteInt(kUnit, font, 12, 5);    // size in points
  WriteInt(kUnit, font, 1, 4);     // underline
  forms::WriteProperty(kFormId, kUnit, font, 6, {reinterpret_cast<uintptr_t>(""), 0});
  std::memcpy(&lf, Widget(kUnit).font.data(), sizeof lf);
  EXPECT_EQ(lf.lfEscapement, 3150);
  EXPECT_EQ(lf.lfOrientation, 3150);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);  // earlier elements stay
  EXPECT_EQ(lf.lfUnderline, 1);
  EXPECT_STREQ(lf.lfFaceName, "宋体");  // an empty face name is not taken
  EXPECT_EQ(ReadInt(kUnit, font, 0), 3150);
  EXPECT_EQ(ReadInt(kUnit, font, 1), 1);
  EXPECT_EQ(ReadInt(kUnit, font, 5), 12);
  EXPECT_EQ(ReadText(kUnit, font, 6), "宋体");

  auto* record =
      reinterpret_cast<forms::FontRecord*>(forms::ReadProperty(kFormId, kUnit, font, -1).value);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->size, 12);
  EXPECT_EQ(record->underline, 1);
  EXPECT_STREQ(record->faceName, "宋体");
  record->italic = 1;
  record->bold = 0;
  forms::WriteProperty(kFormId, kUnit, font, -1, {reinterpret_cast<uintptr_t>(record), 0});
  rt::Free(record->faceName);
  rt::Free(record);
  std::memcpy(&lf, Widget(kUnit).font.data(), sizeof lf);
  EXPECT_EQ(lf.lfItalic, 1);
  EXPECT_EQ(lf.lfWeight, 0);
}

TEST_F(PropertiesTest, AValueThatNeedsANewWindowRebuildsTheUnitInPlace) {
  ASSERT_TRUE(Load());
  HWND old = WindowOf(kUnit);
  const int id = ::GetDlgCtrlID(old);
  WriteInt(kUnit, 8 + testunits::kNumber, 31);
  ::SetFocus(old);
  testunits::Log().clear();
  WriteInt(kUnit, 8 + testunits::kStyle, 9);
  HWND rebuilt = WindowOf(kUnit);
  ASSERT_NE(rebuilt, nullptr);
  EXPECT_NE(rebuilt, old);
  EXPECT_FALSE(::IsWindow(old));
  EXPECT_EQ(::GetDlgCtrlID(rebuilt), id);
  EXPECT_EQ(Widget(kUnit).number, 31);  // made from the old unit's data
  EXPECT_EQ(Widget(kUnit).style, 9);
  EXPECT_EQ(::GetFocus(), rebuilt);
  EXPECT_EQ(::GetWindow(WindowOf(0), GW_CHILD), rebuilt);  // still on top
  EXPECT_TRUE(::IsWindowVisible(rebuilt));
  EXPECT_EQ(ReadInt(kUnit, 0), 10);
  EXPECT_EQ(rt::BusyCount(), 0);
}

}  // namespace
