// How the shell's mouse messages for the notification-area icon become tray event types, and
// the icon's tip text.
#pragma once

#include <cstdint>
#include <string>

namespace vd {

constexpr uint32_t kTrayCallbackMessage = 0x8064;  // WM_APP + 0x64
constexpr uint32_t kTrayIconId = 100;
constexpr int kTrayTipLimit = 62;  // bytes kept of a longer tip

enum TrayEventType { kTrayNone = 0, kTrayClick = 1, kTrayDoubleClick = 2, kTrayMenuRequest = 3 };

// The event type of a mouse message passed with the callback message; kTrayNone for others.
TrayEventType TrayEventFromMessage(uint32_t mouseMessage);

// The tip as stored in the icon record: its first 62 bytes at most.
std::string TrayTipText(const std::string& tip);

}  // namespace vd
