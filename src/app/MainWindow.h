// The main window 窗口 and its controls, which are the only store of the settings while the
// program runs; the start-up steps, the tray event, the tray menu and the exit sequence.
#pragma once

#include <windows.h>

#include <memory>

#include "app/Handles.h"
#include "app/Tray.h"
#include "app/TrayMenu.h"
#include "settings/Settings.h"
#include "watch/Watch.h"
#include "watch/WatchUi.h"

namespace vd {

class MainWindow : public WatchUi, public SettingsControls {
 public:
  explicit MainWindow(HINSTANCE instance) : instance_(instance) {}
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Builds the window and every control with events held back. False when it cannot.
  bool Build();
  // Lets events through, raises the created and position-changed events, shows the window.
  void Start();
  // The user-interface thread's message loop; the process ends inside the exit sequence.
  int RunMessageLoop();

  // The controls, as the watch and the settings file use them.
  Text PeriodText() override;
  Text LengthText() override;
  int WebChecked() override;
  int PingChecked() override;
  int ForceChecked() override;
  void SetPeriodText(const Text& text) override;
  void SetLengthText(const Text& text) override;
  void SetForceChecked(int checked) override;
  void SetPingChecked(int checked) override;
  void SetWebChecked(int checked) override;
  void SetLabelText(const Text& text) override;
  void SetLabelColour(uint32_t colour) override;
  uint32_t LabelColour() override { return labelColour_; }
  void SetTimerPeriod(int milliseconds) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  HWND Child(HWND parent, const char* cls, const char* text, DWORD style, DWORD exStyle, int x,
             int y, int width, int height, int id);

  void OnCreated();
  void OnPositionChanged();
  void OnTrayEvent(int type);
  void OnCommand(int id, int code);
  void ShowMainWindow();
  void PopUpTrayMenu();
  void AttachTip(HWND control, const char* text);
  void RepaintBehind(HWND label);
  [[noreturn]] void ExitSequence();
  [[noreturn]] void EndProgram(UINT exitCode);

  HINSTANCE instance_;
  HWND window_ = nullptr;
  HWND periodCaption_ = nullptr, periodEdit_ = nullptr, lengthCaption_ = nullptr;
  HWND lengthEdit_ = nullptr, okButton_ = nullptr, probeGroup_ = nullptr;
  HWND pingRadio_ = nullptr, webRadio_ = nullptr, forceCheck_ = nullptr;
  HWND statusGroup_ = nullptr, statusLabel_ = nullptr, tips_ = nullptr;
  HWND radioPair_[2] = {};  // 其它 and 百度, for the probe group's click handling
  FontHandle statusFont_;
  uint32_t labelColour_ = kRed;
  int timerPeriod_ = 0;
  bool eventsOn_ = false;    // held back while building and from the start of the ending
  bool destroying_ = false;  // WM_DESTROY has come: the window is already on its way out
  TrayIcon tray_;
  TrayMenu trayMenu_;
  Text settingsPath_;
  std::unique_ptr<Watch> watch_;
};

}  // namespace vd
