#include "settings/Settings.h"

#include <vector>

#include "text/Texts.h"

namespace vd {

namespace t = texts;

Text BoolToText(int checked) { return checked == 1 ? t::kTrue : t::kFalse; }

int CheckedFromText(const Text& text) { return text == t::kFalse ? 0 : 1; }

// The order of the reads is part of the program's contract with the file's users.
void LoadSettings(ProfileStore& store, SettingsControls& controls) {
  controls.SetPeriodText(store.Get(t::kSection, t::kKeyPeriod, t::kDefaultPeriod));
  controls.SetLengthText(store.Get(t::kSection, t::kKeyLength, t::kDefaultLength));
  controls.SetForceChecked(CheckedFromText(store.Get(t::kSection, t::kKeyForce, t::kFalse)));
  controls.SetPingChecked(CheckedFromText(store.Get(t::kSection, t::kKeyPing, t::kFalse)));
  controls.SetWebChecked(CheckedFromText(store.Get(t::kSection, t::kKeyWeb, t::kTrue)));
}

// A fresh file gets its keys in this order; an existing file keeps its own.
void SaveSettings(ProfileStore& store, SettingsControls& controls) {
  store.Put(t::kSection, t::kKeyPing, BoolToText(controls.PingChecked()));
  store.Put(t::kSection, t::kKeyWeb, BoolToText(controls.WebChecked()));
  store.Put(t::kSection, t::kKeyLength, controls.LengthText());
  store.Put(t::kSection, t::kKeyPeriod, controls.PeriodText());
  store.Put(t::kSection, t::kKeyForce, BoolToText(controls.ForceChecked()));
}

// Searched by characters: in a GBK name the second byte of a character may be 0x5C.
Text SettingsPathBeside(const Text& executablePath) {
  const int cut = FindTextReverse(executablePath, "\\");
  const Text directory = cut == -1 ? Text() : TextLeft(executablePath, cut - 1);
  return directory + "\\" + t::kSettingsFile;
}

// A fixed MAX_PATH buffer would cut a long path and put the settings somewhere else.
Text FetchModulePath(const ModulePathGetter& get) {
  constexpr uint32_t kLargest = 1u << 18;  // well above the longest path Windows allows
  for (uint32_t size = 260; size <= kLargest; size *= 2) {
    std::vector<char> buffer(size);
    const uint32_t n = get(buffer.data(), size);
    if (n == 0) return Text();
    if (n < size) return Text(buffer.data(), n);
  }
  return Text();
}

}  // namespace vd
