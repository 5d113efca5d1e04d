#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>

#include "FakeUi.h"
#include "watch/WatchCycle.h"

namespace vd {
namespace {

using testing::AlarmWrites;
using testing::CountdownText;
using ::testing::ElementsAre;
using testing::FakeUi;
using ::testing::IsEmpty;
using testing::NormalWrites;

// A cycle after start-up: blue "ready" label, one worker applied, log cleared.
class CycleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui.colour = kBlue;
    worker = cycle.Apply(ui);
    ui.log.clear();
  }
  void Tick(int n = 1) {
    for (int i = 0; i < n; ++i) cycle.Tick(ui, shutdown);
  }

  FakeUi ui;
  WatchCycle cycle;
  uint32_t worker = 0;
  std::vector<std::string> requests;
  ShutdownActions shutdown{[this] { requests.push_back("forced"); },
                           [this] { requests.push_back("plain"); }};
};

TEST_F(CycleTest, ApplyReadsLengthThenPeriodAndWritesNothing) {
  FakeUi fresh;
  fresh.lengthText = "30";
  fresh.periodText = "7";
  WatchCycle c;
  const uint32_t id = c.Apply(fresh);
  EXPECT_THAT(fresh.log, ElementsAre("read length", "read period"));
  EXPECT_EQ(c.Length(), 30);
  EXPECT_EQ(c.Period(), 7);
  EXPECT_EQ(c.Counter(), 30);
  EXPECT_EQ(c.State(), kWatchStart);
  EXPECT_NE(id, 0u);
  EXPECT_TRUE(c.IsCurrent(id));
}

TEST_F(CycleTest, ApplyTakesTextsThroughTheNumberRule) {
  ui.lengthText = "";
  ui.periodText = "7s";
  cycle.Apply(ui);
  EXPECT_EQ(cycle.Length(), 0);
  EXPECT_EQ(cycle.Period(), 7);
}

// Every row of the transition table: the state before, the label colour on display, the result.
struct Transition {
  const char* name;
  int32_t from;
  uint32_t colour;
  bool succeeded;
  int32_t to;
  std::vector<std::string> writes;
};

class TransitionTest : public CycleTest, public ::testing::WithParamInterface<Transition> {};

TEST_P(TransitionTest, WritesInOrder) {
  const Transition& t = GetParam();
  if (t.from != kWatchStart) cycle.OnProbeResult(worker, t.from == kWatchNormal, ui);
  ASSERT_EQ(cycle.State(), t.from);
  Tick(3);  // moves the counter in an Alarm, so that a reset shows
  const int32_t counter = cycle.Counter();
  ui.colour = t.colour;
  ui.log.clear();

  cycle.OnProbeResult(worker, t.succeeded, ui);
  EXPECT_EQ(ui.log, t.writes);
  EXPECT_EQ(cycle.State(), t.to);
  EXPECT_EQ(cycle.Counter(), t.succeeded ? cycle.Length() : counter);
  EXPECT_THAT(requests, IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, TransitionTest,
    ::testing::Values(
        Transition{"StartSuccess", kWatchStart, kBlue, true, kWatchNormal, NormalWrites()},
        Transition{"NormalSuccess", kWatchNormal, kBlue, true, kWatchNormal, NormalWrites()},
        Transition{"AlarmSuccess", kWatchAlarm, kRed, true, kWatchNormal, NormalWrites()},
        Transition{"StartFailure", kWatchStart, kBlue, false, kWatchAlarm, AlarmWrites()},
        Transition{"NormalFailure", kWatchNormal, kBlue, false, kWatchAlarm, AlarmWrites()},
        Transition{"AlarmFailure", kWatchAlarm, kRed, false, kWatchAlarm, {"read colour"}},
        // Only exactly blue means "no Alarm shown": a label never set blue stays as it is.
        Transition{
            "StartFailureLabelNotBlue", kWatchStart, kRed, false, kWatchAlarm, {"read colour"}},
        Transition{
            "StartFailureLabelBlack", kWatchStart, 0x000000, false, kWatchAlarm, {"read colour"}}),
    [](const auto& info) { return info.param.name; });

struct ProbeChoice {
  int web;
  int ping;
  ProbeKind kind;
  std::vector<std::string> reads;
};

class ProbeChoiceTest : public CycleTest, public ::testing::WithParamInterface<ProbeChoice> {};

TEST_P(ProbeChoiceTest, RadioButtonsDecide) {
  ui.web = GetParam().web;
  ui.ping = GetParam().ping;
  EXPECT_EQ(cycle.ChooseProbe(worker, ui), GetParam().kind);
  EXPECT_EQ(ui.log, GetParam().reads);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProbeChoiceTest,
    ::testing::Values(ProbeChoice{1, 0, ProbeKind::kWeb, {"read web"}},
                      ProbeChoice{1, 1, ProbeKind::kWeb, {"read web"}},
                      ProbeChoice{0, 1, ProbeKind::kPing, {"read web", "read ping"}},
                      ProbeChoice{0, 0, ProbeKind::kNone, {"read web", "read ping"}}));

TEST_F(CycleTest, ApplyDuringAlarmKeepsTheCountdownWithTheNewLength) {
  cycle.OnProbeResult(worker, false, ui);
  Tick(10);
  ASSERT_EQ(cycle.Counter(), 50);
  ui.lengthText = "30";
  ui.log.clear();

  const uint32_t next = cycle.Apply(ui);
  EXPECT_THAT(ui.log, ElementsAre("read length", "read period"));
  EXPECT_EQ(cycle.State(), kWatchAlarm);
  EXPECT_EQ(cycle.Counter(), 30);
  EXPECT_EQ(ui.colour, kRed);
  EXPECT_EQ(ui.timerPeriod, 1000);

  Tick();
  EXPECT_EQ(ui.label, CountdownText(29));
  ui.log.clear();
  cycle.OnProbeResult(next, false, ui);  // the Alarm is already on display
  EXPECT_THAT(ui.log, ElementsAre("read colour"));
}

TEST_F(CycleTest, TwoAppliesLeaveOnlyTheLastWorkerHeard) {
  const uint32_t first = worker;
  const uint32_t second = cycle.Apply(ui);
  const uint32_t third = cycle.Apply(ui);
  EXPECT_NE(first, second);
  EXPECT_NE(second, third);
  EXPECT_FALSE(cycle.IsCurrent(first));
  EXPECT_FALSE(cycle.IsCurrent(second));
  EXPECT_TRUE(cycle.IsCurrent(third));
  ui.log.clear();

  EXPECT_EQ(cycle.ChooseProbe(first, ui), std::nullopt);
  EXPECT_EQ(cycle.ChooseProbe(second, ui), std::nullopt);
  cycle.OnProbeResult(first, false, ui);
  cycle.OnProbeResult(second, true, ui);
  EXPECT_THAT(ui.log, IsEmpty());
  EXPECT_EQ(cycle.State(), kWatchStart);

  cycle.OnProbeResult(third, false, ui);
  EXPECT_EQ(ui.log, AlarmWrites());
}

TEST_F(CycleTest, LateResultOfAStoppedWorkerIsDropped) {
  cycle.OnProbeResult(worker, false, ui);
  Tick(5);
  const int32_t counter = cycle.Counter();
  cycle.Stop();
  ui.log.clear();

  cycle.OnProbeResult(worker, true, ui);  // the success it was still probing for
  EXPECT_THAT(ui.log, IsEmpty());
  EXPECT_EQ(cycle.State(), kWatchAlarm);
  EXPECT_EQ(cycle.Counter(), counter);
  EXPECT_EQ(cycle.ChooseProbe(worker, ui), std::nullopt);
  EXPECT_FALSE(cycle.IsCurrent(0));
}

// Countdown: the text of the first tick after the Alarm began, and whether it asks to shut down.
struct FirstTick {
  const char* length;
  int32_t shown;
  bool request;
};

class FirstTickTest : public CycleTest, public ::testing::WithParamInterface<FirstTick> {};

TEST_P(FirstTickTest, ShowsTheCounterAndRequestsAtZeroOrBelow) {
  ui.lengthText = GetParam().length;
  worker = cycle.Apply(ui);
  cycle.OnProbeResult(worker, false, ui);
  ui.log.clear();
  Tick();
  std::vector<std::string> expected = {"text " + CountdownText(GetParam().shown)};
  if (GetParam().request) expected.push_back("read force");
  EXPECT_EQ(ui.log, expected);
  EXPECT_EQ(requests.size(), GetParam().request ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Table, FirstTickTest,
                         ::testing::Values(FirstTick{"60", 59, false}, FirstTick{"2", 1, false},
                                           FirstTick{"1", 0, true}, FirstTick{"0", -1, true},
                                           FirstTick{"-5", -6, true},
                                           // No wrap to a huge positive count.
                                           FirstTick{"-2147483648", INT_MIN, true}));

TEST_F(CycleTest, SixtyTicksFromSixtyEndInOneRequest) {
  cycle.OnProbeResult(worker, false, ui);
  Tick(59);
  EXPECT_EQ(ui.label, CountdownText(1));
  EXPECT_THAT(requests, IsEmpty());
  Tick();
  EXPECT_EQ(ui.label, CountdownText(0));
  EXPECT_THAT(requests, ElementsAre("plain"));
}

TEST_F(CycleTest, RefusedShutdownIsAskedAgainOnEveryTickOfTheKindCheckedThen) {
  ui.lengthText = "1";
  worker = cycle.Apply(ui);
  cycle.OnProbeResult(worker, false, ui);
  Tick();
  ui.force = 1;
  Tick();
  ui.force = 0;
  Tick();
  EXPECT_EQ(ui.label, CountdownText(-2));
  EXPECT_THAT(requests, ElementsAre("plain", "forced", "plain"));
}

TEST_F(CycleTest, TicksOutsideAnAlarmDoNothing) {
  Tick(3);  // state 0: the timer runs from start-up
  cycle.OnProbeResult(worker, true, ui);
  ui.log.clear();
  Tick(3);  // Normal
  EXPECT_THAT(ui.log, IsEmpty());
  EXPECT_EQ(cycle.Counter(), 60);
}

TEST_F(CycleTest, SuccessDuringCountdownRestartsTheNextOneFromTheFullLength) {
  cycle.OnProbeResult(worker, false, ui);
  Tick(4);
  cycle.OnProbeResult(worker, true, ui);
  EXPECT_EQ(ui.timerPeriod, 0);
  cycle.OnProbeResult(worker, false, ui);
  EXPECT_EQ(ui.timerPeriod, 1000);
  Tick();
  EXPECT_EQ(ui.label, CountdownText(59));
}

}  // namespace
}  // namespace vd
