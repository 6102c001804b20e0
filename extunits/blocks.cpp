#include "extunits/blocks.h"

namespace extunits {

using forms::BytesField;
using forms::IntField;
using forms::kSystemColour;
using forms::MakeBlockLayout;
using forms::TextField;

namespace {

// Blocks of version 0 or 1 hold the first three fields and then the picture.
const forms::FieldLayout kCartoonBoxFields[] = {
    IntField("border", 0),
    IntField("BackColor", kSystemColour),
    IntField("PicDrawMode", 0),
    IntField("PenStyle", 1, 2),
    IntField("DrawRop2", 12, 2),
    IntField("PenWidth", 0, 2),
    IntField("PenColor", 0, 2),
    IntField("BrushStyle", 1, 2),
    IntField("BrushColor", 0xFFFFFF, 2),
    IntField("TextColor", 0, 2),
    IntField("TextBackColor", kSystemColour, 2),
    BytesField("font", 2),
    BytesField("pic"),
};

const forms::FieldLayout kCartoonObjectFields[] = {
    IntField("TextColor", 0),
    IntField("AutoGetTransColor", 0),
    IntField("TransparentColor", kSystemColour),
    IntField("alpha", 0),
    IntField("zoom", 1000),
    IntField("PlayGIF", 0),
    IntField("GIFDelay", 0),
    IntField("GIFAutoDestroy", 0),
    IntField("TrendColor", 0xFFFFFF),
    IntField("TrendDepth", 0),
    IntField("light", 0),
    IntField("layer", 0),
    IntField("angle", 0),
    IntField("RotateFollow", 0),
    IntField("ExistTime", 0),
    IntField("CollideAllowed", 0),
    IntField("type", 0, 2),
    IntField("TurnType", 0, 3),
    TextField("text"),
    BytesField("font"),
    BytesField("picture"),
    BytesField("CreateSound"),
    BytesField("DestroySound"),
    BytesField("CollidedSound"),
};

const forms::FieldLayout kTransLabelFields[] = {
    IntField("Effect", 0),
    IntField("TextColor", 0),
    IntField("Alignment", 0),
    IntField("VertAlignment", 1),
    IntField("WordWrap", 0),
    BytesField("Font"),
    TextField("Caption", "透明标签"),
};

}  // namespace

const forms::BlockLayout kCartoonBoxBlock =
    MakeBlockLayout(0x00020008, "CartoonBox", 2, kCartoonBoxFields);
const forms::BlockLayout kCartoonObjectBlock =
    MakeBlockLayout(0x00020009, "CartoonObject", 3, kCartoonObjectFields);
const forms::BlockLayout kTransLabelBlock =
    MakeBlockLayout(0x00040005, "TransLabel", 1, kTransLabelFields);
const forms::BlockLayout kMediaPlayBlock = {0x00060006, "MediaPlay", 0, nullptr, 0};

const std::vector<const forms::BlockLayout*>& ExtensionBlockLayouts() {
  static const std::vector<const forms::BlockLayout*> layouts = {
      &kCartoonBoxBlock, &kCartoonObjectBlock, &kTransLabelBlock, &kMediaPlayBlock};
  return layouts;
}

}  // namespace extunits
