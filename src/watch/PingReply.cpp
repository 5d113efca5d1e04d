#include "watch/PingReply.h"

namespace vd {

int32_t PingReplyTime(uint32_t repliesStored, uint32_t status, uint32_t roundTripTime) {
  constexpr uint32_t kSuccess = 0;  // IP_SUCCESS
  if (repliesStored == 0 || status != kSuccess) return -1;
  if (roundTripTime > 0x7FFFFFFFu) return -1;  // the -1 the buffer was primed with
  return static_cast<int32_t>(roundTripTime);
}

bool PingSucceeded(int32_t roundTripTime) { return roundTripTime >= 0; }

}  // namespace vd
