// The real settings file: Windows private-profile functions on a path beside the executable.
#pragma once

#include "settings/Settings.h"

namespace vd {

class IniFileStore : public ProfileStore {
 public:
  explicit IniFileStore(Text path);
  Text Get(const char* section, const char* key, const char* fallback) override;
  void Put(const char* section, const char* key, const Text& value) override;
  const Text& Path() const { return path_; }

 private:
  Text path_;
  Text openable_;  // what the profile functions are given: the same file, short enough to open
};

// "Config.ini" in the directory of the running executable, however long its path.
Text ExecutableSettingsPath();

}  // namespace vd
