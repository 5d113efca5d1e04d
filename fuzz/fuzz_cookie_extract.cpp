// Cookies out of whatever a server put in its header block. The input fills the 5000-space
// buffer of the raw header query the way WinINet would (NULs included); the exchange then cuts
// it at the first NUL, respells "Set-Cookie", extracts the pairs and merges them.
#include <algorithm>
#include <cstring>

#include "FuzzInput.h"
#include "http/Cookies.h"
#include "http/HttpSteps.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string buffer = vd::Spaces(vd::http::kRawHeaderBuffer);
  const size_t n = std::min(size, buffer.size());
  if (n > 0) std::memcpy(&buffer[0], data, n);

  const std::string raw = vd::http::RawHeadersFromBuffer(buffer);
  VD_FUZZ_CHECK(raw.size() == std::strlen(buffer.c_str()));
  // Only the letter case of the header names may change, and every spelling is now exact.
  VD_FUZZ_CHECK(vd::ToLowerAscii(raw) == vd::ToLowerAscii(buffer.substr(0, raw.size())));
  for (int at = vd::FindText(raw, "Set-Cookie", 1, true); at != -1;
       at = vd::FindText(raw, "Set-Cookie", at + 10, true)) {
    VD_FUZZ_CHECK(raw.compare(at - 1, 10, "Set-Cookie") == 0);
  }

  const std::string returned = vd::http::ExtractReturnedCookies(raw);
  VD_FUZZ_CHECK(returned.size() <= raw.size());
  VD_FUZZ_CHECK(returned.find('\0') == std::string::npos);
  if (vd::FindText(raw, "Set-Cookie") == -1) VD_FUZZ_CHECK(returned.empty());

  std::string cookies = "a=1; b=2", scratch = returned;
  const std::string merged = vd::MergeCookies(cookies, scratch);
  VD_FUZZ_CHECK(merged == cookies);
  VD_FUZZ_CHECK(scratch == vd::RemoveSpaces(returned));
  return 0;
}
