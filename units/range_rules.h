#pragma once
// The arithmetic of the range units (the horizontal scroll bar and the
// slider): clamping written values, the sorted range, the position a control
// shows, step sizes, and what a user's scroll code makes of the position.

#include <cstdint>
#include <optional>

#include "forms/property_block.h"

namespace units {

// Every range value the program writes ends up in 0..32767.
inline constexpr int32_t kRangeLimit = 32767;

// What a set of an own property stores (own numbers are the block's field
// positions): the range values in 0..32767, the steps in 1..32767, a
// border style in 0..5, the slider's orientation in 0..1 and its tick
// style in 0..3; the rest as given. Loading applies the same clamps.
int32_t StoredScrollBarValue(int32_t number, int32_t value);
int32_t StoredSliderValue(int32_t number, int32_t value);
extern const forms::IntClamps kScrollBarClamps;
extern const forms::IntClamps kSliderClamps;

struct Range {
  int32_t low;
  int32_t high;
};

// The control's range: the two ends in ascending order.
Range SortedRange(int32_t minimum, int32_t maximum);

// The position a control shows: raised to `minimum`, then lowered to
// `maximum` (so `maximum` wins when the ends are swapped).
int32_t ShownPosition(int32_t minimum, int32_t maximum, int32_t position);

// A slider's line, page or tick step: `value` limited to the span between
// the ends, and never below 1.
int32_t StepSize(int32_t minimum, int32_t maximum, int32_t value);

// Scroll codes as the scroll bar reports them (the SB_* numbering).
namespace scroll {
enum : int32_t {
  kLineLeft = 0,
  kLineRight = 1,
  kPageLeft = 2,
  kPageRight = 3,
  kThumbPosition = 4,
  kThumbTrack = 5,
  kLeft = 6,
  kRight = 7,
  kEndScroll = 8,
};
}  // namespace scroll

// What a scroll bar keeps for user scrolling.
struct ScrollSteps {
  int32_t position;  // the stored position
  int32_t lineChange;
  int32_t pageChange;
  bool trackDrag;
};

// The new position after a scroll code, clamped into `range`; nothing when
// the code moves nothing or the result equals the stored position (then no
// event is raised either).
std::optional<int32_t> ScrolledPosition(const ScrollSteps& steps, int32_t code, int32_t thumb,
                                        Range range);

// The slider's track bar codes: every one raises the event but this one.
inline constexpr int32_t kTrackBarEndTrack = 8;

// The selection a slider shows: both ends placed like the shown position.
Range SelectionEnds(int32_t minimum, int32_t maximum, int32_t start, int32_t length);

// The slider's creation style without the framework's bits: a child track
// bar with automatic ticks, vertical for `orientation` 1, tick marks by
// `tickStyle` (0 none, 1 top or left, 2 bottom or right, 3 both sides), and
// a selection range when enabled.
uint32_t SliderStyle(int32_t orientation, int32_t tickStyle, bool selectionEnabled);

}  // namespace units
