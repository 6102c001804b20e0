#include "units/range_rules.h"

#include <algorithm>
#include <cstdlib>

#include "units/blocks.h"

namespace units {

namespace sf = hscrollbarfield;
namespace lf = sliderbarfield;

int32_t StoredScrollBarValue(int32_t number, int32_t value) {
  switch (number) {
    case sf::kMinimum:
    case sf::kMaximum:
    case sf::kPosition: return std::clamp(value, 0, kRangeLimit);
    case sf::kPageChange:
    case sf::kLineChange: return std::clamp(value, 1, kRangeLimit);
    default: return value;
  }
}

int32_t StoredSliderValue(int32_t number, int32_t value) {
  switch (number) {
    case lf::kBorderStyle: return std::clamp(value, 0, 5);
    case lf::kOrientation: return std::clamp(value, 0, 1);
    case lf::kTickStyle: return std::clamp(value, 0, 3);
    case lf::kSelectionStart:
    case lf::kSelectionLength:
    case lf::kTickFrequency:
    case lf::kMinimum:
    case lf::kMaximum:
    case lf::kPosition: return std::clamp(value, 0, kRangeLimit);
    case lf::kPageSize:
    case lf::kLineSize: return std::clamp(value, 1, kRangeLimit);
    default: return value;
  }
}

namespace {
size_t SameField(int32_t number) { return static_cast<size_t>(number); }
}  // namespace

const forms::IntClamps kScrollBarClamps = {static_cast<int32_t>(sf::kTrackDrag) + 1, SameField,
                                           StoredScrollBarValue};
const forms::IntClamps kSliderClamps = {static_cast<int32_t>(lf::kPosition) + 1, SameField,
                                        StoredSliderValue};

Range SortedRange(int32_t minimum, int32_t maximum) {
  return {std::min(minimum, maximum), std::max(minimum, maximum)};
}

int32_t ShownPosition(int32_t minimum, int32_t maximum, int32_t position) {
  return std::min(maximum, std::max(minimum, position));
}

// The ends are 0..32767 each, so the span cannot overflow.
int32_t StepSize(int32_t minimum, int32_t maximum, int32_t value) {
  return std::max(1, std::min(std::abs(maximum - minimum), value));
}

namespace {

// The unclamped target of a code; nothing when the code moves nothing.
std::optional<int32_t> Target(const ScrollSteps& s, int32_t code, int32_t thumb, Range range) {
  switch (code) {
    case scroll::kLineLeft: return s.position - s.lineChange;
    case scroll::kLineRight: return s.position + s.lineChange;
    case scroll::kPageLeft: return s.position - s.pageChange;
    case scroll::kPageRight: return s.position + s.pageChange;
    case scroll::kThumbPosition: return thumb;
    case scroll::kThumbTrack:
      if (!s.trackDrag) return std::nullopt;
      return thumb;
    case scroll::kLeft: return range.low;
    case scroll::kRight: return range.high;
    case scroll::kEndScroll: return std::nullopt;
    default: return s.position;
  }
}

}  // namespace

std::optional<int32_t> ScrolledPosition(const ScrollSteps& steps, int32_t code, int32_t thumb,
                                        Range range) {
  std::optional<int32_t> target = Target(steps, code, thumb, range);
  if (!target) return std::nullopt;
  const int32_t value = std::min(range.high, std::max(range.low, *target));
  if (value == steps.position) return std::nullopt;
  return value;
}

Range SelectionEnds(int32_t minimum, int32_t maximum, int32_t start, int32_t length) {
  return {ShownPosition(minimum, maximum, start), ShownPosition(minimum, maximum, start + length)};
}

uint32_t SliderStyle(int32_t orientation, int32_t tickStyle, bool selectionEnabled) {
  constexpr uint32_t kChildAutoTicks = 0x44000001;  // WS_CHILD | WS_CLIPSIBLINGS | TBS_AUTOTICKS
  constexpr uint32_t kVertical = 0x2, kSelectionRange = 0x20;
  constexpr uint32_t kTicks[4] = {0x10, 0x4, 0x0, 0x8};  // none, top, bottom, both
  uint32_t style = kChildAutoTicks;
  if (orientation == 1) style |= kVertical;
  if (tickStyle >= 0 && tickStyle <= 3) style |= kTicks[tickStyle];
  if (selectionEnabled) style |= kSelectionRange;
  return style;
}

}  // namespace units
