// The watch as the main window drives it: apply, stop, the countdown tick, and the worker's
// messages to the window.
#pragma once

#include <windows.h>

#include <memory>

#include "watch/WatchUi.h"

namespace vd {

class Watch;

class AppWatch {
 public:
  // `window` gets the worker's messages; both it and `ui` outlive the watch.
  AppWatch(HWND window, WatchUi& ui);
  ~AppWatch();
  AppWatch(const AppWatch&) = delete;
  AppWatch& operator=(const AppWatch&) = delete;

  void Apply();
  void Stop();
  void Tick();
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

 private:
  std::unique_ptr<Watch> watch_;
};

}  // namespace vd
