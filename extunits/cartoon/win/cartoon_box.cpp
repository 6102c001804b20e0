// The CartoonBox unit: creation, properties, drawing objects, the timer,
// the mouse and the Scene's host. The background surface and painting are
// in box_paint.cpp.

#include "forms/win/unit_type.h"
#include "extunits/cartoon/win/cartoon_box.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "extunits/blocks.h"
#include "extunits/cartoon/rules.h"
#include "forms/events.h"
#include "runtime/service.h"
#include "units/common_properties.h"
#include "units/win/control_style.h"
#include "units/win/prop_value.h"

namespace cartoon {

namespace bf = extunits::cartoonboxfield;

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerInterval = 5;
constexpr UINT kLongestWait = 1000;           // ms between steps with nothing timed
constexpr uint64_t kForcedUpdateEvery = 100;  // ms, across all boxes

uint64_t (*testClock)() = nullptr;
uint64_t lastForcedUpdate = 0;

bool IsBytes(size_t f) { return f == bf::kPic || f == bf::kFont; }
bool RemakesBackground(size_t f) {
  return f == bf::kBackColor || f == bf::kPic || f == bf::kPicDrawMode;
}
bool RemakesPen(size_t f) { return f == bf::kPenStyle || f == bf::kPenWidth || f == bf::kPenColor; }
bool RemakesBrush(size_t f) { return f == bf::kBrushStyle || f == bf::kBrushColor; }

constexpr int kPenStyles[] = {PS_NULL,    PS_SOLID,      PS_DASH,       PS_DOT,
                              PS_DASHDOT, PS_DASHDOTDOT, PS_INSIDEFRAME};
constexpr int kHatchStyles[] = {HS_BDIAGONAL, HS_CROSS,      HS_DIAGCROSS,
                                HS_FDIAGONAL, HS_HORIZONTAL, HS_VERTICAL};

}  // namespace

void SetClockForTest(uint64_t (*clock)()) { testClock = clock; }

rt::GdiFont FontFromBlock(const std::vector<uint8_t>& block) {
  LOGFONTA font;
  if (block.size() != sizeof font) return rt::GdiFont();
  std::memcpy(&font, block.data(), sizeof font);
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = 0;
  font.lfClipPrecision = 0;
  font.lfQuality = PROOF_QUALITY;
  font.lfPitchAndFamily = 0;
  return rt::GdiFont(::CreateFontIndirectA(&font));
}

CartoonBoxUnit::CartoonBoxUnit(uint32_t formId, uint32_t unitId, forms::PropertyValues values)
    : UnitObject(formId, unitId), values_(std::move(values)), scene_(*this) {}

// Objects go with the box without events or sounds.
CartoonBoxUnit::~CartoonBoxUnit() = default;

int32_t CartoonBoxUnit::Int(size_t field) const { return values_.Int(field); }

// The background surface is left to the first paint: a form shows sooner
// when its box's picture is not decoded while the form is still being made.
void CartoonBoxUnit::Start() {
  units::ApplyBorder(hwnd(), Int(bf::kBorder));
  MakePen();
  MakeBrush();
  font_ = FontFromBlock(values_.Bytes(bf::kFont));
  SetInterval(kTimerInterval);
}

// ---- Properties ----------------------------------------------------------------------

void CartoonBoxUnit::SetProperty(int32_t number, const rt::PropValue& value) {
  if (number < 0 || number >= kBoxPropertyCount) return;
  const size_t field = BoxField(number);
  if (IsBytes(field)) {
    values_.SetBytes(field, units::BytesOf(value));
    if (field == bf::kFont) font_ = FontFromBlock(values_.Bytes(field));
  } else {
    const int32_t old = Int(field);
    values_.SetInt(field,
                   StoredBoxField(static_cast<int32_t>(field), static_cast<int32_t>(value.value)));
    if (old == Int(field) && (RemakesPen(field) || RemakesBrush(field))) return;
    if (field == bf::kBorder) units::ApplyBorder(hwnd(), Int(field));
  }
  if (RemakesPen(field)) MakePen();
  if (RemakesBrush(field)) MakeBrush();
  if (RemakesBackground(field)) ForgetBackground();
}

bool CartoonBoxUnit::GetProperty(int32_t number, rt::PropValue& value) const {
  if (number < 0 || number >= kBoxPropertyCount) return false;
  const size_t field = BoxField(number);
  value = IsBytes(field) ? units::BytesValue(values_.Bytes(field)) : units::IntValue(Int(field));
  return true;
}

void CartoonBoxUnit::MakePen() {
  pen_.Reset(::CreatePen(kPenStyles[Int(bf::kPenStyle)], Int(bf::kPenWidth),
                         static_cast<COLORREF>(Int(bf::kPenColor))));
}

// Style 0 is the null brush (nothing made), 1 a solid colour, 2..7 the
// hatches; the pattern styles from 8 on are made as a solid colour.
void CartoonBoxUnit::MakeBrush() {
  const int32_t style = Int(bf::kBrushStyle);
  const auto color = static_cast<COLORREF>(Int(bf::kBrushColor));
  if (style == 0) {
    brush_.Reset();
  } else if (style >= 2 && style <= 7) {
    brush_.Reset(::CreateHatchBrush(kHatchStyles[style - 2], color));
  } else {
    brush_.Reset(::CreateSolidBrush(color));
  }
}

// ---- Host ------------------------------------------------------------------------------

// Copies the identities first: the handler may delete this box.
std::optional<uint64_t> CartoonBoxUnit::Raise(int32_t number, std::initializer_list<int32_t> args) {
  uintptr_t words[5] = {};
  size_t count = 0;
  for (int32_t arg : args) {
    if (count < 5) words[count++] = static_cast<uint32_t>(arg);  // zero-extended
  }
  return forms::RaiseWordEvent(formId(), unitId(), number, words, count);
}

void CartoonBoxUnit::Invalidate(const Rect& area) {
  if (area.width <= 0 || area.height <= 0 || hwnd() == nullptr) return;
  const RECT r = {area.x, area.y, area.x + area.width, area.y + area.height};
  ::InvalidateRect(hwnd(), &r, FALSE);
  dirty_ = true;
}

void CartoonBoxUnit::PlaySound(const std::vector<uint8_t>& bytes) {
  rt::RequestSound(bytes.data(), static_cast<uint32_t>(bytes.size()), 0);
}

// GetTickCount widened to 64 bits (the 64-bit call is not on every system).
uint64_t CartoonBoxUnit::Now() {
  if (testClock != nullptr) return testClock();
  const DWORD tick = ::GetTickCount();
  ticks_ = ticks_ == 0 ? tick : ticks_ + static_cast<DWORD>(tick - lastTick_);
  lastTick_ = tick;
  return ticks_;
}

int32_t CartoonBoxUnit::ClientWidth() {
  RECT r{};
  ::GetClientRect(hwnd(), &r);
  return r.right;
}
int32_t CartoonBoxUnit::ClientHeight() {
  RECT r{};
  ::GetClientRect(hwnd(), &r);
  return r.bottom;
}

bool CartoonBoxUnit::KeyDown(int32_t key) { return ::GetAsyncKeyState(key) < 0; }

int32_t CartoonBoxUnit::ShiftState() {
  return (KeyDown(VK_CONTROL) ? 1 : 0) | (KeyDown(VK_SHIFT) ? 2 : 0) | (KeyDown(VK_MENU) ? 4 : 0);
}

// ---- Messages ----------------------------------------------------------------------------

// The window under the cursor is asked for only while an object is hovered.
void CartoonBoxUnit::TimerStep() {
  HWND window = hwnd();
  bool over = true;
  if (scene_.Hover() != 0) {
    POINT cursor;
    over = ::GetCursorPos(&cursor) && ::WindowFromPoint(cursor) == window;
  }
  if (!scene_.Step(over)) return;  // the box went away
  const uint64_t now = Now();
  if (dirty_ && now - lastForcedUpdate > kForcedUpdateEvery) {
    lastForcedUpdate = now;
    ::UpdateWindow(window);
  }
  Reschedule(now);
}

// The timer runs every 5 ms while a step may find work at any time (hover,
// watched keys, movement, rotation); otherwise it waits until the next
// frame change or expiry is due, so steps that would find nothing to do
// cost no messages. Creating an object and hovering one wake it again.
void CartoonBoxUnit::Reschedule(uint64_t now) {
  const uint64_t due = scene_.NextDue();
  uint64_t wait = kLongestWait;
  if (due == 0) {
    wait = kTimerInterval;
  } else if (due != Scene::kNeverDue) {
    wait = due > now ? due - now : 0;
  }
  if (dirty_) wait = std::min<uint64_t>(wait, kForcedUpdateEvery);
  SetInterval(static_cast<UINT>(std::clamp<uint64_t>(wait, kTimerInterval, kLongestWait)));
}

void CartoonBoxUnit::SetInterval(UINT interval) {
  if (interval == interval_ || hwnd() == nullptr) return;
  if (::SetTimer(hwnd(), kTimerId, interval, nullptr)) interval_ = interval;
}

void CartoonBoxUnit::Wake() { SetInterval(kTimerInterval); }

bool CartoonBoxUnit::Mouse(UINT message, LPARAM lParam, WPARAM wParam) {
  const int32_t x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  switch (message) {
    case WM_LBUTTONDOWN: return scene_.LeftDown(x, y);
    case WM_LBUTTONUP: return scene_.LeftUp(x, y);
    case WM_RBUTTONDOWN: return scene_.RightDown(x, y);
    case WM_RBUTTONUP: return scene_.RightUp(x, y);
    case WM_LBUTTONDBLCLK: return scene_.DoubleClick(x, y);
    default: return scene_.MouseMove(x, y, (wParam & MK_LBUTTON) != 0);
  }
}

LRESULT CartoonBoxUnit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: Paint(); return 0;
    case WM_PRINTCLIENT: {
      const RECT all = {0, 0, ClientWidth(), ClientHeight()};
      PaintArea(reinterpret_cast<HDC>(wParam), all);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_TIMER:
      if (wParam != kTimerId) break;
      TimerStep();
      return 0;
    case WM_SIZE: {
      const LRESULT result = CallOriginal(message, wParam, lParam);
      ForgetBackground();
      return result;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
      if (!Mouse(message, lParam, wParam)) return 0;  // the box went away
      break;
    case WM_MOUSEACTIVATE: ::SetFocus(hwnd()); break;
    case WM_DESTROY:
      ::KillTimer(hwnd(), kTimerId);
      interval_ = 0;
      break;
    default: break;
  }
  return CallOriginal(message, wParam, lParam);
}

// ---- The type ------------------------------------------------------------------------

namespace {

const char kBoxClass[] = "CartoonBoxUnitWindow";

const char* BoxClass() {
  return forms::RegisterUnitClass(kBoxClass, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS);
}

forms::UnitObject* CreateCartoonBox(const forms::CreateRequest& r) {
  forms::PropertyValues values(extunits::kCartoonBoxBlock);
  const char* windowClass = BoxClass();
  if (forms::ReadBlock(r.data, r.length, values, kBoxClamps) != forms::BlockStatus::kOk ||
      !windowClass) {
    return nullptr;
  }
  auto* box = new CartoonBoxUnit(r.formId, r.unitId, std::move(values));
  const units::BorderStyles border = units::StylesOfBorder(box->Int(bf::kBorder));
  HWND hwnd = box->AttachingCreate(border.exStyle, windowClass, nullptr,
                                   r.style | WS_CHILD | WS_CLIPSIBLINGS | border.style, r.left,
                                   r.top, r.width, r.height, r.parent,
                                   reinterpret_cast<HMENU>(static_cast<uintptr_t>(r.controlId)));
  if (hwnd == nullptr) {
    delete box;
    return nullptr;
  }
  box->Start();
  return box;
}

int32_t SetBoxProperty(forms::UnitObject* unit, int32_t number, rt::PropValue* value) {
  static_cast<CartoonBoxUnit*>(unit)->SetProperty(number, *value);
  return 0;
}

bool GetBoxProperty(forms::UnitObject* unit, int32_t number, rt::PropValue* value) {
  return static_cast<CartoonBoxUnit*>(unit)->GetProperty(number, *value);
}

std::vector<uint8_t> BoxPropertyData(forms::UnitObject* unit) {
  return forms::WriteBlock(static_cast<CartoonBoxUnit*>(unit)->values());
}

namespace pt = rt::proptype;

const rt::PropertyInfo kOwnProperties[kBoxPropertyCount] = {
    {"边框", "border", nullptr, pt::kPickIndex, nullptr},
    {"背景颜色", "BackColor", nullptr, pt::kBackColour, nullptr},
    {"背景图片", "pic", nullptr, pt::kPicture, nullptr},
    {"显示方式", "PicDrawMode", nullptr, pt::kPickIndex, nullptr},
    {"画笔类型", "PenStyle", nullptr, pt::kPickIndex, nullptr},
    {"画出方式", "DrawRop2", nullptr, pt::kPickIndex, nullptr},
    {"画笔粗细", "PenWidth", nullptr, pt::kInteger, nullptr},
    {"画笔颜色", "PenColor", nullptr, pt::kColour, nullptr},
    {"刷子类型", "BrushStyle", nullptr, pt::kPickIndex, nullptr},
    {"刷子颜色", "BrushColor", nullptr, pt::kColour, nullptr},
    {"文本颜色", "TextColor", nullptr, pt::kColour, nullptr},
    {"文本背景颜色", "TextBackColor", nullptr, pt::kBackColour, nullptr},
    {"字体", "font", nullptr, pt::kFont, nullptr},
};
constexpr auto kProperties = units::WithCommonProperties(kOwnProperties);

constexpr forms::UnitTypeDescription kBoxDescription = {
    "动画框",
    "CartoonBox",
    rt::typeflag::kAlwaysSet | rt::typeflag::kWindowUnit | rt::typeflag::kDragsForm,
    kProperties.data(),
    kProperties.size(),
    &CreateCartoonBox,
    &SetBoxProperty,
    &BoxPropertyData,
    &GetBoxProperty};

}  // namespace

const rt::UnitTypeRecord& CartoonBoxType() { return forms::TypeRecordOf<kBoxDescription>(); }

}  // namespace cartoon
