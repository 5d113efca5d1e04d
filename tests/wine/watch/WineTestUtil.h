// Small helpers for the Windows-side watch tests: a clock, a message pump, thread listings.
#pragma once

// clang-format off
#include <windows.h>
#include <tlhelp32.h>
// clang-format on

#include <functional>
#include <set>

namespace vd::testing {

inline double NowMs() {
  LARGE_INTEGER count, frequency;
  ::QueryPerformanceCounter(&count);
  ::QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Serves this thread's queue until `done` holds or `timeoutMs` has passed; returns `done()`.
inline bool PumpUntil(const std::function<bool()>& done, double timeoutMs) {
  const double end = NowMs() + timeoutMs;
  for (;;) {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
      if (done()) return true;
    }
    if (done()) return true;
    const double left = end - NowMs();
    if (left <= 0) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left) + 1, QS_ALLINPUT);
  }
}

inline void PumpFor(double ms) {
  PumpUntil([] { return false; }, ms);
}

// Ids of this process's threads right now.
inline std::set<DWORD> ThreadIds() {
  std::set<DWORD> ids;
  const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  THREADENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL ok = ::Thread32First(snapshot, &entry); ok; ok = ::Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == ::GetCurrentProcessId()) ids.insert(entry.th32ThreadID);
  }
  ::CloseHandle(snapshot);
  return ids;
}

inline std::set<DWORD> NewThreads(const std::set<DWORD>& before) {
  std::set<DWORD> added;
  for (DWORD id : ThreadIds()) {
    if (!before.count(id)) added.insert(id);
  }
  return added;
}

// True when the thread has ended within `timeoutMs` (or was already gone).
inline bool ThreadEnds(DWORD id, DWORD timeoutMs) {
  const HANDLE thread = ::OpenThread(SYNCHRONIZE, FALSE, id);
  if (!thread) return true;
  const bool ended = ::WaitForSingleObject(thread, timeoutMs) == WAIT_OBJECT_0;
  ::CloseHandle(thread);
  return ended;
}

}  // namespace vd::testing
