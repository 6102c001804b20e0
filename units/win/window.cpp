// The window unit: its type record and interface, creation, properties and
// events. Painting, shapes, icons and the tray icon are in window_look.cpp.

#include "forms/win/unit_type.h"
#include "units/win/window.h"

#include "units/win/control_style.h"
#include "units/win/prop_value.h"

#include <string>
#include <utility>

#include "forms/events.h"
#include "forms/win/framework.h"
#include "runtime/application.h"
#include "runtime/service.h"
#include "units/blocks.h"
#include "units/common_properties.h"
#include "units/sound.h"
#include "units/window_rules.h"

namespace units {

namespace wf = windowfield;

namespace {

bool IsText(size_t f) { return f == wf::kCaption || f == wf::kHelpFile || f == wf::kClassName; }
bool IsBytes(size_t f) { return f == wf::kBackPicture || f == wf::kBackMusic || f == wf::kIcon; }

constexpr UINT kSwpZOrderOnly = SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE;

}  // namespace

// ---- The object -------------------------------------------------------------------

WindowObject::WindowObject(uint32_t formId, uint32_t unitId, forms::PropertyValues values)
    : FormWindowObject(formId, unitId), values_(std::move(values)) {}

WindowObject::~WindowObject() { StopMusic(); }

int32_t WindowObject::Int(size_t field) const { return values_.Int(field); }

void WindowObject::StoreInt(size_t field, int32_t value) { values_.SetInt(field, value); }

namespace {

FrameProperties FrameOf(const WindowObject& w) {
  FrameProperties p;
  p.borderStyle = w.Int(wf::kBorderStyle);
  p.hasCaption = !w.values().Text(wf::kCaption).empty();
  p.controlBox = w.Int(wf::kControlBox) != 0;
  p.maxButton = w.Int(wf::kMaxButton) != 0;
  p.minButton = w.Int(wf::kMinButton) != 0;
  return p;
}

HWND CreationOwner(const forms::CreateRequest& r, bool showInTaskbar) {
  if (r.parent != nullptr) return r.parent;
  if (showInTaskbar && !forms::CreatingModalForm()) return nullptr;
  return static_cast<HWND>(rt::RuntimeOwnerWindow());
}

}  // namespace

// Makes the form window from the frame properties and the window state;
// the block is already read.
bool WindowObject::CreateWindowFor(const forms::CreateRequest& r) {
  const FrameProperties frame = FrameOf(*this);
  uint32_t style = r.style | WS_CLIPCHILDREN | FrameStyle(frame.borderStyle) | CaptionBits(frame);
  int32_t x = r.left, y = r.top;
  switch (Int(wf::kWindowState)) {
    case 1: {
      const Point p = CentredOnScreen(::GetSystemMetrics(SM_CXSCREEN),
                                      ::GetSystemMetrics(SM_CYSCREEN), r.width, r.height);
      x = p.x;
      y = p.y;
      break;
    }
    case 2: style |= WS_MINIMIZE; break;
    case 3:
      if (style & WS_THICKFRAME) style |= WS_MAXIMIZE;
      break;
    default: break;
  }
  if (r.parent) style = (style & 0x3FFFFFFF) | WS_POPUP;
  const std::string& className = values_.Text(wf::kClassName);
  const char* windowClass = className.empty() ? forms::FormWindowClass() : className.c_str();
  if (windowClass == nullptr) return false;
  HWND hwnd = AttachingCreate(FrameExStyle(frame.borderStyle), windowClass,
                              values_.Text(wf::kCaption).c_str(), style, x, y, r.width, r.height,
                              CreationOwner(r, Int(wf::kShowInTaskbar) != 0), r.menu);
  if (hwnd == nullptr) return false;
  SyncStyle();
  RECT rc;
  ::GetWindowRect(hwnd, &rc);
  if (rc.right - rc.left != r.width || rc.bottom - rc.top != r.height) {
    ::MoveWindow(hwnd, x, y, r.width, r.height, TRUE);
  }
  ApplyIcons();
  if (Int(wf::kWindowShape) != 0) ApplyShape();
  ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), 0);
  if (Int(wf::kAlwaysOnTop)) {
    ::SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, kSwpZOrderOnly);
    topmost = true;
  }
  if (!Int(wf::kMovable)) ApplyMovable();
  StartMusic();
  return true;
}

// ---- Styles -------------------------------------------------------------------------

void WindowObject::ChangeStyle(int index, uint32_t remove, uint32_t add) {
  ChangeWindowStyle(hwnd(), index, remove, add);
}

void WindowObject::SyncStyle() {
  const auto current = static_cast<uint32_t>(::GetWindowLongA(hwnd(), GWL_STYLE));
  const uint32_t next = SyncedStyle(current, FrameOf(*this));
  if (next != current) ChangeStyle(GWL_STYLE, winstyle::kSyncMask, next & winstyle::kSyncMask);
}

void WindowObject::ApplyBorderStyle() {
  const int32_t border = Int(wf::kBorderStyle);
  ChangeStyle(GWL_EXSTYLE, winstyle::kExFrameMask, FrameExStyle(border));
  ChangeStyle(GWL_STYLE, winstyle::kFrameMask, FrameStyle(border));
  SyncStyle();
}

// ---- Window state, moving and topmost ---------------------------------------------------

int WindowObject::StartState() const { return Int(wf::kWindowState); }

// A resizable window is maximised; a fixed one covers the screen instead.
void WindowObject::ShowMaximised() {
  HWND w = hwnd();
  if (::GetWindowLongA(w, GWL_STYLE) & WS_THICKFRAME) {
    ::ShowWindow(w, SW_MAXIMIZE);
    return;
  }
  if (::IsIconic(w) || ::IsZoomed(w)) ::ShowWindow(w, SW_RESTORE);
  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  RECT rc;
  ::GetWindowRect(w, &rc);
  if (rc.left != 0 || rc.top != 0 || rc.right != cx || rc.bottom != cy) {
    ::MoveWindow(w, 0, 0, cx, cy, TRUE);
  }
  ::ShowWindow(w, SW_SHOW);
}

void WindowObject::ApplyWindowState() {
  HWND w = hwnd();
  if (!::IsWindowVisible(w)) return;
  switch (Int(wf::kWindowState)) {
    case 0: ::ShowWindow(w, SW_SHOWNORMAL); break;
    case 1: {
      if (::IsIconic(w) || ::IsZoomed(w)) ::ShowWindow(w, SW_RESTORE);
      RECT rc;
      ::GetWindowRect(w, &rc);
      const Point p =
          CentredOnScreen(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                          rc.right - rc.left, rc.bottom - rc.top);
      if (p.x != rc.left || p.y != rc.top) {
        ::SetWindowPos(w, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      break;
    }
    case 2: ::ShowWindow(w, SW_MINIMIZE); break;
    default: ShowMaximised(); break;
  }
}

void WindowObject::ApplyMovable() {
  if (Int(wf::kMovable)) {
    ::GetSystemMenu(hwnd(), TRUE);
  } else {
    ::DeleteMenu(::GetSystemMenu(hwnd(), FALSE), SC_MOVE, MF_BYCOMMAND);
  }
}

// Taking topmost away from one form asserts it again for the other topmost
// forms without a taskbar button, so they stay above it.
void WindowObject::ApplyAlwaysOnTop() {
  const bool on = Int(wf::kAlwaysOnTop) != 0;
  ::SetWindowPos(hwnd(), on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, kSwpZOrderOnly);
  topmost = on;
  if (on) return;
  for (forms::FormWindowObject* form : forms::LiveFormWindows()) {
    auto* other = dynamic_cast<WindowObject*>(form);
    if (other == nullptr || other == this || !other->Int(wf::kAlwaysOnTop) ||
        other->Int(wf::kShowInTaskbar)) {
      continue;
    }
    ::SetWindowPos(other->hwnd(), HWND_TOPMOST, 0, 0, 0, 0, kSwpZOrderOnly);
  }
}

// ---- Properties -----------------------------------------------------------------------

void WindowObject::SetProperty(int32_t number, const rt::PropValue& value) {
  if (number < 0 || number >= static_cast<int32_t>(kWindowPropertyCount)) return;
  const size_t field = kWindowFieldOf[number];
  if (IsText(field)) {
    const std::string text = TextOf(value);
    values_.SetText(field, text);
    if (field == wf::kCaption) {
      ::SetWindowTextA(hwnd(), text.c_str());
      SyncStyle();
    }
    return;
  }
  if (IsBytes(field)) {
    if (field == wf::kBackMusic) StopMusic();
    values_.SetBytes(field, BytesOf(value));
    if (field == wf::kBackMusic) StartMusic();
    if (field == wf::kIcon) ApplyIcons();
    if (field == wf::kBackPicture) {
      backPicture_.Reset();
      backPictureTried_ = false;
      RepaintBackground();
    }
    return;
  }
  auto v = static_cast<int32_t>(value.value);
  v = StoredWindowField(static_cast<int32_t>(field), v);
  if (field == wf::kMusicPlayCount) StopMusic();
  StoreInt(field, v);
  switch (field) {
    case wf::kBorderStyle: ApplyBorderStyle(); break;
    case wf::kBackColor: RepaintBackground(); break;
    case wf::kBackPictureMode:
      if (!values_.Bytes(wf::kBackPicture).empty()) RepaintBackground();
      break;
    case wf::kMusicPlayCount: StartMusic(); break;
    case wf::kControlBox:
    case wf::kMaxButton:
    case wf::kMinButton: SyncStyle(); break;
    case wf::kWindowState: ApplyWindowState(); break;
    case wf::kMovable: ApplyMovable(); break;
    case wf::kWindowShape: ApplyShape(); break;
    case wf::kAlwaysOnTop: ApplyAlwaysOnTop(); break;
    default: break;  // stored only
  }
}

// `WindowState` reads the window's live state: 2 minimised, 3 maximised,
// otherwise 0.
bool WindowObject::GetProperty(int32_t number, rt::PropValue& value) const {
  if (number < 0 || number >= static_cast<int32_t>(kWindowPropertyCount)) return false;
  const size_t field = kWindowFieldOf[number];
  if (IsText(field)) {
    value = TextValue(values_.Text(field));
  } else if (IsBytes(field)) {
    value = BytesValue(values_.Bytes(field));
  } else if (field == wf::kWindowState) {
    value = {static_cast<uint32_t>(::IsIconic(hwnd()) ? 2 : ::IsZoomed(hwnd()) ? 3 : 0), 0};
  } else {
    value = {static_cast<uint32_t>(Int(field)), 0};
  }
  return true;
}

// ---- Background music --------------------------------------------------------------------

void WindowObject::StartMusic() {
  const std::vector<uint8_t>& music = values_.Bytes(wf::kBackMusic);
  const int32_t count = Int(wf::kMusicPlayCount);
  if (music.empty() || count == 2) return;
  const bool loop = count == 0;
  switch (SoundKindOf(music.data(), music.size())) {
    case SoundKind::kWave: PlayWave(music.data(), music.size(), loop); break;
    case SoundKind::kMidi:
      if (!midi_) midi_ = std::make_unique<MidiPlayer>();
      midi_->Play(music.data(), music.size(), loop);
      break;
    case SoundKind::kNone: break;
  }
}

// The wave player stops every sound it plays, not only this form's.
void WindowObject::StopMusic() {
  const std::vector<uint8_t>& music = values_.Bytes(wf::kBackMusic);
  switch (SoundKindOf(music.data(), music.size())) {
    case SoundKind::kWave: StopWaves(); break;
    case SoundKind::kMidi:
      if (midi_) midi_->Close();
      break;
    case SoundKind::kNone: break;
  }
}

// ---- The type ------------------------------------------------------------------------------

namespace {

forms::UnitObject* CreateWindowUnit(const forms::CreateRequest& r) {
  forms::PropertyValues values(kWindowBlock);
  WindowObject* unit = nullptr;
  if (forms::ReadBlock(r.data, r.length, values, kWindowClamps) == forms::BlockStatus::kOk) {
    unit = new WindowObject(r.formId, r.unitId, std::move(values));
    if (unit->CreateWindowFor(r)) return unit;
    delete unit;
  }
  return nullptr;  // the framework still owns the menu bar, unless a window took it
}

int32_t SetWindowProperty(forms::UnitObject* unit, int32_t number, rt::PropValue* value) {
  static_cast<WindowObject*>(unit)->SetProperty(number, *value);
  return 0;
}

bool GetWindowProperty(forms::UnitObject* unit, int32_t number, rt::PropValue* value) {
  return static_cast<WindowObject*>(unit)->GetProperty(number, *value);
}

std::vector<uint8_t> WindowPropertyData(forms::UnitObject* unit) {
  return forms::WriteBlock(static_cast<WindowObject*>(unit)->values());
}

std::vector<uint8_t> IconData(const uint8_t* data, uint32_t length) {
  return WindowIconBytes(data, length);
}

std::vector<uint8_t> ListTexts(const uint8_t* data, uint32_t length, forms::TextVisitor visit,
                               void* context) {
  return RewriteWindowTexts(data, length, visit, context);
}

namespace pt = rt::proptype;
constexpr uint32_t kInt = pt::kInteger, kBool = pt::kLogical, kText = pt::kText,
                   kPicture = pt::kPicture, kSound = pt::kSound, kIconBytes = pt::kIcon;

const rt::PropertyInfo kWindowOwnProperties[kWindowPropertyCount] = {
    {"标题", "Caption", nullptr, kText, nullptr},
    {"边框", "BorderStyle", nullptr, kInt, nullptr},
    {"背景颜色", "BackColor", nullptr, kInt, nullptr},
    {"底图", "BackPicture", nullptr, kPicture, nullptr},
    {"底图方式", "BackPictureMode", nullptr, kInt, nullptr},
    {"背景音乐", "BackMusic", nullptr, kSound, nullptr},
    {"播放次数", "MusicPlayCount", nullptr, kInt, nullptr},
    {"控制按钮", "ControlBox", nullptr, kBool, nullptr},
    {"最大化按钮", "MaxButton", nullptr, kBool, nullptr},
    {"最小化按钮", "MinButton", nullptr, kBool, nullptr},
    {"位置", "WindowState", nullptr, kInt, nullptr},
    {"可否移动", "Movable", nullptr, kBool, nullptr},
    {"图标", "Icon", nullptr, kIconBytes, nullptr},
    {"回车下移焦点", "EnterMovesFocus", nullptr, kBool, nullptr},
    {"Esc键关闭", "EscCloses", nullptr, kBool, nullptr},
    {"F1键打开帮助", "F1OpensHelp", nullptr, kBool, nullptr},
    {"帮助文件名", "HelpFile", nullptr, kText, nullptr},
    {"帮助标志值", "HelpTopic", nullptr, kInt, nullptr},
    {"在任务条中显示", "ShowInTaskbar", nullptr, kBool, nullptr},
    {"随意移动", "DragAnywhere", nullptr, kBool, nullptr},
    {"外形", "WindowShape", nullptr, kInt, nullptr},
    {"总在最前", "AlwaysOnTop", nullptr, kBool, nullptr},
    {"保持标题条激活", "KeepTitleActive", nullptr, kBool, nullptr},
    {"窗口类名", "ClassName", nullptr, kText, nullptr},
};
constexpr auto kWindowProperties = WithCommonProperties(kWindowOwnProperties);

namespace tf = rt::typeflag;
constexpr forms::UnitTypeDescription kWindowDescription = {
    "窗口",
    "window",
    tf::kAlwaysSet | tf::kChildrenMove | tf::kWindowUnit | tf::kNeverRebuilt,
    kWindowProperties.data(),
    kWindowProperties.size(),
    &CreateWindowUnit,
    &SetWindowProperty,
    &WindowPropertyData,
    &GetWindowProperty,
    &ListTexts,
    &IconData};

}  // namespace

const rt::UnitTypeRecord& WindowType() { return forms::TypeRecordOf<kWindowDescription>(); }

}  // namespace units
