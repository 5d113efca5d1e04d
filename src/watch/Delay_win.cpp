#include "watch/Delay.h"
#include "watch/DueTime.h"
#include "watch/WinHandle.h"

namespace vd {
namespace {

constexpr DWORD kAllInput = 0xFF;  // QS_KEY .. QS_HOTKEY: any input wakes the wait

// Used only when the timer cannot be had: the same length measured on the tick count, still
// serving the queue and the stop handle, so the worker neither spins nor overruns.
bool WaitUntilTick(ULONGLONG deadline, HANDLE stop) {
  for (;;) {
    const ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) return true;
    const ULONGLONG left = deadline - now;
    const DWORD timeout = left >= INFINITE ? INFINITE - 1 : static_cast<DWORD>(left);
    const DWORD r = ::MsgWaitForMultipleObjects(stop ? 1 : 0, &stop, FALSE, timeout, kAllInput);
    if (stop && r == WAIT_OBJECT_0) return false;
    if (r == WAIT_OBJECT_0 + (stop ? 1 : 0)) {
      DispatchPendingMessages();
    } else if (r == WAIT_FAILED) {
      ::Sleep(timeout);
    }
  }
}

}  // namespace

// The timer is set once, so time spent dispatching never lengthens the wait; its due time is a
// relative span, so clock changes do not move it.
bool InterruptibleDelay(int32_t interval, int32_t unit, HANDLE stop) {
  const ULONGLONG start = ::GetTickCount64();
  const ULONGLONG deadline = start + DelayMilliseconds(interval, unit);
  LARGE_INTEGER due;
  due.QuadPart = DelayDueTime(interval, unit);
  UniqueHandle timer(::CreateWaitableTimerA(nullptr, FALSE, nullptr));
  if (!timer || !::SetWaitableTimer(timer.Get(), &due, 0, nullptr, nullptr, FALSE)) {
    return WaitUntilTick(deadline, stop);
  }
  const HANDLE handles[2] = {timer.Get(), stop};
  const DWORD count = stop ? 2 : 1;
  for (;;) {
    const DWORD r = ::MsgWaitForMultipleObjects(count, handles, FALSE, INFINITE, kAllInput);
    if (r == WAIT_OBJECT_0) return true;
    if (stop && r == WAIT_OBJECT_0 + 1) return false;
    if (r == WAIT_FAILED) return WaitUntilTick(deadline, stop);
    DispatchPendingMessages();
  }
}

// Peek first so that a WM_QUIT is seen and left alone; GetMessageA would take it out.
void DispatchPendingMessages() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
    const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {  // a WM_QUIT overtook the peeked message: put it back
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (got < 0) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

}  // namespace vd
