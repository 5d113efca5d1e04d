// Owns one WinINet handle (internet session, connection or request) and closes it once.
// The tag keeps the three kinds apart; a null handle is the empty value.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <utility>

namespace vd::http {

template <typename Tag>
class WinInetHandle {
 public:
  WinInetHandle() = default;
  explicit WinInetHandle(HINTERNET handle) : handle_(handle) {}
  WinInetHandle(const WinInetHandle&) = delete;
  WinInetHandle& operator=(const WinInetHandle&) = delete;
  WinInetHandle(WinInetHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  WinInetHandle& operator=(WinInetHandle&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  ~WinInetHandle() { Close(); }

  HINTERNET get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

  void Close() {
    if (handle_ != nullptr) InternetCloseHandle(std::exchange(handle_, nullptr));
  }

 private:
  HINTERNET handle_ = nullptr;
};

using InternetSession = WinInetHandle<struct InternetSessionTag>;
using InternetConnection = WinInetHandle<struct InternetConnectionTag>;
using InternetRequest = WinInetHandle<struct InternetRequestTag>;

}  // namespace vd::http
