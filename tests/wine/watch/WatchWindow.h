// The main window's side of the watch for Wine tests: a hidden window whose procedure hands
// the watch its messages and timer ticks, and a WatchUi that records what the watch shows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "text/Texts.h"
#include "watch/TimerPeriod.h"
#include "watch/Watch.h"

namespace vd::testing {

constexpr UINT_PTR kCountdownTimer = 1;

// The main window's side, as the app provides it, on a real window and a real timer.
class WindowUi : public WatchUi {
 public:
  HWND window = nullptr;
  DWORD thread = ::GetCurrentThreadId();
  Text periodText = "1";
  Text lengthText = "3";
  int web = 1;
  int ping = 0;
  int force = 0;
  Text label = texts::kStatusReady;
  uint32_t colour = kBlue;
  int period = 1000;
  std::vector<Text> labels;  // every text set, in order
  int radioReads = 0;
  int offThread = 0;  // calls not made on the user-interface thread

  Text PeriodText() override { return Read(periodText); }
  Text LengthText() override { return Read(lengthText); }
  int WebChecked() override {
    ++radioReads;
    return Read(web);
  }
  int PingChecked() override {
    ++radioReads;
    return Read(ping);
  }
  int ForceChecked() override { return Read(force); }
  void SetLabelText(const Text& text) override {
    Check();
    label = text;
    labels.push_back(text);
  }
  void SetLabelColour(uint32_t value) override {
    Check();
    colour = value;
  }
  uint32_t LabelColour() override { return Read(colour); }
  void SetTimerPeriod(int milliseconds) override {
    Check();
    if (const auto next = TimerPeriodAfterWrite(period, milliseconds)) {
      period = *next;
      ::KillTimer(window, kCountdownTimer);
      if (period > 0) ::SetTimer(window, kCountdownTimer, period, nullptr);
    }
  }

 private:
  void Check() {
    if (::GetCurrentThreadId() != thread) ++offThread;
  }
  template <typename T>
  T Read(const T& value) {
    Check();
    return value;
  }
};

inline LRESULT CALLBACK WatchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* watch = reinterpret_cast<Watch*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  LRESULT result = 0;
  if (watch && watch->HandleMessage(message, wParam, lParam, &result)) return result;
  if (watch && message == WM_TIMER && wParam == kCountdownTimer) {
    watch->Tick();
    return 0;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

// Never shown, like the main window while it sits in the notification area. The watch is
// attached later with AttachWatch; until then the window passes everything on.
inline HWND CreateWatchWindow(const char* className) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = WatchWindowProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = className;
  ::RegisterClassA(&wc);
  return ::CreateWindowExA(0, className, className, WS_OVERLAPPEDWINDOW, 0, 0, 255, 221, nullptr,
                           nullptr, wc.hInstance, nullptr);
}

// Hands the window's messages to the watch and starts the countdown timer, which ticks from
// start-up as the main window's does.
inline void AttachWatch(HWND window, Watch* watch) {
  ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(watch));
  if (watch) ::SetTimer(window, kCountdownTimer, 1000, nullptr);
}

}  // namespace vd::testing
