// The pause between probes: a one-shot waitable timer, while the calling thread's own message
// queue keeps being served.
#pragma once

#include <windows.h>

#include <cstdint>

namespace vd {

// Waits `interval` units (see DelayUnit) and returns true. With a `stop` handle, its signal ends
// the wait early and the result is false; without one, the wait is on the timer alone.
bool InterruptibleDelay(int32_t interval, int32_t unit, HANDLE stop = nullptr);

// Dispatches the calling thread's waiting messages; a WM_QUIT stays in the queue.
void DispatchPendingMessages();

}  // namespace vd
