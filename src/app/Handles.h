// One owning type per kind of Windows handle the app keeps: each frees its handle once.
#pragma once

#include <windows.h>

#include <utility>

namespace vd {

template <typename H, typename Free>
class Owned {
 public:
  Owned() = default;
  explicit Owned(H handle) : handle_(handle) {}
  ~Owned() { Reset(); }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }

  H Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void Reset(H handle = nullptr) {
    if (handle_) Free()(handle_);
    handle_ = handle;
  }

 private:
  H handle_ = nullptr;
};

struct FreeIcon {
  void operator()(HICON h) const { DestroyIcon(h); }
};
struct FreeMenu {
  void operator()(HMENU h) const { DestroyMenu(h); }
};
struct FreeGdi {
  void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct FreeWindow {
  void operator()(HWND h) const { DestroyWindow(h); }
};

using IconHandle = Owned<HICON, FreeIcon>;
using MenuHandle = Owned<HMENU, FreeMenu>;
using FontHandle = Owned<HFONT, FreeGdi>;
using BrushHandle = Owned<HBRUSH, FreeGdi>;
using WindowHandle = Owned<HWND, FreeWindow>;

}  // namespace vd
