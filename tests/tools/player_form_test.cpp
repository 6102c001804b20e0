// The player's form as the build embeds it (player/player.form): every unit,
// event binding, menu item and property value the player relies on.

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <tuple>

#include "PlayerForm.h"
#include "extunits/blocks.h"
#include "forms/property_block.h"
#include "forms/template.h"
#include "units/blocks.h"

namespace {

using forms::PropertyValues;
using forms::UnitRecord;

#define ROUTINE_NAME(name) #name,
const char* const kRoutineNames[] = {PLAYER_FORM_ROUTINES(ROUTINE_NAME)};
#undef ROUTINE_NAME

class PlayerForm : public testing::Test {
 protected:
  void SetUp() override {
    auto data = forms::ReadTemplate(kPlayerFormTemplate, kPlayerFormTemplateSize);
    ASSERT_TRUE(data.has_value());
    ASSERT_EQ(data->forms.size(), 1u);
    form_ = data->forms[0];
  }
  const UnitRecord& Unit(uint32_t id) {
    const UnitRecord* r = form_.units.Find(id);
    if (r == nullptr) ADD_FAILURE() << std::hex << id << " missing";
    return r ? *r : form_.units.records[0];
  }
  // The routine bound to an event, or "" for none.
  std::string Bound(uint32_t id, int32_t event) {
    for (const forms::EventLink& link : Unit(id).events) {
      if (link.event == event)
        return link.handler < kPlayerFormRoutineCount ? kRoutineNames[link.handler] : "?";
    }
    return "";
  }
  PropertyValues Block(uint32_t id, const forms::BlockLayout& layout) {
    PropertyValues values(layout);
    EXPECT_EQ(forms::ReadBlock(Unit(id).propertyData, values), forms::BlockStatus::kOk);
    return values;
  }
  forms::FormRecord form_;
};

struct UnitRow {
  uint32_t id;
  const char* name;
  uint32_t type;
  int32_t left, top, width, height;
};

const UnitRow kUnits[] = {
    {0x16010010, "动画框1", 0x00020008, 0, 0, 465, 200},
    {0x16010015, "滑块条1", 0x00010014, 169, 29, 280, 28},
    {0x16010020, "列表框1", 0x0001000F, 0, 199, 464, 116},
    {0x16010022, "按钮_播放", 0x0001000B, 408, 96, 40, 24},
    {0x16010023, "动画物体_蝴蝶1", 0x00020009, 160, 0, 34, 30},
    {0x16010026, "按钮_静音", 0x0001000B, 352, 96, 40, 24},
    {0x16010027, "按钮_继续", 0x0001000B, 408, 129, 40, 24},
    {0x16010028, "按钮_暂停", 0x0001000B, 342, 130, 40, 24},
    {0x16010029, "按钮_上一首", 0x0001000B, 392, 163, 56, 24},
    {0x1601002a, "按钮_下一首", 0x0001000B, 318, 164, 56, 24},
    {0x1601002b, "标签1", 0x0001000A, 169, 45, 280, 11},
    {0x1601002c, "标签2", 0x0001000A, 170, 28, 279, 12},
    {0x1601002d, "横向滚动条1", 0x00010011, 347, 14, 102, 10},
    {0x1601002e, "透明标签_歌曲名称", 0x00040005, 8, 173, 224, 24},
    {0x1601002f, "透明标签_模式", 0x00040005, 173, 57, 88, 24},
    {0x16010030, "透明标签3", 0x00040005, 8, 18, 160, 136},
    {0x1601004e, "媒体播放1", 0x00060006, 216, 128, 40, 40},
    {0x16010050, "时钟1", 0x00010020, 304, 256, 24, 32},
    {0x160100a0, "透明标签1", 0x00040005, 278, 11, 61, 16},
    {0x160100a1, "标签3", 0x0001000A, 346, 14, 17, 9},
    {0x160100a2, "标签4", 0x0001000A, 432, 14, 16, 9},
    {0x160100a3, "标签5", 0x0001000A, 171, 33, 7, 17},
    {0x160100a4, "标签6", 0x0001000A, 438, 35, 8, 16},
};

TEST_F(PlayerForm, HoldsItsWindowThenEveryUnitWithTheBoxAtTheBottom) {
  const auto& records = form_.units.records;
  ASSERT_EQ(records.size(), 36u);
  EXPECT_EQ(form_.id, 0x52010001u);
  const UnitRecord& window = records[0];
  EXPECT_EQ(window.id, forms::kFormWindowUnitId);
  EXPECT_EQ(window.typeCode, forms::kWindowTypeCode);
  EXPECT_EQ(std::make_tuple(window.left, window.top, window.width, window.height),
            std::make_tuple(50, 50, 470, 374));
  // Siblings stack in table order, the first topmost: the animation box,
  // which lies under the buttons and labels, is the last unit.
  EXPECT_EQ(records[std::size(kUnits)].id, 0x16010010u);
  for (size_t i = 0; i < std::size(kUnits); ++i) {
    const UnitRow& row = kUnits[i];
    const UnitRecord& r = Unit(row.id);
    EXPECT_EQ(r.name, row.name) << i;
    EXPECT_EQ(r.typeCode, row.type) << r.name;
    EXPECT_EQ(std::make_tuple(r.left, r.top, r.width, r.height),
              std::make_tuple(row.left, row.top, row.width, row.height))
        << r.name;
    EXPECT_EQ(r.parent, 0u) << r.name;
    EXPECT_EQ(r.mousePointer, (std::vector<uint8_t>{0, 0, 0, 0})) << r.name;
    EXPECT_EQ(r.TabOrder(), 0u) << r.name;
  }
  for (uint32_t hidden : {0x16010023u, 0x1601004eu, 0x16010050u}) {
    EXPECT_FALSE(Unit(hidden).Flags() & forms::unitflag::kVisible) << std::hex << hidden;
  }
  EXPECT_EQ(Unit(0x16010022).Flags(), forms::unitflag::kVisible | forms::unitflag::kTabStop);
  EXPECT_EQ(Unit(0x160100a1).Flags(), forms::unitflag::kVisible);
}

TEST_F(PlayerForm, EventsRunTheirRoutines) {
  struct Binding {
    uint32_t id;
    int32_t event;
    const char* routine;
  };
  const Binding bindings[] = {
      {forms::kFormWindowUnitId, 0, "FormCreated"},
      {forms::kFormWindowUnitId, 3, "WindowMoved"},
      {forms::kFormWindowUnitId, 9, "TrayClicked"},
      {0x16010022, 0, "PlaySelected"},
      {0x16010027, 0, "ResumePlay"},
      {0x16010028, 0, "PauseClicked"},
      {0x1601002a, 0, "NextSong"},
      {0x16010029, 0, "PreviousSong"},
      {0x16010026, 0, "ToggleMute"},
      {0x16010015, 0, "SeekToSlider"},
      {0x16010015, -1, "SliderPressed"},
      {0x1601002d, 0, "VolumeChanged"},
      {0x16010050, 0, "TimerTick"},
      {0x1601002b, 0, "ProgressFeedback"},
      {0x1601002c, 0, "HotKeyFeedback"},
  };
  size_t bound = 0;
  for (const Binding& b : bindings) EXPECT_EQ(Bound(b.id, b.event), b.routine) << b.routine;
  for (const UnitRecord& r : form_.units.records) bound += r.events.size();
  EXPECT_EQ(bound, std::size(bindings));  // nothing else is bound (no double click on the list)
}

TEST_F(PlayerForm, MenuHasTwelveItemsInMenuOrder) {
  struct Item {
    uint32_t id;
    uint32_t level;
    const char* caption;
    const char* routine;
  };
  const Item items[] = {
      {0x2601000e, 0, "添加歌曲", nullptr},
      {0x2601000f, 1, "打开歌曲文件夹", "OpenSongFolder"},
      {0x26010016, 0, "作者", nullptr},
      {0x26010017, 1, "说明", "ShowAbout"},
      {0x26010018, 0, "快捷键", nullptr},
      {0x26010019, 1, "快捷键说明", "ShowHotKeyHelp"},
      {0x2601001a, 0, "播放模式", nullptr},
      {0x2601001b, 1, "单曲循环播放", "SetModeSingleLoop"},
      {0x2601001c, 1, "列表循环播放", "SetModeListLoop"},
      {0x2601001d, 1, "顺序播放", "SetModeSequential"},
      {0x2601001e, 0, "退出", nullptr},
      {0x2601001f, 1, "退出播放器", "ExitPlayer"},
  };
  for (size_t i = 0; i < std::size(items); ++i) {
    const UnitRecord& r = form_.units.records[24 + i];
    EXPECT_EQ(r.id, items[i].id) << i;
    EXPECT_TRUE(r.IsMenuItem()) << i;
    EXPECT_EQ(r.level, items[i].level) << i;
    EXPECT_EQ(r.caption, items[i].caption) << i;
    EXPECT_EQ(r.menuFlags, 0u) << i;
    EXPECT_EQ(r.shortcut, 0u) << i;
    if (items[i].routine == nullptr) {
      EXPECT_EQ(r.click.handler, forms::kNoHandler) << i;
    } else {
      ASSERT_LT(r.click.handler, kPlayerFormRoutineCount) << i;
      EXPECT_STREQ(kRoutineNames[r.click.handler], items[i].routine);
    }
  }
}

TEST_F(PlayerForm, PropertyBlocksCarryTheFormsValues) {
  PropertyValues window = Block(forms::kFormWindowUnitId, units::kWindowBlock);
  EXPECT_EQ(window.Text("Caption"), "欢迎使用Vessa播放器，本版献给那些毕业即将分开的情侣们");
  EXPECT_EQ(window.Int("BorderStyle"), 2);
  EXPECT_EQ(window.Int("MinButton"), 1);
  EXPECT_EQ(window.Int("MaxButton"), 0);
  EXPECT_EQ(window.Int("ControlBox"), 1);
  EXPECT_EQ(window.Int("WindowState"), 1);

  PropertyValues box = Block(0x16010010, extunits::kCartoonBoxBlock);
  EXPECT_EQ(box.Int("PicDrawMode"), 1);
  ASSERT_GE(box.Bytes("pic").size(), 2u);
  EXPECT_EQ(box.Bytes("pic")[0], 0xFF);  // a JPEG
  EXPECT_EQ(box.Bytes("pic")[1], 0xD8);
  PropertyValues butterfly = Block(0x16010023, extunits::kCartoonObjectBlock);
  EXPECT_EQ(std::string(butterfly.Bytes("picture").begin(), butterfly.Bytes("picture").end())
                .substr(0, 6),
            "GIF89a");
  EXPECT_EQ(butterfly.Int("TransparentColor"), 0xFFFFFF);
  EXPECT_EQ(butterfly.Int("PlayGIF"), 1);

  EXPECT_EQ(Unit(0x1601002b).propertyData.size(), 88u);
  EXPECT_EQ(Block(0x1601002b, units::kLabelBlock).Int("GradientColor1"), 0xD8D8);
  EXPECT_EQ(Block(0x1601002c, units::kLabelBlock).Text("Caption"), "");
  EXPECT_EQ(Block(0x160100a2, units::kLabelBlock).Text("Caption"), "+");
  EXPECT_EQ(Unit(0x1601002d).propertyData.size(), 28u);
  EXPECT_EQ(Block(0x1601002d, units::kHScrollBarBlock).Int("Position"), 100);
  PropertyValues slider = Block(0x16010015, units::kSliderBarBlock);
  EXPECT_EQ(std::make_tuple(slider.Int("Minimum"), slider.Int("Maximum"), slider.Int("Position"),
                            slider.Int("TickStyle"), slider.Int("PageSize")),
            std::make_tuple(1, 100, 1, 0, 5));
  EXPECT_EQ(Block(0x1601002a, units::kButtonBlock).Text("Caption"), "下一首");
  EXPECT_EQ(Unit(0x1601002a).propertyData.size(), 34u);
  EXPECT_EQ(Block(0x16010026, units::kButtonBlock).Bytes("Font").size(), 60u);

  EXPECT_EQ(
      Block(0x16010030, extunits::kTransLabelBlock).Text("Caption").substr(0, std::strlen("  这")),
      "  这");
  EXPECT_EQ(Block(0x160100a0, extunits::kTransLabelBlock).Text("Caption"), "音量调节：");
  EXPECT_EQ(Block(0x1601002e, extunits::kTransLabelBlock).Text("Caption"), "");
  for (uint32_t empty : {0x16010020u, 0x1601004eu, 0x16010050u}) {
    EXPECT_TRUE(Unit(empty).propertyData.empty()) << std::hex << empty;
  }
}

}  // namespace
