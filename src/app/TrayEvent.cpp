#include "app/TrayEvent.h"

namespace vd {

// Only the up and double-click messages count, so a right press does not pop the menu twice.
TrayEventType TrayEventFromMessage(uint32_t mouseMessage) {
  switch (mouseMessage) {
    case 0x0202:  // WM_LBUTTONUP
      return kTrayClick;
    case 0x0203:  // WM_LBUTTONDBLCLK
      return kTrayDoubleClick;
    case 0x0205:  // WM_RBUTTONUP
    case 0x007B:  // WM_CONTEXTMENU, the keyboard's way to the menu
      return kTrayMenuRequest;
    default:
      return kTrayNone;
  }
}

std::string TrayTipText(const std::string& tip) { return tip.substr(0, kTrayTipLimit); }

}  // namespace vd
