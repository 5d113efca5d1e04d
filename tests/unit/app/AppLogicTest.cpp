// The tray event mapping, the tip limit, the tray menu's visible items and the typing filter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/TrayEvent.h"
#include "app/TrayMenu.h"
#include "app/TypingFilter.h"
#include "text/Texts.h"

namespace {

TEST(TrayEvent, MouseMessagesMapToTypes) {
  const struct {
    uint32_t message;
    vd::TrayEventType type;
  } cases[] = {
      {0x0202, vd::kTrayClick},       {0x0203, vd::kTrayDoubleClick},
      {0x0205, vd::kTrayMenuRequest}, {0x007B, vd::kTrayMenuRequest},
      {0x0200, vd::kTrayNone},        {0x0201, vd::kTrayNone},  // move, left press
      {0x0204, vd::kTrayNone},        {0x0206, vd::kTrayNone},  // right press, right double
      {0x0207, vd::kTrayNone},        {0x0000, vd::kTrayNone},
  };
  for (const auto& c : cases) EXPECT_EQ(vd::TrayEventFromMessage(c.message), c.type) << c.message;
}

TEST(TrayEvent, TipIsCutTo62Bytes) {
  EXPECT_EQ(vd::TrayTipText(vd::texts::kTrayTip), "Vendrilo");
  EXPECT_EQ(vd::TrayTipText(std::string(62, 'x')), std::string(62, 'x'));
  EXPECT_EQ(vd::TrayTipText(std::string(63, 'x')), std::string(62, 'x'));
  EXPECT_EQ(vd::TrayTipText(std::string(200, 'x')).size(), 62u);
  EXPECT_EQ(vd::TrayTipText(""), "");
}

std::vector<std::string> Texts(const vd::TrayMenu& menu) {
  std::vector<std::string> out;
  for (const auto& item : menu.PopupItems())
    out.push_back(vd::TrayMenu::IsSeparator(item) ? "|" : item.text);
  return out;
}

TEST(TrayMenu, OpenAndSeparatorOnlyWhileTheWindowIsNotVisible) {
  namespace t = vd::texts;
  vd::TrayMenu menu;
  const std::vector<std::string> all = {t::kMenuOpen, "|", t::kMenuShop, t::kMenuBlog,
                                        t::kMenuExit};
  const std::vector<std::string> three = {t::kMenuShop, t::kMenuBlog, t::kMenuExit};
  EXPECT_EQ(Texts(menu), all);
  menu.SetWindowVisible(true);
  EXPECT_EQ(Texts(menu), three);
  EXPECT_EQ(Texts(menu), three) << "flags keep their values between pop-ups";
  menu.SetWindowVisible(false);
  EXPECT_EQ(Texts(menu), all);
  menu.SetWindowVisible(true);
  EXPECT_EQ(Texts(menu), three);
}

TEST(TrayMenu, CommandsAreDistinctAndTheSeparatorHasNone) {
  vd::TrayMenu menu;
  const auto items = menu.PopupItems();
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(items[0].id, vd::kCommandOpen);
  EXPECT_EQ(items[2].id, vd::kCommandShop);
  EXPECT_EQ(items[3].id, vd::kCommandBlog);
  EXPECT_EQ(items[4].id, vd::kCommandExit);
  EXPECT_TRUE(vd::TrayMenu::IsSeparator(items[1]));
  for (size_t i : {0u, 2u, 3u, 4u}) EXPECT_FALSE(vd::TrayMenu::IsSeparator(items[i]));
}

TEST(TrayMenu, PopupCornerIsFivePixelsLeftOfAndAboveThePointer) {
  const auto at = vd::PopupOriginFor(600, 400);
  EXPECT_EQ(at.x, 595);
  EXPECT_EQ(at.y, 395);
  const auto corner = vd::PopupOriginFor(0, 2);
  EXPECT_EQ(corner.x, -5);
  EXPECT_EQ(corner.y, -3);
}

TEST(TypingFilter, DigitsMinusAndControlCharactersPass) {
  for (uint32_t c = 0; c < 0x110; ++c) {
    const bool expected = c < 32 || c == '-' || (c >= '0' && c <= '9');
    EXPECT_EQ(vd::TypedCharPasses(c), expected) << c;
  }
  // Typed Chinese and full-width digits come as UTF-16 codes or GBK bytes: all dropped.
  for (uint32_t c : {0x5012u, 0xFF10u, 0xFF0Du, 0xA3u, 0xB0u, 0x3000u})
    EXPECT_FALSE(vd::TypedCharPasses(c)) << c;
}

}  // namespace
