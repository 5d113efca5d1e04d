// TextToInt against a plain reference of the same rule: full-width forms folded, white space,
// one sign, digits, arithmetic modulo 2^32.
#include "FuzzInput.h"
#include "text/Text.h"

namespace {

int32_t Reference(const std::string& in) {
  std::string s;
  for (size_t i = 0; i < in.size(); ++i) {
    unsigned char c = in[i];
    unsigned char d = i + 1 < in.size() ? in[i + 1] : 0;
    if (c == 0xA3 && d >= 0xA1 && d <= 0xFE) {
      s += static_cast<char>(d - 0x80), ++i;
    } else if (c == 0xA1 && d == 0xA1) {
      s += ' ', ++i;
    } else if (c >= 0x80 && i + 1 < in.size()) {
      s += static_cast<char>(c), s += static_cast<char>(d), ++i;
    } else {
      s += static_cast<char>(c);
    }
  }
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  uint32_t v = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') v = v * 10u + static_cast<uint32_t>(s[i++] - '0');
  if (negative) v = 0u - v;
  return static_cast<int32_t>(v);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vd::fuzz::Input in(data, size);
  const std::string text = in.Text();
  VD_FUZZ_CHECK(vd::TextToInt(text) == Reference(text));
  return 0;
}
