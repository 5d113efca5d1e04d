// What the watch needs from the main window. The app implements it; every call is made on the
// user-interface thread (the worker never touches a control itself).
#pragma once

#include <cstdint>

#include "text/Text.h"

namespace vd {

constexpr uint32_t kBlue = 0xFF0000;  // COLORREF 0x00BBGGRR
constexpr uint32_t kRed = 0x0000FF;

class WatchUi {
 public:
  virtual ~WatchUi() = default;
  virtual Text PeriodText() = 0;  // text of 编辑框_检测周期
  virtual Text LengthText() = 0;  // text of 编辑框_倒计时
  virtual int WebChecked() = 0;   // 单选框_百度: 1 checked, 0 not
  virtual int PingChecked() = 0;  // 单选框_新浪
  virtual int ForceChecked() = 0; // 选择框_强制执行
  virtual void SetLabelText(const Text& text) = 0;       // 标签_提示
  virtual void SetLabelColour(uint32_t colour) = 0;
  virtual uint32_t LabelColour() = 0;  // last colour set, 0x0000FF before any
  virtual void SetTimerPeriod(int milliseconds) = 0;  // 时钟_倒计时, with the period rules
};

}  // namespace vd
