// The privilege step alone. The request itself, and the closing of the token, are traced by
// shutdown_trace.py in a prefix of its own, because a carried-out request ends the Wine session.
#include <gtest/gtest.h>
#include <windows.h>

#include "watch/Shutdown.h"
#include "watch/WinHandle.h"

namespace vd {
namespace {

LUID ShutdownLuid() {
  LUID id = {};
  ::LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &id);
  return id;
}

void SetShutdownPrivilege(DWORD attributes) {
  UniqueHandle token;
  ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, token.Receive()));
  TOKEN_PRIVILEGES state = {};
  state.PrivilegeCount = 1;
  state.Privileges[0].Luid = ShutdownLuid();
  state.Privileges[0].Attributes = attributes;
  ASSERT_TRUE(::AdjustTokenPrivileges(token.Get(), FALSE, &state, sizeof state, nullptr, nullptr));
}

bool ShutdownPrivilegeEnabled() {
  UniqueHandle token;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Receive())) return false;
  PRIVILEGE_SET set = {};
  set.PrivilegeCount = 1;
  set.Privilege[0].Luid = ShutdownLuid();
  BOOL enabled = FALSE;
  return ::PrivilegeCheck(token.Get(), &set, &enabled) && enabled;
}

TEST(ShutdownPrivilegeTest, EnablesThePrivilege) {
  SetShutdownPrivilege(0);
  ASSERT_FALSE(ShutdownPrivilegeEnabled());
  EnableShutdownPrivilege();
  EXPECT_TRUE(ShutdownPrivilegeEnabled());
}

}  // namespace
}  // namespace vd
