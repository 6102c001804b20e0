#include "units/blocks.h"

#include <algorithm>

namespace units {

using forms::BytesField;
using forms::IntField;
using forms::kSystemColour;
using forms::MakeBlockLayout;
using forms::TextField;
using forms::TextListField;

namespace {

// Fields of types whose stored form names no versions are present in every
// block; the window, label and list box name the version of each field.

const forms::FieldLayout kWindowFields[] = {
    IntField("BorderStyle", 2, 1),
    IntField("BackPictureMode", 1, 1),
    IntField("BackColor", kSystemColour, 1),
    IntField("MaxButton", 0, 1),
    IntField("MinButton", 0, 1),
    IntField("ControlBox", 1, 1),
    IntField("WindowState", 1, 1),
    IntField("Movable", 1, 1),
    IntField("MusicPlayCount", 0, 1),
    IntField("EnterMovesFocus", 0, 1),
    IntField("EscCloses", 1, 1),
    IntField("F1OpensHelp", 0, 1),
    IntField("HelpTopic", 0, 1),
    IntField("ShowInTaskbar", 1, 2),
    IntField("DragAnywhere", 0, 3),
    IntField("WindowShape", 0, 3),
    IntField("AlwaysOnTop", 0, 4),
    IntField("KeepTitleActive", 0, 5),
    TextField("ClassName", nullptr, 6),
    BytesField("BackPicture", 1),
    BytesField("Icon", 1),
    BytesField("BackMusic", 1),
    TextField("Caption", nullptr, 1),
    TextField("HelpFile", nullptr, 1),
};

const forms::FieldLayout kLabelFields[] = {
    IntField("Effect", 0, 1),
    IntField("FrameWidth", 8, 1),
    IntField("BorderStyle", 0, 1),
    IntField("FrameColor1", 0x808080, 1),
    IntField("FrameColor2", 0xFFFFFF, 1),
    IntField("FrameColor3", 0x808080, 1),
    IntField("TextColor", 0, 1),
    IntField("BackColor", kSystemColour, 1),
    IntField("BackPictureMode", 1, 1),
    IntField("GradientMode", 0, 1),
    IntField("GradientColor1", 0x808080, 1),
    IntField("GradientColor2", 0xFFFFFF, 1),
    IntField("GradientColor3", 0x808080, 1),
    IntField("Alignment", 0, 1),
    IntField("VertAlignment", 1, 1),
    IntField("WordWrap", 0, 1),
    BytesField("Font", 1),
    BytesField("BackPicture", 1),
    TextField("Caption", "标签", 1),
    TextField("DataSource", nullptr, 2),
    TextField("DataField", nullptr, 2),
};

const forms::FieldLayout kButtonFields[] = {
    IntField("DefaultButton", 0), IntField("Alignment", 1), IntField("VertAlignment", 1),
    BytesField("Picture"),        BytesField("Font"),       TextField("Caption", "按钮"),
};

const forms::FieldLayout kListBoxFields[] = {
    IntField("BorderStyle", 1, 1),
    IntField("Sorted", 0, 1),
    IntField("MultiColumn", 0, 1),
    IntField("RowSpacing", 1, 1),
    IntField("TextColor", 0, 1),
    IntField("BackColor", 0xFFFFFF, 1),
    IntField("MultiSelect", 0, 1),
    IntField("CurrentIndex", -1, 1),
    BytesField("Font", 1),
    BytesField("ItemData", 1),
    TextListField("Items", 1),
    TextField("DataSource", nullptr, 2),
    TextField("DataField", nullptr, 2),
    IntField("BindingFlag", 0, 3),
};

const forms::FieldLayout kHScrollBarFields[] = {
    IntField("Minimum", 1),    IntField("Maximum", 100), IntField("PageChange", 10),
    IntField("LineChange", 1), IntField("Position", 1),  IntField("TrackDrag", 1),
};

const forms::FieldLayout kSliderBarFields[] = {
    IntField("BorderStyle", 0),     IntField("Orientation", 0),      IntField("TickStyle", 2),
    IntField("TickFrequency", 1),   IntField("SelectionEnabled", 0), IntField("SelectionStart", 0),
    IntField("SelectionLength", 0), IntField("PageSize", 5),         IntField("LineSize", 1),
    IntField("Minimum", 1),         IntField("Maximum", 10),         IntField("Position", 1),
};

const forms::FieldLayout kTimerFields[] = {IntField("Interval", 0)};

}  // namespace

const forms::BlockLayout kWindowBlock = MakeBlockLayout(0x00010001, "window", 6, kWindowFields);
const forms::BlockLayout kLabelBlock = MakeBlockLayout(0x0001000A, "Label", 2, kLabelFields);
const forms::BlockLayout kButtonBlock = MakeBlockLayout(0x0001000B, "Button", 1, kButtonFields);
const forms::BlockLayout kListBoxBlock = MakeBlockLayout(0x0001000F, "ListBox", 3, kListBoxFields);
const forms::BlockLayout kHScrollBarBlock =
    MakeBlockLayout(0x00010011, "HScrollBar", 1, kHScrollBarFields);
const forms::BlockLayout kSliderBarBlock =
    MakeBlockLayout(0x00010014, "SliderBar", 1, kSliderBarFields);
const forms::BlockLayout kTimerBlock = MakeBlockLayout(0x00010020, "Timer", 1, kTimerFields);

const std::vector<const forms::BlockLayout*>& CoreBlockLayouts() {
  static const std::vector<const forms::BlockLayout*> layouts = {
      &kWindowBlock,     &kLabelBlock,     &kButtonBlock, &kListBoxBlock,
      &kHScrollBarBlock, &kSliderBarBlock, &kTimerBlock,
  };
  return layouts;
}

// ---- Stored values ------------------------------------------------------------

namespace {

size_t SameField(int32_t field) { return static_cast<size_t>(field); }

}  // namespace

int32_t StoredWindowField(int32_t field, int32_t value) {
  namespace wf = windowfield;
  switch (field) {
    case wf::kBorderStyle: return std::clamp(value, 0, 6);
    case wf::kBackPictureMode:
    case wf::kWindowState: return std::clamp(value, 0, 3);
    case wf::kMusicPlayCount: return std::clamp(value, 0, 2);
    case wf::kWindowShape: return std::clamp(value, 0, 29);
    default: return value;
  }
}

int32_t StoredButtonField(int32_t field, int32_t value) {
  namespace bf = buttonfield;
  switch (field) {
    case bf::kDefaultButton: return std::clamp(value, 0, 1);
    case bf::kAlignment:
    case bf::kVertAlignment: return std::clamp(value, 0, 2);
    default: return value;
  }
}

int32_t StoredListBoxField(int32_t field, int32_t value) {
  namespace lf = listboxfield;
  switch (field) {
    case lf::kBorderStyle: return std::clamp(value, 0, 5);
    case lf::kRowSpacing: return std::clamp(value, 0, 32767);
    default: return value;
  }
}

const forms::IntClamps kWindowClamps = {static_cast<int32_t>(windowfield::kHelpFile) + 1, SameField,
                                        StoredWindowField};
const forms::IntClamps kButtonClamps = {static_cast<int32_t>(buttonfield::kCaption) + 1, SameField,
                                        StoredButtonField};
const forms::IntClamps kListBoxClamps = {static_cast<int32_t>(listboxfield::kBindingFlag) + 1,
                                         SameField, StoredListBoxField};

}  // namespace units
