#include "http/HttpRequest.h"
#include "http/WebPageProbe.h"
#include "text/Texts.h"

namespace vd {

namespace {

// "百度一下" in UTF-8: the page is UTF-8 while the program's own texts are GBK, so the marker
// is kept as raw bytes and the page is never converted.
const Bytes kMarker("\xE7\x99\xBE\xE5\xBA\xA6\xE4\xB8\x80\xE4\xB8\x8B", 12);

}  // namespace

// Every failure of the exchange gives an empty body, and so a failed probe.
bool WebPageProbe() { return FindBytes(HttpRequest(texts::kPortalUrl), kMarker) != -1; }

}  // namespace vd
