// Merging any two cookie texts: no spaces are left, no pair ends in "=deleted", no exact repeat,
// and the caller's text holds the result.
#include "FuzzInput.h"
#include "http/Cookies.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vd::fuzz::Input in(data, size);
  std::string cookies = in.Text(), returned = in.Text();
  const std::string merged = vd::MergeCookies(cookies, returned);
  VD_FUZZ_CHECK(merged == cookies);
  VD_FUZZ_CHECK(vd::RemoveSpaces(returned) == returned);
  const vd::TextList pairs = vd::SplitText(merged, "; ");
  for (size_t i = 0; i < pairs.size(); ++i) {
    const std::string& p = pairs[i];
    VD_FUZZ_CHECK(p.size() < 8 || p.compare(p.size() - 8, 8, "=deleted") != 0);
    VD_FUZZ_CHECK(vd::FindExact(vd::TextList(pairs.begin(), pairs.begin() + i), p) == -1);
  }
  return 0;
}
