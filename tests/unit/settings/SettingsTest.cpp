// Load and save against a fake profile file and fake controls: the order of the reads and
// writes, the defaults, the one-spelling "False" rule, and texts carried through unchanged.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "text/Texts.h"

namespace {

using vd::Text;
namespace t = vd::texts;

// An INI file as the profile functions see it: keys kept in first-written order, and a log of
// every call so that the order of reads and writes can be checked.
class FakeStore : public vd::ProfileStore {
 public:
  std::vector<std::pair<Text, Text>> keys;
  std::vector<Text> log;

  Text Get(const char* section, const char* key, const char* fallback) override {
    log.push_back(Text("get ") + section + " " + key + " " + fallback);
    for (const auto& kv : keys)
      if (kv.first == key) return kv.second;
    return fallback;
  }
  void Put(const char* section, const char* key, const Text& value) override {
    log.push_back(Text("put ") + section + " " + key + " " + value);
    for (auto& kv : keys)
      if (kv.first == key) {
        kv.second = value;
        return;
      }
    keys.emplace_back(key, value);
  }
  Text FileText() const {
    Text out = "[Parameter]\r\n";
    for (const auto& kv : keys) out += kv.first + "=" + kv.second + "\r\n";
    return out;
  }
};

// Controls that keep what is set and log the order of the sets.
class FakeControls : public vd::SettingsControls {
 public:
  Text period, length;
  int force = 0, ping = 0, web = 1;
  std::vector<Text> log;

  Text PeriodText() override { return period; }
  Text LengthText() override { return length; }
  int ForceChecked() override { return force; }
  int PingChecked() override { return ping; }
  int WebChecked() override { return web; }
  void SetPeriodText(const Text& text) override { period = text, log.push_back("period"); }
  void SetLengthText(const Text& text) override { length = text, log.push_back("length"); }
  void SetForceChecked(int c) override { force = c == 1, log.push_back("force"); }
  void SetPingChecked(int c) override { ping = c == 1, log.push_back("ping"); }
  void SetWebChecked(int c) override { web = c == 1, log.push_back("web"); }
};

TEST(Settings, BoolToTextIsTrueOnlyForOne) {
  EXPECT_EQ(vd::BoolToText(1), "True");
  for (int v : {0, 2, -1}) EXPECT_EQ(vd::BoolToText(v), "False") << v;
}

TEST(Settings, OnlyTheExactFalseClearsABox) {
  const struct {
    const char* text;
    int checked;
  } cases[] = {{"False", 0}, {"True", 1}, {"false", 1},  {"FALSE", 1}, {"0", 1},
               {"no", 1},    {"", 1},     {" False", 1}, {"False ", 1}};
  for (const auto& c : cases) EXPECT_EQ(vd::CheckedFromText(c.text), c.checked) << c.text;
}

TEST(Settings, LoadWithoutFileGivesTheDefaultsInOrder) {
  FakeStore store;
  FakeControls controls;
  controls.web = 0;
  vd::LoadSettings(store, controls);
  EXPECT_EQ(controls.period, "5");
  EXPECT_EQ(controls.length, "60");
  EXPECT_EQ(controls.force, 0);
  EXPECT_EQ(controls.ping, 0);
  EXPECT_EQ(controls.web, 1);
  const std::vector<Text> reads = {Text("get Parameter ") + t::kKeyPeriod + " 5",
                                   Text("get Parameter ") + t::kKeyLength + " 60",
                                   Text("get Parameter ") + t::kKeyForce + " False",
                                   Text("get Parameter ") + t::kKeyPing + " False",
                                   Text("get Parameter ") + t::kKeyWeb + " True"};
  EXPECT_EQ(store.log, reads);
  EXPECT_EQ(controls.log, (std::vector<Text>{"period", "length", "force", "ping", "web"}));
  EXPECT_TRUE(store.keys.empty()) << "loading must not create the file";
}

TEST(Settings, LoadTakesValuesAsTheyAre) {
  struct Case {
    const char* what;
    std::vector<std::pair<Text, Text>> file;
    Text period, length;
    int force, ping, web;
  };
  const Case cases[] = {
      {"both radios False", {{t::kKeyPing, "False"}, {t::kKeyWeb, "False"}}, "5", "60", 0, 0, 0},
      {"both radios True", {{t::kKeyPing, "True"}, {t::kKeyWeb, "True"}}, "5", "60", 0, 1, 1},
      {"small-letter false checks", {{t::kKeyForce, "false"}}, "5", "60", 1, 0, 1},
      {"empty value is not the default", {{t::kKeyForce, ""}}, "5", "60", 1, 0, 1},
      {"texts unchanged", {{t::kKeyPeriod, "abc"}, {t::kKeyLength, "-0"}}, "abc", "-0", 0, 0, 1},
      {"empty numbers stay empty", {{t::kKeyPeriod, ""}, {t::kKeyLength, ""}}, "", "", 0, 0, 1},
  };
  for (const auto& c : cases) {
    FakeStore store;
    store.keys = c.file;
    FakeControls controls;
    controls.web = 0;
    controls.ping = 1;  // setting each radio on its own: nothing clears the other
    controls.force = 1;
    vd::LoadSettings(store, controls);
    EXPECT_EQ(controls.period, c.period) << c.what;
    EXPECT_EQ(controls.length, c.length) << c.what;
    EXPECT_EQ(controls.force, c.force) << c.what;
    EXPECT_EQ(controls.ping, c.ping) << c.what;
    EXPECT_EQ(controls.web, c.web) << c.what;
  }
}

TEST(Settings, FreshSaveWritesTheKeysInTheFileOrder) {
  FakeStore store;
  FakeControls controls;
  controls.period = "5";
  controls.length = "60";
  vd::SaveSettings(store, controls);
  const Text expected = Text("[Parameter]\r\n") + t::kKeyPing + "=False\r\n" + t::kKeyWeb +
                        "=True\r\n" + t::kKeyLength + "=60\r\n" + t::kKeyPeriod + "=5\r\n" +
                        t::kKeyForce + "=False\r\n";
  EXPECT_EQ(store.FileText(), expected);
  EXPECT_EQ(store.log.size(), 5u);
}

TEST(Settings, SaveKeepsAnExistingOrderAndWritesTextsUnchanged) {
  FakeStore store;
  store.keys = {{t::kKeyForce, "x"}, {"other", "1"}, {t::kKeyPeriod, "9"}};
  FakeControls controls;
  controls.period = "";
  controls.length = "abc";
  controls.force = 1;
  controls.ping = 1;
  controls.web = 1;
  vd::SaveSettings(store, controls);
  const std::vector<std::pair<Text, Text>> expected = {
      {t::kKeyForce, "True"}, {"other", "1"},       {t::kKeyPeriod, ""},
      {t::kKeyPing, "True"},  {t::kKeyWeb, "True"}, {t::kKeyLength, "abc"}};
  EXPECT_EQ(store.keys, expected);
}

TEST(Settings, SaveThenLoadRoundTrips) {
  FakeStore store;
  FakeControls out;
  out.period = "-3";
  out.length = "7s";
  out.force = 1;
  out.ping = 1;
  out.web = 0;
  vd::SaveSettings(store, out);
  FakeControls in;
  vd::LoadSettings(store, in);
  EXPECT_EQ(in.period, "-3");
  EXPECT_EQ(in.length, "7s");
  EXPECT_EQ(in.force, 1);
  EXPECT_EQ(in.ping, 1);
  EXPECT_EQ(in.web, 0);
}

TEST(SettingsPath, CutAtTheLastBackslash) {
  const struct {
    const char* exe;
    const char* ini;
  } cases[] = {
      {"C:\\Tools\\Watch\\Vendrilov.exe", "C:\\Tools\\Watch\\Config.ini"},
      {"C:\\Vendrilov.exe", "C:\\Config.ini"},
      {"\\\\server\\share\\a.b\\v.exe", "\\\\server\\share\\a.b\\Config.ini"},
      {"v.exe", "\\Config.ini"},
      // A GBK name whose second byte is 0x5C ("\\") is one character, not a separator.
      {"C:\\Tools\\\x95\x5C.exe", "C:\\Tools\\Config.ini"},
      {"C:\\\x95\x5C\\v.exe", "C:\\\x95\x5C\\Config.ini"},
  };
  for (const auto& c : cases) EXPECT_EQ(vd::SettingsPathBeside(c.exe), c.ini) << c.exe;
}

// GetModuleFileNameA cuts a path that does not fit and returns the buffer size.
struct FakeModule {
  Text path;
  std::vector<uint32_t> sizes;
  uint32_t operator()(char* buffer, uint32_t size) {
    sizes.push_back(size);
    const uint32_t n = path.size() < size ? path.size() : size;
    std::copy(path.begin(), path.begin() + n, buffer);
    if (n < size) buffer[n] = 0;
    return n;
  }
};

TEST(SettingsPath, LongExecutablePathsAreFetchedWhole) {
  for (size_t length : {20u, 259u, 260u, 261u, 519u, 520u, 2000u, 40000u}) {
    FakeModule module;
    const Text dir = "C:\\" + Text(length - 15, 'd');
    module.path = dir + "\\Vendril.exe";
    ASSERT_EQ(module.path.size(), length);
    const Text path = vd::FetchModulePath(std::ref(module));
    EXPECT_EQ(path, module.path) << length;
    EXPECT_EQ(vd::SettingsPathBeside(path), dir + "\\Config.ini") << length;
  }
}

TEST(SettingsPath, AFailedFetchGivesNothing) {
  int calls = 0;
  EXPECT_EQ(vd::FetchModulePath([&](char*, uint32_t) -> uint32_t { return ++calls, 0; }), "");
  EXPECT_EQ(calls, 1);
  // A getter that always claims to be cut does not loop for ever.
  EXPECT_EQ(vd::FetchModulePath([](char*, uint32_t size) { return size; }), "");
}

}  // namespace
