// The ping probe: one ICMP echo request to the portal's host.
#pragma once

#include <cstdint>

#include "text/Text.h"

namespace vd {

constexpr int32_t kPingTimeoutMs = 2000;

// Round-trip time in milliseconds (0 or more) of a successful echo reply, -1 for any failure.
// The name is looked up anew on every call; a dotted IPv4 address is used as it is.
int32_t PingHost(const Text& host, int32_t timeoutMs);

// Serves the worker's queue once, then pings the portal host; true when it answered.
bool PingProbe();

}  // namespace vd
