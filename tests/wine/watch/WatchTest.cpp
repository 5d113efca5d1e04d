// The whole engine on a real hidden window with a message loop, with fake probes and a fake
// shutdown: nothing here asks Windows to shut down.
#include <gtest/gtest.h>
#include <winsock2.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "WatchWindow.h"
#include "WineTestUtil.h"
#include "text/Texts.h"
#include "watch/Ping.h"
#include "watch/TimerPeriod.h"
#include "watch/Watch.h"
#include "watch/WinHandle.h"

namespace vd {
namespace {

using testing::AttachWatch;
using testing::CreateWatchWindow;
using testing::kCountdownTimer;
using testing::NewThreads;
using testing::NowMs;
using testing::PumpFor;
using testing::PumpUntil;
using testing::ThreadEnds;
using testing::ThreadIds;
using testing::WindowUi;

std::string Countdown(int n) { return std::string(texts::kCountdownPrefix) + std::to_string(n); }

// Probes that count their calls and can be held in flight; shared with the worker threads so
// that a stopped worker finishing late never touches a finished test.
struct FakeProbes {
  std::atomic<int> webResult{1};
  std::atomic<int> pingResult{1};
  std::atomic<int> webCalls{0};
  std::atomic<int> pingCalls{0};
  std::atomic<DWORD> lastThread{0};
  UniqueHandle gate{::CreateEventA(nullptr, TRUE, TRUE, nullptr)};  // set: probes return at once
  UniqueHandle started{::CreateEventA(nullptr, FALSE, FALSE, nullptr)};
  std::mutex mutex;
  std::set<DWORD> threads;

  bool Run(std::atomic<int>& calls, const std::atomic<int>& result) {
    {
      std::lock_guard<std::mutex> lock(mutex);
      threads.insert(::GetCurrentThreadId());
    }
    lastThread = ::GetCurrentThreadId();
    ++calls;
    ::SetEvent(started.Get());
    ::WaitForSingleObject(gate.Get(), INFINITE);
    return result != 0;
  }
  size_t ThreadCount() {
    std::lock_guard<std::mutex> lock(mutex);
    return threads.size();
  }
};

class WatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    threadsAtStart = ThreadIds();
    ui.window = CreateWatchWindow("vd-watch-test");
    ASSERT_NE(ui.window, nullptr);
    auto p = probes;
    WatchServices services{
        [p] { return p->Run(p->webCalls, p->webResult); },
        [p] { return p->Run(p->pingCalls, p->pingResult); },
        {[this] { requests.push_back("forced"); }, [this] { requests.push_back("plain"); }}};
    watch = std::make_unique<Watch>(ui.window, ui, services);
    AttachWatch(ui.window, watch.get());
  }

  void TearDown() override {
    watch->Stop();
    ::SetEvent(probes->gate.Get());
    for (DWORD id : NewThreads(threadsAtStart)) EXPECT_TRUE(ThreadEnds(id, 3000)) << id;
    AttachWatch(ui.window, nullptr);
    ::DestroyWindow(ui.window);
    EXPECT_EQ(ui.offThread, 0);
  }

  // The id of the one thread the last apply started.
  DWORD StartedWorker(const std::set<DWORD>& before) {
    const std::set<DWORD> added = NewThreads(before);
    EXPECT_EQ(added.size(), 1u);
    return added.empty() ? 0 : *added.begin();
  }

  std::set<DWORD> threadsAtStart;
  WindowUi ui;
  std::shared_ptr<FakeProbes> probes = std::make_shared<FakeProbes>();
  std::vector<std::string> requests;
  std::unique_ptr<Watch> watch;
};

TEST_F(WatchTest, NormalAlarmCountdownAndShutdownRequests) {
  watch->Apply();
  ASSERT_TRUE(PumpUntil([&] { return ui.label == texts::kStatusNormal; }, 3000));
  EXPECT_EQ(ui.colour, kBlue);
  EXPECT_EQ(ui.period, 0);
  EXPECT_EQ(watch->Cycle().State(), kWatchNormal);
  EXPECT_NE(probes->lastThread.load(), ::GetCurrentThreadId());

  probes->webResult = 0;
  ASSERT_TRUE(PumpUntil([&] { return ui.label == texts::kStatusAlarm; }, 3000));
  EXPECT_EQ(ui.colour, kRed);
  EXPECT_EQ(ui.period, 1000);
  EXPECT_EQ(watch->Cycle().State(), kWatchAlarm);

  ASSERT_TRUE(PumpUntil([&] { return !requests.empty(); }, 5000));
  EXPECT_EQ(ui.label, Countdown(0));
  EXPECT_EQ(requests, std::vector<std::string>{"plain"});
  // Refused (nothing happened): the next tick asks again, of the kind checked by then.
  ui.force = 1;
  ASSERT_TRUE(PumpUntil([&] { return requests.size() == 2; }, 2500));
  EXPECT_EQ(requests[1], "forced");
  const std::vector<Text> expected = {texts::kStatusNormal, texts::kStatusAlarm, Countdown(2),
                                      Countdown(1),         Countdown(0),        Countdown(-1)};
  EXPECT_EQ(ui.labels, expected);

  probes->webResult = 1;
  ASSERT_TRUE(PumpUntil([&] { return ui.label == texts::kStatusNormal; }, 3000));
  EXPECT_EQ(ui.period, 0);
  EXPECT_EQ(watch->Cycle().Counter(), 3);
}

TEST_F(WatchTest, EachPassReadsTheRadioButtonsAgain) {
  watch->Apply();
  ASSERT_TRUE(PumpUntil([&] { return probes->webCalls > 0; }, 3000));
  ui.web = 0;
  ui.ping = 1;
  const int web = probes->webCalls;
  ASSERT_TRUE(PumpUntil([&] { return probes->pingCalls >= 2; }, 3500));
  EXPECT_LE(probes->webCalls, web + 1);  // one pass may have been answered before the switch

  ui.ping = 0;  // neither: passes run and probe nothing
  PumpFor(300);
  const int calls = probes->webCalls + probes->pingCalls;
  const size_t labels = ui.labels.size();
  const int reads = ui.radioReads;
  PumpFor(2300);
  EXPECT_EQ(probes->webCalls + probes->pingCalls, calls);
  EXPECT_EQ(ui.labels.size(), labels);
  EXPECT_GT(ui.radioReads, reads);
}

// Stopping returns at once while a probe hangs, and the probe's late success changes nothing.
TEST_F(WatchTest, StopAbandonsTheProbeInFlight) {
  ui.periodText = "0";
  ::ResetEvent(probes->gate.Get());
  watch->Apply();
  ASSERT_TRUE(PumpUntil([&] { return probes->webCalls > 0; }, 2000));
  const DWORD worker = probes->lastThread;

  const double start = NowMs();
  watch->Stop();
  const double stopMs = NowMs() - start;
  std::printf("stop with a probe in flight: %.3f ms\n", stopMs);
  EXPECT_LT(stopMs, 200);

  ::SetEvent(probes->gate.Get());
  EXPECT_TRUE(ThreadEnds(worker, 2000));
  PumpFor(300);
  EXPECT_TRUE(ui.labels.empty());
  EXPECT_EQ(ui.label, texts::kStatusReady);
  EXPECT_EQ(watch->Cycle().State(), kWatchStart);
  EXPECT_EQ(probes->webCalls, 1);
}

TEST_F(WatchTest, ApplyDuringAProbeDropsTheOldWorkersResult) {
  ui.periodText = "0";
  probes->webResult = 0;
  ::ResetEvent(probes->gate.Get());
  watch->Apply();
  ASSERT_TRUE(PumpUntil([&] { return probes->webCalls > 0; }, 2000));
  const DWORD old = probes->lastThread;

  ui.periodText = "30";
  ui.lengthText = "9";
  watch->Apply();
  ::SetEvent(probes->gate.Get());  // the old failure arrives after the apply
  EXPECT_TRUE(ThreadEnds(old, 2000));
  PumpFor(300);
  EXPECT_TRUE(ui.labels.empty());
  EXPECT_EQ(watch->Cycle().State(), kWatchStart);
  EXPECT_EQ(watch->Cycle().Counter(), 9);
}

// Whatever an earlier worker still has in the queue when the next apply comes is dropped.
TEST_F(WatchTest, MessagesOfAReplacedWorkerAreDropped) {
  ui.periodText = "30";
  watch->Apply();
  const uint32_t old = watch->Cycle().CurrentWorker();
  watch->Apply();
  const uint32_t current = watch->Cycle().CurrentWorker();
  ASSERT_NE(old, current);
  ::PostMessageA(ui.window, kMsgWatchProbeQuery, old, 0);
  ::PostMessageA(ui.window, kMsgWatchProbeResult, old, 0);
  PumpFor(200);
  EXPECT_EQ(ui.radioReads, 0);
  EXPECT_TRUE(ui.labels.empty());
  EXPECT_EQ(watch->Cycle().State(), kWatchStart);

  ::PostMessageA(ui.window, kMsgWatchProbeResult, current, 0);
  PumpFor(200);
  EXPECT_EQ(ui.labels, std::vector<Text>{texts::kStatusAlarm});
}

TEST_F(WatchTest, TwoQuickAppliesLeaveOneWorker) {
  const std::set<DWORD> before = ThreadIds();
  watch->Apply();
  watch->Apply();
  PumpFor(300);
  EXPECT_EQ(NewThreads(before).size(), 1u);
  ASSERT_TRUE(PumpUntil([&] { return probes->webCalls >= 2; }, 3500));
  EXPECT_EQ(probes->ThreadCount(), 1u);
  EXPECT_EQ(NewThreads(before).size(), 1u);
}

TEST_F(WatchTest, StopEndsAWaitingWorkerAtOnce) {
  ui.periodText = "30";
  const std::set<DWORD> before = ThreadIds();
  watch->Apply();
  PumpFor(100);
  const DWORD worker = StartedWorker(before);
  const double start = NowMs();
  watch->Stop();
  EXPECT_TRUE(ThreadEnds(worker, 1000));
  std::printf("waiting worker ended %.1f ms after stop\n", NowMs() - start);
  EXPECT_EQ(probes->webCalls, 0);
}

// The worker waits for the user-interface thread to say which probe to run; stopping it then
// needs no answer, and the question, served later, reads nothing.
TEST_F(WatchTest, StopEndsAWorkerWaitingForItsAnswer) {
  ui.periodText = "0";
  const std::set<DWORD> before = ThreadIds();
  watch->Apply();
  ::Sleep(300);  // no messages served: the worker's question stays unanswered
  const DWORD worker = StartedWorker(before);
  watch->Stop();
  EXPECT_TRUE(ThreadEnds(worker, 1000));
  PumpFor(200);
  EXPECT_EQ(ui.radioReads, 0);
  EXPECT_EQ(probes->webCalls, 0);
}

// The real ping probe on the worker thread, against the portal host mapped to loopback.
TEST_F(WatchTest, RealPingProbeReachesNormal) {
  WSADATA data;
  ASSERT_EQ(::WSAStartup(MAKEWORD(1, 1), &data), 0);
  const hostent* entry = ::gethostbyname(texts::kPortalHost);
  const bool loopback =
      entry && entry->h_addr_list[0] &&
      *reinterpret_cast<const u_long*>(entry->h_addr_list[0]) == ::inet_addr("127.0.0.1");
  ::WSACleanup();
  if (!loopback) GTEST_SKIP() << "portal host is not mapped to loopback here";

  watch =
      std::make_unique<Watch>(ui.window, ui, WatchServices{nullptr, PingProbe, {nullptr, nullptr}});
  ::SetWindowLongPtrA(ui.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(watch.get()));
  ui.web = 0;
  ui.ping = 1;
  watch->Apply();
  EXPECT_TRUE(PumpUntil([&] { return ui.label == texts::kStatusNormal; }, 4000));
}

}  // namespace
}  // namespace vd
