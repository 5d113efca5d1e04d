#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

#include "WineTestUtil.h"
#include "watch/Delay.h"
#include "watch/DueTime.h"
#include "watch/WinHandle.h"

namespace vd {
namespace {

using testing::NowMs;

struct Span {
  int32_t interval;
  int32_t unit;
  double expectedMs;
};

class DelayLengthTest : public ::testing::TestWithParam<Span> {};

TEST_P(DelayLengthTest, LastsTheIntervalThenReturnsTrue) {
  const double start = NowMs();
  EXPECT_TRUE(InterruptibleDelay(GetParam().interval, GetParam().unit));
  const double elapsed = NowMs() - start;
  std::printf("delay %d in unit %d: %.1f ms\n", GetParam().interval, GetParam().unit, elapsed);
  EXPECT_GE(elapsed, GetParam().expectedMs - 20);
  EXPECT_LT(elapsed, GetParam().expectedMs + 400);
}

// 0 and negative intervals give a due time in 1601: the timer fires as soon as it is set.
INSTANTIATE_TEST_SUITE_P(Table, DelayLengthTest,
                         ::testing::Values(Span{1, kSeconds, 1000}, Span{250, kMilliseconds, 250},
                                           Span{0, kSeconds, 0}, Span{-5, kSeconds, 0},
                                           Span{INT32_MIN, kSeconds, 0}));

// A window of the waiting thread that notes when its message was handled, and can take its time.
class MidWaitTest : public ::testing::Test {
 protected:
  static constexpr UINT kPing = WM_APP + 7;

  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kPing) {
      handledAt = NowMs();
      ::Sleep(static_cast<DWORD>(wParam));
      return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
  }

  void SetUp() override {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "vd-delay-test";
    ::RegisterClassA(&wc);
    window = ::CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    handledAt = 0;
  }
  void TearDown() override { ::DestroyWindow(window); }

  // Posts kPing to the window `afterMs` from now, from another thread.
  std::thread PostLater(double afterMs, WPARAM handlerMs) {
    HWND w = window;
    return std::thread([=] {
      ::Sleep(static_cast<DWORD>(afterMs));
      ::PostMessageA(w, kPing, handlerMs, 0);
    });
  }

  HWND window = nullptr;
  static inline double handledAt = 0;
};

TEST_F(MidWaitTest, PostedMessageIsDispatchedDuringTheWait) {
  const double start = NowMs();
  std::thread poster = PostLater(200, 0);
  EXPECT_TRUE(InterruptibleDelay(1000, kMilliseconds));
  const double end = NowMs() - start;
  poster.join();
  ASSERT_GT(handledAt, 0);
  std::printf("handled at %.1f ms, returned at %.1f ms\n", handledAt - start, end);
  EXPECT_GT(handledAt - start, 150);
  EXPECT_LT(handledAt - start, 700);
  EXPECT_GE(end, 980);
  EXPECT_LT(end, 1400);
}

// The timer is set once: a slow handler inside the wait does not push the end back.
TEST_F(MidWaitTest, SlowDispatchDoesNotLengthenTheWait) {
  const double start = NowMs();
  std::thread poster = PostLater(200, 400);
  EXPECT_TRUE(InterruptibleDelay(1000, kMilliseconds));
  const double end = NowMs() - start;
  poster.join();
  std::printf("slow handler: returned at %.1f ms\n", end);
  EXPECT_GE(end, 980);
  EXPECT_LT(end, 1400);
}

TEST(StopHandleTest, SignalEndsTheWaitEarlyWithFalse) {
  UniqueHandle stop(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
  const double start = NowMs();
  std::thread stopper([&] {
    ::Sleep(200);
    ::SetEvent(stop.Get());
  });
  EXPECT_FALSE(InterruptibleDelay(5, kSeconds, stop.Get()));
  const double elapsed = NowMs() - start;
  stopper.join();
  std::printf("stopped after %.1f ms\n", elapsed);
  EXPECT_GT(elapsed, 150);
  EXPECT_LT(elapsed, 1000);
}

TEST(StopHandleTest, AlreadySignalledReturnsAtOnce) {
  UniqueHandle stop(::CreateEventA(nullptr, TRUE, TRUE, nullptr));
  const double start = NowMs();
  EXPECT_FALSE(InterruptibleDelay(5, kSeconds, stop.Get()));
  EXPECT_LT(NowMs() - start, 500);
}

TEST(StopHandleTest, UnsignalledStopLetsTheWaitRunItsLength) {
  UniqueHandle stop(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
  const double start = NowMs();
  EXPECT_TRUE(InterruptibleDelay(300, kMilliseconds, stop.Get()));
  EXPECT_GE(NowMs() - start, 280);
}

// The waiting thread blocks in the kernel; a polling wait would burn about the whole second.
TEST(IdleCostTest, WaitingTakesNoProcessorTime) {
  FILETIME created, exited, kernelBefore, userBefore, kernelAfter, userAfter;
  ::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernelBefore, &userBefore);
  const double start = NowMs();
  InterruptibleDelay(1, kSeconds);
  const double wall = NowMs() - start;
  ::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernelAfter, &userAfter);
  auto ms = [](const FILETIME& f) {
    return static_cast<double>((static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime) /
           10000.0;
  };
  const double cpu = ms(kernelAfter) - ms(kernelBefore) + ms(userAfter) - ms(userBefore);
  std::printf("1 s delay: %.1f ms wall, %.1f ms processor time\n", wall, cpu);
  EXPECT_LT(cpu, wall / 4);
}

class DispatchTest : public MidWaitTest {};

TEST_F(DispatchTest, EmptiesTheQueueButLeavesWmQuit) {
  ::PostMessageA(window, kPing, 0, 0);
  ::PostThreadMessageA(::GetCurrentThreadId(), WM_QUIT, 3, 0);
  ::PostMessageA(window, kPing + 1, 0, 0);
  DispatchPendingMessages();
  EXPECT_GT(handledAt, 0);
  MSG msg;
  ASSERT_TRUE(::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 3u);
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

TEST_F(DispatchTest, ReturnsAtOnceOnAnEmptyQueue) {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  const double start = NowMs();
  DispatchPendingMessages();
  EXPECT_LT(NowMs() - start, 100);
}

}  // namespace
}  // namespace vd
