#include "watch/TimerPeriod.h"

namespace vd {

std::optional<int32_t> TimerPeriodAfterWrite(int32_t current, int32_t requested) {
  const int32_t period = requested < 0 ? 0 : requested;
  if (period == current) return std::nullopt;
  return period;
}

}  // namespace vd
