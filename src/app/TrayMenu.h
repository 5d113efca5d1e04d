// The tray menu "托盘": five items with visible flags; the pop-up shows the visible ones.
#pragma once

#include <vector>

namespace vd {

enum TrayCommand : unsigned {
  kCommandOpen = 1001,  // 打开设置
  kCommandSeparator = 1002,
  kCommandShop = 1003,  // 定制软件
  kCommandBlog = 1004,  // 官方博客
  kCommandExit = 1005,  // 退出程序
};

struct TrayMenuItem {
  const char* text;  // GBK; "-" draws as a separator
  unsigned id;
  bool visible;
};

class TrayMenu {
 public:
  TrayMenu();

  // Before each pop-up: "打开设置" and the separator only while the window is not visible.
  void SetWindowVisible(bool visible);
  // The items the pop-up shows, in menu order.
  std::vector<TrayMenuItem> PopupItems() const;
  static bool IsSeparator(const TrayMenuItem& item);

 private:
  std::vector<TrayMenuItem> items_;
};

// Where the pop-up's top-right corner goes: 5 pixels left of and above the pointer.
struct PopupOrigin {
  int x, y;
};
PopupOrigin PopupOriginFor(int pointerX, int pointerY);

}  // namespace vd
