// Cuts one fuzzer input into a few texts and small numbers, so every target reads it the same way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vd::fuzz {

class Input {
 public:
  Input(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}

  // The bytes up to the next 0xFF separator (or the end). Texts never hold NUL, so NUL bytes
  // become 'N' to keep the fuzzer inside the texts the program can meet.
  std::string Text() {
    std::string out;
    while (p_ < end_ && *p_ != 0xFF) out += *p_ ? static_cast<char>(*p_++) : (++p_, 'N');
    if (p_ < end_) ++p_;
    return out;
  }
  int Small() { return p_ < end_ ? static_cast<int8_t>(*p_++) : 0; }
  bool Flag() { return p_ < end_ ? (*p_++ & 1) : false; }

 private:
  const uint8_t* p_;
  const uint8_t* end_;
};

// True when byte position pos (1-based) begins a character of text, stepping two bytes after
// a lead byte of 0x80 or above.
inline bool StartsCharacter(const std::string& text, int pos) {
  int i = 1;
  while (i < pos) i += static_cast<unsigned char>(text[i - 1]) >= 0x80 ? 2 : 1;
  return i == pos;
}

}  // namespace vd::fuzz

#define VD_FUZZ_CHECK(cond) \
  do {                      \
    if (!(cond)) __builtin_trap(); \
  } while (0)
