#include <windows.h>

#include <cstdint>

#include "watch/Shutdown.h"
#include "watch/WinHandle.h"

namespace vd {
namespace {

constexpr DWORD kTokenAccess = TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY;  // 0x28
constexpr DWORD kStateSize = 28;  // count, one LUID and attributes, and 12 zero bytes
constexpr DWORD kShutdownReason = 0xFFFF;

void RequestShutdown(UINT flags) {
  EnableShutdownPrivilege();
  ::ExitWindowsEx(flags, kShutdownReason);  // refused or cancelled: the next tick asks again
}

}  // namespace

// The records are zero-filled locals; the token handle is closed when done.
void EnableShutdownPrivilege() {
  UniqueHandle token;
  ::OpenProcessToken(::GetCurrentProcess(), kTokenAccess, token.Receive());
  LUID id = {};
  ::LookupPrivilegeValueA("", "SeShutdownPrivilege", &id);  // "" names the local computer
  alignas(TOKEN_PRIVILEGES) unsigned char newState[kStateSize] = {};
  alignas(TOKEN_PRIVILEGES) unsigned char previous[kStateSize] = {};
  auto* privileges = reinterpret_cast<TOKEN_PRIVILEGES*>(newState);
  privileges->PrivilegeCount = 1;
  privileges->Privileges[0].Luid = id;
  privileges->Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  DWORD returned = 0;
  ::AdjustTokenPrivileges(token.Get(), FALSE, privileges, kStateSize,
                          reinterpret_cast<TOKEN_PRIVILEGES*>(previous), &returned);
}

void ForcedShutdown() { RequestShutdown(EWX_SHUTDOWN | EWX_FORCE); }

void PlainShutdown() { RequestShutdown(EWX_SHUTDOWN); }

}  // namespace vd
