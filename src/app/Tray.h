// The notification-area icon: added once at start, removed at exit; its mouse messages come
// back to the owner window as kTrayCallbackMessage.
#pragma once

#include <windows.h>

#include "app/Handles.h"

namespace vd {

class TrayIcon {
 public:
  // Makes the icon from the application icon's 128 x 128 image and registers it.
  void Add(HWND owner, HINSTANCE instance, const char* tip);
  // Unregisters the icon and destroys its handle; nothing when none was added.
  void Remove();

 private:
  HWND owner_ = nullptr;
  IconHandle icon_;
};

// The application icon's image at its own size, straight from the icon resource.
HICON LoadAppIconImage(HINSTANCE instance);

}  // namespace vd
