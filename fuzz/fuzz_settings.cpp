// Loading and saving the settings over any bytes a hand-edited "Config.ini" can hold. The store
// reads the bytes line by line the way the private-profile functions do; the properties: what
// reaches the controls is one line's value at most 10239 bytes long, a save writes exactly what
// the controls hold, and no line other than the five values is lost, changed or moved.
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "settings/Settings.h"
#include "text/Texts.h"

namespace {

using vd::Text;

bool SameIgnoringCase(const Text& a, const Text& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

Text Trim(const Text& s) {
  const char* blanks = " \t";
  const size_t first = s.find_first_not_of(blanks);
  if (first == Text::npos) return Text();
  return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

// A private-profile file: lines split at CR and LF, "[name]" opens a section, "key=value" is a
// key with blanks trimmed on both sides and one pair of enclosing quotes dropped on reading.
// Section and key names compare ignoring ASCII case; the first match wins.
class LineStore : public vd::ProfileStore {
 public:
  explicit LineStore(const Text& bytes) {
    size_t pos = 0;
    while (pos < bytes.size()) {
      size_t end = bytes.find_first_of("\r\n", pos);
      if (end == Text::npos) end = bytes.size();
      lines.push_back(bytes.substr(pos, end - pos));
      origin.push_back(static_cast<long>(origin.size()));
      pos = end + 1;
      if (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n') ++pos;
    }
  }

  Text Get(const char* section, const char* key, const char* fallback) override {
    const long at = FindKey(section, key);
    if (at < 0) return fallback;
    Text value = ValueOf(lines[at]);
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
      value = value.substr(1, value.size() - 2);
    return value.substr(0, vd::kProfileValueBuffer - 1);
  }

  void Put(const char* section, const char* key, const Text& value) override {
    puts.push_back(value);
    const long at = FindKey(section, key);
    if (at >= 0) {
      lines[at] = Text(key) + "=" + value;
      return;
    }
    long sectionLine = FindSection(section);
    if (sectionLine < 0) {
      lines.push_back(Text("[") + section + "]");
      origin.push_back(-1);
      sectionLine = static_cast<long>(lines.size()) - 1;
    }
    size_t insert = sectionLine + 1;
    while (insert < lines.size() && !IsSection(lines[insert])) ++insert;
    lines.insert(lines.begin() + insert, Text(key) + "=" + value);
    origin.insert(origin.begin() + insert, -1);
  }

  static bool IsSection(const Text& line) {
    const Text t = Trim(line);
    return !t.empty() && t[0] == '[' && t.find(']') != Text::npos;
  }
  static Text SectionName(const Text& line) {
    const Text t = Trim(line);
    return Trim(t.substr(1, t.find(']') - 1));
  }
  static bool IsKey(const Text& line) {
    const Text t = Trim(line);
    return !t.empty() && t[0] != ';' && !IsSection(line) && t.find('=') != Text::npos;
  }
  static Text KeyOf(const Text& line) { return Trim(line.substr(0, line.find('='))); }
  static Text ValueOf(const Text& line) { return Trim(line.substr(line.find('=') + 1)); }

  long FindSection(const char* section) const {
    for (size_t i = 0; i < lines.size(); ++i)
      if (IsSection(lines[i]) && SameIgnoringCase(SectionName(lines[i]), section))
        return static_cast<long>(i);
    return -1;
  }
  long FindKey(const char* section, const char* key) const {
    bool inside = false;
    for (size_t i = 0; i < lines.size(); ++i) {
      if (IsSection(lines[i])) {
        inside = SameIgnoringCase(SectionName(lines[i]), section);
      } else if (inside && IsKey(lines[i]) && SameIgnoringCase(KeyOf(lines[i]), key)) {
        return static_cast<long>(i);
      }
    }
    return -1;
  }

  std::vector<Text> lines;
  std::vector<long> origin;  // the line's index in the bytes read, -1 for a line a save added
  std::vector<Text> puts;    // every value written, in order
};

class Controls : public vd::SettingsControls {
 public:
  Text period = "?", length = "?";
  int force = 7, ping = 7, web = 7;
  Text PeriodText() override { return period; }
  Text LengthText() override { return length; }
  int ForceChecked() override { return force; }
  int PingChecked() override { return ping; }
  int WebChecked() override { return web; }
  void SetPeriodText(const Text& text) override { period = text; }
  void SetLengthText(const Text& text) override { length = text; }
  void SetForceChecked(int c) override { force = c == 1; }
  void SetPingChecked(int c) override { ping = c == 1; }
  void SetWebChecked(int c) override { web = c == 1; }
};

bool NoLineBreak(const Text& t) { return t.find_first_of("\r\n") == Text::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  namespace t = vd::texts;
  const Text bytes(reinterpret_cast<const char*>(data), size);
  LineStore store(bytes);
  const std::vector<Text> before = store.lines;

  Controls controls;
  vd::LoadSettings(store, controls);
  for (const Text* text : {&controls.period, &controls.length}) {
    VD_FUZZ_CHECK(text->size() < vd::kProfileValueBuffer);
    VD_FUZZ_CHECK(NoLineBreak(*text));
  }
  for (int c : {controls.force, controls.ping, controls.web}) VD_FUZZ_CHECK(c == 0 || c == 1);
  VD_FUZZ_CHECK(controls.force == (store.Get(t::kSection, t::kKeyForce, t::kFalse) != t::kFalse));
  VD_FUZZ_CHECK(controls.web == (store.Get(t::kSection, t::kKeyWeb, t::kTrue) != t::kFalse));

  vd::SaveSettings(store, controls);
  const std::vector<Text> written = {vd::BoolToText(controls.ping), vd::BoolToText(controls.web),
                                     controls.length, controls.period,
                                     vd::BoolToText(controls.force)};
  VD_FUZZ_CHECK(store.puts == written);

  // Every line of the old file is still there in its order, changed only where it held one of
  // the five keys of the settings section; the lines added are those keys and that section.
  const char* keys[] = {t::kKeyPeriod, t::kKeyLength, t::kKeyForce, t::kKeyPing, t::kKeyWeb};
  std::vector<bool> ours(store.lines.size(), false);
  for (const char* key : keys) ours[store.FindKey(t::kSection, key)] = true;
  long last = -1;
  for (size_t i = 0; i < store.lines.size(); ++i) {
    const long from = store.origin[i];
    if (from < 0) {
      VD_FUZZ_CHECK(ours[i] || store.FindSection(t::kSection) == static_cast<long>(i));
      continue;
    }
    VD_FUZZ_CHECK(from == last + 1);
    last = from;
    VD_FUZZ_CHECK(store.lines[i] == before[from] || ours[i]);
  }
  VD_FUZZ_CHECK(last + 1 == static_cast<long>(before.size()));

  // Read back, the boxes get exactly what was saved whenever the profile rules leave it alone.
  Controls again;
  vd::LoadSettings(store, again);
  VD_FUZZ_CHECK(again.force == controls.force && again.ping == controls.ping &&
                again.web == controls.web);
  if (Trim(controls.period) == controls.period &&
      controls.period.find_first_of("\"'") == Text::npos)
    VD_FUZZ_CHECK(again.period == controls.period);
  return 0;
}
