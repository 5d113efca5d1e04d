// The web-page probe and the watch against a misbehaving portal on 127.0.0.1:80 (www.baidu.com
// resolves there inside the test namespace). run_hostile.py starts hostile_server.py; the tests
// switch its behaviour through its /ctl/ paths, which it always answers straight.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "WatchWindow.h"
#include "WineTestUtil.h"
#include "http/HttpRequest.h"
#include "http/WebPageProbe.h"
#include "text/Texts.h"
#include "watch/TimerPeriod.h"
#include "watch/Watch.h"

namespace vd {
namespace {

using testing::AttachWatch;
using testing::CreateWatchWindow;
using testing::NowMs;
using testing::PumpFor;
using testing::PumpUntil;
using testing::ThreadEnds;
using testing::WindowUi;

const Bytes kMarker("\xE7\x99\xBE\xE5\xBA\xA6\xE4\xB8\x80\xE4\xB8\x8B", 12);
constexpr size_t kHugeBody = 64u << 20;

std::string Control(const std::string& path) { return HttpRequest("http://127.0.0.1/ctl/" + path); }

void Mode(const std::string& name) { ASSERT_EQ(Control("mode/" + name), "mode " + name); }

int Count() {
  const std::string answer = Control("count");
  return answer.rfind("count ", 0) == 0 ? std::stoi(answer.substr(6)) : -1;
}

// True once the server has taken `n` probe requests, within `ms`.
bool RequestsReach(int n, double ms) {
  const double end = NowMs() + ms;
  while (Count() < n) {
    if (NowMs() > end) return false;
    ::Sleep(50);
  }
  return true;
}

struct Timed {
  bool success;
  double ms;
};

Timed TimedProbe() {
  const double start = NowMs();
  const bool success = WebPageProbe();
  return {success, NowMs() - start};
}

bool Pending(const std::future<Timed>& f) {
  return f.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}

struct HostileCase {
  const char* mode;
  bool success;
  const char* why;
};

// Whatever the server does, the probe ends, the marker alone decides, and the probe after it
// against a sound server succeeds. A drip of one byte a second runs alongside the table.
TEST(HostileServer, EachAnswerEndsAsTheMarkerSaysAndTheNextProbeWorks) {
  Mode("drip");
  std::future<Timed> drip = std::async(std::launch::async, TimedProbe);
  ASSERT_TRUE(RequestsReach(1, 5000));

  const HostileCase cases[] = {
      {"garbage-status", true, "no HTTP status line: the bytes are the body, the marker in it"},
      {"garbage-nomarker", false, "no HTTP status line and no marker"},
      {"big-headers", true, "6000-byte header block: the header query fails, the body stays"},
      {"reset-early", false, "reset before the marker arrived"},
      {"reset-late", true, "reset after the marker arrived: what was read counts"},
      {"redirect-https", false, "followed to https://www.baidu.com/, nothing listens"},
      {"huge", true, "64 MiB body, marker in its last bytes"},
  };
  for (const HostileCase& c : cases) {
    Mode(c.mode);
    const Timed t = TimedProbe();
    EXPECT_EQ(t.success, c.success) << c.mode << ": " << c.why;
    std::printf("%-16s -> %s after %7.0f ms\n", c.mode, t.success ? "success" : "failure", t.ms);
    Mode("good");
    EXPECT_TRUE(WebPageProbe()) << "after " << c.mode;
  }

  ASSERT_EQ(drip.wait_for(std::chrono::seconds(120)), std::future_status::ready);
  const Timed t = drip.get();
  EXPECT_TRUE(t.success) << "drip";
  std::printf("%-16s -> %s after %7.0f ms\n", "drip", t.success ? "success" : "failure", t.ms);
  EXPECT_TRUE(WebPageProbe()) << "after drip";
}

TEST(HostileServer, HugeBodyComesBackWhole) {
  Mode("huge");
  const Bytes body = HttpRequest(texts::kPortalUrl);
  EXPECT_EQ(body.size(), kHugeBody);
  EXPECT_EQ(FindBytes(body.substr(body.size() - kMarker.size()), kMarker), 1);
  Mode("good");
}

// Wine's WinINet has no receive time limit by default (a trial waited over 300 s): the probe
// waits as long as the server keeps the connection open, and fails the moment it lets go.
TEST(HostileServer, SilentServerHoldsTheProbeUntilItLetsGo) {
  Mode("silent");
  const int before = Count();
  std::future<Timed> probe = std::async(std::launch::async, TimedProbe);
  ASSERT_TRUE(RequestsReach(before + 1, 5000));
  ::Sleep(3000);
  EXPECT_TRUE(Pending(probe)) << "a silent server ended the probe by itself";
  Mode("good");
  // At least the probe's connection; a finished drip answer's may not have been dropped yet.
  const std::string released = Control("release");
  ASSERT_EQ(released.rfind("released ", 0), 0u) << released;
  ASSERT_GE(std::atoi(released.c_str() + 9), 1) << released;
  ASSERT_EQ(probe.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  const Timed t = probe.get();
  EXPECT_FALSE(t.success);
  std::printf("silent: failure after %.0f ms, when the server closed\n", t.ms);
  EXPECT_TRUE(WebPageProbe());
}

// Wine's WinINet follows a redirect loop without a limit, hundreds of requests a second; the
// probe ends with the first answer that is not a redirection, and that page decides.
TEST(HostileServer, RedirectLoopIsFollowedUntilItEnds) {
  Mode("redirect-loop");
  const int before = Count();
  std::future<Timed> probe = std::async(std::launch::async, TimedProbe);
  ::Sleep(3000);
  const int hops = Count() - before;
  EXPECT_TRUE(Pending(probe));
  EXPECT_GT(hops, 10);
  std::printf("redirect loop: %d requests in 3 s\n", hops);
  Mode("good");
  ASSERT_EQ(probe.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_TRUE(probe.get().success);
  EXPECT_TRUE(WebPageProbe());
}

// --- the watch engine with the real web-page probe ------------------------------------------

class HostileWatch : public ::testing::Test {
 protected:
  void SetUp() override {
    ui.lengthText = "100";  // no countdown reaches zero here
    ui.window = CreateWatchWindow("vd-hostile-watch");
    ASSERT_NE(ui.window, nullptr);
    auto* count = &shutdowns;
    // Workers are known by the probes they make: a thread snapshot of the process also holds
    // threads that Wine starts and ends by itself.
    auto probe = [this] {
      {
        std::lock_guard<std::mutex> hold(probeLock);
        probeThreads.insert(::GetCurrentThreadId());
      }
      return WebPageProbe();
    };
    watch = std::make_unique<Watch>(
        ui.window, ui,
        WatchServices{probe, nullptr, {[count] { ++*count; }, [count] { ++*count; }}});
    AttachWatch(ui.window, watch.get());
  }

  void TearDown() override {
    watch->Stop();
    Control("release");
    Mode("good");
    for (DWORD id : Probers()) EXPECT_TRUE(ThreadEnds(id, 10000)) << id;
    AttachWatch(ui.window, nullptr);
    ::DestroyWindow(ui.window);
    EXPECT_EQ(shutdowns, 0);
  }

  bool LabelBecomes(const char* text, double ms) {
    return PumpUntil([&] { return ui.label == text; }, ms);
  }

  std::set<DWORD> Probers() {
    std::lock_guard<std::mutex> hold(probeLock);
    return probeThreads;
  }

  std::mutex probeLock;
  std::set<DWORD> probeThreads;  // every thread that made a probe
  WindowUi ui;
  int shutdowns = 0;
  std::unique_ptr<Watch> watch;
};

// One worker through a run of hostile answers: each failure shows the Alarm, and the next sound
// answer brings Normal back, so the worker went on probing after every one of them.
TEST_F(HostileWatch, KeepsProbingAfterHostileAnswers) {
  Mode("good");
  watch->Apply();
  ASSERT_TRUE(LabelBecomes(texts::kStatusNormal, 5000));
  for (const char* mode : {"garbage-nomarker", "reset-early", "redirect-https"}) {
    Mode(mode);
    EXPECT_TRUE(LabelBecomes(texts::kStatusAlarm, 5000)) << mode;
    Mode("good");
    EXPECT_TRUE(LabelBecomes(texts::kStatusNormal, 5000)) << "after " << mode;
  }
  EXPECT_EQ(watch->Cycle().State(), kWatchNormal);
}

// A worker held by a silent server is abandoned by the next apply at once; the new worker
// probes a sound server, and the old one's late failure changes nothing. Its thread ends when
// the server lets go of the connection.
TEST_F(HostileWatch, ApplyAbandonsAProbeHeldBySilentServer) {
  Mode("silent");
  const int before = Count();
  watch->Apply();
  ASSERT_TRUE(PumpUntil([&] { return Count() > before; }, 5000));
  const std::set<DWORD> first = Probers();
  ASSERT_EQ(first.size(), 1u);

  Mode("good");
  const double start = NowMs();
  watch->Apply();
  std::printf("apply with a probe in flight returned after %.1f ms\n", NowMs() - start);
  ASSERT_TRUE(LabelBecomes(texts::kStatusNormal, 5000));
  EXPECT_EQ(Probers().size(), 2u) << "the new worker made the probe";
  EXPECT_FALSE(ThreadEnds(*first.begin(), 0)) << "the held probe ended by itself";

  // At least the probe's connection; a finished drip answer's may not have been dropped yet.
  const std::string released = Control("release");
  ASSERT_EQ(released.rfind("released ", 0), 0u) << released;
  ASSERT_GE(std::atoi(released.c_str() + 9), 1) << released;
  EXPECT_TRUE(ThreadEnds(*first.begin(), 5000));
  PumpFor(1500);
  for (const Text& label : ui.labels) EXPECT_EQ(label, texts::kStatusNormal);
}

}  // namespace
}  // namespace vd
