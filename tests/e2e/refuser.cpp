// A program that refuses to let Windows end the session, so that a plain shutdown request of
// the program under test is turned down and the test can see it repeated.
#include <windows.h>

namespace {

LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_QUERYENDSESSION) return FALSE;
  return DefWindowProcA(w, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = Proc;
  wc.hInstance = inst;
  wc.lpszClassName = "VdRefuser";
  RegisterClassA(&wc);
  CreateWindowA("VdRefuser", "refuser", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, inst,
                nullptr);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
  return 0;
}
