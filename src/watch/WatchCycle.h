// The watch's decisions, made on the user-interface thread: apply, which probe a pass runs, what a
// probe result does to the state and the window, and the countdown tick. Every write reaches the
// window here, so a worker that was stopped can change nothing: its identity no longer matches.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "watch/WatchUi.h"

namespace vd {

constexpr int32_t kWatchStart = 0;
constexpr int32_t kWatchNormal = 50;
constexpr int32_t kWatchAlarm = 100;

constexpr int32_t kCountdownPeriodMs = 1000;

enum class ProbeKind { kNone, kWeb, kPing };

// The two shutdown requests; run on the user-interface thread.
struct ShutdownActions {
  std::function<void()> forced;
  std::function<void()> plain;
};

class WatchCycle {
 public:
  // Apply after the old worker has been stopped: reads the countdown length, then the check
  // period, resets the counter, and returns the identity of the worker about to start.
  uint32_t Apply(WatchUi& ui);
  // No worker is current any more; whatever a stopped one sends later is dropped.
  void Stop() { current_ = 0; }

  bool IsCurrent(uint32_t worker) const { return worker != 0 && worker == current_; }
  // The probe the worker's pass runs, decided from the radio buttons now; nothing for a stale
  // worker.
  std::optional<ProbeKind> ChooseProbe(uint32_t worker, WatchUi& ui) const;
  // A finished probe of `worker`; dropped unless it is the current worker.
  void OnProbeResult(uint32_t worker, bool succeeded, WatchUi& ui);
  // One tick of the countdown timer.
  void Tick(WatchUi& ui, const ShutdownActions& shutdown);

  int32_t State() const { return state_; }
  int32_t Counter() const { return counter_; }
  int32_t Length() const { return length_; }
  int32_t Period() const { return period_; }
  uint32_t CurrentWorker() const { return current_; }

 private:
  // User-interface thread only; the worker sees none of these.
  int32_t state_ = kWatchStart;
  int32_t counter_ = 0;
  int32_t length_ = 0;
  int32_t period_ = 0;
  uint32_t current_ = 0;  // 0: no worker
  uint32_t lastIssued_ = 0;
};

}  // namespace vd
