#include "app/TrayMenu.h"

#include <cstring>

#include "text/Texts.h"

namespace vd {

TrayMenu::TrayMenu()
    : items_{{texts::kMenuOpen, kCommandOpen, true},
             {texts::kMenuSeparator, kCommandSeparator, true},
             {texts::kMenuShop, kCommandShop, true},
             {texts::kMenuBlog, kCommandBlog, true},
             {texts::kMenuExit, kCommandExit, true}} {}

// The flags keep their values between pop-ups; only these two ever change.
void TrayMenu::SetWindowVisible(bool visible) {
  items_[0].visible = !visible;
  items_[1].visible = !visible;
}

std::vector<TrayMenuItem> TrayMenu::PopupItems() const {
  std::vector<TrayMenuItem> shown;
  for (const auto& item : items_)
    if (item.visible) shown.push_back(item);
  return shown;
}

bool TrayMenu::IsSeparator(const TrayMenuItem& item) {
  return std::strcmp(item.text, texts::kMenuSeparator) == 0;
}

PopupOrigin PopupOriginFor(int pointerX, int pointerY) { return {pointerX - 5, pointerY - 5}; }

}  // namespace vd
