#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "watch/DueTime.h"

namespace vd {
namespace {

struct Due {
  int32_t interval;
  int32_t unit;
  int64_t due;
  uint64_t milliseconds;
};

class DueTimeTest : public ::testing::TestWithParam<Due> {};

TEST_P(DueTimeTest, SpanInHundredsOfNanoseconds) {
  EXPECT_EQ(DelayDueTime(GetParam().interval, GetParam().unit), GetParam().due);
  EXPECT_EQ(DelayMilliseconds(GetParam().interval, GetParam().unit), GetParam().milliseconds);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DueTimeTest,
    ::testing::Values(Due{5, kSeconds, -50000000, 5000},
                      Due{INT_MAX, kSeconds, -21474836470000000, 2147483647000},
                      Due{250, kMilliseconds, -2500000, 250}, Due{0, kSeconds, 0, 0},
                      // Positive: an absolute time in 1601, long past, so the timer fires at once.
                      Due{-5, kSeconds, 50000000, 0}, Due{INT_MIN, kSeconds, 21474836480000000, 0},
                      Due{1, kMinutes, -600000000, 60000},
                      Due{INT_MAX, kMinutes, -1288490188200000000, 128849018820000},
                      Due{2, kHours, -72000000000, 7200000},
                      // Beyond the 64-bit range: clamped, not undefined.
                      Due{INT_MAX, kHours, INT64_MIN, 922337203685477},
                      Due{INT_MIN, kHours, INT64_MAX, 0}, Due{5, 7, 0, 0}));

}  // namespace
}  // namespace vd
