#include <gtest/gtest.h>

#include "watch/TimerPeriod.h"

namespace vd {
namespace {

struct Write {
  int32_t current;
  int32_t requested;
  std::optional<int32_t> result;
};

class TimerPeriodTest : public ::testing::TestWithParam<Write> {};

TEST_P(TimerPeriodTest, RestartsOnlyOnAChange) {
  EXPECT_EQ(TimerPeriodAfterWrite(GetParam().current, GetParam().requested), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Table, TimerPeriodTest,
                         ::testing::Values(Write{1000, 1000, std::nullopt},  // keeps its phase
                                           Write{1000, 0, 0}, Write{0, 1000, 1000},
                                           Write{0, 0, std::nullopt}, Write{1000, -5, 0},
                                           Write{0, -5, std::nullopt}, Write{1000, 500, 500}));

}  // namespace
}  // namespace vd
