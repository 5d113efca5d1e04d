#include "watch/DueTime.h"

#include <limits>

namespace vd {

int32_t DelayUnitFactor(int32_t unit) {
  switch (unit) {
    case kMilliseconds:
      return 1;
    case kSeconds:
      return 1000;
    case kMinutes:
      return 60000;
    case kHours:
      return 3600000;
    default:
      return 0;
  }
}

// Computed in double precision and truncated toward zero; that is exact for every 32-bit
// interval in the three smaller units. Hours can leave the 64-bit range, so clamp rather than
// convert out of range (undefined behaviour).
int64_t DelayDueTime(int32_t interval, int32_t unit) {
  const double due =
      static_cast<double>(interval) * static_cast<double>(DelayUnitFactor(unit)) * -10000.0;
  constexpr double kLimit = 9223372036854775807.0;  // rounds to 2^63
  if (due >= kLimit) return std::numeric_limits<int64_t>::max();
  if (due <= -kLimit) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(due);
}

uint64_t DelayMilliseconds(int32_t interval, int32_t unit) {
  const int64_t due = DelayDueTime(interval, unit);
  if (due >= 0) return 0;
  return (0 - static_cast<uint64_t>(due)) / 10000;  // unsigned: no overflow at the 64-bit minimum
}

}  // namespace vd
