// The real settings file: Windows private-profile functions on a path beside the executable.
#pragma once

#include <utility>

#include "settings/Settings.h"

namespace vd {

class IniFileStore : public ProfileStore {
 public:
  explicit IniFileStore(Text path) : path_(std::move(path)) {}
  Text Get(const char* section, const char* key, const char* fallback) override;
  void Put(const char* section, const char* key, const Text& value) override;
  const Text& Path() const { return path_; }

 private:
  Text path_;
};

// "Config.ini" in the directory of the running executable, however long its path.
Text ExecutableSettingsPath();

}  // namespace vd
