// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>
// clang-format on

#include <vector>

#include "app/MainWindow.h"
#include "app/TrayEvent.h"
#include "app/TypingFilter.h"
#include "app/resource.h"
#include "http/WebPageProbe.h"
#include "settings/IniFile.h"
#include "text/Texts.h"
#include "watch/TimerPeriod.h"

namespace vd {

namespace {

constexpr char kClassName[] = "VendrilovMainWindow";
constexpr int kWidth = 255, kHeight = 221;  // outer size, frame included
constexpr UINT_PTR kCountdownTimer = 1;
constexpr int kCountdownPeriod = 1000;

enum ControlId {
  kIdPeriodCaption = 101,
  kIdPeriodEdit,
  kIdLengthCaption,
  kIdLengthEdit,
  kIdOk,
  kIdProbeGroup,
  kIdPingRadio,
  kIdWebRadio,
  kIdForceCheck,
  kIdStatusGroup,
  kIdStatusLabel,
};

// Radio buttons that the program can set one at a time: the automatic kind unchecks its
// partner even on BM_SETCHECK, so a click is turned into the pair's check here instead.
LRESULT CALLBACK PairRadios(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                            DWORD_PTR pair) {
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    const auto* radios = reinterpret_cast<const HWND*>(pair);
    HWND clicked = reinterpret_cast<HWND>(lParam);
    if (clicked == radios[0] || clicked == radios[1]) {
      SendMessageA(radios[0], BM_SETCHECK, clicked == radios[0] ? BST_CHECKED : BST_UNCHECKED, 0);
      SendMessageA(radios[1], BM_SETCHECK, clicked == radios[1] ? BST_CHECKED : BST_UNCHECKED, 0);
    }
  }
  return DefSubclassProc(box, message, wParam, lParam);
}

// The group boxes own their children, whose notifications and colour questions go to the box;
// the main window answers them all.
LRESULT CALLBACK ForwardToMain(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR main) {
  switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_DRAWITEM:
      return SendMessageA(reinterpret_cast<HWND>(main), message, wParam, lParam);
    default:
      return DefSubclassProc(box, message, wParam, lParam);
  }
}

// Typing filter of both edit boxes; pasting and the program's own writes do not pass here.
LRESULT CALLBACK FilterTyping(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR) {
  if (message == WM_CHAR && !TypedCharPasses(static_cast<uint32_t>(wParam))) return 0;
  return DefSubclassProc(edit, message, wParam, lParam);
}

Text WindowText(HWND control) {
  const int length = GetWindowTextLengthA(control);
  std::vector<char> buffer(length + 1);
  const int n = GetWindowTextA(control, buffer.data(), length + 1);
  return Text(buffer.data(), n > 0 ? n : 0);
}

int Checked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0; }

// Only the control addressed changes, so both radio buttons (or neither) can be checked.
void SetChecked(HWND button, int checked) {
  SendMessageA(button, BM_SETCHECK, checked == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

}  // namespace

HWND MainWindow::Child(HWND parent, const char* cls, const char* text, DWORD style, DWORD exStyle,
                       int x, int y, int width, int height, int id) {
  HWND child = CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, width,
                               height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               instance_, nullptr);
  if (child)
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
  return child;
}

// Everything is built hidden and with events held back; the created event is raised by Start.
bool MainWindow::Build() {
  WNDCLASSEXA cls = {};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = WindowProc;
  cls.hInstance = instance_;
  cls.hIcon = static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(VD_IDI_APP), IMAGE_ICON,
                                            GetSystemMetrics(SM_CXICON),
                                            GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
  cls.hIconSm = static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(VD_IDI_APP), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXSMICON),
                                              GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  cls.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.lpszClassName = kClassName;
  if (!RegisterClassExA(&cls)) return false;

  const int left = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
  if (!CreateWindowExA(0, kClassName, texts::kWindowTitle,
                       WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, left, top, kWidth,
                       kHeight, nullptr, nullptr, instance_, this))
    return false;  // WindowProc has stored window_ from WM_NCCREATE
  SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
               FALSE);

  const DWORD label = SS_NOPREFIX | SS_CENTERIMAGE;
  const DWORD edit = WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL;
  periodCaption_ = Child(window_, "STATIC", texts::kPeriodCaption, SS_LEFT | label, 0, 8, 11, 112,
                         24, kIdPeriodCaption);
  periodEdit_ = Child(window_, "EDIT", "", edit, WS_EX_STATICEDGE, 117, 12, 67, 22, kIdPeriodEdit);
  lengthCaption_ = Child(window_, "STATIC", texts::kLengthCaption, SS_CENTER | label, 0, 8, 41, 104,
                         24, kIdLengthCaption);
  lengthEdit_ = Child(window_, "EDIT", "", edit, WS_EX_STATICEDGE, 117, 42, 67, 22, kIdLengthEdit);
  okButton_ = Child(window_, "BUTTON", texts::kOkButton,
                    WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER, 0, 192, 11, 48, 53, kIdOk);
  probeGroup_ =
      Child(window_, "BUTTON", texts::kProbeGroup, BS_GROUPBOX, 0, 8, 75, 232, 48, kIdProbeGroup);
  if (!periodCaption_ || !periodEdit_ || !lengthCaption_ || !lengthEdit_ || !okButton_ ||
      !probeGroup_)
    return false;
  const DWORD choice = WS_TABSTOP | BS_LEFT | BS_VCENTER;
  pingRadio_ = Child(probeGroup_, "BUTTON", texts::kPingRadio, WS_GROUP | BS_RADIOBUTTON | choice,
                     0, 13, 22, 48, 16, kIdPingRadio);
  webRadio_ = Child(probeGroup_, "BUTTON", texts::kWebRadio, BS_RADIOBUTTON | choice, 0, 71, 22, 48,
                    16, kIdWebRadio);
  forceCheck_ = Child(probeGroup_, "BUTTON", texts::kForceCheck,
                      WS_GROUP | BS_AUTOCHECKBOX | choice, 0, 153, 22, 72, 16, kIdForceCheck);
  statusGroup_ = Child(window_, "BUTTON", texts::kStatusGroup, BS_GROUPBOX, 0, 8, 132, 232, 53,
                       kIdStatusGroup);
  if (!pingRadio_ || !webRadio_ || !forceCheck_ || !statusGroup_) return false;
  statusLabel_ =
      Child(statusGroup_, "STATIC", "", SS_CENTER | label, 0, 6, 18, 217, 25, kIdStatusLabel);
  if (!statusLabel_) return false;

  statusFont_.Reset(CreateFontA(-14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, ""));
  SendMessageA(statusLabel_, WM_SETFONT, reinterpret_cast<WPARAM>(statusFont_.Get()), FALSE);

  radioPair_[0] = pingRadio_;
  radioPair_[1] = webRadio_;
  // The last subclass installed sees a message first: the pair is checked before forwarding.
  SetWindowSubclass(probeGroup_, ForwardToMain, 0, reinterpret_cast<DWORD_PTR>(window_));
  SetWindowSubclass(probeGroup_, PairRadios, 1, reinterpret_cast<DWORD_PTR>(radioPair_));
  SetWindowSubclass(statusGroup_, ForwardToMain, 0, reinterpret_cast<DWORD_PTR>(window_));
  for (HWND box : {periodEdit_, lengthEdit_}) {
    SendMessageA(box, EM_SETLIMITTEXT, 0, 0);  // 0: as long as the control allows
    SetWindowSubclass(box, FilterTyping, 0, 0);
  }
  SetChecked(webRadio_, 1);

  tips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                          WS_POPUP | TTS_BALLOON | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance_,
                          nullptr);

  // The countdown timer ticks from now on; its ticks mean nothing until an Alarm.
  timerPeriod_ = kCountdownPeriod;
  SetTimer(window_, kCountdownTimer, kCountdownPeriod, nullptr);
  watch_ = std::make_unique<Watch>(window_, *this, RealWatchServices(WebPageProbe));
  return true;
}

void MainWindow::Start() {
  eventsOn_ = true;
  OnCreated();
  OnPositionChanged();
  ShowWindow(window_, SW_SHOW);
}

int MainWindow::RunMessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

// Everything before the first showing: icon, settings, tips, "准备检测" in blue, the watch.
void MainWindow::OnCreated() {
  tray_.Add(window_, instance_, texts::kTrayTip);
  settingsPath_ = ExecutableSettingsPath();
  IniFileStore store(settingsPath_);
  LoadSettings(store, *this);
  AttachTip(webRadio_, texts::kWebTip);
  AttachTip(pingRadio_, texts::kPingTip);
  AttachTip(forceCheck_, texts::kForceTip);
  SetLabelColour(kBlue);
  SetLabelText(texts::kStatusReady);
  watch_->Apply();
}

// Minimise-to-hide: a minimised window leaves the taskbar and lives on in the tray.
void MainWindow::OnPositionChanged() {
  if (IsIconic(window_)) ShowWindow(window_, SW_HIDE);
}

void MainWindow::OnTrayEvent(int type) {
  if (type == kTrayDoubleClick) ShowMainWindow();
  if (type == kTrayMenuRequest) PopUpTrayMenu();
}

void MainWindow::OnCommand(int id, int code) {
  if (id == kIdOk && code == BN_CLICKED) {
    watch_->Apply();
    return;
  }
  if (code != 0) return;  // menu commands arrive with code 0
  switch (id) {
    case kCommandOpen:
      ShowMainWindow();
      break;
    case kCommandShop:
    case kCommandBlog: {
      HWND browser = FindWindowExA(nullptr, nullptr, nullptr, texts::kBrowserWindowTitle);
      ShellExecuteA(browser, "open", id == kCommandShop ? texts::kShopUrl : texts::kBlogUrl,
                    nullptr, nullptr, SW_SHOWNORMAL);
      break;
    }
    case kCommandExit:
      ExitSequence();
  }
}

// SW_SHOW keeps a minimised window minimised: only its taskbar button comes back.
void MainWindow::ShowMainWindow() {
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
}

// The pop-up runs its own message loop; the chosen command arrives after it has closed.
void MainWindow::PopUpTrayMenu() {
  trayMenu_.SetWindowVisible(IsWindowVisible(window_) != FALSE);
  MenuHandle popup(CreatePopupMenu());
  if (!popup) return;
  for (const TrayMenuItem& item : trayMenu_.PopupItems()) {
    if (TrayMenu::IsSeparator(item))
      AppendMenuA(popup.Get(), MF_SEPARATOR, 0, nullptr);
    else
      AppendMenuA(popup.Get(), MF_STRING, item.id, item.text);
  }
  POINT pointer = {};
  GetCursorPos(&pointer);
  SetForegroundWindow(window_);  // else the menu does not close when the user clicks elsewhere
  const PopupOrigin at = PopupOriginFor(pointer.x, pointer.y);
  TrackPopupMenu(popup.Get(), TPM_RIGHTALIGN, at.x, at.y, 0, window_, nullptr);
  PostMessageA(window_, WM_NULL, 0, 0);
}

void MainWindow::AttachTip(HWND control, const char* text) {
  TOOLINFOA tool = {};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(control);
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<char*>(text);
  SendMessageA(tips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

// The label draws no background, so the window behind it is painted first, then the label.
void MainWindow::RepaintBehind(HWND label) {
  RECT area;
  GetWindowRect(label, &area);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&area), 2);
  RedrawWindow(window_, &area, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// The process ends here: every way out (close box, Alt+F4, "退出程序") comes through once.
void MainWindow::ExitSequence() {
  watch_->Stop();
  IniFileStore store(settingsPath_);
  SaveSettings(store, *this);
  tray_.Remove();
  EndProgram(0);
}

void MainWindow::EndProgram(UINT exitCode) {
  eventsOn_ = false;  // so the destruction below does not run the exit sequence again
  settingsPath_ = Text();
  watch_.reset();
  if (!destroying_) DestroyWindow(window_);
  statusFont_.Reset();
  OleUninitialize();
  ExitProcess(exitCode);
}

Text MainWindow::PeriodText() { return WindowText(periodEdit_); }
Text MainWindow::LengthText() { return WindowText(lengthEdit_); }
int MainWindow::WebChecked() { return Checked(webRadio_); }
int MainWindow::PingChecked() { return Checked(pingRadio_); }
int MainWindow::ForceChecked() { return Checked(forceCheck_); }
void MainWindow::SetPeriodText(const Text& text) { SetWindowTextA(periodEdit_, text.c_str()); }
void MainWindow::SetLengthText(const Text& text) { SetWindowTextA(lengthEdit_, text.c_str()); }
void MainWindow::SetForceChecked(int checked) { SetChecked(forceCheck_, checked); }
void MainWindow::SetPingChecked(int checked) { SetChecked(pingRadio_, checked); }
void MainWindow::SetWebChecked(int checked) { SetChecked(webRadio_, checked); }

void MainWindow::SetLabelText(const Text& text) {
  SetWindowTextA(statusLabel_, text.c_str());
  RepaintBehind(statusLabel_);
}

void MainWindow::SetLabelColour(uint32_t colour) {
  labelColour_ = colour;
  RepaintBehind(statusLabel_);
}

void MainWindow::SetTimerPeriod(int milliseconds) {
  const auto next = TimerPeriodAfterWrite(timerPeriod_, milliseconds);
  if (!next) return;  // same period: the running timer keeps its rhythm
  timerPeriod_ = *next;
  KillTimer(window_, kCountdownTimer);
  if (timerPeriod_ > 0) SetTimer(window_, kCountdownTimer, timerPeriod_, nullptr);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->window_ = window;
  }
  return self ? self->Handle(message, wParam, lParam)
              : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (watch_ && watch_->HandleMessage(message, wParam, lParam, &result)) return result;
  switch (message) {
    case WM_COMMAND:
      if (eventsOn_) OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_TIMER:
      if (eventsOn_ && wParam == kCountdownTimer) watch_->Tick();
      return 0;
    case WM_MOVE:
      if (eventsOn_) OnPositionChanged();
      return 0;
    case kTrayCallbackMessage:
      if (eventsOn_) OnTrayEvent(TrayEventFromMessage(LOWORD(lParam)));
      return 0;
    case WM_DESTROY:
      destroying_ = true;
      if (eventsOn_) ExitSequence();  // the children still exist here, so the save sees them
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;  // log-off and shutdown end the process without the exit sequence
    case WM_CTLCOLORSTATIC: {
      HWND control = reinterpret_cast<HWND>(lParam);
      if (control != periodCaption_ && control != lengthCaption_ && control != statusLabel_) break;
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, control == statusLabel_ ? labelColour_ : RGB(0, 0, 0));
      return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    case WM_CTLCOLOREDIT: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, RGB(0, 0, 0));
      SetBkColor(dc, RGB(255, 255, 255));
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

}  // namespace vd
