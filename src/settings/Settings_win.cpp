#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "settings/IniFile.h"

namespace vd {

namespace {

// The profile functions open at most MAX_PATH characters. A longer path goes to them with its
// directory in the short (8.3) form, which names the same file; where a volume has no short
// names the long form stays, and reads then give the defaults and saves are lost.
Text OpenablePath(const Text& path) {
  const size_t cut = path.rfind('\\');
  if (path.size() < MAX_PATH || cut == Text::npos) return path;
  std::wstring wide(path.size() + 4, L'\0');
  const int n = MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(cut), &wide[4],
                                    static_cast<int>(wide.size() - 4));
  if (n <= 0) return path;
  wide.resize(4 + n);
  const bool unc = wide.compare(4, 2, L"\\\\") == 0;
  const std::wstring longDir = unc ? L"\\\\?\\UNC" + wide.substr(5) : L"\\\\?\\" + wide.substr(4);
  const DWORD size = GetShortPathNameW(longDir.c_str(), nullptr, 0);
  if (size == 0) return path;
  std::wstring shortDir(size, L'\0');
  const DWORD got = GetShortPathNameW(longDir.c_str(), &shortDir[0], size);
  if (got == 0 || got >= size) return path;
  shortDir.resize(got);
  // Back to a plain path: the profile functions do not all take the \\?\ form.
  if (shortDir.compare(0, 8, L"\\\\?\\UNC\\") == 0)
    shortDir = L"\\" + shortDir.substr(7);
  else if (shortDir.compare(0, 4, L"\\\\?\\") == 0)
    shortDir = shortDir.substr(4);
  const int bytes = WideCharToMultiByte(
      CP_ACP, 0, shortDir.data(), static_cast<int>(shortDir.size()), nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return path;
  Text shortPath(bytes, '\0');
  WideCharToMultiByte(CP_ACP, 0, shortDir.data(), static_cast<int>(shortDir.size()), &shortPath[0],
                      bytes, nullptr, nullptr);
  return shortPath + path.substr(cut);
}

}  // namespace

IniFileStore::IniFileStore(Text path) : path_(std::move(path)), openable_(OpenablePath(path_)) {}

// The buffer size fixes the longest value read back (10239 bytes).
Text IniFileStore::Get(const char* section, const char* key, const char* fallback) {
  std::vector<char> buffer(kProfileValueBuffer);
  const DWORD n = GetPrivateProfileStringA(section, key, fallback, buffer.data(),
                                           kProfileValueBuffer, openable_.c_str());
  return Text(buffer.data(), n);
}

// The value is never a null pointer, which would delete the key; the result is not examined.
void IniFileStore::Put(const char* section, const char* key, const Text& value) {
  WritePrivateProfileStringA(section, key, value.c_str(), openable_.c_str());
}

Text ExecutableSettingsPath() {
  return SettingsPathBeside(FetchModulePath([](char* buffer, uint32_t size) -> uint32_t {
    return GetModuleFileNameA(nullptr, buffer, size);
  }));
}

}  // namespace vd
