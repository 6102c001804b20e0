#pragma once
// The list box's portable rules: the creation style, the selection index it
// keeps, and the row numbers of its `ItemData` bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace units {

// The control's style from the stored properties, without the framework's
// visibility, disabled and tab-stop bits: a notifying child list with tab
// stops and no integral height, sorted only when no data source is named,
// several columns (horizontal scrolling) or one (vertical scrolling), and
// extended selection when `multiSelect` is set.
uint32_t ListBoxStyle(bool sorted, bool hasDataSource, bool multiColumn, bool multiSelect);

// `CurrentIndex` for a list of `rows` rows: −1 (none) up to the last row.
int32_t ClampListIndex(int32_t value, int32_t rows);

// The whole little-endian 32-bit numbers in `ItemData`, in row order.
size_t ItemNumberCount(const std::vector<uint8_t>& itemData);
uint32_t ItemNumber(const std::vector<uint8_t>& itemData, size_t row);

// A row height the control takes: the sum cut to 16 bits.
inline uint32_t RowHeight(int32_t height, int32_t spacing) {
  return static_cast<uint32_t>(height + spacing) & 0xFFFF;
}

// The design-time texts request: reads a list box block and shows `visit`
// the font's face name (only for a 60-byte font), every text of `Items`,
// `DataSource` and `DataField`, in this order; each may be changed, and the
// block comes back rewritten (empty when the block is refused). A face name
// is cut to 31 bytes.
std::vector<uint8_t> RewriteListBoxTexts(const uint8_t* data, size_t length,
                                         void (*visit)(void* context, std::string& text),
                                         void* context);

}  // namespace units
