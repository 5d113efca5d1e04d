// URL operations never fail: any text gives a lower-case host without '/', a port, and an
// object name that begins with '/'.
#include "FuzzInput.h"
#include "http/Url.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vd::fuzz::Input in(data, size);
  const std::string url = in.Text();
  const bool mainOnly = in.Flag(), keepPort = in.Flag();
  const int levels = in.Small();
  const std::string host = vd::UrlHost(url, mainOnly, keepPort);
  for (size_t i = 0; i < host.size(); ++i) {
    const unsigned char c = host[i];
    if (c >= 0x80) {
      ++i;
      continue;
    }
    VD_FUZZ_CHECK(c != '/' && !(c >= 'A' && c <= 'Z'));
  }
  if (!keepPort) VD_FUZZ_CHECK(vd::FindText(host, ":") == -1);
  (void)vd::UrlHost(url, mainOnly, keepPort, levels & 7);
  (void)vd::UrlPort(url);
  const std::string object = vd::UrlObjectName(url);
  VD_FUZZ_CHECK(!object.empty() && object[0] == '/');
  return 0;
}
