// How one echo exchange turns into a round-trip time and a probe result.
#pragma once

#include <cstdint>

namespace vd {

// The round-trip time in milliseconds of the first stored reply, or -1 when nothing was stored
// or the reply is not a successful echo (unreachable, expired and the like also carry a time).
int32_t PingReplyTime(uint32_t repliesStored, uint32_t status, uint32_t roundTripTime);

// A reply in under a millisecond reports 0 and still proves the host answered.
bool PingSucceeded(int32_t roundTripTime);

}  // namespace vd
