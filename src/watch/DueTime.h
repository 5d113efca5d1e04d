// The due time of one interruptible delay, in the form a waitable timer takes.
#pragma once

#include <cstdint>

namespace vd {

// Interval units of the delay; the code is the factor's index.
enum DelayUnit : int32_t {
  kMilliseconds = 0,
  kSeconds = 1,
  kMinutes = 2,
  kHours = 3,
};

// Milliseconds per unit; 0 for a code outside 0..3.
int32_t DelayUnitFactor(int32_t unit);

// interval × factor × -10000 in 100 ns units: negative means a span from now; an interval of 0
// or less gives 0 or a positive absolute time long past, so the timer fires at once.
int64_t DelayDueTime(int32_t interval, int32_t unit);

// The same span in whole milliseconds, 0 when the interval is 0 or less.
uint64_t DelayMilliseconds(int32_t interval, int32_t unit);

}  // namespace vd
