// Watches the running program from outside, as a user would see it: finds the main window by
// its title, then prints every change of the status label's text with a timestamp, and carries
// out simple commands read from standard input. It never links any of the program's code.
//
// Output lines (stdout, flushed): "window <ms>", "label <ms> <hex of GBK text> <l> <t> <r> <b>",
// "gone <ms>". Commands: "close" (close box), "period <text>" (types into the check period box
// without pressing OK), "ok <n>" (clicks OK n times as fast as it can), "stats" (prints
// "stats <threads> <handles>" of the program's process), "fields" (prints "fields <hex period>
// <hex length> <force> <ping> <web>": the edit boxes' texts and the checked states), "quit".
#include <windows.h>
// (tlhelp32 after windows.h)
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

namespace {

HWND g_main = nullptr;
HWND g_label = nullptr;
HWND g_period = nullptr;
HWND g_ok = nullptr;
HWND g_length = nullptr;
HWND g_ping = nullptr;
HWND g_web = nullptr;
HWND g_force = nullptr;

// A child's position in its parent's client area, which is what the window tables give.
bool At(HWND child, int left, int top, int width, int height) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r.left == left && r.top == top && r.right - r.left == width && r.bottom - r.top == height;
}

BOOL CALLBACK FindControls(HWND child, LPARAM) {
  if (At(child, 6, 18, 217, 25)) g_label = child;
  if (GetParent(child) == g_main && At(child, 117, 12, 67, 22)) g_period = child;
  if (GetParent(child) == g_main && At(child, 192, 11, 48, 53)) g_ok = child;
  if (GetParent(child) == g_main && At(child, 117, 42, 67, 22)) g_length = child;
  if (At(child, 13, 22, 48, 16)) g_ping = child;
  if (At(child, 71, 22, 48, 16)) g_web = child;
  if (At(child, 153, 22, 72, 16)) g_force = child;
  return TRUE;
}

std::string Hex(const std::string& s) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out.empty() ? "-" : out;
}

std::string WindowText(HWND w) {
  char buf[512] = {};
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutA(w, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf),
                           SMTO_ABORTIFHUNG, 2000, &n))
    return "?";
  return std::string(buf, strnlen(buf, sizeof buf));
}

// Any length: a value from the settings file may run to 10239 bytes.
std::string LongText(HWND w) {
  DWORD_PTR n = 0;
  if (!w || !SendMessageTimeoutA(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &n)) return "?";
  std::string buf(n + 1, '\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutA(w, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(&buf[0]),
                           SMTO_ABORTIFHUNG, 2000, &got))
    return "?";
  return std::string(buf.c_str(), strnlen(buf.c_str(), buf.size()));
}

int CheckState(HWND w) {
  DWORD_PTR state = 0;
  if (!w || !SendMessageTimeoutA(w, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state)) return -1;
  return state == BST_CHECKED ? 1 : 0;
}

// Wine's GetProcessHandleCount gives 0; a handle value of the program is live exactly when it
// can be duplicated, so the live ones are counted one by one.
DWORD CountHandles(HANDLE proc) {
  DWORD count = 0;
  for (UINT_PTR value = 4; value < 0x10000; value += 4) {
    HANDLE copy = nullptr;
    if (DuplicateHandle(proc, reinterpret_cast<HANDLE>(value), GetCurrentProcess(), &copy, 0, FALSE,
                        DUPLICATE_SAME_ACCESS)) {
      CloseHandle(copy);
      ++count;
    }
  }
  return count;
}

void PrintStats() {
  DWORD pid = 0;
  GetWindowThreadProcessId(g_main, &pid);
  int threads = 0;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 te = {};
  te.dwSize = sizeof te;
  for (BOOL more = Thread32First(snap, &te); more; more = Thread32Next(snap, &te))
    if (te.th32OwnerProcessID == pid) ++threads;
  CloseHandle(snap);
  DWORD handles = 0;
  HANDLE proc = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_DUP_HANDLE, FALSE, pid);
  if (proc) {
    GetProcessHandleCount(proc, &handles);
    if (handles == 0) handles = CountHandles(proc);
    CloseHandle(proc);
  }
  printf("stats %d %lu\n", threads, handles);
  fflush(stdout);
}

void ReadCommands() {
  char line[512];
  while (fgets(line, sizeof line, stdin)) {
    std::string cmd(line);
    while (!cmd.empty() && (cmd.back() == '\n' || cmd.back() == '\r')) cmd.pop_back();
    if (cmd == "close") {
      PostMessageA(g_main, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (cmd.rfind("period ", 0) == 0 && g_period) {
      SendMessageTimeoutA(g_period, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(cmd.c_str() + 7),
                          SMTO_ABORTIFHUNG, 2000, nullptr);
    } else if (cmd.rfind("ok ", 0) == 0 && g_ok) {
      for (int i = atoi(cmd.c_str() + 3); i > 0; --i) PostMessageA(g_ok, BM_CLICK, 0, 0);
    } else if (cmd == "stats") {
      PrintStats();
    } else if (cmd == "fields") {
      printf("fields %s %s %d %d %d\n", Hex(LongText(g_period)).c_str(),
             Hex(LongText(g_length)).c_str(), CheckState(g_force), CheckState(g_ping),
             CheckState(g_web));
      fflush(stdout);
    } else if (cmd == "quit") {
      ExitProcess(0);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const DWORD limit = argc > 1 ? static_cast<DWORD>(atoi(argv[1])) * 1000 : 60000;
  const DWORD start = GetTickCount();
  auto now = [&] { return GetTickCount() - start; };
  while (!(g_main = FindWindowA(nullptr, "Vendrilov1.0"))) {
    if (now() > limit) return 2;
    Sleep(20);
  }
  printf("window %lu\n", now());
  fflush(stdout);
  for (int i = 0; i < 100 && !g_label; ++i) {
    EnumChildWindows(g_main, FindControls, 0);
    if (!g_label) Sleep(20);
  }
  std::thread(ReadCommands).detach();
  std::string last = "\x01";
  while (now() < limit) {
    if (!IsWindow(g_main)) {
      printf("gone %lu\n", now());
      fflush(stdout);
      return 0;
    }
    if (g_label) {
      std::string text = WindowText(g_label);
      if (text != last && text != "?") {
        RECT r;
        GetWindowRect(g_label, &r);
        printf("label %lu %s %ld %ld %ld %ld\n", now(), Hex(text).c_str(), r.left, r.top, r.right,
               r.bottom);
        fflush(stdout);
        last = text;
      }
    }
    Sleep(25);
  }
  return 0;
}
