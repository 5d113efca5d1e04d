// The settings-file keys and a few shown texts must be exactly these GBK bytes: a source file
// saved or compiled in another encoding would silently break every existing Config.ini.
#include <gtest/gtest.h>

#include <string>

#include "text/Texts.h"

namespace {

std::string Hex(const char* s) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(s); *p; ++p) {
    if (!out.empty()) out += ' ';
    out += digits[*p >> 4];
    out += digits[*p & 15];
  }
  return out;
}

struct KnownBytes {
  const char* name;
  const char* text;
  const char* hex;
};

TEST(Texts, KeysAndTextsAreGbk) {
  using namespace vd::texts;
  const KnownBytes cases[] = {
      {"period key", kKeyPeriod, "BC EC B2 E2 D6 DC C6 DA"},
      {"length key", kKeyLength, "B5 B9 BC C6 CA B1"},
      {"force key", kKeyForce, "C7 BF D6 C6 D6 B4 D0 D0"},
      {"ping key", kKeyPing, "D0 C2 C0 CB"},
      {"web key", kKeyWeb, "B0 D9 B6 C8"},
      {"section", kSection, "50 61 72 61 6D 65 74 65 72"},
      {"file", kSettingsFile, "43 6F 6E 66 69 67 2E 69 6E 69"},
      {"normal", kStatusNormal, "CD F8 C2 E7 D5 FD B3 A3"},
      {"alarm", kStatusAlarm, "CD F8 C2 E7 D2 EC B3 A3"},
      // Ends in the full-width colon A3 BA with no space after it.
      {"countdown", kCountdownPrefix, "CD F8 C2 E7 D2 EC B3 A3 20 3E 20 B5 B9 BC C6 CA B1 A3 BA"},
      {"ready", kStatusReady, "D7 BC B1 B8 BC EC B2 E2"},
      // ASCII parentheses in the first caption, full-width ones in the second.
      {"period caption", kPeriodCaption, "BC EC B2 E2 D6 DC C6 DA 28 B5 A5 CE BB 2F C3 EB 29"},
      {"length caption", kLengthCaption, "B5 B9 BC C6 CA B1 A3 A8 B5 A5 CE BB 2F C3 EB A3 A9"},
  };
  for (const auto& c : cases) EXPECT_EQ(Hex(c.text), c.hex) << c.name;
}

}  // namespace
