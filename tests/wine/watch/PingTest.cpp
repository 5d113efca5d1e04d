// Pings stay on loopback: the portal host is only pinged where it resolves to 127.0.0.1, as it
// does inside the test network namespace.
#include <gtest/gtest.h>
#include <winsock2.h>

#include <cstdio>
#include <thread>

#include "WineTestUtil.h"
#include "text/Texts.h"
#include "watch/Ping.h"

namespace vd {
namespace {

using testing::NowMs;

// Declared first so that it is the process's first ping: two workers (a stopped one finishing
// its probe and the new one) may both start the echo service; neither may see it half set up.
TEST(PingHostTest, FirstUseFromTwoThreadsAtOnce) {
  int32_t a = -2, b = -2;
  std::thread first([&] { a = PingHost("127.0.0.1", kPingTimeoutMs); });
  std::thread second([&] { b = PingHost("127.0.0.1", kPingTimeoutMs); });
  first.join();
  second.join();
  EXPECT_GE(a, 0);
  EXPECT_GE(b, 0);
}

TEST(PingHostTest, LoopbackAnswersWithItsTime) {
  for (int i = 0; i < 5; ++i) {
    const double start = NowMs();
    const int32_t time = PingHost("127.0.0.1", kPingTimeoutMs);
    std::printf("127.0.0.1: %d ms reported, %.1f ms measured\n", time, NowMs() - start);
    EXPECT_GE(time, 0);
    EXPECT_LT(time, 1000);
  }
}

TEST(PingHostTest, UnresolvableNameFailsWithoutWaitingForTheTimeout) {
  const double start = NowMs();
  EXPECT_EQ(PingHost("no-such-host.invalid", kPingTimeoutMs), -1);
  const double elapsed = NowMs() - start;
  std::printf("unresolvable name: %.1f ms\n", elapsed);
  EXPECT_LT(elapsed, 1900);
}

TEST(PingHostTest, EmptyHostFails) { EXPECT_EQ(PingHost("", kPingTimeoutMs), -1); }

bool PortalIsLoopback() {
  const hostent* entry = ::gethostbyname(texts::kPortalHost);  // the echo service started WSA
  return entry && entry->h_addr_list[0] &&
         *reinterpret_cast<const u_long*>(entry->h_addr_list[0]) == ::inet_addr("127.0.0.1");
}

// Loopback answers in 0 or 1 ms; a 0 ms answer is a working network.
TEST(PingProbeTest, SucceedsOnEveryLoopbackAnswer) {
  ASSERT_GE(PingHost("127.0.0.1", kPingTimeoutMs), 0);
  if (!PortalIsLoopback()) GTEST_SKIP() << "portal host is not mapped to loopback here";
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(PingProbe());
}

}  // namespace
}  // namespace vd
