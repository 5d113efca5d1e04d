// Owner of one kernel HANDLE closed with CloseHandle (events, timers, tokens, threads).
#pragma once

#include <windows.h>

#include <utility>

namespace vd {

class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Reset(); }

  HANDLE Get() const { return handle_; }
  HANDLE* Receive() {
    Reset();
    return &handle_;
  }
  explicit operator bool() const { return handle_ != nullptr; }
  void Reset(HANDLE handle = nullptr) {
    if (handle_) ::CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_ = nullptr;  // the empty value: creation functions of these kinds return null
};

}  // namespace vd
