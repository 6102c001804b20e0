// The form compiler: sources in, records, property blocks, routine links
// and generated files out, and a located message for every kind of mistake.
// Sources are UTF-8 (u8 literals); expected record texts are code page 936
// (plain literals, as the program's own texts are).

#include <gtest/gtest.h>

#include <string>

#include "forms/property_block.h"
#include "tools/formc/codepage.h"
#include "tools/formc/compiler.h"
#include "tools/formc/output.h"
#include "units/blocks.h"

namespace {

using formc::CompiledForms;
using forms::UnitRecord;

CompiledForms Compile(const std::string& source) {
  return formc::CompileText(source, "test.form", FORMC_TEST_DATA);
}

std::string ErrorOf(const std::string& source) {
  try {
    Compile(source);
  } catch (const formc::CompileError& e) {
    return e.what();
  }
  return "(no error)";
}

// Five lines: a form and its window unit; a test's own lines start at line 6.
const std::string kHead = "[form]\nid = 0x52010001\n[unit]\nid = 0x06010000\ntype = window\n";

const char* const kSample =
    u8R"(; a comment
[form]
id = 0x52010001
name = 主窗口

[unit]
id = 0x06010000
type = window
left = 50
top = -5
width = 470
height = 374
tag = "  窗口\t1"
prop.Caption = 欢迎
prop.MinButton = yes
prop.BackColor = 0xFF000000
on.0 = FormCreated
on.9 = TrayClicked

[unit]
id = 0x16010010
type = CartoonBox
name = 动画框1
children = 0x16010015, 0, 0x16010016
cursor = @sample.bin
prop.pic = @sample.bin

[unit]
id = 0x16010015
type = Button
name = 按钮_播放
parent = 0x16010010
tabstop = true
disable = on
taborder = 3
cursor = 14
prop.Alignment = 0
prop.Font = font:宋体,-12,700,true
on.0 = PlaySelected
on.-1 = FormCreated

[unit]
id = 0x16010016
type = Button
eventlink = 0x16010015
visible = false

[unit]
id = 0x16010017
type = ListBox
prop.Items = "一", " two, three ", four

[menu]
id = 0x2601000e
caption = 添加歌曲
grey = true

[menu]
id = 0x2601000f
level = 1
caption = 打开
shortcut = Ctrl+Shift+F3
hidden = true
checked = true
on.click = OpenSongFolder
)";

TEST(FormCompiler, SourceBecomesRecordsInSourceOrder) {
  CompiledForms out = Compile(kSample);
  ASSERT_EQ(out.data.forms.size(), 1u);
  const forms::FormRecord& form = out.data.forms[0];
  EXPECT_EQ(form.name, "主窗口");
  EXPECT_EQ(form.wordA, 8u);
  EXPECT_EQ(form.wordB, 0x19010003u);
  const auto& r = form.units.records;
  ASSERT_EQ(r.size(), 7u);
  EXPECT_EQ(r[0].id, forms::kFormWindowUnitId);
  EXPECT_EQ(std::make_tuple(r[0].left, r[0].top, r[0].width, r[0].height),
            std::make_tuple(50, -5, 470, 374));
  EXPECT_EQ(r[0].tag, "  窗口\t1");
  EXPECT_EQ(r[0].Flags(), forms::unitflag::kVisible);
  EXPECT_EQ(r[0].mousePointer, (std::vector<uint8_t>{0, 0, 0, 0}));
  EXPECT_EQ(r[1].typeCode, 0x00020008u);
  EXPECT_EQ(r[1].childIds, (std::vector<uint32_t>{0x16010015, 0, 0x16010016}));
  EXPECT_EQ(r[1].mousePointer,
            (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'}));
  EXPECT_EQ(r[2].name, "按钮_播放");
  EXPECT_EQ(r[2].parent, 0x16010010u);
  EXPECT_EQ(r[2].Flags(),
            forms::unitflag::kVisible | forms::unitflag::kTabStop | forms::unitflag::kDisabled);
  EXPECT_EQ(r[2].TabOrder(), 3u);
  EXPECT_EQ(r[2].mousePointer, (std::vector<uint8_t>{14, 0, 0, 0}));
  EXPECT_EQ(r[3].eventLink, 0x16010015u);
  EXPECT_EQ(r[3].Flags(), 0u);
  EXPECT_TRUE(r[3].propertyData.empty());  // no prop. entries: an empty block
  EXPECT_EQ(r[5].typeCode, forms::kMenuTypeCode);
  EXPECT_EQ(r[5].caption, "添加歌曲");
  EXPECT_EQ(r[5].menuFlags, forms::menuflag::kGrey);
  EXPECT_EQ(r[6].level, 1u);
  EXPECT_EQ(r[6].shortcut, 65u);
  EXPECT_EQ(r[6].menuFlags, forms::menuflag::kHidden | forms::menuflag::kChecked);
  for (const UnitRecord& record : r) {
    EXPECT_EQ(record.secondText, "");
    EXPECT_EQ(record.storedObjectSlot, 0u);
    EXPECT_EQ(std::vector<uint8_t>(record.reservedTail, record.reservedTail + 20),
              std::vector<uint8_t>(20, 0));
  }
}

TEST(FormCompiler, RoutinesAreListedByFirstUseAndLinkedByPosition) {
  CompiledForms out = Compile(kSample);
  EXPECT_EQ(out.routines, (std::vector<std::string>{"FormCreated", "TrayClicked", "PlaySelected",
                                                    "OpenSongFolder"}));
  const auto& r = out.data.forms[0].units.records;
  EXPECT_EQ(r[0].events[0].handler, 0u);
  EXPECT_EQ(r[0].events[1].event, 9);
  EXPECT_EQ(r[0].events[1].handler, 1u);
  EXPECT_EQ(r[2].events[1].event, -1);
  EXPECT_EQ(r[2].events[1].handler, 0u);  // FormCreated again: the same link
  EXPECT_EQ(r[5].click.handler, forms::kNoHandler);
  EXPECT_EQ(r[6].click.handler, 3u);
  EXPECT_EQ(out.files, (std::vector<std::string>{"test.form", FORMC_TEST_DATA "/sample.bin"}));
}

TEST(FormCompiler, PropertiesFillTheTypesWholeBlock) {
  CompiledForms out = Compile(kSample);
  const auto& r = out.data.forms[0].units.records;
  forms::PropertyValues window(units::kWindowBlock);
  ASSERT_EQ(forms::ReadBlock(r[0].propertyData, window), forms::BlockStatus::kOk);
  EXPECT_EQ(window.Text("Caption"), "欢迎");
  EXPECT_EQ(window.Int("MinButton"), 1);
  EXPECT_EQ(window.Int("BackColor"), forms::kSystemColour);
  EXPECT_EQ(window.Int("BorderStyle"), 2);  // not given: the default
  EXPECT_EQ(r[0].propertyData.size(), forms::WriteBlock(window).size());

  forms::PropertyValues button(units::kButtonBlock);
  ASSERT_EQ(forms::ReadBlock(r[2].propertyData, button), forms::BlockStatus::kOk);
  EXPECT_EQ(button.Int("Alignment"), 0);
  EXPECT_EQ(button.Text("Caption"), "按钮");
  const std::vector<uint8_t>& font = button.Bytes("Font");
  ASSERT_EQ(font.size(), 60u);
  EXPECT_EQ(std::vector<uint8_t>(font.begin(), font.begin() + 4),
            (std::vector<uint8_t>{0xF4, 0xFF, 0xFF, 0xFF}));  // height -12
  EXPECT_EQ(font[16], 700 & 0xFF);                            // weight
  EXPECT_EQ(font[20], 1);                                     // italic
  EXPECT_EQ(font[23], 134);                                   // GB2312 character set
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&font[28])), "宋体");

  forms::PropertyValues list(units::kListBoxBlock);
  ASSERT_EQ(forms::ReadBlock(r[4].propertyData, list), forms::BlockStatus::kOk);
  EXPECT_EQ(list.TextList("Items"), (std::vector<std::string>{"一", " two, three ", "four"}));
}

TEST(FormCompiler, WrittenDataReadsBackToTheSameBytes) {
  CompiledForms out = Compile(kSample);
  std::vector<uint8_t> bytes = forms::WriteTemplate(out.data);
  auto read = forms::ReadTemplate(bytes.data(), bytes.size());
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(forms::WriteTemplate(*read), bytes);
  EXPECT_EQ(read->forms[0].units.records.size(), 7u);
}

TEST(FormCompiler, TypesWithoutDescriptionTakeRawFields) {
  CompiledForms out = Compile(kHead +
                              u8R"([unit]
id = 0x16010001
type = 0x00050001
raw = int 0x102
raw = text 你
raw = bytes @sample.bin
raw = hex 01 ff
raw = int -1
[unit]
id = 0x16010002
type = 0x0001000B
)");
  const auto& r = out.data.forms[0].units.records;
  EXPECT_EQ(r[1].typeCode, 0x00050001u);
  EXPECT_EQ(r[1].propertyData,
            (std::vector<uint8_t>{0x02, 0x01, 0,    0,    2,    0,    0,    0,   0xC4, 0xE3,
                                  8,    0,    0,    0,    'A',  'B',  'C',  'D', 'E',  'F',
                                  'G',  'H',  0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(r[2].typeCode, units::kButtonBlock.typeCode);  // a known type by its code
}

TEST(FormCompiler, TextsBecomeCodePage936) {
  std::string out;
  ASSERT_EQ(formc::ToCodePage936(u8"播放 A", out), formc::Conversion::kOk);
  EXPECT_EQ(out, "\xB2\xA5\xB7\xC5 A");
  std::string offender;
  EXPECT_EQ(formc::ToCodePage936(u8"a\U0001F600", out, &offender), formc::Conversion::kNotIn936);
  EXPECT_EQ(offender, u8"\U0001F600");
  EXPECT_EQ(formc::ToCodePage936("a\xC0\xAF", out), formc::Conversion::kBadUtf8);     // overlong
  EXPECT_EQ(formc::ToCodePage936("\xED\xA0\x80", out), formc::Conversion::kBadUtf8);  // surrogate
  EXPECT_EQ(formc::ToCodePage936("\xE6\x92", out), formc::Conversion::kBadUtf8);      // cut short
  EXPECT_EQ(formc::ToCodePage936("", out), formc::Conversion::kOk);
  EXPECT_EQ(out, "");
}

TEST(FormCompiler, ShortcutsAreNamedAsTheMenuShowsThem) {
  const std::pair<const char*, uint32_t> shortcuts[] = {
      {"0", 0},    {"Ctrl+A", 1},   {"Ctrl+Z", 26},    {"F1", 27},
      {"F12", 38}, {"Ctrl+F1", 39}, {"Shift+F12", 62}, {"Ctrl+Shift+F1", 63},
      {"Ins", 75}, {"Del", 76},     {"76", 76},
  };
  for (const auto& [name, number] : shortcuts) {
    CompiledForms out = Compile(kHead + "[menu]\nid = 0x26010001\nshortcut = " + name + "\n");
    EXPECT_EQ(out.data.forms[0].units.records[1].shortcut, number) << name;
  }
}

TEST(FormCompiler, SeveralFormsShareOneRoutineList) {
  CompiledForms out = Compile(kHead +
                              "on.0 = Opened\n[form]\nid = 0x52010002\n[unit]\n"
                              "id = 0x06010000\ntype = window\non.2 = Opened\n"
                              "on.3 = Moved\n");
  ASSERT_EQ(out.data.forms.size(), 2u);
  EXPECT_EQ(out.data.forms[1].id, 0x52010002u);
  EXPECT_EQ(out.routines, (std::vector<std::string>{"Opened", "Moved"}));
  EXPECT_EQ(out.data.forms[1].units.records[0].events[0].handler, 0u);
}

// A menu item may take its click handler from another item, as the runtime
// follows links between units of one type; the link is the record's second word.
TEST(FormCompiler, MenuItemLinksToAnotherItem) {
  CompiledForms out = Compile(kHead +
                              "[menu]\nid = 0x26010001\non.click = Quit\n"
                              "[menu]\nid = 0x26010002\neventlink = 0x26010001\n");
  const auto& r = out.data.forms[0].units.records;
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[2].eventLink, 0x26010001u);
  EXPECT_EQ(r[2].click.handler, forms::kNoHandler);
  const std::vector<uint8_t> bytes = forms::WriteRecord(r[2]);
  ASSERT_GE(bytes.size(), 8u);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 4, bytes.begin() + 8),
            (std::vector<uint8_t>{0x01, 0x00, 0x01, 0x26}));
  EXPECT_EQ(ErrorOf(kHead + "[menu]\nid = 0x26010001\neventlink = 0x26010001\n"),
            "test.form:8: the event link 0x26010001 is not another unit of this form");
}

struct BadSource {
  std::string source;
  std::string message;
};

// Every mistake is reported once, at its line.
TEST(FormCompiler, MistakesAreReportedWithTheirPlace) {
  const std::string unit = "[unit]\nid = 0x16010001\n";  // lines 6 and 7
  const BadSource cases[] = {
      {kHead + unit + "type = Slider\n", "test.form:8: unknown type 'Slider'"},
      {kHead + unit + "type = Button\nprop.Colour = 1\n",
       "test.form:9: Button has no property 'Colour'"},
      {kHead + unit + "type = Button\ncolour = 1\n", "test.form:9: unknown key 'colour' in [unit]"},
      {kHead + "left = 1O\n", "test.form:6: '1O' is not a number (left)"},
      {kHead + "left = 0x80000000\n",
       "test.form:6: left must lie between -2147483648 and 2147483647, not 0x80000000"},
      {kHead + "prop.BackPicture = @missing.jpg\n",
       "test.form:6: cannot read 'missing.jpg': No such file or directory"},
      {kHead + unit + "type = Timer\n" + unit + "type = Timer\n",
       "test.form:10: the id 0x16010001 is used twice in this form (first on line 6)"},
      {kHead + "[menu]\nid = 0x26010001\n[menu]\nid = 0x26010002\nlevel = 2\n",
       "test.form:8: the menu level jumps from 0 to 2"},
      {kHead + "[menu]\nid = 0x26010001\nlevel = 1\n",
       "test.form:6: the menu level jumps from the menu bar to 1"},
      {kHead + u8"prop.Caption = 播放\U0001F600\n",
       u8"test.form:6: '\U0001F600' cannot be written in code page 936"},
      {kHead + "prop.Caption = \xFF\n", "test.form:6: the text is not UTF-8"},
      {"[form]\nid = 1\n" + std::string("[unit]\nid = 0x16010001\ntype = Button\n"),
       "test.form:4: a form's first unit is its window, id 0x06010000, not 0x16010001"},
      {"[form]\nid = 1\n[unit]\nid = 0x06010000\ntype = Button\n",
       "test.form:5: a form's first unit is of type window"},
      {kHead + "[unit]\nid = 0x26010001\ntype = Timer\n",
       "test.form:7: unit ids have the form 0x16xxxxxx with xxxxxx not 0, not 0x26010001"},
      {kHead + "[menu]\nid = 0x16010001\n",
       "test.form:7: menu item ids have the form 0x26xxxxxx with xxxxxx not 0, not 0x16010001"},
      {kHead + unit + "type = window\n", "test.form:8: only a form's first unit is of type window"},
      {kHead + unit + "type = menu\n", "test.form:8: menu items are written as [menu] sections"},
      {kHead + "[menu]\nid = 0x26010001\n" + unit + "type = Timer\n",
       "test.form:8: units come before the form's menu items"},
      {kHead + "[units]\n",
       "test.form:6: unknown section [units]; sections are [form], [unit] and [menu]"},
      {"id = 1\n", "test.form:1: 'id' comes before any section"},
      {kHead + "left = 1\nleft = 2\n", "test.form:7: 'left' is given twice (first on line 6)"},
      {kHead + "on.1 = A\non.+1 = B\n", "test.form:7: event 1 is bound twice"},
      {kHead + "on.1 = 1st\n", "test.form:6: '1st' is not a routine name (a C++ identifier)"},
      {kHead + "on.x = A\n", "test.form:6: 'x' is not a number (the event number)"},
      {kHead + "parent = 0x16010009\n",
       "test.form:6: the parent 0x16010009 is not another unit of this form"},
      {kHead + "children = 0x06010000\n",
       "test.form:6: the child 0x06010000 is not another unit of this form"},
      {kHead + unit + "type = Timer\neventlink = 0x16010009\n",
       "test.form:9: the event link 0x16010009 is not another unit of this form"},
      {kHead + unit + "type = 0x00050001\nprop.X = 1\n",
       "test.form:9: type 0x00050001 has no described properties; use raw = ..."},
      {kHead + unit + "type = MediaPlay\nprop.X = 1\n",
       "test.form:9: type MediaPlay has no described properties; use raw = ..."},
      {kHead + unit + "type = Timer\nprop.Interval = 5\nraw = int 1\n",
       "test.form:9: prop. and raw cannot be mixed"},
      {kHead + unit + "type = 0x00050001\nraw = float 1\n",
       "test.form:9: raw fields are int, text, bytes or hex, not 'float'"},
      {kHead + "prop.Caption = \"abc\n", "test.form:6: the closing quote is missing"},
      {kHead + "prop.Caption = \"a\\q\"\n", "test.form:6: unknown escape '\\q'"},
      {kHead + "prop.Caption = \"a\" b\n", "test.form:6: something follows the closing quote"},
      {kHead + "prop.Icon = hex:abc\n", "test.form:6: an odd number of hex digits"},
      {kHead + "prop.Icon = picture.ico\n",
       "test.form:6: prop.Icon takes @file, hex:... or font:..., not 'picture.ico'"},
      {kHead + u8"prop.Icon = font:宋体\n",
       "test.form:6: a font is font:face,height[,weight[,italic]]"},
      {kHead + "[menu]\nid = 0x26010001\nshortcut = F13\n",
       "test.form:8: 'F13' is not a shortcut (Ctrl+A..Z, F1..F12, Ctrl+, Shift+ or "
       "Ctrl+Shift+ F1..F12, Ins, Del, or 0..76)"},
      {kHead + "cursor = 15\n", "test.form:6: cursor must lie between 0 and 14, not 15"},
      {kHead + "visible = maybe\n", "test.form:6: visible must be true or false, not 'maybe'"},
      {kHead + "[unit\n", "test.form:6: a section header must end with ']'"},
      {kHead + "left 5\n", "test.form:6: expected 'key = value'"},
      {kHead + "[unit]\ntype = Timer\n", "test.form:6: [unit] needs 'id'"},
      {kHead + "[form]\nid = 0x52010001\n", "test.form:6: the form id 0x52010001 is used twice"},
      {kHead + "[form]\nid = 2\n", "test.form:6: the form has no [unit]"},
      {"[unit]\nid = 0x06010000\n", "test.form:1: [unit] comes before any [form]"},
      {"; nothing\n", "test.form: the source holds no [form]"},
  };
  for (const BadSource& c : cases) EXPECT_EQ(ErrorOf(c.source), c.message) << c.source;
  EXPECT_EQ(ErrorOf(kHead + std::string("tag = a\0b\n", 10)),
            "test.form:6: the line holds a zero byte");
}

TEST(FormCompiler, MissingSourceFileIsReported) {
  try {
    formc::CompileFile("no-such.form");
    FAIL() << "compiled a missing file";
  } catch (const formc::CompileError& e) {
    EXPECT_STREQ(e.what(), "no-such.form: cannot read the form source: No such file or directory");
  }
}

TEST(FormCompiler, GeneratedFilesDeclareTheDataAndListTheRoutines) {
  EXPECT_EQ(formc::RoutineMacroName("PlayerForm"), "PLAYER_FORM_ROUTINES");
  EXPECT_EQ(formc::RoutineMacroName("ABForm2"), "ABFORM2_ROUTINES");
  EXPECT_TRUE(formc::IsOutputName("Form1"));
  EXPECT_FALSE(formc::IsOutputName("1Form"));
  EXPECT_FALSE(formc::IsOutputName("My_Form"));

  const std::string header = formc::GeneratedHeader("MyForm", "my.form", 3, {"First", "Second"});
  EXPECT_NE(header.find("#pragma once\n"), std::string::npos);
  EXPECT_NE(header.find("extern const uint8_t kMyFormTemplate[3];\n"), std::string::npos);
  EXPECT_NE(header.find("constexpr uint32_t kMyFormTemplateSize = 3;\n"), std::string::npos);
  EXPECT_NE(header.find("#define MY_FORM_ROUTINES(X) \\\n  X(First) \\\n  X(Second)\n"),
            std::string::npos);
  EXPECT_NE(header.find("constexpr uint32_t kMyFormRoutineCount = 2;\n"), std::string::npos);

  const std::string source = formc::GeneratedSource("MyForm", "my.form", "MyForm.h", {1, 0xAB, 0});
  EXPECT_NE(source.find("#include \"MyForm.h\"\n"), std::string::npos);
  EXPECT_NE(source.find("const uint8_t kMyFormTemplate[3] = {\n    0x01, 0xab, 0x00,\n};\n"),
            std::string::npos);

  EXPECT_EQ(formc::DepFile("out dir/a.cpp", {"/src/my.form", "/src/pic #1.jpg"}),
            "out\\ dir/a.cpp: \\\n  /src/my.form \\\n  /src/pic\\ \\#1.jpg\n");
}

}  // namespace
