// Vendrilov: watches the internet connection from the notification area and shuts the computer
// down once it has stayed lost for a set countdown. No command line, no environment read.

// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
// clang-format on

#include "app/MainWindow.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  OleInitialize(nullptr);  // released when the program ends, in the exit sequence
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&classes);

  // Lives until the process ends inside the exit sequence.
  static vd::MainWindow window(instance);
  if (!window.Build()) {
    OleUninitialize();
    return 1;
  }
  window.Start();
  return window.RunMessageLoop();
}
