#include <gtest/gtest.h>

#include "watch/PingReply.h"

namespace vd {
namespace {

struct Reply {
  const char* name;
  uint32_t stored;
  uint32_t status;
  uint32_t roundTrip;
  int32_t time;
  bool probe;
};

class PingReplyTest : public ::testing::TestWithParam<Reply> {};

// Only a successful echo counts, by its status; a reply in under a millisecond (time 0) is a
// working network, and an error reply with a time is not.
TEST_P(PingReplyTest, TimeAndProbeResult) {
  const Reply& r = GetParam();
  const int32_t time = PingReplyTime(r.stored, r.status, r.roundTrip);
  EXPECT_EQ(time, r.time);
  EXPECT_EQ(PingSucceeded(time), r.probe);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PingReplyTest,
    ::testing::Values(Reply{"Answered25ms", 1, 0, 25, 25, true},
                      Reply{"AnsweredUnderOneMs", 1, 0, 0, 0, true},
                      Reply{"NothingStored", 0, 0, 0, -1, false},
                      Reply{"NothingStoredPrimedTime", 0, 0, 0xFFFFFFFF, -1, false},
                      Reply{"HostUnreachableWithTime", 1, 11003, 12, -1, false},
                      Reply{"TtlExpiredWithTime", 1, 11013, 3, -1, false},
                      Reply{"TimedOut", 1, 11010, 2000, -1, false},
                      Reply{"SuccessButTimeNeverWritten", 1, 0, 0xFFFFFFFF, -1, false}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace vd
