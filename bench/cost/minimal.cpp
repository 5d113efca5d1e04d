// The yardstick for the program's running cost: the smallest honest Win32 program with one
// window and a message loop, built with the same flags and run the same way.
#include <windows.h>

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int show) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = inst;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "VdMinimal";
  RegisterClassA(&wc);
  HWND w = CreateWindowA("VdMinimal", "minimal", WS_OVERLAPPED | WS_SYSMENU | WS_MINIMIZEBOX,
                         CW_USEDEFAULT, CW_USEDEFAULT, 255, 221, nullptr, nullptr, inst, nullptr);
  ShowWindow(w, show);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
  return 0;
}
