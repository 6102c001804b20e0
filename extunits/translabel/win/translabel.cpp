// The transparent label: creation, properties, painting and the refresh
// that lets the windows beneath show through.

#include "forms/win/unit_type.h"
#include "extunits/translabel/win/translabel.h"

#include <string>
#include <utility>
#include <vector>

#include "extunits/blocks.h"
#include "extunits/translabel/rules.h"
#include "runtime/win/handles.h"
#include "units/common_properties.h"
#include "units/control_texts.h"
#include "units/label_paint.h"
#include "units/win/label.h"
#include "units/win/prop_value.h"
#include "units/win/unit_operations.h"

namespace translabel {

namespace tf = extunits::translabelfield;

namespace {

const char kTransLabelClass[] = "TransLabelUnitWindow";
constexpr UINT kRedrawBeneath =
    RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ERASENOW | RDW_FRAME;  // 0x705

bool IsText(int32_t n) { return n == prop::kCaption; }
bool IsBytes(int32_t n) { return n == prop::kFont; }

// From the window up through its parents to the first popup window or the
// last window that has no parent.
HWND TopWindowOf(HWND window) {
  while ((::GetWindowLongA(window, GWL_STYLE) & WS_POPUP) == 0) {
    HWND parent = ::GetParent(window);
    if (parent == nullptr) break;
    window = parent;
  }
  return window;
}

// The visible descendants in z-order, a child's own descendants before it.
void CollectVisibleDescendants(HWND parent, std::vector<HWND>& out) {
  for (HWND child = ::GetTopWindow(parent); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (!::IsWindowVisible(child)) continue;
    if (::GetTopWindow(child)) CollectVisibleDescendants(child, out);
    out.push_back(child);
  }
}

void MapRect(HWND from, HWND to, RECT& rect) {
  ::MapWindowPoints(from, to, reinterpret_cast<POINT*>(&rect), 2);
}

}  // namespace

TransLabelObject::TransLabelObject(uint32_t formId, uint32_t unitId, forms::PropertyValues values)
    : UnitObject(formId, unitId), values_(std::move(values)) {}

void TransLabelObject::SetProperty(int32_t number, const rt::PropValue& value) {
  if (number >= 0 && number < prop::kCount) {
    const size_t field = FieldOf(number);
    if (IsText(number)) {
      const std::string text = units::TextOf(value);
      values_.SetText(field, text);
      ::SetWindowTextA(hwnd(), text.c_str());
    } else if (IsBytes(number)) {
      values_.SetBytes(field, units::BytesOf(value));
    } else if (number == prop::kWordWrap) {
      values_.SetInt(field, value.value != 0 ? 1 : 0);
    } else {
      values_.SetInt(field, StoredValue(number, static_cast<int32_t>(value.value)));
    }
  }
  Refresh();
}

bool TransLabelObject::GetProperty(int32_t number, rt::PropValue& value) const {
  if (number < 0 || number >= prop::kCount) return false;
  const size_t field = FieldOf(number);
  if (IsText(number)) {
    value = units::TextValue(values_.Text(field));
  } else if (IsBytes(number)) {
    value = units::BytesValue(values_.Bytes(field));
  } else {
    value = units::IntValue(values_.Int(field));
  }
  return true;
}

// Only a label on the screen has anything beneath it to draw again: a
// hidden one (or one on a hidden form, as while the form loads) is drawn
// afresh, with what lies beneath it, once it shows.
void TransLabelObject::Refresh() {
  HWND self = hwnd();
  if (self == nullptr || !::IsWindowVisible(self)) return;
  RECT screen;
  ::GetClientRect(self, &screen);
  MapRect(self, nullptr, screen);
  HWND top = TopWindowOf(self);
  RECT inTop = screen;
  MapRect(nullptr, top, inTop);
  ::InvalidateRect(top, &inTop, TRUE);
  ::UpdateWindow(top);
  std::vector<HWND> beneath;
  CollectVisibleDescendants(top, beneath);
  for (auto it = beneath.rbegin(); it != beneath.rend(); ++it) {
    RECT bounds, overlap;
    ::GetWindowRect(*it, &bounds);
    if (!::IntersectRect(&overlap, &bounds, &screen)) continue;
    MapRect(nullptr, *it, overlap);
    ::RedrawWindow(*it, &overlap, nullptr, kRedrawBeneath);
  }
  ::InvalidateRect(self, nullptr, FALSE);
}

void TransLabelObject::Paint(HDC dc) {
  const std::string text = units::WindowTextOf(hwnd());
  if (text.empty()) return;
  RECT client;
  ::GetClientRect(hwnd(), &client);
  rt::GdiFont made;
  const std::vector<uint8_t> font = DrawingFont(values_.Bytes(tf::kFont));
  if (!font.empty())
    made.Reset(::CreateFontIndirectA(reinterpret_cast<const LOGFONTA*>(font.data())));
  rt::SelectGuard selected(
      dc, made ? static_cast<HGDIOBJ>(made.get()) : ::GetStockObject(DEFAULT_GUI_FONT));
  const UINT flags =
      units::LabelTextFlags(values_.Int(tf::kAlignment), values_.Int(tf::kWordWrap) != 0,
                            values_.Int(tf::kVertAlignment));
  units::DrawEffectText(dc, text, client, flags, values_.Int(tf::kEffect),
                        static_cast<COLORREF>(values_.Int(tf::kTextColor)));
}

LRESULT TransLabelObject::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      rt::PaintDc paint(hwnd());
      if (paint.get()) Paint(paint.get());
      return 0;
    }
    case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_MOVE: {
      const LRESULT result = CallOriginal(message, wParam, lParam);
      Refresh();
      return result;
    }
    default: return CallOriginal(message, wParam, lParam);
  }
}

// ---- The type ------------------------------------------------------------------------------

namespace {

forms::UnitObject* CreateTransLabel(const forms::CreateRequest& r) {
  forms::PropertyValues values(extunits::kTransLabelBlock);
  const char* windowClass = units::RegisterLabelClass(kTransLabelClass);
  if (forms::ReadBlock(r.data, r.length, values, kClamps) != forms::BlockStatus::kOk ||
      !windowClass) {
    return nullptr;
  }
  auto* label = new TransLabelObject(r.formId, r.unitId, std::move(values));
  HWND hwnd = label->AttachingCreate(
      WS_EX_TRANSPARENT, windowClass, label->values().Text(tf::kCaption).c_str(),
      r.style | WS_CHILD | WS_CLIPSIBLINGS, r.left, r.top, r.width, r.height, r.parent,
      reinterpret_cast<HMENU>(static_cast<uintptr_t>(r.controlId)));
  if (hwnd == nullptr) {
    delete label;
    return nullptr;
  }
  return label;
}

std::vector<uint8_t> TransLabelTexts(const uint8_t* data, uint32_t length, forms::TextVisitor visit,
                                     void* context) {
  return units::RewriteBlockTexts(extunits::kTransLabelBlock, data, length,
                                  {{tf::kCaption}, {tf::kFont, true}}, visit, context);
}

namespace pt = rt::proptype;

const rt::PropertyInfo kOwnProperties[prop::kCount] = {
    {"标题", "Caption", nullptr, pt::kText, nullptr},
    {"效果", "Effect", nullptr, pt::kInteger, nullptr},
    {"字体", "Font", nullptr, pt::kFont, nullptr},
    {"文本颜色", "TextColor", nullptr, pt::kInteger, nullptr},
    {"横向对齐方式", "Alignment", nullptr, pt::kInteger, nullptr},
    {"是否自动折行", "WordWrap", nullptr, pt::kLogical, nullptr},
    {"纵向对齐方式", "VertAlignment", nullptr, pt::kInteger, nullptr},
};
constexpr auto kProperties = units::WithCommonProperties(kOwnProperties);

constexpr forms::UnitTypeDescription kTransLabelDescription = {
    "透明标签",
    "TransLabel",
    rt::typeflag::kAlwaysSet | rt::typeflag::kWindowUnit,
    kProperties.data(),
    kProperties.size(),
    &CreateTransLabel,
    &units::SetPropertyOf<TransLabelObject>,
    &units::PropertyDataOf<TransLabelObject>,
    &units::GetPropertyOf<TransLabelObject>,
    &TransLabelTexts};

}  // namespace

const rt::UnitTypeRecord& TransLabelType() { return forms::TypeRecordOf<kTransLabelDescription>(); }

}  // namespace translabel
