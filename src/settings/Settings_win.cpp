#include <windows.h>

#include <vector>

#include "settings/IniFile.h"

namespace vd {

// The buffer size fixes the longest value read back (10239 bytes).
Text IniFileStore::Get(const char* section, const char* key, const char* fallback) {
  std::vector<char> buffer(kProfileValueBuffer);
  const DWORD n = GetPrivateProfileStringA(section, key, fallback, buffer.data(),
                                           kProfileValueBuffer, path_.c_str());
  return Text(buffer.data(), n);
}

// The value is never a null pointer, which would delete the key; the result is not examined.
void IniFileStore::Put(const char* section, const char* key, const Text& value) {
  WritePrivateProfileStringA(section, key, value.c_str(), path_.c_str());
}

Text ExecutableSettingsPath() {
  return SettingsPathBeside(FetchModulePath([](char* buffer, uint32_t size) -> uint32_t {
    return GetModuleFileNameA(nullptr, buffer, size);
  }));
}

}  // namespace vd
