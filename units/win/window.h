#pragma once
// The core library's `window` unit (type number 1): the form itself. It owns
// the form's top-level window and what belongs to the form as a whole: frame
// and caption, background colour and picture, background music, window and
// tray icons, the window shape, the topmost state, the form's keys (Enter,
// Esc, F1, dragging) and the form-level events 0 to 11.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "forms/property_block.h"
#include "forms/win/unit.h"
#include "runtime/program.h"
#include "runtime/win/handles.h"
#include "units/win/sound.h"

namespace units {

inline constexpr uint32_t kWindowTypeNumber = 1;
inline constexpr uint32_t kWindowTypeCode = 0x00010001;
inline constexpr UINT kTrayCallbackMessage = 0x8064;
inline constexpr UINT kTrayIconId = 100;

// What the tray icon operation calls Shell_NotifyIconA through (message,
// NOTIFYICONDATAA record); tests put in their own and null restores it.
using TrayPort = bool (*)(uint32_t message, void* data);
void SetTrayPortForTest(TrayPort port);

// The type record, for slot 1 of the core library's type table.
const rt::UnitTypeRecord& WindowType();

class WindowObject : public forms::FormWindowObject {
 public:
  WindowObject(uint32_t formId, uint32_t unitId, forms::PropertyValues values);
  ~WindowObject() override;

  const forms::PropertyValues& values() const { return values_; }
  int32_t Int(size_t field) const;  // a field of `windowfield`

  // Set and get by own property number; get is false for an unknown number.
  void SetProperty(int32_t number, const rt::PropValue& value);
  bool GetProperty(int32_t number, rt::PropValue& value) const;

  // The tray icon operation: shows, replaces or removes the tray icon. The
  // window takes ownership of `icon`.
  void SetTrayIcon(HICON icon, const char* tip);
  HICON trayIcon() const { return trayIcon_.get(); }

  int StartState() const override;
  void ShowMaximised() override;
  bool HandleFormKey(int keyCode) override;
  bool HandleDragPress(MSG& msg, forms::UnitObject* target, uint32_t typeFlags) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Makes the form window: its style from the frame properties and the
  // window state, its class, the window itself, and what it shows first
  // (the object is new and not yet attached).
  bool CreateWindowFor(const forms::CreateRequest& request);

 private:
  // Properties.
  void StoreInt(size_t field, int32_t value);
  void SyncStyle();
  void ChangeStyle(int index, uint32_t remove, uint32_t add);
  void ApplyBorderStyle();
  void ApplyWindowState();
  void ApplyMovable();
  void ApplyAlwaysOnTop();
  // Painting and looks (window_look.cpp).
  void RepaintBackground();
  void PaintBackground(HDC dc);
  void DrawBackPicture(HDC dc, const RECT& clip, HRGN remaining);
  void ApplyShape();
  void ApplyIcons();
  // Music.
  void StartMusic();
  void StopMusic();
  // Events and keys.
  LRESULT OnClose();
  LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
  void OnSetFocus();
  void OnDestroy();
  bool OpenHelp();

  forms::PropertyValues values_;
  rt::GdiBitmap backPicture_;  // from BackPicture, made on first paint
  bool backPictureTried_ = false;
  HICON bigIcon_ = nullptr, smallIcon_ = nullptr;  // as sent to the window
  rt::IconHandle ownedBig_, ownedSmall_;           // when made from `Icon`
  rt::IconHandle trayIcon_;
  bool trayShown_ = false;
  bool firstActivationDone_ = false;
  bool helpOpened_ = false;
  bool inActivationEvent_ = false;
  HWND keptFocus_ = nullptr;
  std::unique_ptr<MidiPlayer> midi_;
};

}  // namespace units
