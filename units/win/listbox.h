#pragma once
// The core library's `ListBox` unit (type number 15): a list box control.
// The unit keeps its property copy (the rows and row numbers that fill the
// control whenever it is created) apart from the live rows, which commands
// change directly; it owns the control's background brush and font.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "forms/property_block.h"
#include "forms/win/unit.h"
#include "runtime/program.h"
#include "runtime/win/handles.h"

namespace units {

inline constexpr uint32_t kListBoxTypeNumber = 15;
inline constexpr uint32_t kListBoxTypeCode = 0x0001000F;

// Own property numbers (overall number - 8).
namespace listboxprop {
enum : int32_t {
  kBorderStyle,
  kSorted,
  kMultiColumn,
  kRowSpacing,
  kTextColor,
  kBackColor,
  kFont,
  kMultiSelect,
  kCurrentIndex,
  kItems,
  kItemData,
  kDataSource,
  kDataField,
  kBindingFlag,
  kCount,
};
}  // namespace listboxprop

// The type record, for slot 15 of the core library's type table.
const rt::UnitTypeRecord& ListBoxType();

class ListBoxObject : public forms::UnitObject {
 public:
  ListBoxObject(uint32_t formId, uint32_t unitId, forms::PropertyValues values);

  const forms::PropertyValues& values() const { return values_; }
  // Builds the control from the property copy; false when it cannot be made.
  bool CreateControl(const forms::CreateRequest& request);

  // By own property number. Set answers 1 when the control must be
  // re-created; get is false for an unknown number.
  int32_t SetProperty(int32_t number, const rt::PropValue& value);
  bool GetProperty(int32_t number, rt::PropValue& value);

  bool Reflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  int32_t Int(int32_t number) const;
  void Store(int32_t number, int32_t value);
  int32_t SetRowSpacing(int32_t value);
  void SetFont(std::vector<uint8_t> block);
  void SetCurrentIndex(int32_t value);
  int32_t ReadCurrentIndex();
  void MakeBrush();
  void Fill();
  void Notified(int code);
  LRESULT SendToControl(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

  forms::PropertyValues values_;
  rt::GdiBrush brush_;
  rt::GdiFont font_;
  std::vector<uint8_t> itemsRead_;  // the last `Items` value handed out
};

// Appends a row to a list box unit's live control: the text (null is the
// empty text) and its row number (kept sign-extended, so a row number reads
// back the same on 32 and 64 bits). The answer is the new row's index (the
// control's sorting decides where it lands), or -1 when the control refused
// it or `unit` is no list box. The rows do not enter `Items` or `ItemData`,
// so a re-created control loses them.
int32_t ListBoxAddItem(forms::UnitObject* unit, const char* text, int32_t data);

}  // namespace units
