// The watch as the main window uses it: apply, stop, the countdown tick, and the window
// messages through which the worker thread reaches the user-interface thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "watch/WatchCycle.h"
#include "watch/WatchUi.h"

namespace vd {

// The watch's own messages to the main window; wParam is always the sending worker's identity.
constexpr UINT kMsgWatchProbeQuery = WM_APP + 1;   // which probe should this pass run?
constexpr UINT kMsgWatchProbeResult = WM_APP + 2;  // lParam: 1 succeeded, 0 failed

// What the watch runs: the probes on the worker thread (they may block), the shutdown requests
// on the user-interface thread.
struct WatchServices {
  std::function<bool()> webProbe;
  std::function<bool()> pingProbe;
  ShutdownActions shutdown;
};

// The ping probe and the real shutdown requests, with the caller's web-page probe.
WatchServices RealWatchServices(std::function<bool()> webProbe);

struct WatchWorker;  // one worker thread's shared state, in Watch_win.cpp

class Watch {
 public:
  // `window` receives the worker's messages and passes them to HandleMessage; `ui` is used on the
  // user-interface thread only. Both must outlive the Watch.
  Watch(HWND window, WatchUi& ui, WatchServices services);
  ~Watch();  // stops the worker, without waiting
  Watch(const Watch&) = delete;
  Watch& operator=(const Watch&) = delete;

  // The OK button and start-up: stop the worker, read both edit boxes, start a new worker.
  void Apply();
  // The exit sequence: the worker is stopped at once, whatever it is doing, and nothing it does
  // afterwards reaches the state or the window.
  void Stop();
  // Each tick of the countdown timer.
  void Tick();
  // Call first for every message of the main window; true when the message was the watch's.
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

  const WatchCycle& Cycle() const { return cycle_; }

 private:
  HWND window_;
  WatchUi& ui_;
  WatchServices services_;
  WatchCycle cycle_;
  std::shared_ptr<WatchWorker> current_;  // shared with its thread; released here when stopped
};

}  // namespace vd
