// The list box unit: its type record and interface, creation from the
// property copy, properties, colours and events.

#include "forms/win/unit_type.h"
#include "units/win/listbox.h"

#include <string>
#include <utility>

#include "forms/events.h"
#include "units/blocks.h"
#include "units/common_properties.h"
#include "units/list_rules.h"
#include "units/win/control_style.h"
#include "units/win/prop_value.h"
#include "units/window_rules.h"

namespace units {

namespace lf = listboxfield;
namespace lp = listboxprop;

namespace {

// The block field of each own property number.
constexpr size_t kFieldOf[lp::kCount] = {
    lf::kBorderStyle, lf::kSorted,     lf::kMultiColumn, lf::kRowSpacing,   lf::kTextColor,
    lf::kBackColor,   lf::kFont,       lf::kMultiSelect, lf::kCurrentIndex, lf::kItems,
    lf::kItemData,    lf::kDataSource, lf::kDataField,   lf::kBindingFlag,
};

COLORREF Resolved(int32_t colour) {
  return colour == forms::kSystemColour ? ::GetSysColor(COLOR_BTNFACE)
                                        : static_cast<COLORREF>(colour);
}

}  // namespace

// ---- The object --------------------------------------------------------------------------

ListBoxObject::ListBoxObject(uint32_t formId, uint32_t unitId, forms::PropertyValues values)
    : UnitObject(formId, unitId), values_(std::move(values)) {}

int32_t ListBoxObject::Int(int32_t number) const { return values_.Int(kFieldOf[number]); }

void ListBoxObject::Store(int32_t number, int32_t value) {
  values_.SetInt(kFieldOf[number], value);
}

LRESULT ListBoxObject::SendToControl(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::SendMessageA(hwnd(), message, wParam, lParam);
}

void ListBoxObject::MakeBrush() { brush_.Reset(::CreateSolidBrush(Resolved(Int(lp::kBackColor)))); }

bool ListBoxObject::CreateControl(const forms::CreateRequest& r) {
  const uint32_t style =
      r.style | ListBoxStyle(Int(lp::kSorted) != 0, !values_.Text(lf::kDataSource).empty(),
                             Int(lp::kMultiColumn) != 0, Int(lp::kMultiSelect) != 0);
  MakeBrush();
  const BorderStyles border = StylesOfBorder(Int(lp::kBorderStyle));
  HWND control = AttachingCreate(border.exStyle, "LISTBOX", nullptr, style | border.style, r.left,
                                 r.top, r.width, r.height, r.parent,
                                 reinterpret_cast<HMENU>(static_cast<uintptr_t>(r.controlId)));
  if (control == nullptr) return false;
  ApplyFontRule(control, values_.Bytes(lf::kFont), font_);
  const auto height = static_cast<int32_t>(SendToControl(LB_GETITEMHEIGHT));
  SendToControl(LB_SETITEMHEIGHT, 0, RowHeight(height, Int(lp::kRowSpacing)));
  Fill();
  const auto rows = static_cast<int32_t>(SendToControl(LB_GETCOUNT));
  const int32_t index = ClampListIndex(Int(lp::kCurrentIndex), rows);
  Store(lp::kCurrentIndex, index);
  const bool multi = Int(lp::kMultiSelect) != 0;
  SendToControl(LB_SETCURSEL, static_cast<WPARAM>(multi ? (rows > 0 ? 0 : -1) : index));
  ApplyBorder(control, Int(lp::kBorderStyle));
  return true;
}

// Text i gets number i of `ItemData` while there are whole numbers left.
void ListBoxObject::Fill() {
  const std::vector<std::string>& items = values_.TextList(lf::kItems);
  const std::vector<uint8_t>& data = values_.Bytes(lf::kItemData);
  const size_t numbers = ItemNumberCount(data);
  for (size_t i = 0; i < items.size(); ++i) {
    const LRESULT row = SendToControl(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i].c_str()));
    if (i < numbers && row >= 0) {
      SendToControl(LB_SETITEMDATA, static_cast<WPARAM>(row),
                    static_cast<LPARAM>(static_cast<int32_t>(ItemNumber(data, i))));
    }
  }
}

// ---- Properties ----------------------------------------------------------------------------

int32_t ListBoxObject::SetProperty(int32_t number, const rt::PropValue& value) {
  const auto v = static_cast<int32_t>(value.value);
  switch (number) {
    case lp::kBorderStyle:
      Store(number, StoredListBoxField(lf::kBorderStyle, v));
      ApplyBorder(hwnd(), Int(number));
      return 0;
    case lp::kSorted:
    case lp::kMultiColumn:
    case lp::kMultiSelect:
      if (v == Int(number)) return 0;
      Store(number, v);
      return 1;
    case lp::kRowSpacing: return SetRowSpacing(v);
    case lp::kTextColor: Store(number, v); break;
    case lp::kBackColor:
      Store(number, v);
      MakeBrush();
      break;
    case lp::kFont: SetFont(BytesOf(value)); break;
    case lp::kCurrentIndex: SetCurrentIndex(v); return 0;
    case lp::kItems: {
      std::vector<std::string> texts;
      const std::vector<uint8_t> block = BytesOf(value);
      if (!block.empty()) forms::ReadTextListBlock(block.data(), block.size(), texts);
      values_.SetTextList(lf::kItems, std::move(texts));
      return 1;
    }
    case lp::kItemData: values_.SetBytes(lf::kItemData, BytesOf(value)); return 1;
    case lp::kDataSource:
    case lp::kDataField: {
      const char* text = rt::TextIn(value);
      values_.SetText(kFieldOf[number], text ? text : "");
      return 0;
    }
    case lp::kBindingFlag: Store(number, v); return 0;
    default: return 0;
  }
  ::InvalidateRect(hwnd(), nullptr, TRUE);
  return 0;
}

int32_t ListBoxObject::SetRowSpacing(int32_t value) {
  const auto height = static_cast<int32_t>(SendToControl(LB_GETITEMHEIGHT));
  const int32_t base = height - Int(lp::kRowSpacing);
  Store(lp::kRowSpacing, StoredListBoxField(lf::kRowSpacing, value));
  SendToControl(LB_SETITEMHEIGHT, 0, RowHeight(base, Int(lp::kRowSpacing)));
  ::InvalidateRect(hwnd(), nullptr, TRUE);
  return 0;
}

// The spacing comes off the old font's height and goes onto the new one's.
void ListBoxObject::SetFont(std::vector<uint8_t> block) {
  const int32_t spacing = Int(lp::kRowSpacing);
  auto height = static_cast<int32_t>(SendToControl(LB_GETITEMHEIGHT));
  SendToControl(LB_SETITEMHEIGHT, 0, RowHeight(height, -spacing));
  values_.SetBytes(lf::kFont, std::move(block));
  ApplyFontRule(hwnd(), values_.Bytes(lf::kFont), font_);
  height = static_cast<int32_t>(SendToControl(LB_GETITEMHEIGHT));
  SendToControl(LB_SETITEMHEIGHT, 0, RowHeight(height, spacing));
}

// LB_SETCURSEL sends no notification, so no event follows.
void ListBoxObject::SetCurrentIndex(int32_t value) {
  const auto rows = static_cast<int32_t>(SendToControl(LB_GETCOUNT));
  Store(lp::kCurrentIndex, ClampListIndex(value, rows));
  if (!Int(lp::kMultiSelect)) {
    SendToControl(LB_SETCURSEL, static_cast<WPARAM>(Int(lp::kCurrentIndex)));
  }
}

int32_t ListBoxObject::ReadCurrentIndex() {
  if (Int(lp::kMultiSelect)) return -1;
  const auto index = static_cast<int32_t>(SendToControl(LB_GETCURSEL));
  Store(lp::kCurrentIndex, index < 0 ? -1 : index);
  return Int(lp::kCurrentIndex);
}

bool ListBoxObject::GetProperty(int32_t number, rt::PropValue& value) {
  switch (number) {
    case lp::kFont:
    case lp::kItemData: value = BytesValue(values_.Bytes(kFieldOf[number])); return true;
    case lp::kItems:
      itemsRead_ = forms::WriteTextListBlock(values_.TextList(lf::kItems));
      value = BytesValue(itemsRead_);
      return true;
    case lp::kCurrentIndex: value = {static_cast<uint32_t>(ReadCurrentIndex()), 0}; return true;
    case lp::kDataSource:
    case lp::kDataField:
      value = {reinterpret_cast<uintptr_t>(values_.Text(kFieldOf[number]).c_str()), 0};
      return true;
    default:
      if (number < 0 || number >= lp::kCount) return false;
      value = {static_cast<uint32_t>(Int(number)), 0};
      return true;
  }
}

// ---- Colours and notifications ----------------------------------------------------------------

bool ListBoxObject::Reflected(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message == WM_CTLCOLORLISTBOX) {
    auto dc = reinterpret_cast<HDC>(wParam);
    ::SetTextColor(dc, static_cast<COLORREF>(Int(lp::kTextColor)));
    ::SetBkColor(dc, Resolved(Int(lp::kBackColor)));
    result = reinterpret_cast<LRESULT>(brush_.get());
    return true;
  }
  if (message != WM_COMMAND) return false;
  Notified(HIWORD(wParam));
  result = 0;
  return true;
}

void ListBoxObject::Notified(int code) {
  switch (code) {
    case LBN_SELCHANGE: forms::RaiseWordEvent(formId(), unitId(), forms::event::kMain); break;
    case LBN_DBLCLK: forms::RaiseWordEvent(formId(), unitId(), forms::event::kDoubleClick); break;
    case LBN_SETFOCUS: RaiseFocusEvent(true); break;
    case LBN_KILLFOCUS: RaiseFocusEvent(false); break;
    default: break;
  }
}

namespace {

// Rows are added by calling the list box's current procedure directly when
// this thread owns it: a sent message first runs every window-procedure hook
// of the thread, and the list may be filled with thousands of rows at once.
LRESULT CallListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  if (::GetWindowThreadProcessId(list, nullptr) != ::GetCurrentThreadId())
    return ::SendMessageA(list, message, wParam, lParam);
  const auto procedure = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(list, GWLP_WNDPROC));
  return ::CallWindowProcA(procedure, list, message, wParam, lParam);
}

}  // namespace

int32_t ListBoxAddItem(forms::UnitObject* unit, const char* text, int32_t data) {
  auto* list = dynamic_cast<ListBoxObject*>(unit);
  if (list == nullptr || list->hwnd() == nullptr) return -1;
  const LRESULT row =
      CallListProcedure(list->hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text ? text : ""));
  if (row < 0) return -1;
  // A new row of a list box that keeps its texts starts with item data 0.
  if (data != 0) {
    ::SendMessageA(list->hwnd(), LB_SETITEMDATA, static_cast<WPARAM>(row),
                   static_cast<LPARAM>(data));
  }
  return static_cast<int32_t>(row);
}

// ---- The type ------------------------------------------------------------------------------

namespace {

forms::UnitObject* CreateListBox(const forms::CreateRequest& r) {
  forms::PropertyValues values(kListBoxBlock);
  if (forms::ReadBlock(r.data, r.length, values, kListBoxClamps) != forms::BlockStatus::kOk) {
    return nullptr;
  }
  auto* unit = new ListBoxObject(r.formId, r.unitId, std::move(values));
  if (unit->CreateControl(r)) return unit;
  delete unit;
  return nullptr;
}

int32_t SetListBoxProperty(forms::UnitObject* unit, int32_t number, rt::PropValue* value) {
  return static_cast<ListBoxObject*>(unit)->SetProperty(number, *value);
}

bool GetListBoxProperty(forms::UnitObject* unit, int32_t number, rt::PropValue* value) {
  return static_cast<ListBoxObject*>(unit)->GetProperty(number, *value);
}

std::vector<uint8_t> ListBoxPropertyData(forms::UnitObject* unit) {
  return forms::WriteBlock(static_cast<ListBoxObject*>(unit)->values());
}

std::vector<uint8_t> ListBoxTexts(const uint8_t* data, uint32_t length, forms::TextVisitor visit,
                                  void* context) {
  return RewriteListBoxTexts(data, length, visit, context);
}

namespace pt = rt::proptype;
constexpr uint32_t kInt = pt::kInteger, kBool = pt::kLogical, kText = pt::kText,
                   kFontValue = pt::kFont, kTextList = pt::kTextList, kByteBlock = pt::kCustomData;

const rt::PropertyInfo kListBoxOwnProperties[lp::kCount] = {
    {"边框", "BorderStyle", nullptr, kInt, nullptr},
    {"自动排序", "Sorted", nullptr, kBool, nullptr},
    {"多列", "MultiColumn", nullptr, kBool, nullptr},
    {"行间距", "RowSpacing", nullptr, kInt, nullptr},
    {"文本颜色", "TextColor", nullptr, kInt, nullptr},
    {"背景颜色", "BackColor", nullptr, kInt, nullptr},
    {"字体", "Font", nullptr, kFontValue, nullptr},
    {"允许多项选择", "MultiSelect", nullptr, kBool, nullptr},
    {"现行选中项", "CurrentIndex", nullptr, kInt, nullptr},
    {"项目", "Items", nullptr, kTextList, nullptr},
    {"项目数值", "ItemData", nullptr, kByteBlock, nullptr},
    {"数据源", "DataSource", nullptr, kText, nullptr},
    {"数据列", "DataField", nullptr, kText, nullptr},
    {"绑定标志", "BindingFlag", nullptr, kBool, nullptr},
};
constexpr auto kListBoxProperties = WithCommonProperties(kListBoxOwnProperties);

constexpr forms::UnitTypeDescription kListBoxDescription = {
    "列表框",
    "ListBox",
    rt::typeflag::kAlwaysSet | rt::typeflag::kWindowUnit,
    kListBoxProperties.data(),
    kListBoxProperties.size(),
    &CreateListBox,
    &SetListBoxProperty,
    &ListBoxPropertyData,
    &GetListBoxProperty,
    &ListBoxTexts};

}  // namespace

const rt::UnitTypeRecord& ListBoxType() { return forms::TypeRecordOf<kListBoxDescription>(); }

}  // namespace units
