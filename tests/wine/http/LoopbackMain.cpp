// gtest main for the exes that run_wine_http.py starts: GoogleTest takes its own flags first,
// the server ports follow as --port=N, --proxy-port=N and --closed-port=N.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "LoopbackArgs.h"
#include "text/Text.h"

namespace vd::test {

namespace {
LoopbackArgs args;

bool ReadPort(const char* arg, const char* name, int& port) {
  const size_t n = std::strlen(name);
  if (std::strncmp(arg, name, n) != 0) return false;
  port = std::atoi(arg + n);
  return true;
}
}  // namespace

const LoopbackArgs& Loopback() { return args; }

std::vector<std::string> RawRequest::Values(const std::string& name) const {
  std::vector<std::string> values;
  for (const auto& header : headers) {
    if (ToLowerAscii(header.first) == ToLowerAscii(name)) values.push_back(header.second);
  }
  return values;
}

RawRequest ParseRequest(const std::string& raw) {
  RawRequest request;
  const size_t end = raw.find("\r\n\r\n");
  const std::string head = raw.substr(0, end);
  if (end != std::string::npos) request.body = raw.substr(end + 4);
  size_t pos = 0;
  bool first = true;
  while (pos <= head.size()) {
    size_t next = head.find("\r\n", pos);
    if (next == std::string::npos) next = head.size();
    const std::string line = head.substr(pos, next - pos);
    if (first) {
      request.requestLine = line;
      first = false;
    } else {
      const size_t colon = line.find(':');
      std::string value = colon == std::string::npos ? "" : line.substr(colon + 1);
      value.erase(0, value.find_first_not_of(' '));
      request.headers.emplace_back(line.substr(0, colon), value);
    }
    pos = next + 2;
  }
  return request;
}

}  // namespace vd::test

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  vd::test::LoopbackArgs& args = vd::test::args;
  for (int i = 1; i < argc; ++i) {
    if (!vd::test::ReadPort(argv[i], "--port=", args.port) &&
        !vd::test::ReadPort(argv[i], "--proxy-port=", args.proxyPort) &&
        !vd::test::ReadPort(argv[i], "--closed-port=", args.closedPort)) {
      std::fprintf(stderr, "unknown argument %s\n", argv[i]);
      return 2;
    }
  }
  return RUN_ALL_TESTS();
}
