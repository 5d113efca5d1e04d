#include "watch/Ping.h"

// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <ipexport.h>
// clang-format on

#include <cstring>

#include "text/Texts.h"
#include "watch/Delay.h"
#include "watch/PingReply.h"

namespace vd {
namespace {

using IcmpCreateFileFn = HANDLE(WINAPI*)();
using IcmpSendEchoFn = DWORD(WINAPI*)(HANDLE, IPAddr, LPVOID, WORD, PIP_OPTION_INFORMATION, LPVOID,
                                      DWORD, DWORD);
using IcmpCloseHandleFn = BOOL(WINAPI*)(HANDLE);

// Process-wide echo state, written once. The once-guard makes the first ping's start-up atomic:
// a second worker (the old one finishing an abandoned ping) waits for it instead of seeing
// sockets started without the library. A failed WSAStartup leaves the guard open, so the next
// ping tries again; a failed load does not.
INIT_ONCE g_echoOnce = INIT_ONCE_STATIC_INIT;
HMODULE g_icmp = nullptr;

BOOL CALLBACK StartEchoService(PINIT_ONCE, PVOID, PVOID*) {
  WSADATA data;
  if (::WSAStartup(MAKEWORD(1, 1), &data) != 0) return FALSE;
  g_icmp = ::LoadLibraryA("icmp.dll");  // kept until the process ends
  return TRUE;
}

template <typename Fn>
Fn Lookup(HMODULE library, const char* name) {
  // Through a plain function pointer type, which GCC allows to be cast to any other.
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(library, name)));
}

// One echo handle per ping, closed by the library's own function.
class EchoHandle {
 public:
  EchoHandle(HANDLE handle, IcmpCloseHandleFn close) : handle_(handle), close_(close) {}
  EchoHandle(const EchoHandle&) = delete;
  EchoHandle& operator=(const EchoHandle&) = delete;
  ~EchoHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) close_(handle_);
  }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;  // INVALID_HANDLE_VALUE is what IcmpCreateFile returns on failure
  IcmpCloseHandleFn close_;
};

}  // namespace

int32_t PingHost(const Text& host, int32_t timeoutMs) {
  if (!::InitOnceExecuteOnce(&g_echoOnce, StartEchoService, nullptr, nullptr)) return -1;
  if (!g_icmp) return -1;
  const auto create = Lookup<IcmpCreateFileFn>(g_icmp, "IcmpCreateFile");
  const auto send = Lookup<IcmpSendEchoFn>(g_icmp, "IcmpSendEcho");
  const auto close = Lookup<IcmpCloseHandleFn>(g_icmp, "IcmpCloseHandle");
  if (!create || !send || !close) return -1;

  IPAddr address = ::inet_addr(host.c_str());
  if (address == INADDR_NONE) {
    const hostent* entry = ::gethostbyname(host.c_str());  // per-thread result buffer
    if (!entry || !entry->h_addr_list || !entry->h_addr_list[0]) return -1;
    std::memcpy(&address, entry->h_addr_list[0], sizeof address);
  }

  // Room for one reply record and 8 bytes of ICMP error data; no echo data is sent.
  alignas(ICMP_ECHO_REPLY) unsigned char buffer[sizeof(ICMP_ECHO_REPLY) + 8] = {};
  auto* reply = reinterpret_cast<ICMP_ECHO_REPLY*>(buffer);
  reply->RoundTripTime = static_cast<ULONG>(-1);
  DWORD stored;
  {
    EchoHandle echo(create(), close);
    stored = send(echo.Get(), address, nullptr, 0, nullptr, buffer, sizeof buffer,
                  static_cast<DWORD>(timeoutMs));
  }
  return PingReplyTime(stored, reply->Status, reply->RoundTripTime);
}

bool PingProbe() {
  DispatchPendingMessages();
  return PingSucceeded(PingHost(texts::kPortalHost, kPingTimeoutMs));
}

}  // namespace vd
