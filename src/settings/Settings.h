// The four user settings as five keys of "Config.ini", read into and written from the window's
// controls. The controls are the only store of the settings while the program runs.
#pragma once

#include <cstdint>
#include <functional>

#include "text/Text.h"

namespace vd {

// Size of the value buffer of a profile read: longer values come back cut to 10239 bytes.
constexpr uint32_t kProfileValueBuffer = 10240;

// A private-profile file: the real one calls the Windows profile functions.
class ProfileStore {
 public:
  virtual ~ProfileStore() = default;
  // The key's value, or `fallback` when the file, the section or the key is missing. A key with
  // an empty value gives the empty text.
  virtual Text Get(const char* section, const char* key, const char* fallback) = 0;
  // Adds the file, section or key when missing; an empty value stays a key with an empty value.
  virtual void Put(const char* section, const char* key, const Text& value) = 0;
};

// The controls that hold the settings. Checked states are 1 (checked) or 0; setting takes 1 as
// checked and anything else as not, and touches only the control addressed.
class SettingsControls {
 public:
  virtual ~SettingsControls() = default;
  virtual Text PeriodText() = 0;   // 编辑框_检测周期
  virtual Text LengthText() = 0;   // 编辑框_倒计时
  virtual int ForceChecked() = 0;  // 选择框_强制执行
  virtual int PingChecked() = 0;   // 单选框_新浪
  virtual int WebChecked() = 0;    // 单选框_百度
  virtual void SetPeriodText(const Text& text) = 0;
  virtual void SetLengthText(const Text& text) = 0;
  virtual void SetForceChecked(int checked) = 0;
  virtual void SetPingChecked(int checked) = 0;
  virtual void SetWebChecked(int checked) = 0;
};

// "True" for a checked state of exactly 1, "False" otherwise.
Text BoolToText(int checked);
// 1 unless the text is exactly "False": only that one spelling clears a box.
int CheckedFromText(const Text& text);

void LoadSettings(ProfileStore& store, SettingsControls& controls);
void SaveSettings(ProfileStore& store, SettingsControls& controls);

// The settings file beside the executable: its path cut at the last backslash + "\Config.ini".
Text SettingsPathBeside(const Text& executablePath);

// Runs a GetModuleFileNameA-like `get` (fills buf, returns the bytes copied; a result equal to
// the buffer size means it may have been cut) with a growing buffer until the whole path fits.
// Empty when `get` fails.
using ModulePathGetter = std::function<uint32_t(char* buffer, uint32_t size)>;
Text FetchModulePath(const ModulePathGetter& get);

}  // namespace vd
