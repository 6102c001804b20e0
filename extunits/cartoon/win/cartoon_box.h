#pragma once
// The `CartoonBox` unit (type 8 of the extended UI library 2): a child
// window showing a background surface and, over it, the live objects of its
// Scene. It runs the Scene's step on a 5 ms timer, feeds it the mouse,
// raises its events and paints by compositing the clip box in memory and
// copying it with one SetDIBitsToDevice.

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

#include "extunits/cartoon/scene.h"
#include "forms/property_block.h"
#include "forms/win/unit.h"
#include "runtime/program.h"
#include "runtime/win/handles.h"

namespace cartoon {

inline constexpr uint32_t kCartoonBoxTypeNumber = 8;
inline constexpr uint32_t kCartoonBoxTypeCode = 0x00020008;

const rt::UnitTypeRecord& CartoonBoxType();

// The millisecond clock of every box; null restores GetTickCount. For tests.
void SetClockForTest(uint64_t (*clock)());

// A font made from a 60-byte LOGFONTA block with DEFAULT_CHARSET, PROOF_QUALITY
// and zero precisions and pitch put in place; empty for any other block.
rt::GdiFont FontFromBlock(const std::vector<uint8_t>& block);

class CartoonBoxUnit : public forms::UnitObject, public Host {
 public:
  CartoonBoxUnit(uint32_t formId, uint32_t unitId, forms::PropertyValues values);
  ~CartoonBoxUnit() override;

  Scene& scene() { return scene_; }
  const forms::PropertyValues& values() const { return values_; }
  int32_t Int(size_t field) const;  // a field of extunits::cartoonboxfield

  void SetProperty(int32_t number, const rt::PropValue& value);
  bool GetProperty(int32_t number, rt::PropValue& value) const;
  // After the window exists: border, drawing objects, background, timer.
  void Start();
  // One step of the 5 ms timer, as WM_TIMER runs it.
  void TimerStep();

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Host
  std::optional<uint64_t> Raise(int32_t event, std::initializer_list<int32_t> args) override;
  void Invalidate(const Rect& area) override;
  void PlaySound(const std::vector<uint8_t>& bytes) override;
  uint64_t Now() override;
  int32_t ClientWidth() override;
  int32_t ClientHeight() override;
  bool KeyDown(int32_t key) override;
  int32_t ShiftState() override;
  void Wake() override;

 private:
  void MakePen();
  void MakeBrush();
  void ForgetBackground();
  void MakeBackground();
  void DrawBackPicture(HDC dc, int32_t width, int32_t height);
  void Paint();
  void PaintArea(HDC dc, const RECT& clip);
  bool Mouse(UINT message, LPARAM lParam, WPARAM wParam);
  void SetInterval(UINT interval);
  void Reschedule(uint64_t now);

  forms::PropertyValues values_;
  Scene scene_;
  rt::GdiBitmap background_;  // a DIB section of the client size
  const uint32_t* backPixels_ = nullptr;
  bool backStale_ = true;  // made again at the next paint
  int32_t backWidth_ = 0, backHeight_ = 0;
  rt::GdiPen pen_;
  rt::GdiBrush brush_;
  rt::GdiFont font_;
  bool dirty_ = false;  // invalidated since the last paint
  UINT interval_ = 0;   // of the running timer, 0 when none
  uint64_t ticks_ = 0;
  DWORD lastTick_ = 0;
};

}  // namespace cartoon
