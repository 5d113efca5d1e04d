// Drives the running Vendrilov.exe from outside, the way a user or the shell would: finds the
// main window by its title and uses window messages only. It links none of the program's code.
//
// driver.exe COMMAND... runs the commands in order and prints one line per result:
//   wait                 wait for the shown main window           -> "window <pid>"
//   find                 the main window, shown or hidden         -> "window <pid>"
//   dump                 the window and every control             -> "main ...", "ctl ..."
//                        (ctl: class parent x y w h style exstyle text check limit screenx screeny)
//   text NAME            a control's text                         -> "text NAME <hex>"
//   waittext NAME HEX MS wait until a control shows the text     -> "text NAME <hex>"
//   checks               checked states                           -> "checks <ping> <web> <force>"
//   type NAME HEX        WM_CHAR for each byte of HEX
//   typew NAME HEX       WM_CHAR (Unicode) for each 4-digit UTF-16 code in HEX, as an IME types
//   paste NAME HEX       put HEX on the clipboard (CF_TEXT) and send WM_PASTE
//   settext NAME HEX     WM_SETTEXT, as the program's own writes are
//   click NAME           BM_CLICK
//   syscmd minimize|restore|close   WM_SYSCOMMAND, as the title-bar buttons and Alt+F4 send
//   wmclose              WM_CLOSE
//   state                -> "state <visible> <iconic>"
//   tips                 the program's tooltip windows            -> "tips <style> <tool count>"
//   tray MSG             the shell's callback message 0x8064 with lParam MSG (decimal)
//   cursor X Y           SetCursorPos
//   menu                 wait for the pop-up menu -> "menu <l> <t> <r> <b> <count> <hex|sep>..."
//   key VK               WM_KEYDOWN VK posted to the main window's thread (the menu loop's input)
//   nomenu               wait until no pop-up menu is shown        -> "nomenu"
//   endsession           WM_QUERYENDSESSION then WM_ENDSESSION    -> "endsession <answer>"
//   sleep MS
//   exit                 wait for the process to end              -> "exit <code>"
// NAME: period, length, ok, ping, web, force, label. The driver exits 1 on the first failure.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

HWND g_main = nullptr;
DWORD g_pid = 0;
std::map<std::string, HWND> g_controls;

[[noreturn]] void Fail(const std::string& why) {
  printf("fail %s\n", why.c_str());
  fflush(stdout);
  ExitProcess(1);
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

std::string Unhex(const std::string& h) {
  std::string out;
  if (h == "-") return out;
  for (size_t i = 0; i + 1 < h.size(); i += 2)
    out += static_cast<char>(strtol(h.substr(i, 2).c_str(), nullptr, 16));
  return out;
}

std::string Text(HWND w) {
  char buffer[4096] = {};
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutA(w, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                           SMTO_ABORTIFHUNG, 3000, &n))
    Fail("WM_GETTEXT");
  return std::string(buffer, strnlen(buffer, sizeof buffer));
}

LRESULT Send(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(w, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result))
    Fail("message " + std::to_string(message) + " timed out");
  return static_cast<LRESULT>(result);
}

RECT InParent(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Controls are found by where the window tables put them: parent and top-left corner.
struct Where {
  const char* name;
  bool inMain;
  int x, y;
};
const Where kWhere[] = {{"period", true, 117, 12}, {"length", true, 117, 42},
                        {"ok", true, 192, 11},     {"ping", false, 13, 22},
                        {"web", false, 71, 22},    {"force", false, 153, 22},
                        {"label", false, 6, 18}};

BOOL CALLBACK Collect(HWND child, LPARAM) {
  const RECT r = InParent(child);
  for (const Where& w : kWhere)
    if ((GetParent(child) == g_main) == w.inMain && r.left == w.x && r.top == w.y)
      g_controls[w.name] = child;
  return TRUE;
}

HWND Control(const std::string& name) {
  auto it = g_controls.find(name);
  if (it == g_controls.end()) Fail("no control " + name);
  return it->second;
}

void Wait(bool shown) {
  for (int i = 0; i < 1500; ++i) {
    g_main = FindWindowA(nullptr, "Vendrilov1.0");
    if (g_main && (IsWindowVisible(g_main) || !shown)) break;
    Sleep(20);
  }
  if (!g_main || (shown && !IsWindowVisible(g_main))) Fail("no window");
  GetWindowThreadProcessId(g_main, &g_pid);
  EnumChildWindows(g_main, Collect, 0);
  printf("window %lu\n", g_pid);
}

BOOL CALLBACK DumpChild(HWND child, LPARAM) {
  char cls[64] = {};
  GetClassNameA(child, cls, sizeof cls);
  const RECT r = InParent(child);
  HWND parent = GetParent(child);
  const std::string owner = parent == g_main ? "main" : Hex(Text(parent));
  LRESULT check = -1;
  if (strcmp(cls, "Button") == 0 || _stricmp(cls, "button") == 0)
    check = Send(child, BM_GETCHECK, 0, 0);
  LRESULT limit = -1;
  if (_stricmp(cls, "edit") == 0) limit = Send(child, EM_GETLIMITTEXT, 0, 0);
  RECT screen;
  GetWindowRect(child, &screen);
  printf("ctl %s %s %ld %ld %ld %ld %08lx %08lx %s %ld %ld %ld %ld\n", cls, owner.c_str(), r.left,
         r.top, r.right - r.left, r.bottom - r.top,
         static_cast<unsigned long>(GetWindowLongA(child, GWL_STYLE)),
         static_cast<unsigned long>(GetWindowLongA(child, GWL_EXSTYLE)), Hex(Text(child)).c_str(),
         static_cast<long>(check), static_cast<long>(limit), screen.left, screen.top);
  return TRUE;
}

void Dump() {
  RECT w, c;
  GetWindowRect(g_main, &w);
  GetClientRect(g_main, &c);
  printf("main %ld %ld %ld %ld %ld %ld %08lx %08lx %d %d %d %d %d %s\n", w.left, w.top,
         w.right - w.left, w.bottom - w.top, c.right, c.bottom,
         static_cast<unsigned long>(GetWindowLongA(g_main, GWL_STYLE)),
         static_cast<unsigned long>(GetWindowLongA(g_main, GWL_EXSTYLE)),
         IsWindowVisible(g_main) ? 1 : 0, IsIconic(g_main) ? 1 : 0, GetMenu(g_main) ? 1 : 0,
         GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), Hex(Text(g_main)).c_str());
  EnumChildWindows(g_main, DumpChild, 0);
}

BOOL CALLBACK PrintTips(HWND w, LPARAM) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  char cls[64] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (pid == g_pid && _stricmp(cls, "tooltips_class32") == 0 && GetWindow(w, GW_OWNER) == g_main)
    printf("tips %08lx %ld\n", static_cast<unsigned long>(GetWindowLongA(w, GWL_STYLE)),
           static_cast<long>(Send(w, TTM_GETTOOLCOUNT, 0, 0)));
  return TRUE;
}

HWND VisibleMenu() {
  HWND menu = nullptr;
  while ((menu = FindWindowExA(nullptr, menu, "#32768", nullptr)))
    if (IsWindowVisible(menu)) return menu;
  return nullptr;
}

void Menu() {
  HWND popup = nullptr;
  for (int i = 0; i < 250 && !popup; ++i) {
    popup = VisibleMenu();
    if (!popup) Sleep(20);
  }
  if (!popup) Fail("no pop-up menu");
  Sleep(200);  // let it settle at its final position
  RECT r;
  GetWindowRect(popup, &r);
  // The item texts can be read only where menus are shared between processes (Windows).
  HMENU menu = reinterpret_cast<HMENU>(Send(popup, 0x01E1 /* MN_GETHMENU */, 0, 0));
  const int count = menu ? GetMenuItemCount(menu) : -1;
  printf("menu %ld %ld %ld %ld %d", r.left, r.top, r.right, r.bottom, count);
  for (int i = 0; i < count; ++i) {
    char text[256] = {};
    const int n = GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
    const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
    printf(" %s", (state & MF_SEPARATOR) ? "sep" : Hex(std::string(text, n > 0 ? n : 0)).c_str());
  }
  printf("\n");
}

void NoMenu() {
  for (int i = 0; i < 250; ++i) {
    if (!VisibleMenu()) {
      printf("nomenu\n");
      return;
    }
    Sleep(20);
  }
  Fail("pop-up menu still shown");
}

void SetClipboard(const std::string& bytes) {
  if (!OpenClipboard(nullptr)) Fail("OpenClipboard");
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
  char* p = static_cast<char*>(GlobalLock(mem));
  memcpy(p, bytes.c_str(), bytes.size() + 1);
  GlobalUnlock(mem);
  if (!SetClipboardData(CF_TEXT, mem)) Fail("SetClipboardData");
  CloseClipboard();
}

void WaitExit() {
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, g_pid);
  if (!process) Fail("OpenProcess");
  if (WaitForSingleObject(process, 15000) != WAIT_OBJECT_0) Fail("program still running");
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  printf("exit %lu\n", code);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& cmd = args[i];
    auto next = [&]() -> std::string {
      if (i + 1 >= args.size()) Fail(cmd + " needs an argument");
      return args[++i];
    };
    if (cmd == "wait" || cmd == "find") {
      Wait(cmd == "wait");
    } else if (!g_main) {
      Fail("wait first");
    } else if (cmd == "dump") {
      Dump();
    } else if (cmd == "text") {
      const std::string name = next();
      printf("text %s %s\n", name.c_str(), Hex(Text(Control(name))).c_str());
    } else if (cmd == "waittext") {
      const std::string name = next();
      const std::string want = Unhex(next());
      const DWORD limit = GetTickCount() + strtoul(next().c_str(), nullptr, 10);
      HWND control = Control(name);
      while (Text(control) != want) {
        if (GetTickCount() > limit) Fail(name + " shows " + Hex(Text(control)));
        Sleep(20);
      }
      printf("text %s %s\n", name.c_str(), Hex(want).c_str());
    } else if (cmd == "checks") {
      printf("checks %ld %ld %ld\n", static_cast<long>(Send(Control("ping"), BM_GETCHECK, 0, 0)),
             static_cast<long>(Send(Control("web"), BM_GETCHECK, 0, 0)),
             static_cast<long>(Send(Control("force"), BM_GETCHECK, 0, 0)));
    } else if (cmd == "type") {
      HWND edit = Control(next());
      for (unsigned char c : Unhex(next())) Send(edit, WM_CHAR, c, 1);
    } else if (cmd == "typew") {
      HWND edit = Control(next());
      const std::string hex = next();
      for (size_t k = 0; k + 3 < hex.size(); k += 4) {
        DWORD_PTR ignored;
        SendMessageTimeoutW(edit, WM_CHAR, strtoul(hex.substr(k, 4).c_str(), nullptr, 16), 1,
                            SMTO_ABORTIFHUNG, 5000, &ignored);
      }
    } else if (cmd == "paste") {
      HWND edit = Control(next());
      SetClipboard(Unhex(next()));
      Send(edit, WM_PASTE, 0, 0);
    } else if (cmd == "settext") {
      HWND edit = Control(next());
      const std::string text = Unhex(next());
      Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    } else if (cmd == "click") {
      Send(Control(next()), BM_CLICK, 0, 0);
    } else if (cmd == "syscmd") {
      const std::string what = next();
      const WPARAM sc = what == "minimize"  ? SC_MINIMIZE
                        : what == "restore" ? SC_RESTORE
                                            : SC_CLOSE;
      PostMessageA(g_main, WM_SYSCOMMAND, sc, 0);
      Sleep(300);
    } else if (cmd == "wmclose") {
      PostMessageA(g_main, WM_CLOSE, 0, 0);
    } else if (cmd == "state") {
      printf("state %d %d\n", IsWindowVisible(g_main) ? 1 : 0, IsIconic(g_main) ? 1 : 0);
    } else if (cmd == "tips") {
      EnumWindows(PrintTips, 0);
    } else if (cmd == "tray") {
      PostMessageA(g_main, 0x8064, 100, atoi(next().c_str()));
    } else if (cmd == "cursor") {
      const int x = atoi(next().c_str());
      const int y = atoi(next().c_str());
      // The pointer moves asynchronously under X: wait until the system reports it there.
      POINT at = {};
      for (int k = 0; k < 100 && !(at.x == x && at.y == y); ++k) {
        SetCursorPos(x, y);
        Sleep(20);
        GetCursorPos(&at);
      }
      if (at.x != x || at.y != y) Fail("pointer stays at " + std::to_string(at.x));
    } else if (cmd == "menu") {
      Menu();
    } else if (cmd == "nomenu") {
      NoMenu();
    } else if (cmd == "key") {
      PostMessageA(g_main, WM_KEYDOWN, atoi(next().c_str()), 1);
      Sleep(100);
    } else if (cmd == "endsession") {
      const LRESULT answer = Send(g_main, WM_QUERYENDSESSION, 0, 0);
      Send(g_main, WM_ENDSESSION, TRUE, 0);
      printf("endsession %ld\n", static_cast<long>(answer));
    } else if (cmd == "sleep") {
      Sleep(atoi(next().c_str()));
    } else if (cmd == "exit") {
      WaitExit();
    } else {
      Fail("unknown command " + cmd);
    }
    fflush(stdout);
  }
  return 0;
}
