// Ports of the loopback servers that run_wine_http.py started for this exe, and a reading of
// the raw request bytes those servers echo back.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vd::test {

struct LoopbackArgs {
  int port = 0;        // the recording server
  int proxyPort = 0;   // a proxy that echoes what it receives
  int closedPort = 0;  // bound, not listening: connections are refused
};
const LoopbackArgs& Loopback();

// One HTTP request as it arrived: request line, header lines in order, body.
struct RawRequest {
  std::string requestLine;
  std::vector<std::pair<std::string, std::string>> headers;  // name, value as sent
  std::string body;

  // The values of every header line with this name (names compared ignoring case).
  std::vector<std::string> Values(const std::string& name) const;
};
RawRequest ParseRequest(const std::string& raw);

}  // namespace vd::test
