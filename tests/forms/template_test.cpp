#include "forms/template.h"

#include <gtest/gtest.h>

#include <cstring>

#include "forms/events.h"

namespace {

using namespace forms;

UnitRecord Unit(uint32_t id, uint32_t type, const char* name) {
  UnitRecord r;
  r.id = id;
  r.typeCode = type;
  r.name = name;
  r.left = -5;
  r.top = 7;
  r.width = 100;
  r.height = 20;
  r.mousePointer = {0, 0, 0, 0};
  r.stateWords[1] = unitflag::kVisible | unitflag::kTabStop;
  return r;
}

UnitRecord Menu(uint32_t id, uint32_t level, const char* caption, uint32_t handler) {
  UnitRecord r;
  r.id = id;
  r.typeCode = kMenuTypeCode;
  r.level = level;
  r.caption = caption;
  r.click.handler = handler;
  return r;
}

// Two forms; the first has every field kind: children, a cursor image,
// negative events, a property block and menu items.
TemplateData Sample() {
  TemplateData data;
  FormRecord form;
  form.id = 0x52010001;
  form.name = "主窗口";
  UnitRecord window = Unit(kFormWindowUnitId, kWindowTypeCode, "");
  window.events = {{event::kLoaded, 0}, {event::kMoved, 2}, {event::kTrayIcon, kNoHandler}};
  window.propertyData = {6, 0, 0, 0, 2, 0, 0, 0};
  UnitRecord slider = Unit(0x16010015, 0x00010014, "滑块条1");
  slider.events = {{event::kLeftDown, 1}, {event::kMain, 2}};
  slider.tag = "tag text";
  slider.parent = 0x16010010;
  slider.mousePointer = {0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4, 5, 6, 7, 8};
  UnitRecord box = Unit(0x16010010, 0x00020001, "动画框1");
  box.childIds = {0x16010015, 0, 0x16010016};
  box.stateWords[2] = 3;
  form.units.records = {window, box, slider, Menu(0x2601000e, 0, "添加歌曲", kNoHandler),
                        Menu(0x2601000f, 1, "打开歌曲文件夹", 1)};
  form.units.records[4].shortcut = 27;
  form.units.records[4].menuFlags = menuflag::kChecked;
  FormRecord second;
  second.id = 0x52010002;
  second.units.records = {Unit(kFormWindowUnitId, kWindowTypeCode, "")};
  data.forms = {form, second};
  return data;
}

TEST(TemplateData, WritingWhatWasReadGivesTheSameBytes) {
  std::vector<uint8_t> bytes = WriteTemplate(Sample());
  auto read = ReadTemplate(bytes.data(), bytes.size());
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(WriteTemplate(*read), bytes);

  const FormRecord* form = read->Find(0x52010001);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->name, "主窗口");
  const UnitRecord* slider = form->units.Find(0x16010015);
  ASSERT_NE(slider, nullptr);
  EXPECT_EQ(slider->name, "滑块条1");
  EXPECT_EQ(slider->left, -5);
  EXPECT_EQ(slider->parent, 0x16010010u);
  EXPECT_EQ(slider->events[0].event, -1);
  EXPECT_EQ(slider->tag, "tag text");
  EXPECT_EQ(slider->mousePointer.size(), 12u);
  EXPECT_EQ(form->units.Find(0x16010010)->childIds,
            (std::vector<uint32_t>{0x16010015, 0, 0x16010016}));
  EXPECT_EQ(form->units.Find(0x16010010)->TabOrder(), 3u);
  const UnitRecord* item = form->units.Find(0x2601000f);
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->IsMenuItem());
  EXPECT_EQ(item->caption, "打开歌曲文件夹");
  EXPECT_EQ(item->shortcut, 27u);
  EXPECT_EQ(item->level, 1u);
  EXPECT_EQ(item->menuFlags, menuflag::kChecked);
  EXPECT_EQ(form->units.records[0].propertyData.size(), 8u);
  EXPECT_EQ(form->units.PositionOf(0x2601000e), 3);
  EXPECT_EQ(read->forms[1].units.records.size(), 1u);
}

TEST(TemplateData, LookupsRefuseIdsThatAreNotValid) {
  TemplateData data = Sample();
  UnitTable& table = data.forms[0].units;
  table.records[1].id = 0x16000000;  // low 24 bits 0
  table.records[2].id = 0x10010015;  // bits 24..27 are 0
  EXPECT_EQ(table.Find(0x16000000), nullptr);
  EXPECT_EQ(table.Find(0x10010015), nullptr);
  EXPECT_EQ(table.Find(0x16010099), nullptr);
  EXPECT_EQ(data.Find(0x52010003), nullptr);
  EXPECT_TRUE(IsMenuItemId(0x2601000e));
  EXPECT_FALSE(IsMenuItemId(0x2501000e));
  EXPECT_FALSE(IsMenuItemId(0x16010010));
}

TEST(TemplateData, EveryTruncationIsRefused) {
  std::vector<uint8_t> bytes = WriteTemplate(Sample());
  for (size_t n = 0; n < bytes.size(); ++n) {
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + n);  // exact size for ASan
    EXPECT_FALSE(ReadTemplate(cut.data(), cut.size()).has_value()) << "length " << n;
  }
}

// Offsets of the first form's table: form table (4 + 16), word A, word B,
// two empty texts... the sample's first form has a name, so compute instead.
size_t FirstTableOffset(const std::vector<uint8_t>& bytes) {
  uint32_t nameLength;
  std::memcpy(&nameLength, &bytes[4 + 16 + 8], 4);
  return 4 + 16 + 8 + 4 + nameLength + 4;
}

void Put(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  std::memcpy(&bytes[at], &value, 4);
}

TEST(TemplateData, CountsAndOffsetsOutsideTheirTablesAreRefused) {
  const std::vector<uint8_t> good = WriteTemplate(Sample());
  const size_t table = FirstTableOffset(good);
  auto refused = [](std::vector<uint8_t> b) {
    return !ReadTemplate(b.data(), b.size()).has_value();
  };

  std::vector<uint8_t> b = good;
  Put(b, 0, 12);  // not a multiple of 8
  EXPECT_TRUE(refused(b));
  b = good;
  Put(b, 0, 0x7FFFFFF8);  // more forms than bytes
  EXPECT_TRUE(refused(b));
  b = good;
  Put(b, table, 0x40000000);  // huge record count
  EXPECT_TRUE(refused(b));
  b = good;
  Put(b, table + 4, 0xFFFFFFF0);  // table longer than the data
  EXPECT_TRUE(refused(b));
  const size_t firstOffset = table + 8 + 5 * 4;
  b = good;
  Put(b, firstOffset + 4, 0xFFFFFFFF);  // an offset past the table
  EXPECT_TRUE(refused(b));
  b = good;
  Put(b, table + 8 + 10 * 4, 0x7FFFFFFF);  // the first record's length
  EXPECT_TRUE(refused(b));
  EXPECT_FALSE(ReadTemplate(nullptr, 0).has_value());
}

TEST(TemplateData, FieldLocatorsFindEachField) {
  UnitRecord r = Sample().forms[0].units.records[2];  // the slider
  std::vector<uint8_t> bytes = WriteRecord(r);
  auto at = LocateFields(bytes.data(), bytes.size());
  ASSERT_TRUE(at.has_value());
  EXPECT_EQ(at->name, 24u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&bytes[at->name])), "滑块条1");
  int32_t left;
  std::memcpy(&left, &bytes[at->geometry], 4);
  EXPECT_EQ(left, -5);
  uint32_t parent;
  std::memcpy(&parent, &bytes[at->parent], 4);
  EXPECT_EQ(parent, 0x16010010u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&bytes[at->tag])), "tag text");
  uint32_t flags, events;
  std::memcpy(&flags, &bytes[at->stateWords + 4], 4);
  std::memcpy(&events, &bytes[at->eventList], 4);
  EXPECT_EQ(flags, unitflag::kVisible | unitflag::kTabStop);
  EXPECT_EQ(events, 2u);
  EXPECT_EQ(at->reserved, at->eventList + 4 + 16);
  EXPECT_EQ(at->propertyData, at->reserved + 20);
  EXPECT_EQ(at->propertyLength, 0u);
  EXPECT_FALSE(LocateFields(bytes.data(), at->reserved + 19).has_value());
}

rt::RoutineResult First(const uintptr_t*, int32_t) { return {true, 1}; }
rt::RoutineResult Second(const uintptr_t*, int32_t) { return {true, 2}; }

TEST(TemplateData, HandlersRelocateIntoTheCodeBase) {
  const rt::Routine routines[3] = {First, nullptr, Second};
  rt::CodeBase base = {routines, 3, nullptr, nullptr};
  TemplateData data = Sample();
  ASSERT_TRUE(RelocateHandlers(data, base));
  const UnitTable& units = data.forms[0].units;
  EXPECT_EQ(units.records[0].events[0].routine, &First);  // offset 0: the first routine
  EXPECT_EQ(units.records[0].events[1].routine, &Second);
  EXPECT_EQ(units.records[0].events[2].routine, nullptr);         // none
  EXPECT_EQ(units.Find(0x16010015)->events[0].routine, nullptr);  // a null entry
  EXPECT_EQ(units.Find(0x2601000e)->click.routine, nullptr);

  base.count = 2;  // offset 2 now lies outside
  TemplateData outside = Sample();
  EXPECT_FALSE(RelocateHandlers(outside, base));
  EXPECT_EQ(outside.forms[0].units.records[0].events[0].routine, nullptr);  // unchanged
}

}  // namespace
