// The write rules of the countdown timer's period, for whoever owns the timer.
#pragma once

#include <cstdint>
#include <optional>

namespace vd {

// What writing `requested` to a timer whose period is `current` does: nothing (the timer keeps
// its phase), or the new period to store and restart with (0: leave it stopped). A negative
// request counts as 0.
std::optional<int32_t> TimerPeriodAfterWrite(int32_t current, int32_t requested);

}  // namespace vd
