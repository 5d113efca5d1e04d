// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <cstring>
#include <string>

#include "app/Tray.h"
#include "app/TrayEvent.h"
#include "app/resource.h"

namespace vd {

// The ICO's single image, made at 128 x 128 the way CreateIconFromResourceEx reads it (width
// and half the stored height); LoadIcon would scale it to the system size.
HICON LoadAppIconImage(HINSTANCE instance) {
  HRSRC group = FindResourceA(instance, MAKEINTRESOURCEA(VD_IDI_APP), MAKEINTRESOURCEA(14));
  if (!group) return nullptr;
  auto* dir = static_cast<PBYTE>(LockResource(LoadResource(instance, group)));
  if (!dir) return nullptr;
  const int id = LookupIconIdFromDirectoryEx(dir, TRUE, 128, 128, LR_DEFAULTCOLOR);
  HRSRC image = FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3));
  if (!image) return nullptr;
  auto* bits = static_cast<PBYTE>(LockResource(LoadResource(instance, image)));
  if (!bits) return nullptr;
  return CreateIconFromResourceEx(bits, SizeofResource(instance, image), TRUE, 0x00030000, 128, 128,
                                  LR_DEFAULTCOLOR);
}

namespace {

// The first-version record (88 bytes) works on every Windows from 7 on and under Wine.
NOTIFYICONDATAA Record(HWND owner) {
  NOTIFYICONDATAA data;
  std::memset(&data, 0, sizeof data);
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = owner;
  data.uID = kTrayIconId;
  return data;
}

static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "the icon record is the 88-byte first version");

}  // namespace

// The shell's answer is not examined: without an icon the program still runs.
void TrayIcon::Add(HWND owner, HINSTANCE instance, const char* tip) {
  owner_ = owner;
  icon_.Reset(LoadAppIconImage(instance));
  NOTIFYICONDATAA data = Record(owner);
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayCallbackMessage;
  data.hIcon = icon_.Get();
  const std::string text = TrayTipText(tip);
  std::memcpy(data.szTip, text.data(), text.size());  // the rest of the 64 bytes stays 0
  Shell_NotifyIconA(NIM_ADD, &data);
}

void TrayIcon::Remove() {
  if (!owner_) return;
  NOTIFYICONDATAA data = Record(owner_);
  Shell_NotifyIconA(NIM_DELETE, &data);
  owner_ = nullptr;
  icon_.Reset();
}

}  // namespace vd
